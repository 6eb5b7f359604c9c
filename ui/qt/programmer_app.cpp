#include "ui/qt/programmer_app.h"

#include <QMessageBox>

#include "app/start_up.h"
#include "ui/qt/gbk_text.h"
#include "ui/qt/qt_window.h"

namespace ui::qt {

bool ProgrammerApp::InitInstance() {
  const app::FrontEnd frontEnd{
      [] { return std::make_unique<QtWindow>(); },
      [](std::string_view title, std::string_view text) {
        QMessageBox::critical(nullptr, FromGbk(title), FromGbk(text));
      },
  };
  return app::RunStation(frontEnd, transports_);
}

}  // namespace ui::qt
