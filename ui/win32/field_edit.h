// A one-line edit whose length limit counts GBK bytes, as the fields' limits
// do. The platform's own limit counts UTF-16 units, which lets a double-byte
// character pass as one; it stays set to the same number, as a bound that
// never refuses what the byte limit allows, and every change the operator
// makes is measured again in bytes when the edit reports it (EN_CHANGE).
#pragma once

#include <string>

#include "ui/win32/windows_api.h"

namespace ui::win32 {

class FieldEdit {
 public:
  explicit FieldEdit(HWND edit) : edit_(edit) { previous_ = Text(); }

  HWND hwnd() const { return edit_; }
  // 0 means no limit.
  void SetLimitBytes(int bytes);
  int LimitBytes() const { return limitBytes_; }
  // The program's own text: shown whole, even beyond the limit.
  void SetText(const std::wstring& text);
  // The edit reported a change: one that breaks the limit keeps as much of
  // what it inserted as fits, as a limited edit does with a paste.
  void OnChange();

 private:
  std::wstring Text() const;

  HWND edit_;
  int limitBytes_ = 0;
  bool settingText_ = false;
  std::wstring previous_;
};

}  // namespace ui::win32
