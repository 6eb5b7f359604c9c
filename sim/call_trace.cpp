#include "sim/call_trace.h"

#include <cstdio>
#include <fstream>

namespace sim {

TraceLine& TraceLine::Text(const char* text) {
  if (text == nullptr) return Add("null");
  return Add("\"" + std::string(text) + "\"");
}

TraceLine& TraceLine::Hex(uint64_t value) { return Add(HexText(value)); }

TraceLine& TraceLine::Real(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6f", value);
  return Add(buffer);
}

TraceLine& TraceLine::Out(std::string_view name, std::string_view value) {
  outs_ += "  ";
  outs_ += name;
  outs_ += "=";
  outs_ += value;
  return *this;
}

TraceLine& TraceLine::Add(std::string_view argument) {
  if (!arguments_.empty()) arguments_ += ", ";
  arguments_ += argument;
  return *this;
}

std::string TraceLine::Finish(std::string_view result) const {
  return function_ + "(" + arguments_ + ") = " + std::string(result) + outs_;
}

void AppendTrace(const Station& station, const std::string& line) {
  // One write per line in append mode, so lines of two processes do not mix.
  std::string whole = line + "\n";
  std::FILE* file = std::fopen(station.FilePath("trace.log").c_str(), "ab");
  if (file == nullptr) return;
  std::fwrite(whole.data(), 1, whole.size(), file);
  std::fclose(file);
}

std::string HexText(uint64_t value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(value));
  return buffer;
}

}  // namespace sim
