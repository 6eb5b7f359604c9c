// Windows only: the system's GBK text and the wide (UTF-16) text of the W
// functions, always through code page 936 whatever the machine's own code page.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Bytes that are not GBK come out as U+FFFD, one per byte.
std::wstring GbkToWide(std::string_view gbk);
// Characters that GBK cannot hold come out as '?'.
std::string WideToGbk(std::wstring_view wide);

// The same for UTF-8, the native names of files given as UTF-8.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace platform
