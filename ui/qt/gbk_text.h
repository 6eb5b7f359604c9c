// The widget edge of the system's GBK text: conversions to and from QString,
// and byte positions, which count GBK bytes, to and from QString positions.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace ui::qt {

QString FromGbk(std::string_view gbk);
std::string ToGbk(const QString& text);

// Bytes the text takes in GBK (a character GBK cannot hold counts as its '?').
int GbkLength(const QString& text);

// Where a GBK byte offset falls in the QString (a byte inside a double-byte
// character counts as that character's start), and back. `lineBreakBytes` is
// what a '\n' of the QString takes in the GBK text: 2 where lines end in "\r\n".
int QtPosition(const QString& text, int bytes, int lineBreakBytes = 1);
int GbkPosition(const QString& text, int position, int lineBreakBytes = 1);

}  // namespace ui::qt
