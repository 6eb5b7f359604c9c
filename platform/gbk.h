// The system's text is GBK (code page 936). These two convert at the edges:
// file system and processes here, widgets in ui/.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Bytes that are not GBK come out as U+FFFD, one per byte.
std::string GbkToUtf8(std::string_view gbk);
// Characters that GBK cannot hold come out as '?'.
std::string Utf8ToGbk(std::string_view utf8);

// True when byte b starts a two-byte GBK character.
inline bool IsGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

}  // namespace platform
