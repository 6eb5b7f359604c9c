#include "app/port_enumeration.h"

#include <cstring>
#include <vector>

namespace app {
namespace {

// The text a library left in its buffer, never read past the buffer's end.
std::string BufferText(const std::vector<char>& buffer) {
  return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

}  // namespace

PortAnswer AskAvailablePorts(bool askFlash, bool askEngine, vendor::TestFlash& flash, vendor::TestEngine& engine) {
  PortAnswer answer;
  answer.asked = askFlash || askEngine;
  uint16_t length = 256;
  uint16_t count = 0;
  std::vector<char> names(length, '\0');
  std::vector<char> transports(length, '\0');
  auto ask = [&]() {
    int32_t result = -1;
    if (askFlash) result = flash.flGetAvailableSpiPorts(&length, names.data(), transports.data(), &count);
    if (askEngine) result = engine.teGetAvailableSpiPorts(&length, names.data(), transports.data(), &count);
    return result;
  };
  if (ask() != 1 && length != 0 && answer.asked) {
    names.assign(length, '\0');
    transports.assign(length, '\0');
    ask();  // the second answer is taken as it is
  }

  std::string nameText = BufferText(names);
  std::string transportText = BufferText(transports);
  size_t p = nameText.rfind(',');
  size_t t = transportText.rfind(',');
  if (p == std::string::npos || t == std::string::npos) {
    answer.device1Name = nameText;
    answer.device1Transport = transportText;
    return answer;
  }
  answer.twoDevices = true;
  answer.device1Name = nameText.substr(0, p);
  answer.device2Name = nameText.substr(p + 1);
  answer.device1Transport = transportText.substr(0, t);
  answer.device2Transport = transportText.substr(t + 1);
  return answer;
}

}  // namespace app
