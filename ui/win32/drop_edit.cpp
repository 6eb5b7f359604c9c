#include "ui/win32/drop_edit.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ui/win32/shell_link.h"
#include "ui/win32/wide_text.h"

namespace win32ui {
namespace {

constexpr UINT_PTR kSubclassId = 0x3601;

enum class Kind { Missing, Regular, Folder };

Kind StatusOf(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Kind::Missing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Kind::Folder : Kind::Regular;
}

}  // namespace

DropEdit::DropEdit(FieldEdit& field) : field_(field) {
  DragAcceptFiles(field_.hwnd(), TRUE);
  SetWindowSubclass(field_.hwnd(), Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

DropEdit::~DropEdit() {
  if (IsWindow(field_.hwnd())) RemoveWindowSubclass(field_.hwnd(), Proc, kSubclassId);
}

LRESULT CALLBACK DropEdit::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  if (message == WM_DROPFILES) {
    reinterpret_cast<DropEdit*>(self)->OnDropFiles(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

void DropEdit::OnDropFiles(HDROP drop) {
  // Only the first file counts; the others of the drop are ignored.
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::wstring path;
  if (count != 0) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::vector<wchar_t> name(static_cast<size_t>(length) + 1, L'\0');
    DragQueryFileW(drop, 0, name.data(), length + 1);
    path.assign(name.data());
  }
  DragFinish(drop);

  const std::wstring target = ResolveShortcut(path);
  if (!target.empty()) path = target;

  const Kind kind = path.empty() ? Kind::Missing : StatusOf(path);
  const bool accepted = AcceptFolders ? kind == Kind::Folder : kind == Kind::Regular;
  if (accepted) field_.SetText(path);

  // From the dropped path's length to the end: after a replacement that is the
  // caret at the end of the path, so the file name is in view.
  const int length = GetWindowTextLengthW(field_.hwnd());
  const int start = std::min(static_cast<int>(path.size()), length);
  SendMessageW(field_.hwnd(), EM_SETSEL, static_cast<WPARAM>(start), -1);
  SendMessageW(field_.hwnd(), EM_SCROLLCARET, 0, 0);
}

}  // namespace win32ui
