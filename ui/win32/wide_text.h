// The system's GBK text and the platform's UTF-16, converted with code page 936
// named explicitly, so the texts come out right on a Windows of any language.
#pragma once

#include <string>
#include <string_view>

namespace win32ui {

std::wstring WideFromGbk(std::string_view gbk);
// Characters that GBK cannot hold come out as '?'.
std::string GbkFromWide(std::wstring_view wide);

// Positions: a byte offset into the GBK form of `wide` and the UTF-16 offset
// of the same place. A byte offset inside a double-byte character counts the
// whole character.
int WidePosition(std::wstring_view wide, int gbkBytes);
int GbkPosition(std::wstring_view wide, int wideUnits);

// The GBK length of `wide`, in bytes.
int GbkLength(std::wstring_view wide);

}  // namespace win32ui
