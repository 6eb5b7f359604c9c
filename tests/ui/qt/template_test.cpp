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
#include <climits>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "ui/qt/gbk_text.h"
#include "res/dialog_template.h"
#include "res/resource_ids.h"
#include "tests/ui/qt/window_fixture.h"
#include "ui/qt/control_factory.h"

namespace window_test {
namespace {

using ui::qt::FromGbk;

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

// One value of a control's rectangle: a number, a range where only a range is
// fixed, or anything where nothing is.
struct Span {
  constexpr Span(int value) : low(value), high(value) {}  // NOLINT: a plain number is the common case
  constexpr Span(int low, int high) : low(low), high(high) {}
  bool Holds(int value) const { return low <= value && value <= high; }
  bool Exact() const { return low == high; }
  int low, high;
};
constexpr Span kAny{INT_MIN, INT_MAX};

using res::Kind;
constexpr int kNone = res::kNoId;
constexpr uint32_t kLower = res::kLowerCase;
constexpr uint32_t kHide = res::kHidden;

struct Row {
  int id;
  Kind kind;
  const char* caption;  // UTF-8
  Span x, y, w, h;
  uint32_t style;  // the styles fixed for the control; every edit also scrolls sideways
};

// Dialog 102 written out by hand, control by control in tab order. Not read
// from res/: a test that compares the window with res/ lets a slip in res/ pass.
const Row kDialog102[] = {
    {2, Kind::PushButton, "Exit", 461, 311, 54, 37, res::kOwnerDraw},
    {1000, Kind::PushButton, "ReadAddr", 301, 126, 45, 19, 0},
    {1001, Kind::Edit, "", 81, 147, 62, 16, kLower},
    {kNone, Kind::GroupBox, "2:Set BT Address", 7, 109, 347, 120, 0},
    {1002, Kind::PushButton, "Open File:", 11, 83, 56, 19, 0},
    {1003, Kind::Edit, "", 73, 85, 217, 16, 0},
    {kNone, Kind::GroupBox, "1:Brun Memery", 7, 54, 347, 52, 0},
    {1005, Kind::PushButton, "Brun", 301, 83, 45, 19, 0},
    {1006, Kind::Label, "", 7, 312, 347, 20, 0},
    {kNone, Kind::GroupBox, "", 7, 7, 347, 43, 0},
    {1015, Kind::ListBox, "", 76, 20, 78, 11, res::kNotify},
    {kNone, Kind::Label, "Device1:", 18, 20, 33, 10, 0},
    {kNone, Kind::Label, "下一地址：", 21, 170, 42, 12, 0},
    {kNone, Kind::Label, "NAP", 104, 116, 13, 10, 0},
    {kNone, Kind::Label, "UAP", 181, 116, 13, 10, 0},
    {kNone, Kind::Label, "LAP", 250, 116, 13, 10, 0},
    {kNone, Kind::Label, "烧录数量：", 21, 189, 42, 12, 0},
    {1007, Kind::Edit, "", 81, 185, 207, 16, res::kReadOnly | res::kDisabled},
    {1008, Kind::Edit, "", 81, 166, 62, 16, kLower},
    {1009, Kind::Edit, "", 167, 166, 43, 16, kLower},
    {1010, Kind::Edit, "", 231, 166, 56, 16, kLower},
    {1017, Kind::PushButton, "Clear", 301, 180, 45, 19, 0},
    {1004, Kind::PushButton, "SetAddr", 301, 147, 45, 19, 0},
    {1011, Kind::Edit, "", 147, 205, 142, 16, 0},
    {kNone, Kind::Label, "蓝牙名字：", 21, 208, 42, 12, 0},
    {1019, Kind::PushButton, "NameChange", 301, 201, 45, 20, 0},
    {kNone, Kind::Label, "Name <= 12字符", 80, 208, 58, 10, 0},
    {1022, Kind::CheckBox, "Check1", 61, 20, 9, 11, 0},
    {1016, Kind::ListBox, "", 226, 20, 77, 11, res::kNotify},
    {kNone, Kind::Label, "Device2:", 168, 20, 33, 10, 0},
    {1023, Kind::CheckBox, "Check1", 211, 20, 9, 11, 0},
    {kNone, Kind::Label, "MemerySize:", 247, 36, 51, 11, 0},
    {1025, Kind::Label, "", 311, 36, 37, 12, 0},  // "0Kbit" comes with the initialisation
    {1028, Kind::PushButton, "Dump", 301, 62, 45, 18, 0},
    {1029, Kind::PushButton, "Auto", 360, 311, 90, 37, 0},
    {1030, Kind::PushButton, "ListClear", 470, 283, 44, 20, 0},
    {1012, Kind::Edit, "", 167, 147, 43, 16, kLower},
    {1013, Kind::Edit, "", 231, 147, 56, 16, kLower},
    {1014, Kind::Edit, "", 81, 127, 62, 16, kLower},
    {1018, Kind::Edit, "", 167, 127, 43, 16, kLower},
    {1020, Kind::Edit, "", 231, 127, 56, 16, kLower},
    {kNone, Kind::Label, "当前地址：", 21, 151, 42, 12, 0},
    {kNone, Kind::Label, "开始地址：", 21, 132, 42, 12, 0},
    {1032, Kind::PushButton, "复位", 419, 283, 44, 20, kHide},
    {1033, Kind::PushButton, "MIC and Speaker", 281, 240, 68, 20, 0},
    {1040, Kind::PushButton, "自动校频", 217, 273, 41, 18, kHide},
    {kNone, Kind::Label, "存储选择：", 15, 36, 42, 9, 0},
    {1041, Kind::CheckBox, "EEPROM", 61, 36, 45, 8, 0},
    {1042, Kind::CheckBox, "SPI_Flash", 109, 36, 49, 8, 0},
    {1046, Kind::Label, "", 152, 62, 44, 15, 0},
    {1037, Kind::Edit, "", 361, 12, 158, 267, res::kMultiLine | res::kVScroll | res::kAutoVScroll},
    {1031, Kind::PushButton, "Erase", 246, 62, 45, 18, 0},
    {kNone, Kind::GroupBox, "3:Testing", 7, 230, 347, 72, 0},
    {1043, Kind::PushButton, "发射功率", 203, 339, 51, 20, kHide},
    {1044, Kind::PushButton, "接收灵敏度", 257, 339, 51, 20, kHide},
    {1048, Kind::Label, "", 193, 64, 44, 15, 0},
    {1045, Kind::CheckBox, "Parallel_Flash", 165, 36, 69, 8, 0},
    {1034, Kind::PushButton, "加锁", 311, 339, 44, 20, kHide},
    // Eight labels in two rows; only the rows' places are given.
    {kNone, Kind::Label, "IO:", kAny, 253, kAny, kAny, kHide},
    {kNone, Kind::Label, "IO:", kAny, 253, kAny, kAny, kHide},
    {kNone, Kind::Label, "IO:", kAny, 253, kAny, kAny, kHide},
    {kNone, Kind::Label, "IO:", kAny, 253, kAny, kAny, kHide},
    {kNone, Kind::Label, "IO:", kAny, 271, kAny, kAny, kHide},
    {kNone, Kind::Label, "IO:", kAny, 271, kAny, kAny, kHide},
    {kNone, Kind::Label, "IO:", kAny, 271, kAny, kAny, kHide},
    {kNone, Kind::Label, "IO:", kAny, 271, kAny, kAny, kHide},
    {1038, Kind::Edit, "", 28, 251, Span{19, 20}, 15, kHide},
    {1039, Kind::Edit, "", 67, 251, Span{19, 20}, 15, kHide},
    {1047, Kind::Edit, "", 105, 251, Span{19, 20}, 15, kHide},
    {1049, Kind::Edit, "", 140, 251, Span{19, 20}, 15, kHide},
    {1050, Kind::PushButton, "Testing", 281, 267, 69, 28, kHide},
    {1051, Kind::Edit, "", 28, Span{267, 268}, 19, 15, kHide},
    {1052, Kind::Edit, "", 67, Span{267, 268}, 19, 15, kHide},
    {1054, Kind::Edit, "", 105, Span{267, 268}, 19, 15, kHide},
    {1055, Kind::Edit, "", 140, Span{267, 268}, 19, 15, kHide},
    {1053, Kind::Label, "0", 235, 243, 31, 13, 0},
    {kNone, Kind::Label, "PioOuput:", 14, 240, 40, 10, kHide},
    {1059, Kind::EtchedFrame, "", 9, 287, 19, 13, 0},
    {1060, Kind::EtchedFrame, "", 30, 287, 19, 13, 0},
    {1061, Kind::EtchedFrame, "", 51, 287, 19, 13, 0},
    {1062, Kind::EtchedFrame, "", 74, 287, 19, 13, 0},
    {1063, Kind::EtchedFrame, "", 96, 287, 19, 13, 0},
    {1064, Kind::EtchedFrame, "", 118, 287, 19, 13, 0},
    {1065, Kind::EtchedFrame, "", 140, 287, 19, 13, 0},
    {1066, Kind::EtchedFrame, "", 162, 287, 19, 13, 0},
};

// The styles the table fixes for a kind; the rest (tab stops, the lists'
// scroll bars) are the template's own choice.
uint32_t FixedStyles(Kind kind) {
  uint32_t styles = res::kHidden | res::kDisabled;
  if (kind == Kind::Edit) styles |= res::kReadOnly | res::kLowerCase | res::kMultiLine | res::kVScroll |
                                    res::kAutoHScroll | res::kAutoVScroll;
  if (kind == Kind::ListBox) styles |= res::kNotify;
  if (kind == Kind::PushButton) styles |= res::kOwnerDraw;
  return styles;
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::PushButton: return "push button";
    case Kind::Edit: return "edit";
    case Kind::Label: return "label";
    case Kind::GroupBox: return "group frame";
    case Kind::ListBox: return "list box";
    case Kind::CheckBox: return "check box";
    case Kind::EtchedFrame: return "etched frame";
    case Kind::Icon: return "icon";
  }
  return "";
}

TEST_F(TemplateTest, TheTemplateHoldsEveryControlOfDialog102) {
  const res::Dialog& main = res::MainDialogTemplate();
  EXPECT_EQ(main.id, 102);
  EXPECT_EQ(FromGbk(main.caption), "CSRTarnwick");
  EXPECT_EQ(main.width, 527);
  EXPECT_EQ(main.height, 362);
  EXPECT_EQ(FromGbk(main.font), QString::fromUtf8("宋体"));
  EXPECT_EQ(main.pointSize, 9);
  // Routed, but no control bears it.
  EXPECT_EQ(res::FindControl(main, 1021), nullptr);

  // Row by row: the same controls in the same (tab) order.
  ASSERT_EQ(main.controls.size(), std::size(kDialog102));
  for (size_t i = 0; i < std::size(kDialog102); ++i) {
    const Row& row = kDialog102[i];
    const res::Control& control = main.controls[i];
    SCOPED_TRACE("row " + std::to_string(i) + ": " + std::to_string(row.id) + " " + row.caption);
    EXPECT_EQ(control.id, row.id);
    EXPECT_STREQ(KindName(control.kind), KindName(row.kind));
    EXPECT_EQ(FromGbk(control.caption), QString::fromUtf8(row.caption));
    EXPECT_TRUE(row.x.Holds(control.x)) << control.x;
    EXPECT_TRUE(row.y.Holds(control.y)) << control.y;
    EXPECT_TRUE(row.w.Holds(control.width)) << control.width;
    EXPECT_TRUE(row.h.Holds(control.height)) << control.height;
    const uint32_t styles = row.style | (row.kind == Kind::Edit ? res::kAutoHScroll : 0u);
    EXPECT_EQ(control.style & FixedStyles(row.kind), styles);
  }
}

TEST_F(TemplateTest, TheWindowShowsEveryControlOfDialog102) {
  // Each control with an id at its place, with its caption, shown or hidden;
  // each unnamed label and frame at its place with its caption.
  std::vector<int> listed;
  for (const Row& row : kDialog102) {
    SCOPED_TRACE(std::to_string(row.id) + " " + row.caption);
    const bool exact = row.x.Exact() && row.y.Exact() && row.w.Exact() && row.h.Exact();
    // A span the description leaves open has no one place to convert.
    const QRect place = exact ? window.Units().ToPixels(row.x.low, row.y.low, row.w.low, row.h.low) : QRect();
    if (row.id == kNone) {
      if (!exact) continue;
      QWidget* match = nullptr;
      for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        auto* label = qobject_cast<QLabel*>(child);
        auto* group = qobject_cast<QGroupBox*>(child);
        if (label == nullptr && group == nullptr) continue;
        const QString text = label != nullptr ? label->text() : group->title();
        if (child->geometry() == place && text == QString::fromUtf8(row.caption)) match = child;
      }
      ASSERT_NE(match, nullptr);
      EXPECT_EQ(match->isVisible(), (row.style & kHide) == 0);
      continue;
    }
    listed.push_back(row.id);
    QWidget* widget = Control(row.id);
    ASSERT_NE(widget, nullptr);
    if (exact) {
      EXPECT_EQ(widget->geometry(), place);
    }
    EXPECT_EQ(widget->isVisible(), (row.style & kHide) == 0);
    if (row.kind == Kind::PushButton || row.kind == Kind::CheckBox || row.kind == Kind::GroupBox) {
      EXPECT_EQ(Text(row.id), QString::fromUtf8(row.caption));
    }
  }
  EXPECT_EQ(window.size(), window.Units().ToPixels(527, 362));

