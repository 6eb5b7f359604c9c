#include "ui/win32/win32_window.h"

#include <algorithm>
#include <vector>

#include "app/main_dialog.h"
#include "res/dialog_template.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "ui/win32/about_dialog.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/file_dialog.h"
#include "ui/win32/gbk_text.h"

namespace ui::win32 {
namespace {

// A dialog's frame: title bar, system menu and close box, no minimise or
// maximise box; its own taskbar button and a sunken client edge.
constexpr DWORD kMainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
constexpr DWORD kMainExStyle = WS_EX_APPWINDOW | WS_EX_CLIENTEDGE;

// Paint messages dispatched by one KeepPainting at most: a window that never
// validates itself must not hold the handler.
constexpr int kPaintRounds = 256;

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsBackground(HWND dialog, HWND under) {
  if (under == dialog) return true;
  wchar_t name[16] = {};
  GetClassNameW(under, name, 16);
  if (lstrcmpiW(name, L"Static") == 0) return true;
  return lstrcmpiW(name, L"Button") == 0 && (GetWindowLongPtrW(under, GWL_STYLE) & 0x1F) == BS_GROUPBOX;
}

}  // namespace

Win32Window::Win32Window(HINSTANCE instance) : instance_(instance) {}

Win32Window::~Win32Window() = default;

int Win32Window::RunModal() {
  const InMemoryTemplate main(res::MainDialogTemplate(), kMainStyle, kMainExStyle);
  return static_cast<int>(
      DialogBoxIndirectParamW(instance_, main.get(), nullptr, Proc, reinterpret_cast<LPARAM>(this)));
}

INT_PTR CALLBACK Win32Window::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    auto* self = reinterpret_cast<Win32Window*>(lParam);
    self->hwnd_ = hwnd;
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  return self == nullptr ? FALSE : self->Handle(message, wParam, lParam);
}

INT_PTR Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return FALSE;  // no control gets the first focus
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_SYSCOMMAND:
      return dialog_ != nullptr && dialog_->OnSysCommand(static_cast<unsigned>(wParam)) ? TRUE : FALSE;
    case WM_CONTEXTMENU:
      OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
      return TRUE;
    case WM_PAINT:
      OnPaint();
      return TRUE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(Icon(GetSystemMetrics(SM_CXICON)));
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (exit_ != nullptr && item->hwndItem == exit_->hwnd()) {
        exit_->DrawItem(*item);
        return TRUE;
      }
      return FALSE;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE && exit_ != nullptr) exit_->CancelHover();
      return FALSE;
    case WM_TIMER:
      if (dialog_ != nullptr) dialog_->TimerTicked(static_cast<int>(wParam));
      return TRUE;
    case WM_DESTROY:
      // The children still live: give them back their own window procedures.
      drops_.clear();
      exit_.reset();
      fields_.clear();
      return FALSE;
    default:
      return FALSE;
  }
}

void Win32Window::OnInitDialog() {
  for (const res::Control& control : res::MainDialogTemplate().controls) {
    if (control.kind == res::Kind::Edit && (control.style & res::kMultiLine) == 0) {
      fields_[control.id] = std::make_unique<FieldEdit>(Item(control.id));
    }
    if ((control.style & res::kAcceptFiles) != 0) {
      if (FieldEdit* field = Field(control.id)) drops_[control.id] = std::make_unique<DropEdit>(*field);
    }
    if (control.kind == res::Kind::PushButton && (control.style & res::kOwnerDraw) != 0) {
      exit_ = std::make_unique<HoverButton>(Item(control.id));
    }
  }
  if (dialog_ != nullptr) dialog_->OnInitDialog();
}

void Win32Window::OnCommand(int id, int code) {
  if (code == EN_CHANGE) {
    if (FieldEdit* field = Field(id)) field->OnChange();
    return;
  }
  // Enter, Escape and the close box arrive as clicks of IDOK and IDCANCEL.
  if (code == BN_CLICKED && dialog_ != nullptr) dialog_->Clicked(id);
}

void Win32Window::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  if (IsIconic(hwnd_)) {
    SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    DrawIcon(dc, (client.right - client.left - width + 1) / 2, (client.bottom - client.top - height + 1) / 2,
             Icon(width));
  }
  EndPaint(hwnd_, &paint);
  // One real paint of the dialog, one enumeration of the adapters.
  if (dialog_ != nullptr) dialog_->OnPaint();
}

