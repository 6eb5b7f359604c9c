// The adapters are asked when the dialog itself is exposed, and only then.
#include <QExposeEvent>
#include <QTest>
#include <QWindow>
#include <functional>

#include "res/resource_ids.h"
#include "tests/ui/qt/window_fixture.h"

namespace window_test {
namespace {

class PaintingTest : public WindowTest {
 protected:
  size_t Enumerations() const { return engine.CallsOf("teGetAvailableSpiPorts").size(); }
  // The enumerations that `change` brings about, once every event it causes has been handled.
  size_t EnumerationsOf(const std::function<void()>& change) {
    QTest::qWait(100);
    const size_t before = Enumerations();
    change();
    QTest::qWait(300);
    return Enumerations() - before;
  }
};

TEST_F(PaintingTest, ShowingTheWindowEnumeratesOnce) {
  dialog.OnInitDialog();
  EXPECT_EQ(EnumerationsOf([&] {
              window.show();
              ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
            }),
            1u);
}

TEST_F(PaintingTest, AResizeEnumeratesOnce) {
  Open();
  // The size is fixed: only the window system, or a change of the dialog's font, resizes it.
  EXPECT_EQ(EnumerationsOf([&] { window.setFixedSize(window.size() + QSize(40, 30)); }), 1u);
  EXPECT_EQ(EnumerationsOf([&] { window.setFixedSize(window.size() - QSize(40, 30)); }), 1u);
}

TEST_F(PaintingTest, MinimisingAndRestoringEnumerateOnce) {
  Open();
  EXPECT_EQ(EnumerationsOf([&] {
              window.showMinimized();
              QTRY_VERIFY(window.isMinimized());
              window.showNormal();
              QTRY_VERIFY(!window.isMinimized());
            }),
            1u);
}

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
  window.SetCheck(res::IDC_SPI_FLASH, dialog::kBstChecked);
  window.SetCheck(res::IDC_SPI_FLASH, dialog::kBstUnchecked);
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
