#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pio/pio_monitor.h"
#include "pio/pio_test.h"
#include "pio/spi_lock.h"
#include "tests/station/radio_bench_station.h"

namespace {

using Lines = std::vector<std::string>;
using PioBench = bench::BenchStation;

TEST_F(PioBench, PioTestReportsTheLinesTheChipRefuses) {
  Tick(res::IDC_DEVICE1);
  pio::PioMonitor monitor;
  pio::PioTest(*reports, *libraries.engine, monitor).OnTesting();
  Set("module bc5", "pio_refused", "0x80000005");
  pio::PioTest(*reports, *libraries.engine, monitor).OnTesting();
  EXPECT_EQ(Reported(), (Lines{" ", "if bit was 1, can't to set: 1 0x0", " ", "if bit was 1, can't to set: 1 0x80000005"}));
}

TEST_F(PioBench, LockSetsOurKeyOnBothModules) {
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  EXPECT_TRUE(dialog->OnCommand(res::IDC_LOCK));
  EXPECT_EQ(Get("module bc5", "spi_locked"), "yes");
  EXPECT_EQ(Get("module bc7", "spi_locked"), "yes");
  EXPECT_FALSE(Get("module bc7", "customer_key").empty());

  pio::SpiLock(*reports, *libraries.engine).OnLock();  // the same key again is taken
  EXPECT_EQ(Reported(), (Lines{" ", " SPI locked, customer key set !!", " ", " SPI locked, customer key set !!"}));
}

TEST_F(PioBench, LockFailuresMadeByTheStation) {
  Tick(res::IDC_DEVICE1);
  Set("module bc5", "customer_key", "11111111 22222222 33333333 44444444");
  pio::SpiLock(*reports, *libraries.engine).OnLock();
  Set("module bc5", "present", "no");
  pio::SpiLock(*reports, *libraries.engine).OnLock();
  EXPECT_EQ(Reported(), (Lines{" ", "Set Customer Key fialed !!", " "}));
  EXPECT_EQ(Boxes(), (std::vector<std::string>{dialog::kDeviceOpenFailed}));
}

}  // namespace
