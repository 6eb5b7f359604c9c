// The main window as the start-up drives it: the Window port, plus the dialog
// it reports to and its modal run. Each front end's main window is one.
#pragma once

#include "dialog/window.h"

namespace app {

class MainDialog;

class StationWindow : public dialog::Window {
 public:
  // The logic that receives the window's messages; set before RunModal.
  virtual void Attach(MainDialog* dialog) = 0;
  // Shows the window and runs it until the dialog ends; answers its result.
  virtual int RunModal() = 0;
};

}  // namespace app
