// Keys, clicks and the window menu reach the dialog's logic as its commands.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "controls/gbk_text.h"
#include "res/resource_ids.h"
#include "tests/window/window_fixture.h"

namespace window_test {
namespace {

class RoutingTest : public WindowTest {
 protected:
  void SetUp() override { Open(); }
  bool Ended() const { return !window.isVisible(); }
  // The window menu's item with that text, or null.
  QAction* MenuItem(const QString& text) {
    for (QAction* action : window.WindowMenu().menu()->actions()) {
      if (action->text() == text) return action;
    }
    return nullptr;
  }
};

TEST_F(RoutingTest, EnterInAFieldEndsTheDialogWhenEveryFieldFits) {
  Control(res::IDC_DEVICE_NAME)->setFocus();
  QTest::keyClick(Control(res::IDC_DEVICE_NAME), Qt::Key_Return);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), app::IDOK);
}

TEST_F(RoutingTest, EnterWithAFieldOverItsLimitShowsTheBoxAndTheWindowStays) {
  window.SetItemText(res::IDC_START_LAP, "1234567");
  QString shown;
  WhenModalOpens("QMessageBox", [&](QWidget* box) {
    auto* message = static_cast<QMessageBox*>(box);
    shown = message->windowTitle() + "|" + message->text();
    message->button(QMessageBox::Ok)->click();
  });
  Control(res::IDC_DEVICE_NAME)->setFocus();
  QTest::keyClick(Control(res::IDC_DEVICE_NAME), Qt::Key_Return);
  EXPECT_TRUE(shown.startsWith("Tarnwick|")) << shown.toStdString();
  EXPECT_FALSE(Ended());
  // The window's focus waits in the field for the window to be active again.
  EXPECT_EQ(window.focusWidget(), Control(res::IDC_START_LAP));
}

TEST_F(RoutingTest, EnterInTheLogPaneIsTheDialogsOk) {
  Control(res::IDC_LOG)->setFocus();
  QTest::keyClick(Control(res::IDC_LOG), Qt::Key_Return);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), app::IDOK);
}

TEST_F(RoutingTest, EscapeEndsWithoutCollecting) {
  // Even a field over its limit does not hold the window back.
  window.SetItemText(res::IDC_START_LAP, "1234567");
  Control(res::IDC_DEVICE_NAME)->setFocus();
  QTest::keyClick(Control(res::IDC_DEVICE_NAME), Qt::Key_Escape);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), app::IDCANCEL);
}

TEST_F(RoutingTest, ExitAndTheCloseBoxEndTheDialog) {
  QTest::mouseClick(Control(res::IDCANCEL), Qt::LeftButton);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), app::IDCANCEL);

  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.close();
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), app::IDCANCEL);
}

TEST_F(RoutingTest, EnterOnAFocusedButtonClicksThatButton) {
  Control(res::IDCANCEL)->setFocus();
  QTest::keyClick(Control(res::IDCANCEL), Qt::Key_Return);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), app::IDCANCEL);
}

TEST_F(RoutingTest, ClicksReachTheirHandlers) {
  window.SetItemText(res::IDC_LOG, "old lines");
  QTest::mouseClick(Control(res::IDC_LIST_CLEAR), Qt::LeftButton);
  EXPECT_EQ(window.ItemText(res::IDC_LOG), "");
  EXPECT_FALSE(Ended());
}

TEST_F(RoutingTest, NoControlHasTheFocusAtStart) {
  QApplication::setActiveWindow(&window);
  QWidget* focus = QApplication::focusWidget();
  EXPECT_TRUE(focus == nullptr || focus == &window) << focus->objectName().toStdString();
}

TEST_F(RoutingTest, TheWindowMenuHoldsMinimiseCloseAndAbout) {
  QStringList items;
  for (QAction* action : window.WindowMenu().menu()->actions()) items << (action->isSeparator() ? "-" : action->text());
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items.at(2), "-");
  EXPECT_EQ(items.at(3), QString::fromUtf8("关于 Tarnwick(&A)..."));
}

TEST_F(RoutingTest, AltSpaceOpensTheWindowMenuAndItsItemOpensTheAboutBox) {
  QTest::keyClick(&window, Qt::Key_Space, Qt::AltModifier);
  ASSERT_TRUE(window.WindowMenu().menu()->isVisible());

  QStringList about;
  WhenModalOpens("ui::AboutDialog", [&](QWidget* box) {
    about << box->windowTitle();
    for (QLabel* label : box->findChildren<QLabel*>()) {
      if (!label->text().isEmpty()) about << label->text();
    }
    for (QPushButton* button : box->findChildren<QPushButton*>()) about << button->text();
    QTest::keyClick(box, Qt::Key_Escape);
  });
  MenuItem(QString::fromUtf8("关于 Tarnwick(&A)..."))->trigger();
  QTRY_COMPARE(about.size(), 3);
  EXPECT_EQ(about.at(0), QString::fromUtf8("关于 Tarnwick"));
  EXPECT_EQ(about.at(1), QString::fromUtf8("Tarnwick 3.0版"));
  EXPECT_EQ(about.at(2), QString::fromUtf8("确定"));
  EXPECT_FALSE(Ended());
}

TEST_F(RoutingTest, TheAboutBoxClosesWithItsOkButton) {
  bool closed = false;
  WhenModalOpens("ui::AboutDialog", [&](QWidget* box) {
    box->findChild<QPushButton*>()->click();
    closed = !box->isVisible();
  });
  window.ShowAbout();
  EXPECT_TRUE(closed);
}

TEST_F(RoutingTest, ARightClickOnTheBackgroundOpensTheWindowMenu) {
  // A spot of the dialog where no control lies.
  const QPoint background(window.width() / 2, window.height() - 4);
  ASSERT_EQ(window.childAt(background), nullptr);
  QContextMenuEvent click(QContextMenuEvent::Mouse, background, window.mapToGlobal(background));
  QApplication::sendEvent(&window, &click);
  EXPECT_TRUE(window.WindowMenu().menu()->isVisible());
  window.WindowMenu().menu()->hide();

  // On an edit the edit's own menu is meant.
  QWidget* edit = Control(res::IDC_DEVICE_NAME);
  QContextMenuEvent onEdit(QContextMenuEvent::Mouse, edit->geometry().center(),
                           window.mapToGlobal(edit->geometry().center()));
  QApplication::sendEvent(&window, &onEdit);
  EXPECT_FALSE(window.WindowMenu().menu()->isVisible());
}

TEST_F(RoutingTest, MinimiseFromTheWindowMenu) {
  MenuItem(QString::fromUtf8("最小化(&N)"))->trigger();
  QTRY_VERIFY(window.isMinimized());
  EXPECT_TRUE(window.IsMinimized());
}

}  // namespace
}  // namespace window_test
