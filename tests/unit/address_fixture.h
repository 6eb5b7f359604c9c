// A dialog whose btconfig.ini holds an address counter, and a SetAddr press.
#pragma once

#include <string>

#include "platform/profile_file.h"
#include "tests/support/dialog_fixture.h"

namespace fakes {

class AddressTest : public DialogTest {
 protected:
  void Store(const std::string& nap, const std::string& uap, const std::string& lap, const std::string& total) {
    folder.Write("btconfig.ini", "[address]\r\nNAP=" + nap + "\r\nUAP=" + uap + "\r\nLAP=" + lap +
                                     "\r\n[SUM]\r\ntotal=" + total + "\r\n");
  }
  std::string Stored(const char* section, const char* key) {
    return platform::ReadProfileString(section, key, 64, "./btconfig.ini");
  }
  void PressSetAddr(app::MainDialog& on, MemoryWindow& its) {
    its.Type(res::IDC_START_LAP, "x");  // any start field will do
    on.OnCommand(res::IDC_SET_ADDR);
  }
  void PressSetAddr() { PressSetAddr(dialog, window); }
};

}  // namespace fakes
