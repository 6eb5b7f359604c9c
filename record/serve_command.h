// `tarnwick-record serve [--listen HOST:PORT]`: the dashboard page of the
// record, served until Ctrl+C.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace record {

inline constexpr const char* kDefaultListen = "127.0.0.1:8080";

// "HOST:PORT" or "[IPv6]:PORT"; false for anything else.
bool ParseListen(const std::string& text, std::string* host, int* port);

// `operands` follow "serve". The record is the file `path`, or the server
// `url` when it is not empty. An exit status.
int ServeCommand(const std::vector<std::string>& operands, const std::string& path, const std::string& url,
                 std::ostream& out, std::ostream& err);

}  // namespace record
