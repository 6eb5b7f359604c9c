// The call trace: with trace = on in [station], one line per call
//   name(arguments) = result  out=value ...
// appended to station/trace.log, by the libraries and by nvscmd.exe alike.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/station.h"

namespace sim {

class TraceLine {
 public:
  explicit TraceLine(std::string_view function) : function_(function) {}

  TraceLine& Text(const char* text);  // quoted; null shows as null
  TraceLine& Hex(uint64_t value);
  TraceLine& Real(double value);
  template <std::integral T>
  TraceLine& Number(T value) {
    return Add(std::to_string(value));
  }
  // Written values and reasons, shown after the result.
  TraceLine& Out(std::string_view name, std::string_view value);

  std::string Finish(std::string_view result) const;

 private:
  TraceLine& Add(std::string_view argument);
  std::string function_;
  std::string arguments_;
  std::string outs_;
};

void AppendTrace(const Station& station, const std::string& line);

// Traces the call with its result and hands the result back.
template <std::integral R>
R Traced(const Station& station, const TraceLine& line, R result) {
  if (station.Tracing()) AppendTrace(station, line.Finish(std::to_string(result)));
  return result;
}

std::string HexText(uint64_t value);

}  // namespace sim