void Win32Window::OnContextMenu(HWND under, LPARAM position) {
  // A right click on the dialog's background opens its window menu, as the
  // Qt window offers it; the controls keep their own menus.
  if (!IsBackground(hwnd_, under)) return;
  POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  if (point.x == -1 && point.y == -1) {
    point = {0, 0};
    ClientToScreen(hwnd_, &point);
  }
  HMENU menu = GetSystemMenu(hwnd_, FALSE);
  if (menu == nullptr) return;
  const UINT command =
      static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, hwnd_, nullptr));
  if (command != 0) SendMessageW(hwnd_, WM_SYSCOMMAND, command, 0);
}

FieldEdit* Win32Window::Field(int id) const {
  auto found = fields_.find(id);
  return found == fields_.end() ? nullptr : found->second.get();
}

HICON Win32Window::Icon(int size) const {
  return static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(res::IDR_MAINFRAME), IMAGE_ICON, size, size, LR_SHARED));
}

// ---------------------------------------------------------------- items

std::string Win32Window::ItemText(int id) const {
  HWND item = Item(id);
  return item == nullptr ? std::string() : platform::WideToGbk(WindowText(item));
}

void Win32Window::SetItemText(int id, std::string_view text) {
  if (FieldEdit* field = Field(id)) {
    field->SetText(platform::GbkToWide(text));
  } else if (HWND item = Item(id)) {
    SetWindowTextW(item, platform::GbkToWide(text).c_str());
  }
}

void Win32Window::SetLimitText(int id, int bytes) {
  if (FieldEdit* field = Field(id)) {
    field->SetLimitBytes(bytes);
  } else if (HWND item = Item(id)) {
    SendMessageW(item, EM_LIMITTEXT, static_cast<WPARAM>(std::max(bytes, 0)), 0);
  }
}

void Win32Window::SetSel(int id, int start, int end) {
  HWND item = Item(id);
  if (item == nullptr) return;
  if (start < 0) {
    SendMessageW(item, EM_SETSEL, static_cast<WPARAM>(-1), 0);
    return;
  }
  const std::wstring text = WindowText(item);
  const int from = WidePosition(text, start);
  const int to = end < 0 ? static_cast<int>(text.size()) : WidePosition(text, end);
  SendMessageW(item, EM_SETSEL, static_cast<WPARAM>(from), static_cast<LPARAM>(to));
}

