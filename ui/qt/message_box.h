// The modal message box of the port: the application's title as caption, OK or Yes/No.
#pragma once

#include <QWidget>
#include <string_view>

namespace ui::qt {

// Answers dialog::kIdOk, dialog::kIdYes or dialog::kIdNo.
int ShowMessageBox(QWidget* owner, std::string_view gbkText, int buttons);

}  // namespace ui::qt
