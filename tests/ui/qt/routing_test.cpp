// Keys, clicks and the window menu reach the dialog's logic as its commands.
#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
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

#include "ui/qt/gbk_text.h"
#include "memory/memory_type.h"
#include "res/resource_ids.h"
#include "tests/ui/qt/window_fixture.h"

namespace window_test {
namespace {

// The ways an operator, a screen reader or the program's own code can press a control.
enum class Way { MouseClick, Space, AccessibleToggle, AccessiblePress, Click, Toggle };

const char* NameOf(Way way) {
  switch (way) {
    case Way::MouseClick: return "mouse click";
    case Way::Space: return "Space";
    case Way::AccessibleToggle: return "screen reader's Toggle";
    case Way::AccessiblePress: return "screen reader's Press";
    case Way::Click: return "click()";
    case Way::Toggle: return "toggle()";
  }
  return "";
}

// What a screen reader does: ask the control's accessible interface for the action by name.
void DoAccessibleAction(QWidget* widget, const QString& action) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  ASSERT_NE(face, nullptr);
  ASSERT_NE(face->actionInterface(), nullptr);
  face->actionInterface()->doAction(action);
}

std::string RoadOf(memory::MemoryType type) {
  switch (type) {
    case memory::MemoryType::SpiFlash: return "SPI flash";
    case memory::MemoryType::Eeprom: return "EEPROM";
    case memory::MemoryType::ParallelFlash: return "parallel flash";
  }
  return "";
}

void Activate(QAbstractButton* button, Way way) {
  switch (way) {
    case Way::MouseClick:
      QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
      break;
    case Way::Space:
      button->setFocus();
      QTest::keyClick(button, Qt::Key_Space);
      break;
    case Way::AccessibleToggle:
      DoAccessibleAction(button, QAccessibleActionInterface::toggleAction());
      break;
    case Way::AccessiblePress:
      // The press is animated: the click comes when the button comes up again.
      DoAccessibleAction(button, QAccessibleActionInterface::pressAction());
      QTRY_VERIFY(!button->isDown());
      break;
    case Way::Click:
      button->click();
      break;
    case Way::Toggle:
      button->toggle();
      break;
  }
}

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
  EXPECT_EQ(window.result(), dialog::kIdOk);
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
  EXPECT_EQ(window.result(), dialog::kIdOk);
}

TEST_F(RoutingTest, EscapeEndsWithoutCollecting) {
  // Even a field over its limit does not hold the window back.
  window.SetItemText(res::IDC_START_LAP, "1234567");
  Control(res::IDC_DEVICE_NAME)->setFocus();
  QTest::keyClick(Control(res::IDC_DEVICE_NAME), Qt::Key_Escape);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), dialog::kIdCancel);
}

TEST_F(RoutingTest, ExitAndTheCloseBoxEndTheDialog) {
  QTest::mouseClick(Control(res::kIdCancel), Qt::LeftButton);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), dialog::kIdCancel);

  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.close();
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), dialog::kIdCancel);
}

TEST_F(RoutingTest, EnterOnAFocusedButtonClicksThatButton) {
  Control(res::kIdCancel)->setFocus();
  QTest::keyClick(Control(res::kIdCancel), Qt::Key_Return);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), dialog::kIdCancel);
}

TEST_F(RoutingTest, ClicksReachTheirHandlers) {
  window.SetItemText(res::IDC_LOG, "old lines");
  QTest::mouseClick(Control(res::IDC_LIST_CLEAR), Qt::LeftButton);
  EXPECT_EQ(window.ItemText(res::IDC_LOG), "");
  EXPECT_FALSE(Ended());
}

TEST_F(RoutingTest, EveryWayOfTickingAMemoryBoxRunsItsCommandOnce) {
  // With device 1 ticked, a flash selection reads the flash information once: one flInitTrans.
  const struct {
    int id;
    bool eeprom, spiFlash, parallelFlash;
    memory::MemoryType type;
    size_t queries;
  } kCases[] = {
      {res::IDC_SPI_FLASH, false, true, false, memory::MemoryType::SpiFlash, 1},
      {res::IDC_PARALLEL_FLASH, false, false, true, memory::MemoryType::ParallelFlash, 1},
      // Pressed while already ticked: the press unticks it, its command ticks it again.
      {res::IDC_EEPROM, true, false, false, memory::MemoryType::Eeprom, 0},
  };
  for (Way way : {Way::MouseClick, Way::Space, Way::AccessibleToggle, Way::AccessiblePress, Way::Click, Way::Toggle}) {
    for (const auto& c : kCases) {
      SCOPED_TRACE(std::string(NameOf(way)) + " on " + std::to_string(c.id));
      // The state at start, set as the dialog's logic sets it.
      window.SetCheck(res::IDC_EEPROM, dialog::kBstChecked);
      window.SetCheck(res::IDC_SPI_FLASH, dialog::kBstUnchecked);
      window.SetCheck(res::IDC_PARALLEL_FLASH, dialog::kBstUnchecked);
      window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
      flash.Clear();

      Activate(ControlAs<QAbstractButton>(c.id), way);
      EXPECT_EQ(ControlAs<QAbstractButton>(res::IDC_EEPROM)->isChecked(), c.eeprom);
      EXPECT_EQ(ControlAs<QAbstractButton>(res::IDC_SPI_FLASH)->isChecked(), c.spiFlash);
      EXPECT_EQ(ControlAs<QAbstractButton>(res::IDC_PARALLEL_FLASH)->isChecked(), c.parallelFlash);
      // The road the next "Brun" takes.
      EXPECT_EQ(RoadOf(memory::SelectedMemory(dialog)), RoadOf(c.type));
      EXPECT_EQ(flash.CallsOf("flInitTrans").size(), c.queries);
    }
  }
}

