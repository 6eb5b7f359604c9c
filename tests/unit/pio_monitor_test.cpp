#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pio/pio_monitor.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/reported_lines.h"

namespace {

using fakes::Call;
using fakes::Calls;
using Lines = std::vector<std::string>;

class PioMonitor : public fakes::DialogTest {
 protected:
  void Tick() { monitor.OnTimer(reports, engine, 1); }
  std::string Countdown() const { return window.ItemText(res::IDC_PIO_COUNTDOWN); }

  fakes::ReportedLines reports{dialog};
  pio::PioMonitor monitor;
};

TEST_F(PioMonitor, CountsDownAndReportsWhenTimeIsUp) {
  window.SetTimer(1, 1000);
  monitor.SetCountdown(3);
  Tick();
  EXPECT_EQ(Countdown(), "2");
  Tick();
  EXPECT_EQ(Countdown(), "1");
  EXPECT_TRUE(reports.lines().empty());
  EXPECT_TRUE(window.TimerRunning(1));
  Tick();
  EXPECT_EQ(Countdown(), "0");
  EXPECT_FALSE(window.TimerRunning(1));
  EXPECT_EQ(reports.lines(), (Lines{"已测到的PIO位=[0x0]"}));
  EXPECT_EQ(engine.calls(), (Calls{{"closeTestEngine", "0"}}));  // nothing was watched
}

TEST_F(PioMonitor, ChangedLinesRestartTheTimerAndAreGatheredIntoTheDetectedByte) {
  window.SetTimer(1, 1000);
  monitor.SetCountdown(10);
  monitor.Watch(5, 0x0F);
  engine.pioLevel = 0x10A;  // lines 0 and 2 changed, and line 8, which is not shown
  Tick();
  EXPECT_EQ(monitor.detected(), 0x05);
  ASSERT_TRUE(window.TimerRunning(1));
  EXPECT_EQ(window.TimerInterval(1), 9u);

  engine.pioLevel = 0x0F;  // back to the baseline: the timer runs on as it was
  window.SetTimer(1, 1000);
  Tick();
  EXPECT_EQ(window.TimerInterval(1), 1000u);

  engine.pioLevel = 0x8F;
  monitor.SetCountdown(1);
  Tick();
  EXPECT_EQ(monitor.detected(), 0x85);
  EXPECT_FALSE(window.TimerRunning(1));
  EXPECT_EQ(reports.lines(), (Lines{"已测到的PIO位=[0x85]"}));
  EXPECT_EQ(engine.calls(), (Calls{{"bccmdGetPio32", "5"},
                                   {"bccmdGetPio32", "5"},
                                   {"bccmdGetPio32", "5"},
                                   {"closeTestEngine", "5"}}));
}

TEST_F(PioMonitor, FailedReadChangesNothing) {
  window.SetTimer(1, 1000);
  monitor.SetCountdown(10);
  monitor.Watch(5, 0);
  engine.pioLevel = 0xFF;
  engine.Script("bccmdGetPio32", 0);
  Tick();
  EXPECT_EQ(monitor.detected(), 0);
  EXPECT_EQ(window.TimerInterval(1), 1000u);
}

TEST_F(PioMonitor, TicksAfterTheEndDoNotWrapTheCountdown) {
  monitor.SetCountdown(0);
  Tick();
  EXPECT_EQ(monitor.countdown(), 0u);
  EXPECT_EQ(Countdown(), "0");
}

TEST_F(PioMonitor, OtherTimersAreNotItsBusiness) {
  monitor.SetCountdown(3);
  monitor.OnTimer(reports, engine, 2);
  EXPECT_EQ(monitor.countdown(), 3u);
  EXPECT_EQ(Countdown(), "0");  // the template's text
}

TEST_F(PioMonitor, DialogsTimerReachesTheMonitorThatThePioTestSet) {
  folder.Write("btconfig.ini", "[PIO]\r\ntestTimeout=2\r\n");
  dialog.OnTesting();  // no box ticked: the countdown is set all the same
  dialog.OnTimer(1);
  EXPECT_EQ(window.ItemText(res::IDC_PIO_COUNTDOWN), "1");
  dialog.OnTimer(1);
  EXPECT_EQ(Status(), "已测到的PIO位=[0x0]");
}

}  // namespace
