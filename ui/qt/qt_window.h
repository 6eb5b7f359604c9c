// The station window for the operator: dialog 102 built from its template,
// implementing the Window port that MainDialog drives.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWindow>
#include <map>
#include <memory>

#include "app/station_window.h"
#include "ui/qt/dialog_font.h"
#include "ui/qt/system_menu.h"

class QTimer;

namespace ui::qt {

class QtWindow : public QDialog, public app::StationWindow {
  Q_OBJECT

 public:
  explicit QtWindow(QWidget* parent = nullptr);
  ~QtWindow() override;

  // The logic that receives the window's messages; set before RunModal.
  void Attach(app::MainDialog* dialog) override { dialog_ = dialog; }
  // Initialises the dialog, shows the window and runs it until the dialog ends; the end's result.
  int RunModal() override;

  // The widget of a control id, or null.
  QWidget* Control(int id) const;
  const DialogUnits& Units() const { return units_; }
  SystemMenu& WindowMenu() { return systemMenu_; }
  void ShowSystemMenu(const QPoint& globalPosition);

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
  bool HasSystemMenu() const override { return true; }
  void AppendSystemMenuItem(int command, std::string_view text) override;
  void SetAppIcon() override;
  bool IsMinimized() const override;
  void EndDialog(int result) override;
  void SetTimer(int id, unsigned milliseconds) override;
  void KillTimer(int id) override;
  void KeepPainting() override;

 public slots:
  void reject() override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void BuildControls();
  void Command(int id);
  void SysCommand(unsigned command);
  // The dialog itself was exposed: the next paint of it is a real one.
  void MarkExposed();

  app::MainDialog* dialog_ = nullptr;
  DialogUnits units_{};
  std::map<int, QWidget*> controls_;
  std::map<int, std::unique_ptr<QTimer>> timers_;
  SystemMenu systemMenu_;
  bool exposed_ = false;
  // The native window whose exposes are the dialog's real paints.
  QPointer<QWindow> watchedWindow_;
  bool ended_ = false;
  // While set, a box's mark changes by the dialog's own hand: no command.
  bool settingCheck_ = false;
};

}  // namespace ui::qt
