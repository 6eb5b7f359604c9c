// A shift's worth of address writes against the simulated station and a real btconfig.ini.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "app/main_dialog.h"
#include "ledger/embedded/record_db.h"
#include "platform/profile_file.h"
#include "res/resource_ids.h"
#include "tests/support/memory_window.h"
#include "tests/station/accepted_laps.h"
#include "tests/support/temp_directory.h"
#include "vendor/library_loader.h"

namespace {

class AddressStation : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(vendor::LoadLibraries(SIM_LIBRARY_DIR, &libs, &error)) << error;
    uint16_t length = 0, count = 0;
    libs.engine->teGetAvailableSpiPorts(&length, nullptr, nullptr, &count);  // lays out the default station
    Station("station", "timing", "instant");
    Station("station", "trace", "on");
    folder.Write("btconfig.ini", "[SUM]\r\ntotal=0\r\n[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n");
    dialog = std::make_unique<app::MainDialog>(window, *libs.engine, *libs.flash, *libs.e2, transports);
    dialog->OnInitDialog();
    dialog->OnPaint();  // the adapters, as the first paint finds them
  }
  void Station(const char* section, const char* key, const char* value) {
    ASSERT_TRUE(platform::WriteProfileString(section, key, value, "station/station.ini"));
  }
  std::string Setting(const char* section, const char* key) {
    return platform::ReadProfileString(section, key, 64, "btconfig.ini");
  }
  // The LAP a module holds now, read back through the library.
  uint32_t ModuleLap(const std::string& transport) {
    uint32_t handle = libs.engine->openTestEngineSpiTrans(transport.c_str(), 0);
    uint32_t lap = 0;
    uint8_t uap = 0;
    uint16_t nap = 0;
    EXPECT_EQ(libs.engine->psReadBdAddr(handle, &lap, &uap, &nap), 1);
    libs.engine->closeTestEngine(handle);
    EXPECT_EQ(uap, 0x5b);
    EXPECT_EQ(nap, 0x0002);
    return lap;
  }

  fakes::TempWorkingDirectory folder;
  vendor::Libraries libs;
  fakes::MemoryWindow window;
  dialog::Transports transports;
  std::unique_ptr<app::MainDialog> dialog;
};

TEST_F(AddressStation, TwentyPressesOnTwoModulesGiveEveryAddressOnce) {
  ASSERT_EQ(transports.Device1Transport, "SPITRANS=USB SPIPORT=0");
  ASSERT_EQ(transports.Device2Transport, "SPITRANS=LPT SPIPORT=1");
  window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
  window.SetCheck(res::IDC_DEVICE2, dialog::kBstChecked);
  for (int press = 1; press <= 20; ++press) {
    // On the seventh press the second module refuses its address.
    Station("faults", "psWriteBdAddr", press == 7 ? "bc7" : "nobody");
    dialog->OnCommand(res::IDC_SET_ADDR);
    EXPECT_TRUE(window.messageBoxes().empty()) << press;
  }

  std::vector<uint32_t> laps = station::AcceptedLaps();
  ASSERT_EQ(laps.size(), 39u);
  for (size_t i = 0; i < laps.size(); ++i) EXPECT_EQ(laps[i], 0xa1ffu + i) << i;
  EXPECT_EQ(std::set<uint32_t>(laps.begin(), laps.end()).size(), laps.size());

  EXPECT_EQ(ModuleLap("SPITRANS=USB SPIPORT=0"), 0xa1ffu + 37);
  EXPECT_EQ(ModuleLap("SPITRANS=LPT SPIPORT=1"), 0xa1ffu + 38);
  EXPECT_EQ(Setting("address", "LAP"), "00a226");
  EXPECT_EQ(Setting("SUM", "total"), "39");
  EXPECT_EQ(window.ItemText(res::IDC_BURN_COUNT), "39");

  // A restart shows the counter where the shift left it.
  fakes::MemoryWindow restarted;
  app::MainDialog again(restarted, *libs.engine, *libs.flash, *libs.e2, transports);
  again.OnInitDialog();
  EXPECT_EQ(restarted.ItemText(res::IDC_START_LAP), "00a226");
  EXPECT_EQ(restarted.ItemText(res::IDC_BURN_COUNT), "39");
}

// The module that took its address while the answer was lost, and the module
// that said yes and kept its old one: each is asked, and no address reaches two modules.
TEST_F(AddressStation, ModulesAreReadBackWhenTheirAnswerCannotBeTrusted) {
  window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
  const std::string usb = transports.Device1Transport;

  Station("faults", "bdaddr_answer_lost", "bc5");
  dialog->OnCommand(res::IDC_SET_ADDR);
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "写蓝牙地址成功! 写入无应答, 但回读地址0002:5b:00a1ff与写入一致. ");
  EXPECT_EQ(ModuleLap(usb), 0xa1ffu);
  EXPECT_EQ(Setting("address", "LAP"), "00a200");

  // The opt-in read-back, after a cold reset: a module that keeps its old address is caught.
  Station("faults", "bdaddr_answer_lost", "");
  Station("faults", "bdaddr_not_kept", "bc5");
  ASSERT_TRUE(platform::WriteProfileString("verify", "address", "on", "btconfig.ini"));
  ASSERT_TRUE(platform::WriteProfileString("verify", "reset", "on", "btconfig.ini"));
  dialog->OnCommand(res::IDC_SET_ADDR);
  EXPECT_EQ(window.ItemText(res::IDC_STATUS),
            "模块没有保存新地址! 写入0002:5b:00a200, 回读为0002:5b:00a1ff; 此地址不再使用, 请检查该模块. ");
  EXPECT_EQ(ModuleLap(usb), 0xa1ffu);

  Station("faults", "bdaddr_not_kept", "");
  dialog->OnCommand(res::IDC_SET_ADDR);
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "写蓝牙地址成功! 回读地址0002:5b:00a201与写入一致. ");
  EXPECT_EQ(ModuleLap(usb), 0xa201u);  // 00a200 is not given again
  EXPECT_EQ(Setting("SUM", "total"), "2");

  std::ifstream trace("station/trace.log");
  std::string calls, line;
  while (std::getline(trace, line)) calls += line.substr(0, line.find('(')) + " ";
  EXPECT_NE(calls.find("psWriteBdAddr bccmdSetColdReset psReadBdAddr closeTestEngine"), std::string::npos) << calls;

  sqlite3* db = ledger::OpenRecord("production.db", false);
  std::string states;
  {
    ledger::Statement rows(db, "SELECT printf('%06x %s', lap, state) FROM operations WHERE state IS NOT NULL ORDER BY id");
    while (rows.Step() == SQLITE_ROW) states += rows.Text(0) + ", ";
  }
  sqlite3_close(db);
  EXPECT_EQ(states, "00a1ff written, 00a200 unknown, 00a201 written, ");
}

TEST_F(AddressStation, NameAndAddressReadBackFromTheModule) {
  window.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
  window.Type(res::IDC_DEVICE_NAME, "Tarn-01");
  dialog->OnCommand(res::IDC_NAME_CHANGE);
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "蓝牙名字修改成功!");
  EXPECT_EQ(platform::ReadProfileString("module bc5", "ps_264", 64, "station/station.ini").empty(), false);

  dialog->OnCommand(res::IDC_READ_ADDR);
  EXPECT_EQ(window.ItemText(res::IDC_START_LAP), "00a1f0");  // the default station's first module
  EXPECT_EQ(window.ItemText(res::IDC_START_UAP), "5b");
  EXPECT_EQ(window.ItemText(res::IDC_START_NAP), "0002");
}

}  // namespace
