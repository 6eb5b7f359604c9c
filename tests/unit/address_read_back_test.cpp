// The module is asked which address it holds when the write's answer leaves it
// unclear, and after every write when [verify] asks: an address that may be in
// a module is never given again, and one that is not is given again.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "ledger/embedded/record_db.h"
#include "platform/gbk.h"
#include "tests/unit/address_fixture.h"

namespace {

using fakes::Call;
using fakes::Calls;

constexpr int kNoScript = -1;
constexpr uint32_t kWrittenLap = 0xa1ff;  // what the counter gives, 0002:5b:00a1ff
constexpr uint32_t kOldLap = 0xa1f0;      // what the module held before

struct ReadBackCase {
  const char* name;
  const char* verify;  // the [verify] section's lines
  int write, reset, read;
  uint32_t moduleLap;  // what psReadBdAddr reads
  Calls afterWrite;    // from the write to the last close
  const char* state;
  const char* status;
  const char* storedLap;  // btconfig.ini after the press
  const char* nextWrite;  // what the next press writes: the same address or the one after
};

void PrintTo(const ReadBackCase& c, std::ostream* out) { *out << c.name; }

const Call kWrite{"psWriteBdAddr", "2,41471,91,2"};
const Call kRead{"psReadBdAddr", "2"};
const Call kReset{"bccmdSetColdReset", "2,0"};
const Call kClose2{"closeTestEngine", "2"};
const Call kClose1{"closeTestEngine", "1"};

const ReadBackCase kCases[] = {
    // Without read-back: an unclear answer alone asks the module.
    {"AnswerLostModuleHoldsIt", "", 0, kNoScript, 1, kWrittenLap, {kWrite, kRead, kClose2, kClose1}, "written",
     "写蓝牙地址成功! 写入无应答, 但回读地址0002:5b:00a1ff与写入一致. ", "00a200", "4,41472,91,2"},
    {"RefusedModuleHoldsAnother", "", 0, kNoScript, 1, kOldLap, {kWrite, kRead, kClose2, kClose1}, "failed",
     "写蓝牙地址失败! ", "00a1ff", "4,41471,91,2"},
    {"NoAnswerAndNoReadBack", "", 0, kNoScript, 0, kWrittenLap, {kWrite, kRead, kClose2, kClose1}, "unknown",
     "写蓝牙地址无应答, 回读地址也失败! 模块是否已有0002:5b:00a1ff未知, 此地址不再使用, 请检查该模块. ", "00a1ff",
     "4,41472,91,2"},
    {"ResetAloneAsksNothing", "reset=on", 1, kNoScript, 1, kOldLap, {kWrite, kClose2, kClose1}, "written",
     "写蓝牙地址成功! ", "00a200", "4,41472,91,2"},
    // [verify] address = on: every accepted write is read back.
    {"VerifiedWrite", "address=on", 1, kNoScript, 1, kWrittenLap, {kWrite, kRead, kClose2, kClose1}, "written",
     "写蓝牙地址成功! 回读地址0002:5b:00a1ff与写入一致. ", "00a200", "4,41472,91,2"},
    {"AcceptedButNotKept", "address=on", 1, kNoScript, 1, kOldLap, {kWrite, kRead, kClose2, kClose1}, "unknown",
     "模块没有保存新地址! 写入0002:5b:00a1ff, 回读为0002:5b:00a1f0; 此地址不再使用, 请检查该模块. ", "00a1ff",
     "4,41472,91,2"},
    {"AcceptedButNoReadBack", "address=ON", 1, kNoScript, 0, kWrittenLap, {kWrite, kRead, kClose2, kClose1},
     "unknown", "写入后回读蓝牙地址失败! 模块是否已有0002:5b:00a1ff未知, 此地址不再使用, 请检查该模块. ", "00a1ff",
     "4,41472,91,2"},
    {"VerifiedAfterColdReset", "address=on\r\nreset=on", 1, 1, 1, kWrittenLap,
     {kWrite, kReset, kRead, kClose2, kClose1}, "written", "写蓝牙地址成功! 回读地址0002:5b:00a1ff与写入一致. ",
     "00a200", "4,41472,91,2"},
    {"NotKeptAfterColdReset", "address=on\r\nreset=on", 1, 1, 1, kOldLap, {kWrite, kReset, kRead, kClose2, kClose1},
     "unknown", "模块没有保存新地址! 写入0002:5b:00a1ff, 回读为0002:5b:00a1f0; 此地址不再使用, 请检查该模块. ",
     "00a1ff", "4,41472,91,2"},
    {"ColdResetRefused", "address=on\r\nreset=on", 1, 0, 1, kWrittenLap, {kWrite, kReset, kClose2, kClose1},
     "unknown", "写入后冷复位失败, 无法回读! 模块是否已有0002:5b:00a1ff未知, 此地址不再使用, 请检查该模块. ",
     "00a1ff", "4,41472,91,2"},
    {"AnswerLostAfterColdReset", "address=on\r\nreset=on", 0, 1, 1, kWrittenLap,
     {kWrite, kReset, kRead, kClose2, kClose1}, "written",
     "写蓝牙地址成功! 写入无应答, 但回读地址0002:5b:00a1ff与写入一致. ", "00a200", "4,41472,91,2"},
};

class AddressReadBack : public fakes::AddressTest, public ::testing::WithParamInterface<ReadBackCase> {
 protected:
  // Every address write in the record: its LAP, state and result (UTF-8).
  std::vector<std::tuple<int64_t, std::string, std::string>> Rows() {
    sqlite3* db = ledger::OpenRecord("production.db", false);
    std::vector<std::tuple<int64_t, std::string, std::string>> rows;
    {
      ledger::Statement all(db, "SELECT lap, state, result FROM operations WHERE operation = 'address write' ORDER BY id");
      while (all.Step() == SQLITE_ROW) rows.emplace_back(all.Int(0), all.Text(1), all.Text(2));
    }
    sqlite3_close(db);
    return rows;
  }
};

TEST_P(AddressReadBack, TheModuleSaysWhatItHolds) {
  const ReadBackCase& c = GetParam();
  folder.Write("btconfig.ini", std::string("[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n[SUM]\r\ntotal=9\r\n") +
                                   "[verify]\r\n" + c.verify + "\r\n");
  Tick(res::IDC_DEVICE1);
  engine.Script("psWriteBdAddr", c.write);
  if (c.reset != kNoScript) engine.Script("bccmdSetColdReset", c.reset);
  engine.Script("psReadBdAddr", c.read);
  engine.nap = 0x0002;
  engine.uap = 0x5b;
  engine.lap = c.moduleLap;
  PressSetAddr();

  Calls expected{{"openTestEngine", "2,\\\\.\\CSR0,0,0,100"}, {"openTestEngineSpiTrans", "SPITRANS=USB SPIPORT=0,0"}};
  expected.insert(expected.end(), c.afterWrite.begin(), c.afterWrite.end());
  EXPECT_EQ(engine.calls(), expected);
  EXPECT_EQ(Status(), c.status);
  EXPECT_EQ(Stored("address", "LAP"), c.storedLap);
  const bool written = std::string(c.state) == "written";
  EXPECT_EQ(Stored("SUM", "total"), written ? "10" : "9");
  EXPECT_EQ(window.ItemText(res::IDC_NEXT_LAP), written ? "00a200" : "");

  auto rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(std::get<0>(rows[0]), kWrittenLap);
  EXPECT_EQ(std::get<1>(rows[0]), c.state);
  EXPECT_EQ(std::get<2>(rows[0]), platform::GbkToUtf8(c.status));  // what the read-back found, in the record

  // The next module: the same address only when this one surely lacks it.
  engine.Clear();
  engine.lap = 0xa200;
  PressSetAddr();
  ASSERT_EQ(engine.CallsOf("psWriteBdAddr").size(), 1u);
  EXPECT_EQ(engine.CallsOf("psWriteBdAddr")[0].args, c.nextWrite);
  EXPECT_EQ(Stored("SUM", "total"), written ? "11" : "10");
}

INSTANTIATE_TEST_SUITE_P(Cases, AddressReadBack, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ReadBackCase>& info) { return info.param.name; });

using AddressReadBackTwoDevices = fakes::AddressTest;

// The first module's unknown address is passed over: device 2 gets the one after it.
TEST_F(AddressReadBackTwoDevices, AnUnknownAddressIsNotGivenToDevice2) {
  Store("0002", "5b", "00a1ff", "0");
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  engine.Script("psWriteBdAddr", 0);
  engine.Script("psReadBdAddr", 0);
  PressSetAddr();
  Calls writes = engine.CallsOf("psWriteBdAddr");
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].args, "2,41471,91,2");
  EXPECT_EQ(writes[1].args, "4,41472,91,2");
  EXPECT_EQ(Stored("address", "LAP"), "00a201");
  EXPECT_EQ(Stored("SUM", "total"), "1");
}

}  // namespace
