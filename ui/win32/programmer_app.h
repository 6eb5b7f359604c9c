// The application object: binds the chip libraries beside the program and runs the station window.
#pragma once

#include "dialog/transports.h"
#include "ui/win32/windows_api.h"

namespace ui::win32 {

class ProgrammerApp {
 public:
  explicit ProgrammerApp(HINSTANCE instance) : instance_(instance) {}
  // Runs the dialog to its end; false when the libraries could not be loaded.
  bool InitInstance();

 private:
  HINSTANCE instance_;
  dialog::Transports transports_;  // the program's, for as long as it runs
};

}  // namespace ui::win32
