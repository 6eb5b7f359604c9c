#include "ui/qt/message_box.h"

#include <QMessageBox>

#include "dialog/window.h"
#include "res/strings.h"
#include "ui/qt/gbk_text.h"

namespace ui::qt {

int ShowMessageBox(QWidget* owner, std::string_view gbkText, int buttons) {
  QMessageBox box(owner);
  box.setWindowTitle(FromGbk(res::kAppTitle));
  box.setTextFormat(Qt::PlainText);
  box.setText(FromGbk(gbkText));
  const bool yesNo = (buttons & 0xF) == dialog::kMbYesNo;
  box.setStandardButtons(yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
  box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
  const int answer = box.exec();
  if (!yesNo) return dialog::kIdOk;
  // Escape or the close box on a Yes/No question counts as No.
  return answer == QMessageBox::Yes ? dialog::kIdYes : dialog::kIdNo;
}

}  // namespace ui::qt
