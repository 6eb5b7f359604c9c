#include "device/address_read_back.h"

#include <string>

#include "dialog/settings.h"

namespace device {
namespace {

constexpr const char* kVerifySection = "verify";

bool On(const char* key) {
  std::string value = dialog::ReadSetting(kVerifySection, key, 16);
  for (char& c : value) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return value == "on" || value == "yes" || value == "true" || value == "1";
}

}  // namespace

VerifySettings ReadVerifySettings() {
  VerifySettings verify;
  verify.address = On("address");
  verify.reset = verify.address && On("reset");
  return verify;
}

ReadBack ReadBackAddress(vendor::TestEngine& engine, uint32_t module, const ledger::BdAddress& written, bool reset,
                         ledger::BdAddress* found) {
  if (reset && engine.bccmdSetColdReset(module, 0) != 1) return ReadBack::ResetRefused;
  uint32_t lap = 0;
  uint8_t uap = 0;
  uint16_t nap = 0;
  if (engine.psReadBdAddr(module, &lap, &uap, &nap) != 1) return ReadBack::NoAnswer;
  *found = {nap, uap, lap};
  return *found == written ? ReadBack::Holds : ReadBack::Other;
}

}  // namespace device
