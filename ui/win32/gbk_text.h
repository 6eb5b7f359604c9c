// Places in the edits' UTF-16 text and in its GBK form (the conversions
// themselves are platform's, through code page 936 named explicitly).
#pragma once

#include <string>
#include <string_view>

#include "platform/wide_text.h"

namespace ui::win32 {

// Positions: a byte offset into the GBK form of `wide` and the UTF-16 offset
// of the same place. A byte offset inside a double-byte character counts the
// whole character.
int WidePosition(std::wstring_view wide, int gbkBytes);
int GbkPosition(std::wstring_view wide, int wideUnits);

// The GBK length of `wide`, in bytes.
int GbkLength(std::wstring_view wide);

}  // namespace ui::win32
