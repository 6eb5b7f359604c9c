// The window is dialog 102 as its template describes it.
#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWindow>
#include <set>

#include "controls/gbk_text.h"
#include "res/dialog_template.h"
#include "res/resource_ids.h"
#include "tests/window/window_fixture.h"

namespace window_test {
namespace {

using controls::FromGbk;

// The controls no operation of the station ever shows.
const std::set<int> kNeverVisible = {
    res::IDC_RESET, res::IDC_AUTO_CALIBRATE, res::IDC_TX_POWER, res::IDC_RX_SENSITIVITY, res::IDC_LOCK,
    res::IDC_TESTING, res::IDC_PIO1, res::IDC_PIO2, res::IDC_PIO3, res::IDC_PIO4, res::IDC_PIO5,
    res::IDC_PIO6, res::IDC_PIO7, res::IDC_PIO8,
};

class TemplateTest : public WindowTest {
 protected:
  void SetUp() override { Open(); }
};

TEST_F(TemplateTest, EveryControlHasItsIdCaptionAndPlace) {
  const res::Dialog& main = res::MainDialogTemplate();
  for (const res::Control& control : main.controls) {
    if (control.id == res::kNoId) continue;
    SCOPED_TRACE(control.id);
    QWidget* widget = Control(control.id);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), window.Units().ToPixels(control.x, control.y, control.width, control.height));
    if (control.kind == res::Kind::PushButton || control.kind == res::Kind::CheckBox) {
      EXPECT_EQ(Text(control.id), FromGbk(control.caption));
    }
  }
  EXPECT_EQ(window.size(), window.Units().ToPixels(main.width, main.height));
  EXPECT_EQ(window.windowTitle(), "CSRTarnwick");
}

TEST_F(TemplateTest, TheFrameIsADialogsFrame) {
  // Title bar, system menu and close box; no minimise or maximise box, no help box.
  for (const Qt::WindowFlags flags : {window.windowFlags(), window.windowHandle()->flags()}) {
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
  }
  // A window of its own, not a transient, so it keeps its own taskbar button; and not resizable.
  EXPECT_EQ(window.windowType(), Qt::Window);
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

TEST_F(TemplateTest, CaptionsOfTheUnnamedLabelsAndFramesShow) {
  QStringList labels;
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (label->isVisible()) labels << label->text();
  }
  for (const char* text : {"Device1:", "Device2:", "下一地址：", "当前地址：", "开始地址：", "烧录数量：", "蓝牙名字：",
                           "Name <= 12字符", "存储选择：", "MemerySize:", "NAP", "UAP", "LAP"}) {
    EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
  }
  QStringList groups;
  for (QGroupBox* group : window.findChildren<QGroupBox*>()) groups << group->title();
  EXPECT_TRUE(groups.contains("1:Brun Memery"));
  EXPECT_TRUE(groups.contains("2:Set BT Address"));
  EXPECT_TRUE(groups.contains("3:Testing"));
}

TEST_F(TemplateTest, HiddenControlsStayHiddenAndTheRestShow) {
  for (const res::Control& control : res::MainDialogTemplate().controls) {
    if (control.id == res::kNoId) continue;
    EXPECT_EQ(Control(control.id)->isVisible(), kNeverVisible.count(control.id) == 0) << control.id;
  }
  int hiddenLabels = 0;
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (label->text() == "IO:" || label->text() == "PioOuput:") {
      EXPECT_FALSE(label->isVisible());
      ++hiddenLabels;
    }
  }
  EXPECT_EQ(hiddenLabels, 9);
}

TEST_F(TemplateTest, InitialStatesAfterInitialisation) {
  auto* count = ControlAs<QLineEdit>(res::IDC_BURN_COUNT);
  EXPECT_FALSE(count->isEnabled());
  EXPECT_TRUE(count->isReadOnly());
  EXPECT_TRUE(ControlAs<QCheckBox>(res::IDC_EEPROM)->isChecked());
  EXPECT_FALSE(ControlAs<QCheckBox>(res::IDC_SPI_FLASH)->isChecked());
  EXPECT_EQ(Text(res::IDC_MEMORY_SIZE), "0Kbit");
  // One adapter: device 1 lists it, device 2 cannot be ticked.
  EXPECT_EQ(ControlAs<QListWidget>(res::IDC_DEVICE1_LIST)->item(0)->text(), "USB SPI (0)");
  EXPECT_FALSE(Control(res::IDC_DEVICE2)->isEnabled());
}

