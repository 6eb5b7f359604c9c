// The dashboard's HTTP side: the page and its files from the program itself,
// the view as JSON under /api/, and limits that keep one slow or hostile
// client from holding up the others.
#pragma once

#include <memory>
#include <string>

#include "record/serve_source.h"

namespace record {

// A view's window and station from the query string of /api/view; false with
// `*problem` for anything else. `today` is "YYYY-MM-DD".
struct QueryParameter {
  std::string name, value;
};
bool ParseViewParameters(const std::vector<QueryParameter>& parameters, const std::string& today, ViewQuery* query,
                         std::string* problem);

class DashboardServer {
 public:
  explicit DashboardServer(RecordSource& source);
  ~DashboardServer();
  DashboardServer(const DashboardServer&) = delete;
  DashboardServer& operator=(const DashboardServer&) = delete;

  // Binds `host`:`port` (0: any free port); the port bound, or -1.
  int Bind(const std::string& host, int port);
  // Serves until Stop(); false when it could not.
  bool Serve();
  // From any thread.
  void Stop();

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace record
