// Presses controls of a running Tarnwick window by their ids, one after the
// other, each once the one before has been handled; for the screenshot script.
// Usage: win32_press ID...   Exit status 1 when the window or a press fails.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/ui/win32/station_process.h"

int main(int argc, char* argv[]) {
  using namespace std::chrono_literals;
  win32test::DialogDriver window;
  if (!window.AttachRunning(60s)) {
    std::fprintf(stderr, "win32_press: no Tarnwick window\n");
    return 1;
  }
  for (int i = 1; i < argc; ++i) {
    window.Click(std::atoi(argv[i]));
    if (!window.WaitIdle(60s)) {
      std::fprintf(stderr, "win32_press: control %s did not finish\n", argv[i]);
      return 1;
    }
  }
  for (const std::wstring& box : window.boxes) std::fprintf(stderr, "box: %s\n", win32test::Gbk(box).c_str());
  return 0;
}
