#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <filesystem>

#include "ledger/address_range.h"
#include "platform/profile_file.h"
#include "tests/unit/address_fixture.h"

namespace {

using fakes::Call;
using fakes::Calls;

constexpr const char* kFirst = "\\\\.\\CSR0";
constexpr const char* kOpenFailed = "设备打开失败!请连接设备到蓝牙IC.\n 开机键长按.";

class Address : public fakes::AddressTest {
 protected:
  Calls Writes() const { return engine.CallsOf("psWriteBdAddr"); }
};

TEST_F(Address, WritesTheStoredAddressAndAdvancesTheCounter) {
  Store("0002", "5b", "00a1ff", "9");
  Tick(res::IDC_DEVICE1);
  PressSetAddr();
  EXPECT_EQ(engine.calls(), (Calls{{"openTestEngine", std::string("2,") + kFirst + ",0,0,100"},
                                   {"openTestEngineSpiTrans", "SPITRANS=USB SPIPORT=0,0"},
                                   {"psWriteBdAddr", "2,41471,91,2"},
                                   {"closeTestEngine", "2"},
                                   {"closeTestEngine", "1"}}));
  EXPECT_EQ(window.ItemText(res::IDC_CURRENT_LAP), "00a1ff");
  EXPECT_EQ(window.ItemText(res::IDC_NEXT_NAP), "0002");
  EXPECT_EQ(window.ItemText(res::IDC_NEXT_UAP), "5b");
  EXPECT_EQ(window.ItemText(res::IDC_NEXT_LAP), "00a200");
  EXPECT_EQ(window.ItemText(res::IDC_BURN_COUNT), "10");
  EXPECT_EQ(Stored("address", "LAP"), "00a200");
  EXPECT_EQ(Stored("SUM", "total"), "10");
  EXPECT_EQ(Stored("address", "NAP"), "0002");
  EXPECT_EQ(Status(), "写蓝牙地址成功! ");
}

TEST_F(Address, BothDevicesGetConsecutiveAddressesDevice1First) {
  Store("0002", "5b", "00a1ff", "");
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  PressSetAddr();
  Calls opens = engine.CallsOf("openTestEngineSpiTrans");
  ASSERT_EQ(opens.size(), 2u);
  EXPECT_EQ(opens[0].args, "SPITRANS=USB SPIPORT=0,0");
  EXPECT_EQ(opens[1].args, "SPITRANS=LPT SPIPORT=1,0");
  ASSERT_EQ(Writes().size(), 2u);
  EXPECT_EQ(Writes()[0].args, "2,41471,91,2");
  EXPECT_EQ(Writes()[1].args, "4,41472,91,2");
  EXPECT_EQ(Stored("address", "LAP"), "00a201");
  EXPECT_EQ(Stored("SUM", "total"), "2");  // a missing total counts from 0
}

TEST_F(Address, NoDeviceTickedDoesNothingAtAll) {
  Store("0002", "5b", "00a1ff", "9");
  PressSetAddr();
  EXPECT_TRUE(allCalls.empty());
  EXPECT_EQ(Log(), "");
}

TEST_F(Address, EmptyStartRowAsksForAnAddressAndOpensNothing) {
  Store("0002", "5b", "00a1ff", "9");
  Tick(res::IDC_DEVICE1);
  dialog.OnCommand(res::IDC_SET_ADDR);
  EXPECT_EQ(Status(), "请填写开始蓝牙地址或点ReadAddr按键读取!");
  EXPECT_TRUE(engine.calls().empty());

  window.Type(res::IDC_START_UAP, "77");  // one field is enough; its value is not used
  dialog.OnCommand(res::IDC_SET_ADDR);
  EXPECT_EQ(Writes().at(0).args, "2,41471,91,2");
}

TEST_F(Address, FailedOpenOrRefusedWriteLeavesFileAndCountAlone) {
  Store("0002", "5b", "00a1ff", "9");
  const std::string before = folder.Read("btconfig.ini");
  Tick(res::IDC_DEVICE1);

  engine.Script("openTestEngineSpiTrans", 0);
  PressSetAddr();
  ASSERT_EQ(window.messageBoxes().size(), 1u);
  EXPECT_EQ(window.messageBoxes()[0].text, kOpenFailed);
  EXPECT_EQ(engine.calls().back(), (Call{"closeTestEngine", "1"}));
  EXPECT_EQ(window.ItemText(res::IDC_CURRENT_LAP), "00a1ff");  // the current row shows what was tried
  EXPECT_EQ(window.ItemText(res::IDC_NEXT_LAP), "");

  engine.Script("psWriteBdAddr", 0);
  PressSetAddr();
  EXPECT_EQ(Status(), "写蓝牙地址失败! ");
  EXPECT_EQ(folder.Read("btconfig.ini"), before);
  EXPECT_EQ(window.ItemText(res::IDC_BURN_COUNT), "");

  PressSetAddr();  // the next press gives the same address again
  ASSERT_EQ(Writes().size(), 2u);
  EXPECT_EQ(Writes()[0].args.substr(2), Writes()[1].args.substr(2));
}

TEST_F(Address, EndOfTheLapRange) {
  Store("0002", "5b", "fffffe", "0");
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  PressSetAddr();  // fffffe and ffffff are given; the range is then used up
  ASSERT_EQ(Writes().size(), 2u);
  EXPECT_EQ(Writes()[1].args, "4,16777215,91,2");
  EXPECT_EQ(Stored("address", "LAP"), "1000000");
  EXPECT_EQ(Stored("SUM", "total"), "2");
  EXPECT_EQ(window.ItemText(res::IDC_NEXT_LAP), "");
  EXPECT_NE(Log().find("蓝牙地址已用完"), std::string::npos);

  const std::string before = folder.Read("btconfig.ini");
  engine.Clear();
  PressSetAddr();
  EXPECT_TRUE(engine.calls().empty());
  EXPECT_EQ(Status(), "蓝牙地址已用完! LAP=1000000 超出ffffff, 请换新的地址段. ");
  EXPECT_EQ(folder.Read("btconfig.ini"), before);
}

TEST_F(Address, MissingOutOfRangeOrReservedCountersAreRefusedBeforeAnyModuleIsTouched) {
  const struct {
    const char* lap;
    const char* message;
    const char* nap = "0002";
  } kRefused[] = {
      {"", "btconfig.ini中没有下一地址(NAP/UAP/LAP)! 请先设置地址段. "},
      {"00a1ff", "btconfig.ini中没有下一地址(NAP/UAP/LAP)! 请先设置地址段. ", ""},
      {"fffffffe", "蓝牙地址已用完! LAP=fffffffe 超出ffffff, 请换新的地址段. "},
      {"ffffffff", "蓝牙地址已用完! LAP=ffffffff 超出ffffff, 请换新的地址段. "},
      {"000000001", "蓝牙地址已用完! LAP=000000001 超出ffffff, 请换新的地址段. "},  // would wrap to 0
      {"9e8b00", "LAP=9e8b00 是保留地址(9e8b00-9e8b3f), 不能写入! "},
      {"9e8b3f", "LAP=9e8b3f 是保留地址(9e8b00-9e8b3f), 不能写入! "},
  };
  Tick(res::IDC_DEVICE1);
  for (const auto& c : kRefused) {
    Store(c.nap, "5b", c.lap, "3");
    engine.Clear();
    PressSetAddr();
    EXPECT_TRUE(engine.calls().empty()) << c.lap;
    EXPECT_EQ(Status(), c.message) << c.lap;
    EXPECT_EQ(Stored("address", "LAP"), c.lap);
    EXPECT_EQ(Stored("SUM", "total"), "3");
  }
}

TEST_F(Address, CounterStepsOverTheReservedBlock) {
  Store("0002", "5b", "9e8aff", "0");
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  PressSetAddr();
  ASSERT_EQ(Writes().size(), 2u);
  EXPECT_EQ(Writes()[0].args, "2,10390271,91,2");   // 9e8aff
  EXPECT_EQ(Writes()[1].args, "4,10390336,91,2");   // 9e8b40
  EXPECT_EQ(Stored("address", "LAP"), "9e8b41");
  EXPECT_EQ(ledger::NextLap(0x9E8AFE), 0x9E8AFFu);
  EXPECT_EQ(ledger::NextLap(0x9E8B40), 0x9E8B41u);
}

// A folder where the temporary file would go: btconfig.ini cannot be
// replaced, while production.db beside it still takes its rows.
TEST_F(Address, CounterThatCannotBeSavedStopsBeforeTheNextModule) {
  Store("0002", "5b", "00a1ff", "9");
  const std::string before = folder.Read("btconfig.ini");
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  std::filesystem::create_directory("btconfig.ini.tmp");
  PressSetAddr();
  EXPECT_EQ(folder.Read("btconfig.ini"), before);  // the old file, not a torn one
  EXPECT_EQ(Writes().size(), 1u);  // device 2 would have been given the same address
  EXPECT_EQ(Status(), "btconfig.ini保存失败! 计数未更新, 请检查文件后再写地址! ");
}

// A file size limit stands in for a full disk; Windows has no such limit.
#ifndef _WIN32
// Lets no file grow past a few bytes, so that saving the counter fails even for root.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit small = saved_;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

// A full disk: not even the mark can be made, so no module is written.
TEST_F(Address, FullDiskWritesNoModule) {
  Store("0002", "5b", "00a1ff", "9");
  const std::string before = folder.Read("btconfig.ini");
  Tick(res::IDC_DEVICE1);
  {
    FileSizeLimit full(16);
    PressSetAddr();
  }
  EXPECT_EQ(folder.Read("btconfig.ini"), before);
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(Status(), "production.db写入失败! 地址未写入, 请检查磁盘后再写地址. ");
}
#endif

TEST_F(Address, ReadAddrShowsTheModulesAddressInTheStartRow) {
  engine.nap = 0x0002;
  engine.uap = 0x05;
  engine.lap = 0xa1f3;
  Tick(res::IDC_DEVICE1);
  dialog.OnCommand(res::IDC_READ_ADDR);
  EXPECT_EQ(window.ItemText(res::IDC_START_NAP), "0002");
  EXPECT_EQ(window.ItemText(res::IDC_START_UAP), "5");
  EXPECT_EQ(window.ItemText(res::IDC_START_LAP), "00a1f3");
  EXPECT_EQ(Status(), "读取蓝牙地址成功! ");
  EXPECT_EQ(engine.calls().back(), (Call{"closeTestEngine", "1"}));
  EXPECT_FALSE(folder.Read("btconfig.ini").size());
}

TEST_F(Address, ReadAddrWithBothTickedReadsDevice2AndClosesDevice1) {
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  dialog.OnCommand(res::IDC_READ_ADDR);
  EXPECT_EQ(engine.calls(), (Calls{{"openTestEngine", std::string("2,") + kFirst + ",0,0,100"},
                                   {"openTestEngineSpiTrans", "SPITRANS=USB SPIPORT=0,0"},
                                   {"openTestEngineSpiTrans", "SPITRANS=LPT SPIPORT=1,0"},
                                   {"closeTestEngine", "2"},
                                   {"psReadBdAddr", "3"},
                                   {"closeTestEngine", "3"},
                                   {"closeTestEngine", "1"}}));
}

TEST_F(Address, FailedReadIsSaidAndLeavesTheStartRow) {
  window.Type(res::IDC_START_LAP, "00a1ff");
  Tick(res::IDC_DEVICE1);
  engine.Script("psReadBdAddr", 0);
  dialog.OnCommand(res::IDC_READ_ADDR);
  EXPECT_EQ(Status(), "读取蓝牙地址失败! ");
  EXPECT_EQ(window.ItemText(res::IDC_START_LAP), "00a1ff");
}

TEST_F(Address, ReadAddrWithNoDeviceShowsTheOpenFailure) {
  dialog.OnCommand(res::IDC_READ_ADDR);
  ASSERT_EQ(window.messageBoxes().size(), 1u);
  EXPECT_EQ(window.messageBoxes()[0].text, kOpenFailed);
  EXPECT_EQ(engine.calls(), (Calls{{"openTestEngine", std::string("2,") + kFirst + ",0,0,100"},
                                   {"closeTestEngine", "0"},
                                   {"closeTestEngine", "1"}}));
}

TEST_F(Address, ClearAsksFirstAndOnYesStoresZero) {
  Store("0002", "5b", "00a1ff", "9");
  dialog.OnInitDialog();
  window.Type(res::IDC_DEVICE_NAME, "typed");

  window.AnswerNextMessageBox(dialog::kIdNo);
  dialog.OnCommand(res::IDC_CLEAR);
  EXPECT_EQ(window.messageBoxes().back().text, "Are you srue to clear the SUM ?");
  EXPECT_EQ(window.messageBoxes().back().buttons, dialog::kMbYesNo);
  EXPECT_EQ(Stored("SUM", "total"), "9");
  EXPECT_EQ(window.ItemText(res::IDC_BURN_COUNT), "9");

  window.AnswerNextMessageBox(dialog::kIdYes);
  dialog.OnCommand(res::IDC_CLEAR);
  EXPECT_EQ(Stored("SUM", "total"), "0");
  EXPECT_EQ(window.ItemText(res::IDC_BURN_COUNT), "0");
  EXPECT_EQ(window.ItemText(res::IDC_DEVICE_NAME), "");  // shown from the values, not collected
  EXPECT_EQ(Log(), "");
}

TEST_F(Address, ClearCreatesAMissingFile) {
  dialog.OnCommand(res::IDC_CLEAR);
  EXPECT_EQ(folder.Read("btconfig.ini"), "[SUM]\r\ntotal=0\r\n");
}

}  // namespace
