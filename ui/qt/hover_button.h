// The flat push button of the Exit command: no edge at rest, a raised 1-pixel
// edge while the mouse is over it, a sunken edge with the caption one pixel
// right and down while pressed.
#pragma once

#include <QPushButton>

namespace ui::qt {

class HoverButton : public QPushButton {
  Q_OBJECT

 public:
  explicit HoverButton(const QString& caption, QWidget* parent = nullptr);

  bool Hovering() const { return hovering_; }
  // Drops the raised edge: the mouse left, the window lost activation, the
  // button was disabled or lost the focus, or a modal loop took the mouse.
  void CancelHover();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void TrackHover(const QPointF& position, Qt::MouseButtons buttons);

  bool hovering_ = false;
};

}  // namespace ui::qt
