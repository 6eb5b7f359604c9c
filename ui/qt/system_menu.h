// The window's own system menu: Linux window managers offer none to a
// program, so Alt+Space and a right click on the dialog open this one.
#pragma once

#include <QMenu>
#include <functional>

namespace ui::qt {

// The platform's number of the one standard system command the menu offers:
// the frame has no minimise or maximise box, so neither has the menu.
inline constexpr unsigned SC_CLOSE = 0xF060;

class SystemMenu {
 public:
  // Every item sends its command to `onCommand`.
  SystemMenu(QWidget* owner, std::function<void(unsigned)> onCommand);

  // A separator, then the item.
  void Append(unsigned command, const QString& text);
  void Popup(const QPoint& globalPosition);
  QMenu* menu() { return menu_; }

 private:
  QAction* Add(unsigned command, const QString& text);

  QMenu* menu_;
  std::function<void(unsigned)> onCommand_;
};

}  // namespace ui::qt
