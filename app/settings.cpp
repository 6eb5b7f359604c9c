#include "app/settings.h"

#include "platform/profile_file.h"

namespace app {

std::string ReadSetting(std::string_view section, std::string_view key, size_t bufferSize) {
  return platform::ReadProfileString(section, key, bufferSize, kSettingsFile);
}

bool WriteSetting(std::string_view section, std::string_view key, std::string_view value) {
  return platform::WriteProfileString(section, key, value, kSettingsFile);
}

}  // namespace app
