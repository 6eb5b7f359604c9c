#include "ui/win32/programmer_app.h"

#include <string>

#include "app/start_up.h"
#include "ui/win32/gbk_text.h"
#include "ui/win32/win32_window.h"

namespace ui::win32 {

bool ProgrammerApp::InitInstance() {
  const app::FrontEnd frontEnd{
      [this] { return std::make_unique<Win32Window>(instance_); },
      [](std::string_view title, std::string_view text) {
        MessageBoxW(nullptr, platform::GbkToWide(text).c_str(), platform::GbkToWide(title).c_str(),
                    MB_OK | MB_ICONERROR);
      },
  };
  return app::RunStation(frontEnd, transports_);
}

}  // namespace ui::win32
