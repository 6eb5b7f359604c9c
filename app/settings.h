// The settings file: the address counter, the count of addresses written and the
// PIO test's fields, in btconfig.ini in the working directory. Read at the moment
// a value is needed, never cached.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace app {

inline constexpr const char* kSettingsFile = "./btconfig.ini";

inline constexpr const char* kSumSection = "SUM";
inline constexpr const char* kTotalKey = "total";
inline constexpr const char* kAddressSection = "address";
inline constexpr const char* kNapKey = "NAP";
inline constexpr const char* kUapKey = "UAP";
inline constexpr const char* kLapKey = "LAP";
inline constexpr const char* kPioSection = "PIO";
inline constexpr const char* kTestTimeoutKey = "testTimeout";

// A value cut to bufferSize - 1 bytes; empty when missing.
std::string ReadSetting(std::string_view section, std::string_view key, size_t bufferSize);
// False when the file could not be written.
bool WriteSetting(std::string_view section, std::string_view key, std::string_view value);

}  // namespace app
