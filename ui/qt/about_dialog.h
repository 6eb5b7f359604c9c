// About box 100: the icon, the version line and an OK button, from its template.
#pragma once

#include <QDialog>

namespace ui::qt {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace ui::qt
