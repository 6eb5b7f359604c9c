#include "tests/ui/qt/window_fixture.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <memory>

#include "ui/qt/gbk_text.h"

namespace window_test {

WindowTest::WindowTest() {
  engine.portNames = "USB SPI (0)";
  engine.portTransports = "SPITRANS=USB SPIPORT=0";
  window.Attach(&dialog);
}

WindowTest::~WindowTest() { window.hide(); }

void WindowTest::Open() {
  dialog.OnInitDialog();
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
}

QString WindowTest::Text(int id) const { return ui::qt::FromGbk(window.ItemText(id)); }

void WhenModalOpens(const char* className, std::function<void(QWidget*)> answer) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  // Gives up after five seconds, so a box that never opens fails the test instead of a later one.
  auto ticks = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, className, answer, ticks] {
    if (++*ticks > 500) {
      poll->stop();
      poll->deleteLater();
      return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->inherits(className)) return;
    poll->stop();
    poll->deleteLater();
    answer(modal);
  });
  poll->start();
}

}  // namespace window_test
