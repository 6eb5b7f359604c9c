#include "ui/win32/field_edit.h"

#include <algorithm>

#include "ui/win32/gbk_text.h"

namespace ui::win32 {

std::wstring FieldEdit::Text() const {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void FieldEdit::SetLimitBytes(int bytes) {
  limitBytes_ = std::max(bytes, 0);
  SendMessageW(edit_, EM_LIMITTEXT, static_cast<WPARAM>(limitBytes_), 0);
}

void FieldEdit::SetText(const std::wstring& text) {
  settingText_ = true;
  SetWindowTextW(edit_, text.c_str());
  settingText_ = false;
  previous_ = Text();
}

void FieldEdit::OnChange() {
  if (settingText_) return;
  std::wstring input = Text();
  if (limitBytes_ <= 0 || GbkLength(input) <= limitBytes_) {
    previous_ = std::move(input);
    return;
  }

  // What the change inserted: the text between what it kept in front and behind.
  const size_t shorter = std::min(input.size(), previous_.size());
  size_t front = 0;
  while (front < shorter && input[front] == previous_[front]) ++front;
  size_t back = 0;
  while (back < shorter - front && input[input.size() - 1 - back] == previous_[previous_.size() - 1 - back]) ++back;
  size_t keep = input.size() - back;

  // A double-byte character does not squeeze into the one byte left.
  std::wstring result = input;
  while (keep > front && GbkLength(result) > limitBytes_) {
    size_t drop = 1;
    if (keep >= front + 2 && IS_LOW_SURROGATE(result[keep - 1]) && IS_HIGH_SURROGATE(result[keep - 2])) {
      drop = 2;
    }
    result.erase(keep - drop, drop);
    keep -= drop;
  }
  // A field already over its limit (shown so by the program) may still shrink, never grow.
  if (GbkLength(result) > limitBytes_ && GbkLength(result) >= GbkLength(previous_)) {
    result = previous_;
    keep = front;
  }
  if (result != input) {
    settingText_ = true;
    SetWindowTextW(edit_, result.c_str());
    settingText_ = false;
    SendMessageW(edit_, EM_SETSEL, keep, keep);
    if (result == previous_) MessageBeep(MB_OK);
  }
  previous_ = std::move(result);
}

}  // namespace ui::win32
