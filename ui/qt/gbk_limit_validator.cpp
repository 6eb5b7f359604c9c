#include "ui/qt/gbk_limit_validator.h"

#include <algorithm>

#include "ui/qt/gbk_text.h"

namespace ui::qt {

QValidator::State GbkLimitValidator::validate(QString& input, int& position) const {
  if (lowerCase_) {
    for (QChar& c : input) c = c.toLower();
  }
  if (limitSuspended_ || limitBytes_ <= 0 || GbkLength(input) <= limitBytes_) return Acceptable;

  // Find what the change inserted: the text between what it kept in front and behind.
  const int shorter = static_cast<int>(std::min(input.size(), previous_.size()));
  int front = 0;
  while (front < shorter && input.at(front) == previous_.at(front)) ++front;
  int back = 0;
  while (back < shorter - front &&
         input.at(input.size() - 1 - back) == previous_.at(previous_.size() - 1 - back)) {
    ++back;
  }
  const int insertedEnd = static_cast<int>(input.size()) - back;

  // Keep as much of the insertion as fits, as a limited edit does with a paste;
  // a double-byte character does not squeeze into the one byte left.
  int keep = insertedEnd;
  QString result = input;
  while (keep > front && GbkLength(result) > limitBytes_) {
    int drop = 1;
    if (keep - 2 >= front && result.at(keep - 1).isLowSurrogate() && result.at(keep - 2).isHighSurrogate()) drop = 2;
    result.remove(keep - drop, drop);
    keep -= drop;
  }
  // Nothing fits and nothing was deleted: the keystroke is refused.
  if (keep == front && result == previous_) return Invalid;
  // A field already over its limit (shown so by the program) may still shrink.
  if (GbkLength(result) > limitBytes_ && GbkLength(result) >= GbkLength(previous_)) return Invalid;
  input = result;
  position = keep;
  return Acceptable;
}

}  // namespace ui::qt
