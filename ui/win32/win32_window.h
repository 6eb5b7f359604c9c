// The station window on Windows: dialog 102 built from its template as an
// in-memory dialog template, implementing the Window port that MainDialog drives.
#pragma once

#include <map>
#include <memory>

#include "app/station_window.h"
#include "ui/win32/drop_edit.h"
#include "ui/win32/field_edit.h"
#include "ui/win32/hover_button.h"
#include "ui/win32/windows_api.h"

namespace ui::win32 {

class Win32Window : public app::StationWindow {
 public:
  explicit Win32Window(HINSTANCE instance);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // The logic that receives the window's messages; set before RunModal.
  void Attach(app::MainDialog* dialog) override { dialog_ = dialog; }
  // Creates the window, initialises the dialog and runs it until the dialog ends; the end's result.
  int RunModal() override;
  HWND hwnd() const { return hwnd_; }

  // ---- dialog::Window ----
  std::string ItemText(int id) const override;
  void SetItemText(int id, std::string_view text) override;
  void SetLimitText(int id, int bytes) override;
  void SetSel(int id, int start, int end) override;
  void GetSel(int id, int* start, int* end) const override;
  void ScrollCaret(int id) override;
  int LineCount(int id) const override;
  void LineScroll(int id, int lines) override;
  int ButtonState(int id) const override;
  void SetCheck(int id, int state) override;
  void EnableItem(int id, bool enable) override;
  bool IsItemEnabled(int id) const override;
  void SetFocus(int id) override;
  void AddString(int id, std::string_view text) override;
  void ResetContent(int id) override;
  int ListCount(int id) const override;
  std::string ListText(int id, int index) const override;
  int CurSel(int id) const override;
  void SetCurSel(int id, int index) override;
  int MessageBox(std::string_view text, int buttons) override;
  std::optional<std::string> ChooseOpenFile(std::string_view filter) override;
  std::optional<std::string> ChooseSaveFile(std::string_view filter, std::string_view fileName) override;
  void ShowAbout() override;
  bool HasSystemMenu() const override;
  void AppendSystemMenuItem(int command, std::string_view text) override;
  void SetAppIcon() override;
  bool IsMinimized() const override;
  void EndDialog(int result) override;
  void SetTimer(int id, unsigned milliseconds) override;
  void KillTimer(int id) override;
  void KeepPainting() override;

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog();
  void OnCommand(int id, int code);
  void OnPaint();
  void OnContextMenu(HWND under, LPARAM position);
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  FieldEdit* Field(int id) const;
  HICON Icon(int size) const;

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  app::MainDialog* dialog_ = nullptr;
  std::map<int, std::unique_ptr<FieldEdit>> fields_;
  std::map<int, std::unique_ptr<DropEdit>> drops_;
  std::unique_ptr<HoverButton> exit_;
};

}  // namespace ui::win32
