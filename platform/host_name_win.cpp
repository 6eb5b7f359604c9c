#include <windows.h>

#include <cstdio>

#include "platform/host_name.h"
#include "platform/wide_text.h"

namespace platform {

std::string HostName() {
  wchar_t name[256] = {};
  DWORD size = 256;
  if (!GetComputerNameExW(ComputerNameDnsHostname, name, &size) || size == 0) return "station";
  return WideToUtf8(std::wstring_view(name, size));
}

std::string LocalTimeText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return text;
}

}  // namespace platform
