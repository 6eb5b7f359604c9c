#include "record/serve_command.h"

#include <chrono>
#include <memory>

#include "platform/host_name.h"
#include "platform/interrupt.h"
#include "record/command_line.h"
#include "record/serve_http.h"
#include "record/serve_source.h"

namespace record {
namespace {

// The server's record is copied whole for a view: not more often than this.
constexpr std::chrono::milliseconds kServerRefresh{2000};

}  // namespace

bool ParseListen(const std::string& text, std::string* host, int* port) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  std::string name = text.substr(0, colon);
  if (name.front() == '[') {
    if (name.size() < 3 || name.back() != ']') return false;
    name = name.substr(1, name.size() - 2);
  } else if (name.find(':') != std::string::npos) {
    return false;  // an IPv6 address goes in brackets
  }
  const std::string digits = text.substr(colon + 1);
  if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
  const int number = std::stoi(digits);
  if (number > 65535) return false;
  *host = name;
  *port = number;
  return true;
}

int ServeCommand(const std::vector<std::string>& operands, const std::string& path, const std::string& url,
                 std::ostream& out, std::ostream& err) {
  std::string listen = kDefaultListen;
  if (operands.size() == 2 && operands[0] == "--listen") {
    listen = operands[1];
  } else if (!operands.empty()) {
    err << "tarnwick-record: serve takes only --listen HOST:PORT\n";
    return kExitError;
  }
  std::string host;
  int port = 0;
  if (!ParseListen(listen, &host, &port)) {
    err << "tarnwick-record: --listen wants HOST:PORT, such as 127.0.0.1:8080 or 0.0.0.0:8080\n";
    return kExitError;
  }

  std::unique_ptr<RecordSource> source;
  if (url.empty()) {
    source = std::make_unique<FileRecordSource>(path);
  } else {
    source = std::make_unique<ServerRecordSource>(url, kServerRefresh);
  }
  // A record that cannot be read now is shown on the page, and read again at its next refresh.
  DashboardServer server(*source);
  platform::InterruptWatch interrupt([&server] { server.Stop(); });
  const int bound = server.Bind(host, port);
  if (bound < 0) {
    err << "tarnwick-record: cannot listen on " << listen << " (in use, or not an address of this machine)\n";
    return kExitError;
  }
  const bool everywhere = host == "0.0.0.0" || host == "::";
  const std::string shown = host.find(':') != std::string::npos ? "[" + host + "]" : host;
  out << "dashboard of " << (url.empty() ? path : std::string("the line's server")) << " at http://"
      << (everywhere ? platform::HostName() : shown) << ':' << bound << "/"
      << (everywhere ? " (or this PC's address on the line's network)" : "") << "; Ctrl+C ends it" << std::endl;
  if (!server.Serve()) {
    err << "tarnwick-record: the dashboard stopped serving\n";
    return kExitError;
  }
  out << "dashboard ended" << std::endl;
  return kExitOk;
}

}  // namespace record
