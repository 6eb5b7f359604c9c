// The port speaks GBK bytes; the widgets hold Unicode. Positions and line
// ends must come through the edge unchanged.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "ui/qt/gbk_text.h"
#include "res/resource_ids.h"
#include "tests/ui/qt/window_fixture.h"

namespace window_test {
namespace {

using ui::qt::ToGbk;

class PortTextTest : public WindowTest {
 protected:
  void SetUp() override { Open(); }
};

TEST_F(PortTextTest, SelectionsCountGbkBytes) {
  const std::string text = ToGbk(QString::fromUtf8("蓝牙ab"));
  window.SetItemText(res::IDC_DEVICE_NAME, text);
  EXPECT_EQ(window.ItemText(res::IDC_DEVICE_NAME), text);

  window.SetSel(res::IDC_DEVICE_NAME, 2, 4);
  EXPECT_EQ(ControlAs<QLineEdit>(res::IDC_DEVICE_NAME)->selectedText(), QString::fromUtf8("牙"));
  int start = -1, end = -1;
  window.GetSel(res::IDC_DEVICE_NAME, &start, &end);
  EXPECT_EQ(start, 2);
  EXPECT_EQ(end, 4);

  // The end of the text: the caret behind the last character.
  window.SetSel(res::IDC_DEVICE_NAME, 6, -1);
  window.GetSel(res::IDC_DEVICE_NAME, &start, &end);
  EXPECT_EQ(start, 6);
  EXPECT_EQ(end, 6);
  EXPECT_EQ(ControlAs<QLineEdit>(res::IDC_DEVICE_NAME)->cursorPosition(), 4);
}

TEST_F(PortTextTest, LogPaneKeepsItsLineEndsAsTwoBytes) {
  const std::string text = ToGbk(QString::fromUtf8("第一行\r\nline2"));
  window.SetItemText(res::IDC_LOG, text);
  EXPECT_EQ(window.ItemText(res::IDC_LOG), text);
  EXPECT_EQ(window.LineCount(res::IDC_LOG), 2);
  window.SetSel(res::IDC_LOG, 8, 13);
  EXPECT_EQ(ControlAs<QPlainTextEdit>(res::IDC_LOG)->textCursor().selectedText(), "line2");
  window.SetItemText(res::IDC_LOG, "");
  EXPECT_EQ(window.LineCount(res::IDC_LOG), 1);
}

TEST_F(PortTextTest, ReportsScrollTheLogToItsLastLine) {
  for (int i = 0; i < 60; ++i) dialog.Report("line %d", i);
  QScrollBar* bar = ControlAs<QPlainTextEdit>(res::IDC_LOG)->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "line 59");
}

TEST_F(PortTextTest, ListsTakeEntriesAndSelections) {
  window.ResetContent(res::IDC_DEVICE2_LIST);
  window.AddString(res::IDC_DEVICE2_LIST, ToGbk(QString::fromUtf8("适配器A")));
  window.AddString(res::IDC_DEVICE2_LIST, "B");
  EXPECT_EQ(window.ListCount(res::IDC_DEVICE2_LIST), 2);
  EXPECT_EQ(window.ListText(res::IDC_DEVICE2_LIST, 0), ToGbk(QString::fromUtf8("适配器A")));
  EXPECT_EQ(window.ListText(res::IDC_DEVICE2_LIST, 2), "");
  EXPECT_EQ(window.CurSel(res::IDC_DEVICE2_LIST), -1);
  window.SetCurSel(res::IDC_DEVICE2_LIST, 1);
  EXPECT_EQ(window.CurSel(res::IDC_DEVICE2_LIST), 1);
  window.SetCurSel(res::IDC_DEVICE2_LIST, -1);
  EXPECT_EQ(window.CurSel(res::IDC_DEVICE2_LIST), -1);
}

TEST_F(PortTextTest, ACheckBoxIsSetByItsCheckMarkAlone) {
  window.SetCheck(res::IDC_DEVICE1, dialog::kBstUnchecked);
  Control(res::IDC_DEVICE1)->setFocus();
  EXPECT_EQ(window.ButtonState(res::IDC_DEVICE1), dialog::kBstUnchecked);
  window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
  EXPECT_EQ(window.ButtonState(res::IDC_DEVICE1), dialog::kBstChecked);
  EXPECT_TRUE(ControlAs<QCheckBox>(res::IDC_DEVICE1)->isChecked());
}

TEST_F(PortTextTest, EnablingAnItem) {
  EXPECT_FALSE(window.IsItemEnabled(res::IDC_BURN_COUNT));
  window.EnableItem(res::IDC_CLEAR, false);
  EXPECT_FALSE(window.IsItemEnabled(res::IDC_CLEAR));
  EXPECT_FALSE(Control(res::IDC_CLEAR)->isEnabled());
}

}  // namespace
}  // namespace window_test
