#include "ui/qt/about_dialog.h"

#include <QPushButton>

#include "ui/qt/gbk_text.h"
#include "res/resource_ids.h"
#include "ui/qt/control_factory.h"
#include "ui/qt/dialog_font.h"

namespace ui::qt {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  const res::Dialog& about = res::AboutDialogTemplate();
  setObjectName("AboutDialog");
  setWindowTitle(FromGbk(about.caption));
  setFont(DialogFont(about));
  const DialogUnits units = DialogUnits::Of(font());
  setFixedSize(units.ToPixels(about.width, about.height));

  QWidget* first = nullptr;
  for (const res::Control& control : about.controls) {
    QWidget* widget = CreateControl(control, units, this);
    if (control.id == res::kIdOk) {
      auto* ok = static_cast<QPushButton*>(widget);
      // OK is the box's default: Enter anywhere in it closes it.
      ok->setDefault(true);
      connect(ok, &QPushButton::clicked, this, &QDialog::accept);
      if (first == nullptr) first = ok;
    }
  }
  if (first != nullptr) first->setFocus();
}

}  // namespace ui::qt
