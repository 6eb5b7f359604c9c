#include "ui/win32/drop_edit.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "ui/win32/gbk_text.h"

namespace ui::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x3601;

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
  std::wstring dropped;
  if (count != 0) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::vector<wchar_t> name(static_cast<size_t>(length) + 1, L'\0');
    DragQueryFileW(drop, 0, name.data(), length + 1);
    dropped.assign(name.data());
  }
  DragFinish(drop);

  // The system's text is GBK: the path goes through it as the Qt drops do.
  std::string path = platform::WideToGbk(dropped);
  const std::string target = platform::ResolveShortcut(path);
  if (!target.empty()) path = target;

  const std::wstring shownPath = platform::GbkToWide(path);
  if (platform::StatusOf(path) == platform::FileKind::Regular) field_.SetText(shownPath);

  // From the dropped path's length to the end: after a replacement that is the
  // caret at the end of the path, so the file name is in view.
  const int length = GetWindowTextLengthW(field_.hwnd());
  const int start = std::min(static_cast<int>(shownPath.size()), length);
  SendMessageW(field_.hwnd(), EM_SETSEL, static_cast<WPARAM>(start), -1);
  SendMessageW(field_.hwnd(), EM_SCROLLCARET, 0, 0);
}

}  // namespace ui::win32
