// The edits that take a file dropped from the shell: the first file's path,
// or a shortcut's target, replaces the text; folders are refused.
#pragma once

#include "ui/win32/field_edit.h"
#include "ui/win32/windows_api.h"

namespace ui::win32 {

class DropEdit {
 public:
  // Subclasses `field`'s edit for the drop; the object must outlive the window.
  explicit DropEdit(FieldEdit& field);
  ~DropEdit();
  DropEdit(const DropEdit&) = delete;
  DropEdit& operator=(const DropEdit&) = delete;

  void OnDropFiles(HDROP drop);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);

  FieldEdit& field_;
};

}  // namespace ui::win32
