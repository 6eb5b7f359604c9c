// HTTP comes from cpp-httplib, Debian's libcpp-httplib-dev: a maintained
// server that parses requests for us, with read and write time limits and a
// replaceable task queue; one header, which also builds with mingw-w64 for
// the Windows build, where it needs only ws2_32.
#include "record/serve_http.h"

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <thread>

#include "platform/host_name.h"
#include "record/serve_assets.h"
#include "record/serve_json.h"
#include "record/serve_time.h"

namespace record {
namespace {

// Connections served at once, and accepted ones waiting for a worker; past
// those the listener waits, and further clients wait in the system's backlog.
constexpr size_t kWorkers = 16;
constexpr size_t kWaiting = 32;
constexpr time_t kReadTimeoutSeconds = 3;
constexpr time_t kWriteTimeoutSeconds = 5;
constexpr time_t kKeepAliveSeconds = 3;
constexpr size_t kKeepAliveRequests = 100;
constexpr size_t kMaxBody = 1024;  // GET has none
constexpr size_t kMaxStation = 200;

// The answers' headers: nothing of the page is cached by the browser and no
// script is taken from anywhere but the program.
const httplib::Headers kHeaders = {
    {"Cache-Control", "no-store"},
    {"X-Content-Type-Options", "nosniff"},
    {"X-Frame-Options", "DENY"},
    {"Referrer-Policy", "no-referrer"},
    {"Content-Security-Policy",
     "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; connect-src 'self'; "
     "base-uri 'none'; form-action 'none'; frame-ancestors 'none'"},
};

// httplib's thread pool with a bound on the connections it holds.
class BoundedPool : public httplib::TaskQueue {
 public:
  BoundedPool() {
    for (size_t i = 0; i < kWorkers; ++i) threads_.emplace_back([this] { Work(); });
  }
  void enqueue(std::function<void()> job) override {
    std::unique_lock<std::mutex> hold(lock_);
    room_.wait(hold, [this] { return jobs_.size() < kWaiting || ending_; });
    jobs_.push_back(std::move(job));
    work_.notify_one();
  }
  void shutdown() override {
    {
      std::lock_guard<std::mutex> hold(lock_);
      ending_ = true;
    }
    work_.notify_all();
    room_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

 private:
  void Work() {
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock<std::mutex> hold(lock_);
        work_.wait(hold, [this] { return !jobs_.empty() || ending_; });
        if (jobs_.empty()) return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      room_.notify_one();
      job();
    }
  }

  std::mutex lock_;
  std::condition_variable work_, room_;
  std::deque<std::function<void()>> jobs_;
  std::vector<std::thread> threads_;
  bool ending_ = false;
};

bool IsDay(const std::string& text) { return text.size() == 10 && ParseLocalTime(text + " 00:00").has_value(); }

bool IsClock(const std::string& text) { return text.size() == 5 && ParseLocalTime("2000-01-01 " + text).has_value(); }

std::string ErrorJson(const std::string& message) {
  JsonWriter json;
  json.BeginObject().Key("error").String(message).EndObject();
  return json.text();
}

void Json(httplib::Response& response, int status, const std::string& body) {
  response.status = status;
  response.set_content(body, "application/json; charset=utf-8");
}

}  // namespace

bool ParseViewParameters(const std::vector<QueryParameter>& parameters, const std::string& today, ViewQuery* query,
                         std::string* problem) {
  std::string day = today, from = "00:00", to = "00:00";
  bool seen[4] = {};
  for (const QueryParameter& parameter : parameters) {
    static const char* const kNames[] = {"day", "from", "to", "station"};
    std::string* const kValues[] = {&day, &from, &to, &query->station};
    size_t which = 0;
    while (which < 4 && parameter.name != kNames[which]) ++which;
    if (which == 4) {
      *problem = "unknown parameter " + parameter.name;
      return false;
    }
    if (seen[which]) {
      *problem = "parameter " + parameter.name + " given twice";
      return false;
    }
    seen[which] = true;
    *kValues[which] = parameter.value;
  }
  if (!IsDay(day)) {
    *problem = "day must read YYYY-MM-DD";
    return false;
  }
  if (!IsClock(from) || !IsClock(to)) {
    *problem = "from and to must read HH:MM";
    return false;
  }
  if (query->station.size() > kMaxStation) {
    *problem = "station is too long";
    return false;
  }
  // A window that ends at or before its start runs past midnight: a night shift, or the whole day.
  const int64_t start = *ParseLocalTime(day + " " + from);
  int64_t end = *ParseLocalTime(day + " " + to);
  if (end <= start) end += 86400;
  query->from = LocalTimeFromSeconds(start);
  query->to = LocalTimeFromSeconds(end);
  return true;
}

struct DashboardServer::Impl {
  RecordSource& source;
  httplib::Server server;
};

DashboardServer::DashboardServer(RecordSource& source) : impl_(new Impl{source, {}}) {
  httplib::Server& server = impl_->server;
  server.new_task_queue = [] { return new BoundedPool; };
  server.set_read_timeout(kReadTimeoutSeconds);
  server.set_write_timeout(kWriteTimeoutSeconds);
  server.set_keep_alive_timeout(kKeepAliveSeconds);
  server.set_keep_alive_max_count(kKeepAliveRequests);
  server.set_payload_max_length(kMaxBody);
  server.set_default_headers(kHeaders);

  for (const char* path : {"/", "/dashboard.js", "/dashboard.css", "/chart.umd.js"}) {
    server.Get(path, [](const httplib::Request& request, httplib::Response& response) {
      const Asset* asset = FindAsset(request.path);
      response.set_content(asset->body.data(), asset->body.size(), std::string(asset->type).c_str());
    });
  }
  server.Get("/api/view", [this](const httplib::Request& request, httplib::Response& response) {
    std::vector<QueryParameter> parameters;
    for (const auto& [name, value] : request.params) parameters.push_back({name, value});
    const std::string now = platform::LocalTimeText();
    ViewQuery query;
    std::string problem;
    if (!ParseViewParameters(parameters, now.substr(0, 10), &query, &problem)) {
      Json(response, 400, ErrorJson(problem));
      return;
    }
    std::optional<std::string> view = impl_->source.View(query, now, &problem);
    if (!view) {
      Json(response, 503, ErrorJson(problem));
      return;
    }
    Json(response, 200, *view);
  });
  // Nothing here changes anything.
  const auto refuse = [](const httplib::Request&, httplib::Response& response) {
    response.status = 405;
    response.set_header("Allow", "GET, HEAD");
  };
  server.Post(".*", refuse);
  server.Put(".*", refuse);
  server.Patch(".*", refuse);
  server.Delete(".*", refuse);
  server.Options(".*", refuse);
  server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (response.body.empty()) {
      const char* what = response.status == 404   ? " not found"
                         : response.status == 400 ? " bad request"
                         : response.status == 405 ? " method not allowed"
                                                  : "";
      response.set_content(std::to_string(response.status) + what + "\n", "text/plain; charset=utf-8");
    }
  });
  server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
    Json(response, 500, ErrorJson("the dashboard failed on this request"));
  });
}

DashboardServer::~DashboardServer() = default;

int DashboardServer::Bind(const std::string& host, int port) {
  if (port == 0) return impl_->server.bind_to_any_port(host);
  return impl_->server.bind_to_port(host, port) ? port : -1;
}

bool DashboardServer::Serve() { return impl_->server.listen_after_bind(); }

void DashboardServer::Stop() { impl_->server.stop(); }

}  // namespace record
