// The adapters are asked when the dialog itself is exposed, and only then.
#include <QExposeEvent>
#include <QTest>
#include <QWindow>

#include "res/resource_ids.h"
#include "tests/window/window_fixture.h"

namespace window_test {
namespace {

class PaintingTest : public WindowTest {
 protected:
  size_t Enumerations() const { return engine.CallsOf("teGetAvailableSpiPorts").size(); }
};

TEST_F(PaintingTest, ShowingTheWindowListsTheAdapters) {
  EXPECT_EQ(Enumerations(), 0u);
  Open();
  QTRY_VERIFY(Enumerations() >= 1u);
  EXPECT_EQ(transports.Device1Transport, "SPITRANS=USB SPIPORT=0");
}

TEST_F(PaintingTest, ChildrenChangingTheirTextDoNotEnumerate) {
  Open();
  QTRY_VERIFY(Enumerations() >= 1u);
  QTest::qWait(50);
  const size_t before = Enumerations();
  dialog.Report("%s", "a report line");
  dialog.SetItemTextFormat(res::IDC_PROGRESS, "%d", 42);
  window.SetItemText(res::IDC_MEMORY_SIZE, "512Kbit");
  window.AddString(res::IDC_DEVICE2_LIST, "extra");
  window.SetCheck(res::IDC_SPI_FLASH, app::BST_CHECKED);
  window.SetCheck(res::IDC_SPI_FLASH, app::BST_UNCHECKED);
  window.grab();
  QTest::qWait(200);
  EXPECT_EQ(Enumerations(), before);
}

TEST_F(PaintingTest, AnIdleWindowDoesNotAskAgainAndAgain) {
  Open();
  QTRY_VERIFY(Enumerations() >= 1u);
  const size_t settled = Enumerations();
  QTest::qWait(300);
  EXPECT_EQ(Enumerations(), settled);
}

TEST_F(PaintingTest, UncoveringAndShowingAgainEnumerateAgain) {
  Open();
  QTRY_VERIFY(Enumerations() >= 1u);
  size_t before = Enumerations();
  // What the window system sends when a covering window goes away.
  QExposeEvent uncovered(QRegion(0, 0, 50, 50));
  QCoreApplication::sendEvent(window.windowHandle(), &uncovered);
  QTRY_VERIFY(Enumerations() > before);

  before = Enumerations();
  window.hide();
  window.show();
  QTRY_VERIFY(Enumerations() > before);
}

TEST_F(PaintingTest, TheListsHoldTheLatestAnswerOnly) {
  Open();
  QTRY_VERIFY(Enumerations() >= 1u);
  QExposeEvent uncovered(QRegion(0, 0, 50, 50));
  QCoreApplication::sendEvent(window.windowHandle(), &uncovered);
  QTRY_VERIFY(Enumerations() >= 2u);
  EXPECT_EQ(window.ListCount(res::IDC_DEVICE1_LIST), 1);
  EXPECT_EQ(window.ListText(res::IDC_DEVICE1_LIST, 0), "USB SPI (0)");
}

}  // namespace
}  // namespace window_test
