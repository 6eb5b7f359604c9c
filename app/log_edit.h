// The log pane: an ordinary multi-line edit that adds one operation.
#pragma once

#include <string>

#include "dialog/window.h"

namespace app {

class LogEdit {
 public:
  LogEdit(dialog::Window& window, int id) : window_(window), id_(id) {}

  // Breaks the text every 34 bytes, starts the pane afresh once it holds more
  // than 3000 bytes, appends the text as a new line and scrolls to the end.
  void AppendLine(std::string text);

 private:
  dialog::Window& window_;
  int id_;
};

}  // namespace app
