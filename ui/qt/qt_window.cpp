#include "ui/qt/qt_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "app/main_dialog.h"
#include "res/dialog_template.h"
#include "res/resource_ids.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/app_icon_image.h"
#include "ui/qt/control_factory.h"
#include "ui/qt/field_edit.h"
#include "ui/qt/file_filter.h"
#include "ui/qt/gbk_text.h"
#include "ui/qt/message_box.h"

namespace ui::qt {
namespace {

// The log pane's lines end in "\r\n" on the port's side and in '\n' in Qt.
constexpr int kPaneLineBreak = 2;
// The system's icon size: the minimised window shows the icon at it.
constexpr int kSystemIconSize = 32;

QString PaneText(std::string_view gbk) {
  QString text = FromGbk(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

// Room for a background click: a spot where no control of the operator's is.
bool IsBackground(const QWidget* widget) {
  return qobject_cast<const QLabel*>(widget) != nullptr || qobject_cast<const QGroupBox*>(widget) != nullptr ||
         (qobject_cast<const QFrame*>(widget) != nullptr && widget->metaObject() == &QFrame::staticMetaObject);
}

}  // namespace

QtWindow::QtWindow(QWidget* parent)
    : QDialog(parent), systemMenu_(this, [this](unsigned command) { SysCommand(command); }) {
  const res::Dialog& main = res::MainDialogTemplate();
  setObjectName("MainDialog");
  setWindowTitle(FromGbk(main.caption));
  // A dialog's frame: title bar, system menu and close box, no minimise or
  // maximise box. A window of its own rather than Qt::Dialog: a dialog without
  // a parent becomes a transient of the program, and loses its taskbar button.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFont(DialogFont(main));
  units_ = DialogUnits::Of(font());
  setFixedSize(units_.ToPixels(main.width, main.height));
  BuildControls();

  // The dialog itself holds the focus until the operator picks a control:
  // the initialisation gives no control the first focus.
  QDialog::setFocus(Qt::OtherFocusReason);

  auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
  connect(menuKey, &QShortcut::activated, this, [this] { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });
}

QtWindow::~QtWindow() = default;

void QtWindow::BuildControls() {
  const res::Dialog& main = res::MainDialogTemplate();
  QWidget* previous = nullptr;
  for (const res::Control& control : main.controls) {
    QWidget* widget = CreateControl(control, units_, this);
    if (control.id != res::kNoId) controls_[control.id] = widget;

    if ((control.style & res::kTabStop) != 0) {
      if (previous != nullptr) setTabOrder(previous, widget);
      previous = widget;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      const int id = control.id;
      if (button->isCheckable()) {
        // A box's mark turns by every way of pressing it, the screen reader's
        // Toggle and toggle() included, which send no click; only the dialog's
        // own SetCheck is no command.
        connect(button, &QAbstractButton::toggled, this, [this, id] {
          if (!settingCheck_) Command(id);
        });
      } else {
        connect(button, &QAbstractButton::clicked, this, [this, id] { Command(id); });
      }
    }
    if (auto* pane = qobject_cast<QPlainTextEdit*>(widget)) pane->installEventFilter(this);
  }
  // Frames lie under everything: they must neither paint over nor catch the
  // clicks of the controls they enclose, whatever their place in the tab order.
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (qobject_cast<QGroupBox*>(child) != nullptr || child->metaObject() == &QFrame::staticMetaObject) child->lower();
  }
}

int QtWindow::RunModal() {
  if (dialog_ != nullptr) dialog_->OnInitDialog();
  if (ended_) return result();
  return exec();
}

QWidget* QtWindow::Control(int id) const {
  auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

// ---------------------------------------------------------------- routing

void QtWindow::Command(int id) {
  if (dialog_ != nullptr) dialog_->Clicked(id);
}

void QtWindow::SysCommand(unsigned command) {
  if (dialog_ != nullptr && dialog_->OnSysCommand(command)) return;
  if ((command & 0xFFF0u) == SC_CLOSE) close();
}

void QtWindow::ShowSystemMenu(const QPoint& globalPosition) { systemMenu_.Popup(globalPosition); }

void QtWindow::reject() {
  // Escape, the close box and Alt+F4 all come here.
  if (dialog_ == nullptr) {
    QDialog::reject();
  } else {
    dialog_->Clicked(res::kIdCancel);
  }
}

void QtWindow::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
  if (enter && plain) {
    // A focused push button takes Enter as its click; anywhere else Enter is the dialog's OK.
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button != nullptr && button->isVisible() && button->isEnabled()) {
      button->click();
    } else {
      Command(res::kIdOk);
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void QtWindow::contextMenuEvent(QContextMenuEvent* event) {
  QWidget* under = childAt(event->pos());
  if (under == nullptr || IsBackground(under)) {
    ShowSystemMenu(event->globalPos());
  } else {
    event->ignore();
  }
}

// ---------------------------------------------------------------- painting

void QtWindow::MarkExposed() {
  exposed_ = true;
  update();
}

bool QtWindow::event(QEvent* event) {
  // Showing, resizing and restoring the dialog reach the screen as an expose
  // of its native window, and are painted from there: marking them here too
  // would ask for the adapters twice for one paint.
  QWindow* native = windowHandle();
  if (event->type() == QEvent::Show && native != nullptr && native != watchedWindow_) {
    // The native window comes with the first show, and anew whenever Qt recreates it.
    native->installEventFilter(this);
    watchedWindow_ = native;
  }
  return QDialog::event(event);
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
    MarkExposed();
  }
  if (event->type() == QEvent::KeyPress && qobject_cast<QPlainTextEdit*>(watched) != nullptr) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      // The log pane breaks a line on Ctrl+Enter; plain Enter is the dialog's OK.
      if (key->modifiers() & Qt::ControlModifier) {
        static_cast<QPlainTextEdit*>(watched)->insertPlainText(QStringLiteral("\n"));
      } else {
        Command(res::kIdOk);
      }
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void QtWindow::paintEvent(QPaintEvent*) {
  if (isMinimized()) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.drawPixmap((width() - kSystemIconSize + 1) / 2, (height() - kSystemIconSize + 1) / 2, AppIconPixmap());
  }
  // Only a real exposure of the dialog asks for the adapters: children that
  // change their own text, and Qt's repaints under them, do not.
  if (exposed_) {
    exposed_ = false;
    if (dialog_ != nullptr) dialog_->OnPaint();
  }
}

// ---------------------------------------------------------------- items

std::string QtWindow::ItemText(int id) const {
  const QWidget* widget = Control(id);
  if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return ToGbk(edit->text());
  if (auto* pane = qobject_cast<const QPlainTextEdit*>(widget)) {
    return ToGbk(pane->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
  }
  if (auto* label = qobject_cast<const QLabel*>(widget)) return ToGbk(label->text());
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return ToGbk(button->text());
  if (auto* group = qobject_cast<const QGroupBox*>(widget)) return ToGbk(group->title());
  return {};
}

void QtWindow::SetItemText(int id, std::string_view text) {
  QWidget* widget = Control(id);
  if (auto* field = qobject_cast<FieldEdit*>(widget)) {
    field->SetText(FromGbk(text));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(FromGbk(text));
  } else if (auto* pane = qobject_cast<QPlainTextEdit*>(widget)) {
    pane->setPlainText(PaneText(text));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(FromGbk(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(FromGbk(text));
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(FromGbk(text));
  }
}

void QtWindow::SetLimitText(int id, int bytes) {
  if (auto* field = qobject_cast<FieldEdit*>(Control(id))) field->SetLimitBytes(bytes);
}

void QtWindow::SetSel(int id, int start, int end) {
  QWidget* widget = Control(id);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    const QString text = edit->text();
    if (start < 0) {
      edit->deselect();
      return;
    }
    const int from = QtPosition(text, start);
    const int to = end < 0 ? static_cast<int>(text.size()) : QtPosition(text, end);
    edit->setSelection(from, to - from);
  } else if (auto* pane = qobject_cast<QPlainTextEdit*>(widget)) {
    const QString text = pane->toPlainText();
    QTextCursor cursor = pane->textCursor();
    if (start < 0) {
      cursor.clearSelection();
    } else {
      cursor.setPosition(QtPosition(text, start, kPaneLineBreak));
      cursor.setPosition(end < 0 ? static_cast<int>(text.size()) : QtPosition(text, end, kPaneLineBreak),
                         QTextCursor::KeepAnchor);
    }
    pane->setTextCursor(cursor);
  }
}

void QtWindow::GetSel(int id, int* start, int* end) const {
  int from = 0;
  int to = 0;
  const QWidget* widget = Control(id);
  if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
    const QString text = edit->text();
    from = to = edit->cursorPosition();
    if (edit->hasSelectedText()) {
      from = edit->selectionStart();
      to = edit->selectionEnd();
    }
    from = GbkPosition(text, from);
    to = GbkPosition(text, to);
  } else if (auto* pane = qobject_cast<const QPlainTextEdit*>(widget)) {
    const QString text = pane->toPlainText();
    const QTextCursor cursor = pane->textCursor();
    from = GbkPosition(text, cursor.selectionStart(), kPaneLineBreak);
    to = GbkPosition(text, cursor.selectionEnd(), kPaneLineBreak);
  }
  if (start != nullptr) *start = from;
  if (end != nullptr) *end = to;
}

void QtWindow::ScrollCaret(int id) {
  // A line edit keeps its caret in view by itself.
  if (auto* pane = qobject_cast<QPlainTextEdit*>(Control(id))) pane->ensureCursorVisible();
}

int QtWindow::LineCount(int id) const {
  if (auto* pane = qobject_cast<const QPlainTextEdit*>(Control(id))) return pane->document()->blockCount();
  return 1;
}

void QtWindow::LineScroll(int id, int lines) {
  // The pane does not wrap, so one step of its bar is one line.
  if (auto* pane = qobject_cast<QPlainTextEdit*>(Control(id))) {
    QScrollBar* bar = pane->verticalScrollBar();
    bar->setValue(bar->value() + lines);
  }
}

// ---------------------------------------------------------------- buttons

int QtWindow::ButtonState(int id) const {
  // The check mark alone: a box that merely holds the focus is not set.
  auto* button = qobject_cast<const QAbstractButton*>(Control(id));
  return button != nullptr && button->isCheckable() && button->isChecked() ? dialog::kBstChecked : dialog::kBstUnchecked;
}

void QtWindow::SetCheck(int id, int state) {
  if (auto* button = qobject_cast<QAbstractButton*>(Control(id)); button != nullptr && button->isCheckable()) {
    // As on the platform where setting a check sends no click notification.
    const bool outer = std::exchange(settingCheck_, true);
    button->setChecked(state != dialog::kBstUnchecked);
    settingCheck_ = outer;
  }
}

void QtWindow::EnableItem(int id, bool enable) {
  if (QWidget* widget = Control(id)) widget->setEnabled(enable);
}

bool QtWindow::IsItemEnabled(int id) const {
  const QWidget* widget = Control(id);
  return widget != nullptr && !widget->testAttribute(Qt::WA_Disabled);
}

void QtWindow::SetFocus(int id) {
  if (QWidget* widget = Control(id)) widget->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- lists

void QtWindow::AddString(int id, std::string_view text) {
  if (auto* list = qobject_cast<QListWidget*>(Control(id))) list->addItem(FromGbk(text));
}

void QtWindow::ResetContent(int id) {
  if (auto* list = qobject_cast<QListWidget*>(Control(id))) list->clear();
}

int QtWindow::ListCount(int id) const {
  auto* list = qobject_cast<const QListWidget*>(Control(id));
  return list == nullptr ? 0 : list->count();
}

std::string QtWindow::ListText(int id, int index) const {
  auto* list = qobject_cast<const QListWidget*>(Control(id));
  if (list == nullptr || index < 0 || index >= list->count()) return {};
  return ToGbk(list->item(index)->text());
}

int QtWindow::CurSel(int id) const {
  auto* list = qobject_cast<const QListWidget*>(Control(id));
  if (list == nullptr) return -1;
  const QList<QListWidgetItem*> selected = list->selectedItems();
  return selected.isEmpty() ? -1 : list->row(selected.first());
}

void QtWindow::SetCurSel(int id, int index) {
  auto* list = qobject_cast<QListWidget*>(Control(id));
  if (list == nullptr) return;
  if (index < 0 || index >= list->count()) {
    list->clearSelection();
    return;
  }
  list->setCurrentRow(index);
}

// ---------------------------------------------------------------- boxes

int QtWindow::MessageBox(std::string_view text, int buttons) { return ShowMessageBox(this, text, buttons); }

std::optional<std::string> QtWindow::ChooseOpenFile(std::string_view filter) {
  const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), QtFileFilter(FromGbk(filter)));
  if (path.isEmpty()) return std::nullopt;
  return ToGbk(path);
}

std::optional<std::string> QtWindow::ChooseSaveFile(std::string_view filter, std::string_view fileName) {
  const QString path =
      QFileDialog::getSaveFileName(this, QString(), FromGbk(fileName), QtFileFilter(FromGbk(filter)));
  if (path.isEmpty()) return std::nullopt;
  return ToGbk(path);
}

void QtWindow::ShowAbout() {
  AboutDialog about(this);
  about.exec();
}

// ---------------------------------------------------------------- window

void QtWindow::AppendSystemMenuItem(int command, std::string_view text) {
  systemMenu_.Append(static_cast<unsigned>(command), FromGbk(text));
}

void QtWindow::SetAppIcon() { setWindowIcon(AppIconIcon()); }

bool QtWindow::IsMinimized() const { return isMinimized(); }

void QtWindow::EndDialog(int result) {
  ended_ = true;
  done(result);
}

void QtWindow::SetTimer(int id, unsigned milliseconds) {
  std::unique_ptr<QTimer>& timer = timers_[id];
  if (timer == nullptr) {
    timer = std::make_unique<QTimer>();
    connect(timer.get(), &QTimer::timeout, this, [this, id] {
      if (dialog_ != nullptr) dialog_->TimerTicked(id);
    });
  }
  timer->start(static_cast<int>(milliseconds));
}

void QtWindow::KillTimer(int id) { timers_.erase(id); }

void QtWindow::KeepPainting() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace ui::qt
