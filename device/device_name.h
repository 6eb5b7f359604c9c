// The Bluetooth name: persistent-store key 264 of each ticked module.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "dialog/dialog_services.h"
#include "vendor/test_engine.h"

namespace device {

inline constexpr uint16_t kDeviceNameKey = 264;

// Two bytes a word, the first in the low half; words past the name are 0.
// Bytes past the twelfth do not fit the key and are left out.
std::array<uint16_t, 6> PackDeviceName(std::string_view name);

class DeviceName {
 public:
  DeviceName(dialog::DialogServices& dialog, vendor::TestEngine& engine) : dialog_(dialog), engine_(engine) {}

  void OnNameChange();
  void WriteDeviceName(const std::string& transport);

 private:
  dialog::DialogServices& dialog_;
  vendor::TestEngine& engine_;
};

}  // namespace device
