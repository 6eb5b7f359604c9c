// The application object: binds the chip libraries, then runs the station window.
#pragma once

#include "dialog/transports.h"

namespace ui::qt {

class ProgrammerApp {
 public:
  // Runs the window until it ends. False, after one message box naming the
  // library or function that is missing, when the chip libraries cannot be bound.
  bool InitInstance();

 private:
  // The adapters' transport strings belong to the program, not the dialog.
  dialog::Transports transports_;
};

}  // namespace ui::qt
