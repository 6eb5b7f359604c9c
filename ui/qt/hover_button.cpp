#include "ui/qt/hover_button.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace ui::qt {
namespace {

// A one-pixel 3-D rectangle: top and left in `topLeft`, bottom and right in `bottomRight`.
void DrawEdge(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
  painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
  painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
  painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
  painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

}  // namespace

HoverButton::HoverButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  setFlat(true);
  // A dialog must not turn it into its default button: Enter on it acts as a
  // click only while it has the focus, as on any push button.
  setAutoDefault(false);
  // Hover is tracked on plain mouse moves, not only while a button is held.
  setMouseTracking(true);
  // Every pixel is painted here, so nothing below needs repainting with it.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void HoverButton::CancelHover() {
  if (hovering_) {
    hovering_ = false;
    update();
  }
}

void HoverButton::TrackHover(const QPointF& position, Qt::MouseButtons buttons) {
  // A drag that arrives from elsewhere does not light the button up.
  // Hover counts also while another window is active.
  if ((buttons & Qt::LeftButton) && !hovering_) return;
  if (rect().contains(position.toPoint())) {
    if (!hovering_) {
      hovering_ = true;
      update();
    }
  } else {
    CancelHover();
  }
}

bool HoverButton::event(QEvent* event) {
  const bool handled = QPushButton::event(event);
  switch (event->type()) {
    case QEvent::MouseMove: {
      auto* move = static_cast<QMouseEvent*>(event);
      TrackHover(move->position(), move->buttons());
      break;
    }
    case QEvent::Enter:
      TrackHover(static_cast<QEnterEvent*>(event)->position(), QApplication::mouseButtons());
      break;
    // Qt sends Leave also when a modal box or a popup takes the mouse away.
    case QEvent::Leave:
    case QEvent::FocusOut:
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
      CancelHover();
      break;
    case QEvent::EnabledChange:
      // Qt has already moved the focus on to the next control.
      if (!isEnabled()) CancelHover();
      break;
    default:
      break;
  }
  return handled;
}

void HoverButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is one more press, so it clicks again.
  mousePressEvent(event);
}

void HoverButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colours = palette();
  const bool pressed = isDown() || (isCheckable() && isChecked());
  const bool disabled = !isEnabled();
  const QRect item = rect();

  painter.fillRect(item, colours.color(QPalette::Button));
  if (pressed || hovering_) {
    const QColor highlight = colours.color(QPalette::Light);
    const QColor shadow = colours.color(QPalette::Dark);
    if (pressed) {
      DrawEdge(painter, item, shadow, highlight);
    } else {
      DrawEdge(painter, item, highlight, shadow);
    }
  }

  const QString caption = text();
  if (!caption.isEmpty()) {
    QRect captionRect = item;
    if (pressed && !isCheckable()) captionRect.translate(1, 1);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    if (disabled) {
      // Engraved: a light copy one pixel down and right under the shadowed caption.
      painter.setPen(colours.color(QPalette::Light));
      painter.drawText(captionRect.translated(1, 1), flags, caption);
      painter.setPen(colours.color(QPalette::Dark));
      painter.drawText(captionRect, flags, caption);
    } else {
      painter.setPen(colours.color(QPalette::ButtonText));
      painter.drawText(captionRect, flags, caption);
    }
  }
}

}  // namespace ui::qt
