// The Exit button: flat at rest, raised while hovered, sunken while pressed,
// judged by the pixels it draws.
#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "ui/qt/hover_button.h"
#include "res/resource_ids.h"
#include "tests/ui/qt/window_fixture.h"

namespace window_test {
namespace {

using ui::qt::HoverButton;

struct Edge {
  QRgb top, left, bottom, right;
};

// The colours along the middle of each side of the button's image.
Edge EdgeOf(const QImage& image) {
  const int w = image.width();
  const int h = image.height();
  return {image.pixel(w / 2, 0), image.pixel(0, h / 2), image.pixel(w / 2, h - 1), image.pixel(w - 1, h / 2)};
}

// The box around every pixel that differs from the face: the caption.
QRect CaptionBox(const QImage& image, QRgb face) {
  QRect box;
  for (int y = 2; y < image.height() - 2; ++y) {
    for (int x = 2; x < image.width() - 2; ++x) {
      if (image.pixel(x, y) != face) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

void SendMove(QWidget* widget, QPoint at, Qt::MouseButtons held) {
  QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
}

void SendButton(QWidget* widget, QEvent::Type type, QPoint at) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

class ExitButtonTest : public WindowTest {
 protected:
  void SetUp() override {
    Open();
    exit = static_cast<HoverButton*>(Control(res::kIdCancel));
    // As drawn: 8 bits a channel.
    face = exit->palette().color(QPalette::Button).rgb();
    light = exit->palette().color(QPalette::Light).rgb();
    dark = exit->palette().color(QPalette::Dark).rgb();
    ASSERT_NE(light, dark);
  }
  QImage Image() { return exit->grab().toImage(); }
  // A sunken edge, and the caption one pixel right and down from where the
  // unpressed button has it, otherwise the same.
  void ExpectSunken(const QImage& pressedImage, const QImage& unpressed) {
    const Edge pressed = EdgeOf(pressedImage);
    EXPECT_EQ(pressed.top, dark);
    EXPECT_EQ(pressed.left, dark);
    EXPECT_EQ(pressed.bottom, light);
    EXPECT_EQ(pressed.right, light);
    const QRect before = CaptionBox(unpressed, face);
    const QRect after = CaptionBox(pressedImage, face);
    ASSERT_FALSE(before.isEmpty());
    EXPECT_EQ(after, before.translated(1, 1));
    EXPECT_EQ(pressedImage.copy(after), unpressed.copy(before));
  }

  HoverButton* exit = nullptr;
  QRgb face = 0, light = 0, dark = 0;
};

TEST_F(ExitButtonTest, NoEdgeAtRestRaisedWhileHoveredSunkenWhilePressed) {
  const QPoint middle = exit->rect().center();
  const Edge rest = EdgeOf(Image());
  EXPECT_EQ(rest.top, face);
  EXPECT_EQ(rest.left, face);
  EXPECT_EQ(rest.bottom, face);
  EXPECT_EQ(rest.right, face);

  SendMove(exit, middle, Qt::NoButton);
  ASSERT_TRUE(exit->Hovering());
  const QImage hoveredImage = Image();
  const Edge hovered = EdgeOf(hoveredImage);
  EXPECT_EQ(hovered.top, light);
  EXPECT_EQ(hovered.left, light);
  EXPECT_EQ(hovered.bottom, dark);
  EXPECT_EQ(hovered.right, dark);

  SendButton(exit, QEvent::MouseButtonPress, middle);
  ExpectSunken(Image(), hoveredImage);
}

TEST_F(ExitButtonTest, SpaceHeldDownDrawsItSunkenWithoutAHover) {
  const QImage restImage = Image();
  exit->setFocus();
  ASSERT_TRUE(exit->hasFocus());
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(exit, &press);
  ASSERT_FALSE(exit->Hovering());
  ASSERT_TRUE(exit->isDown());

  ExpectSunken(Image(), restImage);

  // Letting go is the click: the dialog ends as with control 2.
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QApplication::sendEvent(exit, &release);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), dialog::kIdCancel);
}

TEST_F(ExitButtonTest, LeavingTheButtonRemovesTheEdge) {
  SendMove(exit, exit->rect().center(), Qt::NoButton);
  ASSERT_TRUE(exit->Hovering());
  SendMove(exit, QPoint(-5, -5), Qt::NoButton);
  EXPECT_FALSE(exit->Hovering());
  EXPECT_EQ(EdgeOf(Image()).top, face);
}

TEST_F(ExitButtonTest, HasNoFocusRectangle) {
  const QImage unfocused = Image();
  exit->setFocus();
  ASSERT_TRUE(exit->hasFocus());
  EXPECT_EQ(Image(), unfocused);
}

// The button on its own, for what the dialog cannot show without ending.
class HoverButtonTest : public ::testing::Test {
 protected:
  HoverButtonTest() : button(new HoverButton("Exit", &host)) {
    host.resize(200, 120);
    button->setGeometry(20, 20, 80, 50);
  }
  void SetUp() override {
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
  }
  QPoint Middle() const { return button->rect().center(); }

  QWidget host;
  HoverButton* button;
};

TEST_F(HoverButtonTest, EnteringWithTheButtonHeldDoesNotHover) {
  SendMove(button, Middle(), Qt::LeftButton);
  EXPECT_FALSE(button->Hovering());
  QEnterEvent enter(Middle(), button->mapTo(&host, Middle()), button->mapToGlobal(Middle()));
  QApplication::sendEvent(button, &enter);
  SendMove(button, Middle(), Qt::NoButton);
  EXPECT_TRUE(button->Hovering());
}

TEST_F(HoverButtonTest, LeaveDeactivationDisablingAndFocusLossCancelHover) {
  const QEvent::Type kCancels[] = {QEvent::Leave, QEvent::WindowDeactivate, QEvent::FocusOut};
  for (QEvent::Type type : kCancels) {
    SendMove(button, Middle(), Qt::NoButton);
    ASSERT_TRUE(button->Hovering());
    if (type == QEvent::FocusOut) {
      QFocusEvent event(type);
      QApplication::sendEvent(button, &event);
    } else {
      QEvent event(type);
      QApplication::sendEvent(button, &event);
    }
    EXPECT_FALSE(button->Hovering()) << type;
  }
  SendMove(button, Middle(), Qt::NoButton);
  button->setEnabled(false);
  EXPECT_FALSE(button->Hovering());
}

TEST_F(HoverButtonTest, HoversWhileAnotherWindowIsActive) {
  QWidget other;
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  QApplication::setActiveWindow(&other);
  ASSERT_FALSE(host.isActiveWindow());
  SendMove(button, Middle(), Qt::NoButton);
  EXPECT_TRUE(button->Hovering());
}

TEST_F(HoverButtonTest, ADoubleClickIsTwoClicks) {
  // The second press arriving as a double click only.
  QSignalSpy clicks(button, &QPushButton::clicked);
  SendButton(button, QEvent::MouseButtonPress, Middle());
  SendButton(button, QEvent::MouseButtonRelease, Middle());
  SendButton(button, QEvent::MouseButtonDblClick, Middle());
  SendButton(button, QEvent::MouseButtonRelease, Middle());
  EXPECT_EQ(clicks.count(), 2);

  // A second press followed by its double click, as Qt delivers one from the window system.
  clicks.clear();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                            QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
    SendButton(button, type, Middle());
  }
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(HoverButtonTest, DisabledCaptionIsEngraved) {
  button->setEnabled(false);
  const QImage image = button->grab().toImage();
  const QRgb face = button->palette().color(QPalette::Button).rgb();
  bool light = false;
  bool dark = false;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      light |= image.pixel(x, y) == button->palette().color(QPalette::Light).rgb();
      dark |= image.pixel(x, y) == button->palette().color(QPalette::Dark).rgb();
    }
  }
  EXPECT_TRUE(light && dark);
  EXPECT_EQ(EdgeOf(image).top, face);
}

}  // namespace
}  // namespace window_test
