// The settings file: the address counter, the count of addresses written and the
// PIO test's fields, in btconfig.ini in the working directory. Read at the moment
// a value is needed, never cached.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/profile_file.h"

namespace dialog {

inline constexpr const char* kSettingsFile = "./btconfig.ini";

inline constexpr const char* kSumSection = "SUM";
inline constexpr const char* kTotalKey = "total";
inline constexpr const char* kAddressSection = "address";
inline constexpr const char* kNapKey = "NAP";
inline constexpr const char* kUapKey = "UAP";
inline constexpr const char* kLapKey = "LAP";
inline constexpr const char* kPioSection = "PIO";
inline constexpr const char* kTestTimeoutKey = "testTimeout";

// Header-only, so the subsystems read and write the settings without linking the dialog.
// A value cut to bufferSize - 1 bytes; empty when missing.
inline std::string ReadSetting(std::string_view section, std::string_view key, size_t bufferSize) {
  return platform::ReadProfileString(section, key, bufferSize, kSettingsFile);
}
// False when the file could not be written.
inline bool WriteSetting(std::string_view section, std::string_view key, std::string_view value) {
  return platform::WriteProfileString(section, key, value, kSettingsFile);
}

}  // namespace dialog