  // Tab moves through the controls that take the focus in the order described.
  std::vector<int> chain;
  QWidget* first = Control(res::kIdCancel);
  QWidget* widget = first;
  do {
    const int id = ui::qt::ControlId(widget);
    if (id != kNone && (widget->focusPolicy() & Qt::TabFocus) != 0) chain.push_back(id);
    widget = widget->nextInFocusChain();
  } while (widget != first);
  std::vector<int> expected;
  for (int id : listed) {
    if ((Control(id)->focusPolicy() & Qt::TabFocus) != 0) expected.push_back(id);
  }
  EXPECT_EQ(chain, expected);
}

TEST_F(TemplateTest, TheAboutBoxTemplateHoldsItsThreeControls) {
  const res::Dialog& about = res::AboutDialogTemplate();
  EXPECT_EQ(about.id, 100);
  EXPECT_EQ(FromGbk(about.caption), QString::fromUtf8("关于 Tarnwick"));
  EXPECT_EQ(about.width, 235);
  EXPECT_EQ(about.height, 65);
  EXPECT_EQ(FromGbk(about.font), QString::fromUtf8("宋体"));
  EXPECT_EQ(about.pointSize, 9);
  ASSERT_EQ(about.controls.size(), 3u);
  EXPECT_EQ(about.controls[0].kind, Kind::Icon);
  EXPECT_EQ(QPoint(about.controls[0].x, about.controls[0].y), QPoint(11, 14));
  const res::Control& label = about.controls[1];
  EXPECT_EQ(FromGbk(label.caption), QString::fromUtf8("Tarnwick 3.0版"));
  EXPECT_EQ(QRect(label.x, label.y, label.width, label.height), QRect(40, 10, 119, 8));
  const res::Control& ok = about.controls[2];
  EXPECT_EQ(ok.id, 1);
  EXPECT_EQ(ok.kind, Kind::PushButton);
  EXPECT_EQ(FromGbk(ok.caption), QString::fromUtf8("确定"));
  EXPECT_EQ(QRect(ok.x, ok.y, ok.width, ok.height), QRect(178, 7, 50, 14));
}

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
      {res::kIdCancel, "Exit", ""},
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
