#include <gtest/gtest.h>

#include "memory/flash_road.h"
#include "tests/unit/memory_fixture.h"

namespace {

using memtest::Call;
using memtest::Calls;
using memtest::MemoryTest;

class FlashRoad : public MemoryTest {
 protected:
  void Program() { memory::ProgramFlash(services, flash, host(), memtest::kDevice1); }
  void Erase() { memory::EraseFlash(services, flash, memtest::kDevice1); }

  static Calls Opening() {
    return {{"flInitTrans", "SPITRANS=USB SPIPORT=0,26,2"}, {"flStopProcessor", ""}, {"flSetFlashType", "0"}};
  }
  static Calls Resets() { return Calls(5, Call{"flResetAndStart", ""}); }
  static Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }
};

TEST_F(FlashRoad, ProgramShowsEachProgressReadingButTheFirst) {
  ChooseFirmware("D:\\fw\\app.xpv");
  flash.progress = {10, 45, 100};
  std::vector<std::string> labelsAtSleep;
  clock.onSleep = [&] { labelsAtSleep.push_back(window.ItemText(res::IDC_PROGRESS) + window.ItemText(res::IDC_PERCENT)); };
  Program();
  EXPECT_EQ(allCalls, Join({{{"Report", " "}},
                            Opening(),
                            {{"flReadProgramFiles", "D:\\fw\\app.xpv"},
                             {"flProgramSpawn", ""},
                             {"flGetProgress", ""},
                             {"flGetProgress", ""},
                             {"flGetProgress", ""},
                             {"flGetLastError", ""},
                             {"Report", "flash烧录完成!"},
                             {"flGetDownloadTime", ""},
                             {"Report", "下载时间: 1234毫秒"}},
                            Resets(),
                            {{"flClose", ""}}}));
  EXPECT_EQ(clock.sleeps, (std::vector<unsigned>{500, 500}));
  // Blank at the first wait (10 is never shown), then 45; 100 at the end.
  EXPECT_EQ(labelsAtSleep[0].substr(0, 1), " ");
  EXPECT_EQ(labelsAtSleep[1], "45%");
  EXPECT_EQ(window.ItemText(res::IDC_PROGRESS), "100");
  EXPECT_EQ(window.ItemText(res::IDC_PERCENT), "%");
  EXPECT_GE(window.keepPaintingCalls(), 2);
}

TEST_F(FlashRoad, ForegroundFallbackThatIsAlreadyDoneLeavesTheLabels) {
  ChooseFirmware("app.xuv");
  const std::string percentBefore = window.ItemText(res::IDC_PERCENT);
  flash.Script("flProgramSpawn", 1);
  Program();
  EXPECT_EQ(flash.CallsOf("flProgramBlock").size(), 1u);
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_EQ(window.ItemText(res::IDC_PROGRESS), " ");
  EXPECT_EQ(window.ItemText(res::IDC_PERCENT), percentBefore);
  EXPECT_EQ(Reports(), (std::vector<std::string>{" ", "flash烧录完成!", "下载时间: 1234毫秒"}));
}

TEST_F(FlashRoad, ProgramFailuresEndAtCloseWithTheirOneMessage) {
  const struct {
    const char* failing;
    std::vector<std::string> reports;
    const char* lastCallBeforeClose;
    const char* printed;
  } kCases[] = {
      {"flInitTrans", {" "}, "flInitTrans", ""},
      {"flStopProcessor", {" "}, "flStopProcessor", ""},
      {"flSetFlashType", {" "}, "flSetFlashType", ""},
      {"flReadProgramFiles", {" ", "读flash烧录文件失败! "}, "Report", ""},
      {"flProgramBlock", {" ", "Failed to spawn flash program thread !"}, "Report",
       "Failed to spawn flash program thread\n"},
      {"flGetLastError", {" ", "Programming failed with error: 7"}, "Report", "Programming failed with error: 7\n"},
  };
  for (const auto& c : kCases) {
    allCalls.clear();
    flash.Clear();
    ChooseFirmware("app.xpv");
    if (std::string(c.failing) == "flProgramBlock") flash.Script("flProgramSpawn", 1);
    flash.Script(c.failing, 7);
    testing::internal::CaptureStdout();
    Program();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.failing;
    EXPECT_EQ(Reports(), c.reports) << c.failing;
    ASSERT_GE(allCalls.size(), 2u);
    EXPECT_EQ(allCalls.back().name, "flClose") << c.failing;
    EXPECT_EQ(allCalls[allCalls.size() - 2].name, c.lastCallBeforeClose) << c.failing;
    EXPECT_TRUE(flash.CallsOf("flResetAndStart").empty()) << c.failing;
  }
}

TEST_F(FlashRoad, EmptyPathCallsNothing) {
  window.SetItemText(res::IDC_PROGRESS, "37");
  Program();
  EXPECT_EQ(allCalls, (Calls{{"Report", "haven't .XUV file!!!"}}));
  EXPECT_EQ(window.ItemText(res::IDC_PROGRESS), "37");
}

TEST_F(FlashRoad, ProgressThatStandsStillForAMinuteEndsTheRun) {
  ChooseFirmware("app.xpv");
  flash.progress.assign(1000, 20);
  Program();
  EXPECT_EQ(Reports().back(), "Programming stalled at 20% for 60 s !");
  EXPECT_EQ(allCalls.back(), (Call{"flClose", ""}));
  EXPECT_TRUE(flash.CallsOf("flGetLastError").empty());
  EXPECT_EQ(clock.sleeps.size(), 120u);  // 60 s of 500 ms polls, not a poll more
}

TEST_F(FlashRoad, SlowProgressIsNeverCutOff) {
  ChooseFirmware("app.xpv");
  for (int step : {5, 6, 7}) flash.progress.insert(flash.progress.end(), 118, step);  // 59 s each
  flash.progress.push_back(100);
  Program();
  EXPECT_EQ(Reports().back(), "下载时间: 1234毫秒");
}

TEST_F(FlashRoad, Erase) {
  const struct {
    const char* failing;
    Calls after;  // what follows the opening calls
  } kCases[] = {
      {"", Join({{{"flErase", ""}, {"Report", "flash擦除成功!"}}, Resets(), {{"flClose", ""}}})},
      {"flErase", {{"flErase", ""}, {"flClose", ""}, {"Report", "flash擦除失败!"}}},
      {"flSetFlashType", {{"flClose", ""}}},
  };
  for (const auto& c : kCases) {
    allCalls.clear();
    if (*c.failing) flash.Script(c.failing, 2);
    Erase();
    EXPECT_EQ(allCalls, Join({Opening(), c.after})) << c.failing;
  }
  // A transport that cannot be opened: no message at all.
  allCalls.clear();
  flash.Script("flInitTrans", 1);
  Erase();
  EXPECT_EQ(allCalls, (Calls{{"flInitTrans", "SPITRANS=USB SPIPORT=0,26,2"}, {"flClose", ""}}));
}

}  // namespace
