// A check box whose caption is never cut at the foot: where the template's
// rectangle is too low for the caption's ink, the line moves up until its
// lowest ink fits, so the '_' of "SPI_Flash" shows.
#pragma once

#include <QCheckBox>

namespace ui::qt {

class CaptionCheckBox : public QCheckBox {
  Q_OBJECT

 public:
  explicit CaptionCheckBox(const QString& caption, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace ui::qt
