#include "ui/qt/system_menu.h"

namespace ui::qt {

SystemMenu::SystemMenu(QWidget* owner, std::function<void(unsigned)> onCommand)
    : menu_(new QMenu(owner)), onCommand_(std::move(onCommand)) {
  menu_->setObjectName("SystemMenu");
  QAction* close = Add(SC_CLOSE, QStringLiteral("关闭(&C)"));
  // The frame's key for it, shown beside the caption: as a shortcut rather than
  // text after a tab, so a screen reader reads the caption alone as the name.
  close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  close->setShortcutVisibleInContextMenu(true);
}

void SystemMenu::Append(unsigned command, const QString& text) {
  menu_->addSeparator();
  Add(command, text);
}

QAction* SystemMenu::Add(unsigned command, const QString& text) {
  QAction* action = menu_->addAction(text);
  action->setData(command);
  // Queued: the menu closes before the command runs its own modal box.
  QObject::connect(action, &QAction::triggered, menu_, [this, command] { onCommand_(command); }, Qt::QueuedConnection);
  return action;
}

void SystemMenu::Popup(const QPoint& globalPosition) { menu_->popup(globalPosition); }

}  // namespace ui::qt