void Win32Window::GetSel(int id, int* start, int* end) const {
  int from = 0;
  int to = 0;
  if (HWND item = Item(id)) {
    DWORD first = 0;
    DWORD last = 0;
    SendMessageW(item, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    const std::wstring text = WindowText(item);
    from = GbkPosition(text, static_cast<int>(first));
    to = GbkPosition(text, static_cast<int>(last));
  }
  if (start != nullptr) *start = from;
  if (end != nullptr) *end = to;
}

void Win32Window::ScrollCaret(int id) {
  if (HWND item = Item(id)) SendMessageW(item, EM_SCROLLCARET, 0, 0);
}

int Win32Window::LineCount(int id) const {
  HWND item = Item(id);
  return item == nullptr ? 1 : static_cast<int>(SendMessageW(item, EM_GETLINECOUNT, 0, 0));
}

void Win32Window::LineScroll(int id, int lines) {
  if (HWND item = Item(id)) SendMessageW(item, EM_LINESCROLL, 0, lines);
}

// ---------------------------------------------------------------- buttons

int Win32Window::ButtonState(int id) const {
  // The check mark alone: a box that merely holds the focus is not set.
  HWND item = Item(id);
  return item != nullptr && SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED ? dialog::kBstChecked
                                                                                 : dialog::kBstUnchecked;
}

void Win32Window::SetCheck(int id, int state) {
  // Sends no click: the dialog's own check is no command.
  if (HWND item = Item(id)) {
    SendMessageW(item, BM_SETCHECK, state != dialog::kBstUnchecked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void Win32Window::EnableItem(int id, bool enable) {
  if (HWND item = Item(id)) EnableWindow(item, enable ? TRUE : FALSE);
}

bool Win32Window::IsItemEnabled(int id) const {
  HWND item = Item(id);
  return item != nullptr && IsWindowEnabled(item) != FALSE;
}

void Win32Window::SetFocus(int id) {
  // Through the dialog manager, so the default push button follows the focus.
  if (HWND item = Item(id)) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

// ---------------------------------------------------------------- lists

void Win32Window::AddString(int id, std::string_view text) {
  if (HWND item = Item(id)) SendMessageW(item, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platform::GbkToWide(text).c_str()));
}

void Win32Window::ResetContent(int id) {
  if (HWND item = Item(id)) SendMessageW(item, LB_RESETCONTENT, 0, 0);
}

int Win32Window::ListCount(int id) const {
  HWND item = Item(id);
  return item == nullptr ? 0 : static_cast<int>(SendMessageW(item, LB_GETCOUNT, 0, 0));
}

std::string Win32Window::ListText(int id, int index) const {
  HWND item = Item(id);
  if (item == nullptr || index < 0 || index >= ListCount(id)) return {};
  const LRESULT length = SendMessageW(item, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(item, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  return platform::WideToGbk(std::wstring_view(text.data(), static_cast<size_t>(length)));
}

int Win32Window::CurSel(int id) const {
  HWND item = Item(id);
  return item == nullptr ? -1 : static_cast<int>(SendMessageW(item, LB_GETCURSEL, 0, 0));
}

void Win32Window::SetCurSel(int id, int index) {
  if (HWND item = Item(id)) SendMessageW(item, LB_SETCURSEL, static_cast<WPARAM>(index < 0 ? -1 : index), 0);
}

// ---------------------------------------------------------------- boxes

int Win32Window::MessageBox(std::string_view text, int buttons) {
  const bool yesNo = (buttons & 0xF) == dialog::kMbYesNo;
  const int answer =
      MessageBoxW(hwnd_, platform::GbkToWide(text).c_str(), platform::GbkToWide(res::kAppTitle).c_str(), yesNo ? MB_YESNO : MB_OK);
  if (!yesNo) return dialog::kIdOk;
  return answer == IDYES ? dialog::kIdYes : dialog::kIdNo;
}

std::optional<std::string> Win32Window::ChooseOpenFile(std::string_view filter) {
  std::optional<std::wstring> path = ui::win32::ChooseOpenFile(hwnd_, platform::GbkToWide(filter));
  if (!path) return std::nullopt;
  return platform::WideToGbk(*path);
}

std::optional<std::string> Win32Window::ChooseSaveFile(std::string_view filter, std::string_view fileName) {
  std::optional<std::wstring> path = ui::win32::ChooseSaveFile(hwnd_, platform::GbkToWide(filter), platform::GbkToWide(fileName));
  if (!path) return std::nullopt;
  return platform::WideToGbk(*path);
}

void Win32Window::ShowAbout() { ShowAboutDialog(instance_, hwnd_); }

// ---------------------------------------------------------------- window

bool Win32Window::HasSystemMenu() const { return GetSystemMenu(hwnd_, FALSE) != nullptr; }

void Win32Window::AppendSystemMenuItem(int command, std::string_view text) {
  HMENU menu = GetSystemMenu(hwnd_, FALSE);
  if (menu == nullptr) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(command), platform::GbkToWide(text).c_str());
}

void Win32Window::SetAppIcon() {
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon(GetSystemMetrics(SM_CXICON))));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Icon(GetSystemMetrics(SM_CXSMICON))));
}

bool Win32Window::IsMinimized() const { return hwnd_ != nullptr && IsIconic(hwnd_) != FALSE; }

void Win32Window::EndDialog(int result) { ::EndDialog(hwnd_, result); }

void Win32Window::SetTimer(int id, unsigned milliseconds) {
  ::SetTimer(hwnd_, static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void Win32Window::KillTimer(int id) { ::KillTimer(hwnd_, static_cast<UINT_PTR>(id)); }

void Win32Window::KeepPainting() {
  // Paint messages only: clicks and keys wait in the queue until the handler ends.
  MSG message;
  for (int round = 0; round < kPaintRounds && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++round) {
    DispatchMessageW(&message);
  }
}

}  // namespace ui::win32
