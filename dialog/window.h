// The window as the dialog's logic sees it. The Qt window implements it for the
// operator, an in-memory window for the tests. All text is GBK; positions and
// lengths count bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dialog {

// Message-box buttons and the answers, with the platform's numbers.
inline constexpr int kMbOk = 0x0;
inline constexpr int kMbYesNo = 0x4;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Button states, as the state query reports them.
inline constexpr int kBstUnchecked = 0x0;
inline constexpr int kBstChecked = 0x1;

class Window {
 public:
  virtual ~Window() = default;

  // Text of a control: an edit's content, a label's text, a button's caption.
  virtual std::string ItemText(int id) const = 0;
  virtual void SetItemText(int id, std::string_view text) = 0;

  // Edits. A selection runs from `start` to `end`; -1 as `end` means the end of the text.
  virtual void SetLimitText(int id, int bytes) = 0;
  virtual void SetSel(int id, int start, int end) = 0;
  virtual void GetSel(int id, int* start, int* end) const = 0;
  virtual void ScrollCaret(int id) = 0;
  virtual int LineCount(int id) const = 0;
  virtual void LineScroll(int id, int lines) = 0;

  // Buttons and check boxes.
  virtual int ButtonState(int id) const = 0;
  virtual void SetCheck(int id, int state) = 0;
  virtual void EnableItem(int id, bool enable) = 0;
  virtual bool IsItemEnabled(int id) const = 0;
  virtual void SetFocus(int id) = 0;

  // One-line list boxes: entries added at the end; -1 is no selection.
  virtual void AddString(int id, std::string_view text) = 0;
  virtual void ResetContent(int id) = 0;  // removes every entry
  virtual int ListCount(int id) const = 0;
  virtual std::string ListText(int id, int index) const = 0;
  virtual int CurSel(int id) const = 0;
  virtual void SetCurSel(int id, int index) = 0;

  // Modal boxes: answer kIdOk, kIdYes or kIdNo. The caption is the application's title.
  virtual int MessageBox(std::string_view text, int buttons) = 0;
  // The standard file-open box with a filter such as "Files(*.bin)|*.bin||";
  // the full path chosen, or nothing when the operator cancels.
  virtual std::optional<std::string> ChooseOpenFile(std::string_view filter) = 0;
  // The standard save-as box, offering `fileName`; the full path, or nothing.
  virtual std::optional<std::string> ChooseSaveFile(std::string_view filter, std::string_view fileName) = 0;
  virtual void ShowAbout() = 0;

  // The window itself.
  virtual bool HasSystemMenu() const = 0;
  // A separator, then an item that sends `command` to OnSysCommand.
  virtual void AppendSystemMenuItem(int command, std::string_view text) = 0;
  virtual void SetAppIcon() = 0;
  virtual bool IsMinimized() const = 0;
  virtual void EndDialog(int result) = 0;
  virtual void SetTimer(int id, unsigned milliseconds) = 0;
  virtual void KillTimer(int id) = 0;
  // While a handler blocks: repaint what it changed, take no input.
  virtual void KeepPainting() = 0;
};

}  // namespace dialog
