// What the dialog makes of the window's reports: clicks, Enter, Escape, the
// close box and timer ticks, between handlers and while one runs.
#include <functional>

#include "tests/support/dialog_fixture.h"

namespace {

// An open box that, while it is up, lets the test act as the operator would
// in the box's nested loop.
class BoxWindow : public fakes::MemoryWindow {
 public:
  std::optional<std::string> ChooseOpenFile(std::string_view filter) override {
    ++boxes;
    if (whileOpen) whileOpen();
    return MemoryWindow::ChooseOpenFile(filter);
  }
  std::function<void()> whileOpen;
  int boxes = 0;
};

class WindowEvents : public ::testing::Test {
 protected:
  fakes::TempWorkingDirectory folder;
  BoxWindow window;
  fakes::RecordingTestEngine engine;
  fakes::RecordingTestFlash flash;
  fakes::RecordingTestE2 e2;
  dialog::Transports transports;
  app::MainDialog dialog{window, engine, flash, e2, transports};
};

TEST_F(WindowEvents, StandardIdsGetTheFrameworksAnswersBetweenHandlers) {
  EXPECT_FALSE(dialog.Busy());
  dialog.Clicked(res::kIdOk);  // Enter: the fields collect, then the dialog ends
  EXPECT_EQ(window.endResult(), dialog::kIdOk);
  dialog.Clicked(res::kIdCancel);  // Escape, the close box, Exit
  EXPECT_EQ(window.endResult(), dialog::kIdCancel);
}

TEST_F(WindowEvents, NothingStartsOrEndsWhileAHandlerRuns) {
  folder.Write("btconfig.ini", "[PIO]\r\ntestTimeout=2\r\n");
  dialog.OnTesting();  // the PIO countdown that timer 1 moves
  const std::string countdown = window.ItemText(res::IDC_PIO_COUNTDOWN);

  bool busyInside = false;
  window.whileOpen = [&] {
    busyInside = dialog.Busy();
    dialog.Clicked(res::kIdCancel);
    dialog.Clicked(res::kIdOk);
    dialog.Clicked(res::IDC_OPEN_FILE);
    dialog.TimerTicked(1);
  };
  dialog.Clicked(res::IDC_OPEN_FILE);

  EXPECT_TRUE(busyInside);
  EXPECT_FALSE(dialog.Busy());
  EXPECT_EQ(window.boxes, 1);  // the click inside the box's loop opened no second box
  EXPECT_FALSE(window.endResult().has_value());
  EXPECT_EQ(window.ItemText(res::IDC_PIO_COUNTDOWN), countdown);

  // Once the handler is over the same reports count again.
  window.whileOpen = nullptr;
  dialog.TimerTicked(1);
  EXPECT_NE(window.ItemText(res::IDC_PIO_COUNTDOWN), countdown);
  dialog.Clicked(res::kIdCancel);
  EXPECT_EQ(window.endResult(), dialog::kIdCancel);
}

}  // namespace
