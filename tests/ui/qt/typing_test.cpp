// What the operator can type: GBK byte limits and lower-case address fields.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "res/resource_ids.h"
#include "tests/ui/qt/window_fixture.h"

namespace window_test {
namespace {

// One key press per character, carrying the character as its text, as a
// keyboard or an input method delivers it.
void Type(QWidget* widget, const QString& text) {
  for (QChar c : text) {
    const int key = c.unicode() < 0x80 ? QChar(c).toUpper().unicode() : 0;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

class TypingTest : public WindowTest {
 protected:
  void SetUp() override { Open(); }
  QLineEdit* Edit(int id) { return ControlAs<QLineEdit>(id); }
};

TEST_F(TypingTest, LimitedFieldsRefuseTheBytePastTheirLimit) {
  const struct {
    int id;
    const char* typed;
    const char* kept;
  } kCases[] = {
      {res::IDC_DEVICE_NAME, "abcdefghijklm", "abcdefghijkl"},
      {res::IDC_DEVICE_NAME, "蓝牙名字模块七", "蓝牙名字模块"},  // 2 bytes each: six fill twelve
      {res::IDC_DEVICE_NAME, "a蓝牙名字模块", "a蓝牙名字模"},    // the last one would need a 13th byte
      {res::IDC_START_NAP, "12345", "1234"},
      {res::IDC_START_UAP, "123", "12"},
      {res::IDC_START_LAP, "1234567", "123456"},
      {res::IDC_CURRENT_LAP, "1234567", "123456"},
      {res::IDC_NEXT_LAP, "1234567", "123456"},
      {res::IDC_FIRMWARE_PATH, "/fw/a/very/long/path/app.xuv", "/fw/a/very/long/path/app.xuv"},
  };
  for (const auto& c : kCases) {
    QLineEdit* edit = Edit(c.id);
    edit->clear();
    edit->setFocus();
    Type(edit, QString::fromUtf8(c.typed));
    EXPECT_EQ(edit->text(), QString::fromUtf8(c.kept)) << c.id << " " << c.typed;
  }
}

TEST_F(TypingTest, InputMethodAndPasteStopAtTheLimitToo) {
  QLineEdit* name = Edit(res::IDC_DEVICE_NAME);
  name->setFocus();
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("蓝牙耳机模块一号"));
  QApplication::sendEvent(name, &commit);
  EXPECT_EQ(name->text(), QString::fromUtf8("蓝牙耳机模块"));

  QLineEdit* lap = Edit(res::IDC_START_LAP);
  lap->clear();
  Type(lap, "12");
  QApplication::clipboard()->setText("abcdef");
  lap->paste();
  EXPECT_EQ(lap->text(), "12abcd");
}

TEST_F(TypingTest, AFieldShownOverItsLimitCanStillBeShortened) {
  // The program shows a stored seven-digit LAP whole; the operator can only shrink it.
  window.SetItemText(res::IDC_START_LAP, "1234567");
  QLineEdit* lap = Edit(res::IDC_START_LAP);
  EXPECT_EQ(lap->text(), "1234567");
  lap->setFocus();
  lap->end(false);
  Type(lap, "8");
  EXPECT_EQ(lap->text(), "1234567");
  QTest::keyClick(lap, Qt::Key_Backspace);
  EXPECT_EQ(lap->text(), "123456");
}

TEST_F(TypingTest, AddressFieldsTurnLettersToLowerCase) {
  for (int id : {res::IDC_START_NAP, res::IDC_START_UAP, res::IDC_START_LAP, res::IDC_CURRENT_NAP, res::IDC_CURRENT_UAP,
                 res::IDC_CURRENT_LAP, res::IDC_NEXT_NAP, res::IDC_NEXT_UAP, res::IDC_NEXT_LAP}) {
    QLineEdit* edit = Edit(id);
    edit->clear();
    Type(edit, "AB");
    EXPECT_EQ(edit->text(), "ab") << id;
    EXPECT_EQ(window.ItemText(id), "ab") << id;
  }
  // Other fields keep what was typed.
  Type(Edit(res::IDC_DEVICE_NAME), "AB");
  EXPECT_EQ(Edit(res::IDC_DEVICE_NAME)->text(), "AB");
  Type(Edit(res::IDC_FIRMWARE_PATH), "AB");
  EXPECT_EQ(Edit(res::IDC_FIRMWARE_PATH)->text(), "AB");
}

TEST_F(TypingTest, TheLogPaneTakesTyping) {
  QWidget* pane = Control(res::IDC_LOG);
  pane->setFocus();
  QTest::keyClicks(pane, "note");
  EXPECT_EQ(window.ItemText(res::IDC_LOG), "note");
}

}  // namespace
}  // namespace window_test
