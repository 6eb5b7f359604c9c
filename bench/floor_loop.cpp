#include "bench/floor_loop.h"

namespace bench {
namespace {

constexpr const char* kProgrammingDevice = "\\\\.\\CSR0";
constexpr uint32_t kNap = 0x0002;
constexpr uint32_t kUap = 0x5b;

}  // namespace

FloorLoop::FloorLoop(vendor::Libraries& libs, std::string transport1, std::string transport2, std::string firmware,
                     uint32_t firstLap)
    : libs_(libs),
      transports_{std::move(transport1), std::move(transport2)},
      firmware_(std::move(firmware)),
      lap_(firstLap) {}

bool FloorLoop::Press() {
  bool ok = true;
  for (const std::string& transport : transports_) ok = Burn(transport) && ok;
  for (const std::string& transport : transports_) ok = WriteAddress(transport) && ok;
  return ok;
}

bool FloorLoop::Burn(const std::string& transport) {
  bool ok = libs_.e2->te2OpenTrans(transport.c_str()) == 0;
  if (ok) {
    uint32_t kbit = 0;
    libs_.e2->te2GetSize(&kbit);
    ok = libs_.e2->te2Program(firmware_.c_str(), 1) == 0;
  }
  libs_.e2->te2Close();
  return ok;
}

bool FloorLoop::WriteAddress(const std::string& transport) {
  uint32_t first = libs_.engine->openTestEngine(2, kProgrammingDevice, 0, 0, 100);
  uint32_t module = libs_.engine->openTestEngineSpiTrans(transport.c_str(), 0);
  bool ok = module != 0 && libs_.engine->psWriteBdAddr(module, lap_, kUap, kNap) == 1;
  if (ok) ++lap_;
  libs_.engine->closeTestEngine(module);
  libs_.engine->closeTestEngine(first);
  return ok;
}

}  // namespace bench