TEST_F(TemplateTest, TabOrderFollowsTheTemplate) {
  std::vector<int> expected;
  for (const res::Control& control : res::MainDialogTemplate().controls) {
    if ((control.style & res::kTabStop) != 0) expected.push_back(control.id);
  }
  std::vector<int> chain;
  QWidget* first = Control(expected.front());
  QWidget* widget = first;
  do {
    for (const res::Control& control : res::MainDialogTemplate().controls) {
      if (control.id != res::kNoId && Control(control.id) == widget && (control.style & res::kTabStop) != 0) {
        chain.push_back(control.id);
      }
    }
    widget = widget->nextInFocusChain();
  } while (widget != first);
  EXPECT_EQ(chain, expected);
}

TEST_F(TemplateTest, LogPaneIsAMultiLineEditThatDoesNotWrap) {
  auto* pane = ControlAs<QPlainTextEdit>(res::IDC_LOG);
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_FALSE(pane->isReadOnly());
  EXPECT_EQ(pane->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  // A line wider than the pane scrolls sideways instead of wrapping.
  window.SetItemText(res::IDC_LOG, std::string(200, 'x') + "\r\nnext");
  EXPECT_EQ(pane->document()->blockCount(), 2);
  EXPECT_GT(pane->horizontalScrollBar()->maximum(), 0);
}

TEST_F(TemplateTest, DeviceListsAreOneLineHigh) {
  for (int id : {res::IDC_DEVICE1_LIST, res::IDC_DEVICE2_LIST}) {
    QWidget* list = Control(id);
    EXPECT_LT(list->height(), 2 * list->fontMetrics().height()) << id;
  }
}

TEST_F(TemplateTest, GroupFramesLieUnderTheControlsTheyEnclose) {
  // A click in an enclosed edit reaches the edit, not the frame above it in creation order.
  QWidget* current = Control(res::IDC_CURRENT_NAP);
  EXPECT_EQ(window.childAt(current->geometry().center()), current);
  QWidget* path = Control(res::IDC_FIRMWARE_PATH);
  EXPECT_EQ(window.childAt(path->geometry().center()), path);
}

QString Accessible(QWidget* widget, QAccessible::Text which) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face == nullptr ? QString() : face->text(which);
}

TEST_F(TemplateTest, ScreenReadersKnowEachControl) {
  const struct {
    int id;
    const char* name;
    const char* description;
  } kNames[] = {
      {res::IDCANCEL, "Exit", ""},
      {res::IDC_READ_ADDR, "ReadAddr", ""},
      {res::IDC_EEPROM, "EEPROM", ""},
      {res::IDC_START_NAP, "StartNap", ""},
      {res::IDC_FIRMWARE_PATH, "FirmwarePath", ""},
      {res::IDC_DEVICE1_LIST, "Device1Label", ""},
      {res::IDC_DEVICE2_LIST, "Device2Label", ""},
      {res::IDC_LOG, "LogPane", ""},
      {res::IDC_DEVICE_NAME, "DeviceName", ""},
      {res::IDC_DEVICE1, "Check1", "Device1"},
      {res::IDC_DEVICE2, "Check1", "Device2"},
      {res::IDC_MEMORY_SIZE, "0Kbit", "MemorySizeLabel"},
      {res::IDC_STATUS, "", "StatusLine"},
      {res::IDC_PROGRESS, "", "ProgressLabel"},
      {res::IDC_PERCENT, "", "PercentLabel"},
  };
  for (const auto& c : kNames) {
    EXPECT_EQ(Accessible(Control(c.id), QAccessible::Name), QString::fromUtf8(c.name)) << c.id;
    EXPECT_EQ(Accessible(Control(c.id), QAccessible::Description), QString::fromUtf8(c.description)) << c.id;
  }
  // A label's name follows its text.
  window.SetItemText(res::IDC_STATUS, "ok");
  EXPECT_EQ(Accessible(Control(res::IDC_STATUS), QAccessible::Name), "ok");
}

TEST_F(TemplateTest, ChineseAndEnglishCaptionsRenderInTheDialogFont) {
  const QFontMetrics metrics(window.font());
  EXPECT_TRUE(metrics.inFont(QChar(u'烧')));
  EXPECT_TRUE(metrics.inFont(QChar(u'A')));
  EXPECT_EQ(window.font().pointSize(), 9);
}

}  // namespace
}  // namespace window_test
