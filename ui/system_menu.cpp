#include "ui/system_menu.h"

namespace ui {

SystemMenu::SystemMenu(QWidget* owner, std::function<void(unsigned)> onCommand)
    : menu_(new QMenu(owner)), onCommand_(std::move(onCommand)) {
  menu_->setObjectName("SystemMenu");
  Add(SC_MINIMIZE, QStringLiteral("最小化(&N)"));
  Add(SC_CLOSE, QStringLiteral("关闭(&C)\tAlt+F4"));
}

void SystemMenu::Append(unsigned command, const QString& text) {
  menu_->addSeparator();
  Add(command, text);
}

void SystemMenu::Add(unsigned command, const QString& text) {
  QAction* action = menu_->addAction(text);
  action->setData(command);
  // Queued: the menu closes before the command runs its own modal box.
  QObject::connect(action, &QAction::triggered, menu_, [this, command] { onCommand_(command); }, Qt::QueuedConnection);
}

void SystemMenu::Popup(const QPoint& globalPosition) { menu_->popup(globalPosition); }

}  // namespace ui