TEST_F(RoutingTest, EveryWayOfPressingAButtonRunsItsCommand) {
  for (Way way : {Way::MouseClick, Way::Space, Way::AccessiblePress, Way::Click}) {
    SCOPED_TRACE(NameOf(way));
    window.SetItemText(res::IDC_LOG, "old lines");
    Activate(ControlAs<QAbstractButton>(res::IDC_LIST_CLEAR), way);
    EXPECT_EQ(window.ItemText(res::IDC_LOG), "");
  }
  Activate(ControlAs<QAbstractButton>(res::kIdCancel), Way::AccessiblePress);
  EXPECT_TRUE(Ended());
  EXPECT_EQ(window.result(), dialog::kIdCancel);
}

TEST_F(RoutingTest, TheDialogsOwnCheckRunsNoCommand) {
  // As on the platform where setting a check sends no click: SelectSpiFlash sets
  // 1042 itself and must not run OnSpiFlash again, nor would any other SetCheck.
  window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
  flash.Clear();
  window.SetCheck(res::IDC_SPI_FLASH, dialog::kBstChecked);
  window.SetCheck(res::IDC_PARALLEL_FLASH, dialog::kBstChecked);
  window.SetCheck(res::IDC_EEPROM, dialog::kBstUnchecked);
  EXPECT_TRUE(flash.calls().empty());
  EXPECT_TRUE(ControlAs<QAbstractButton>(res::IDC_SPI_FLASH)->isChecked());
  EXPECT_TRUE(ControlAs<QAbstractButton>(res::IDC_PARALLEL_FLASH)->isChecked());
  EXPECT_FALSE(ControlAs<QAbstractButton>(res::IDC_EEPROM)->isChecked());
}

TEST_F(RoutingTest, NoControlHasTheFocusAtStart) {
  QApplication::setActiveWindow(&window);
  QWidget* focus = QApplication::focusWidget();
  EXPECT_TRUE(focus == nullptr || focus == &window) << focus->objectName().toStdString();
}

TEST_F(RoutingTest, TheWindowMenuHoldsCloseAboutAndTheRecordsExport) {
  // No minimise item: the frame has no minimise box either.
  QStringList items;
  for (QAction* action : window.WindowMenu().menu()->actions()) items << (action->isSeparator() ? "-" : action->text());
  EXPECT_EQ(items.join(" | ").toStdString(), "关闭(&C) | - | 关于 Tarnwick(&A)... | - | 导出生产记录(&E)...");
  QAction* close = MenuItem(QString::fromUtf8("关闭(&C)"));
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
}

TEST_F(RoutingTest, ScreenReadersReadTheWindowMenusItems) {
  QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(window.WindowMenu().menu());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
  QStringList names;
  for (int i = 0; i < menu->childCount(); ++i) {
    QAccessibleInterface* item = menu->child(i);
    if (item->role() == QAccessible::Separator) continue;
    EXPECT_EQ(item->role(), QAccessible::MenuItem) << i;
    names << item->text(QAccessible::Name);
  }
  // The captions as shown, without the mnemonic's ampersand and without the key beside them.
  EXPECT_EQ(names.join(" | ").toStdString(), "关闭(C) | 关于 Tarnwick(A)... | 导出生产记录(E)...");
}

TEST_F(RoutingTest, AScreenReadersPressOnCloseEndsTheDialog) {
  QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(window.WindowMenu().menu());
  ASSERT_NE(menu, nullptr);
  QAccessibleInterface* close = nullptr;
  for (int i = 0; i < menu->childCount(); ++i) {
    if (menu->child(i)->text(QAccessible::Name) == QString::fromUtf8("关闭(C)")) close = menu->child(i);
  }
  ASSERT_NE(close, nullptr);
  ASSERT_NE(close->actionInterface(), nullptr);
  close->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  QTRY_VERIFY(Ended());
  EXPECT_EQ(window.result(), dialog::kIdCancel);
}

TEST_F(RoutingTest, AltSpaceOpensTheWindowMenuAndItsItemOpensTheAboutBox) {
  QTest::keyClick(&window, Qt::Key_Space, Qt::AltModifier);
  ASSERT_TRUE(window.WindowMenu().menu()->isVisible());

  QStringList about;
  WhenModalOpens("ui::qt::AboutDialog", [&](QWidget* box) {
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
  WhenModalOpens("ui::qt::AboutDialog", [&](QWidget* box) {
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

}  // namespace
}  // namespace window_test
