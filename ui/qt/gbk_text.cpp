#include "ui/qt/gbk_text.h"

#include "platform/gbk.h"

namespace ui::qt {
namespace {

// Bytes of the character starting at `i`; `length` gets its QChar count.
int CharacterBytes(const QString& text, int i, int* length, int lineBreakBytes) {
  const QChar c = text.at(i);
  *length = 1;
  if (c == u'\n') return lineBreakBytes;
  if (c.unicode() < 0x80) return 1;
  if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) *length = 2;
  return static_cast<int>(platform::Utf8ToGbk(text.mid(i, *length).toStdString()).size());
}

}  // namespace

QString FromGbk(std::string_view gbk) { return QString::fromStdString(platform::GbkToUtf8(gbk)); }

std::string ToGbk(const QString& text) { return platform::Utf8ToGbk(text.toStdString()); }

int GbkLength(const QString& text) { return GbkPosition(text, static_cast<int>(text.size())); }

int QtPosition(const QString& text, int bytes, int lineBreakBytes) {
  int byte = 0;
  int i = 0;
  while (i < text.size()) {
    int length = 0;
    const int size = CharacterBytes(text, i, &length, lineBreakBytes);
    if (byte + size > bytes) break;
    byte += size;
    i += length;
  }
  return i;
}

int GbkPosition(const QString& text, int position, int lineBreakBytes) {
  int byte = 0;
  int i = 0;
  while (i < text.size() && i < position) {
    int length = 0;
    byte += CharacterBytes(text, i, &length, lineBreakBytes);
    i += length;
  }
  return byte;
}

}  // namespace ui::qt
