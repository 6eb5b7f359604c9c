#include <gtest/gtest.h>

#include "record/summary.h"
#include "tests/record/record_fixture.h"

namespace {

using records::RecordTest;

TEST_F(RecordTest, SummaryCountsEachDaysAddressesAndBurns) {
  const char* kNinth = "2026-12-09 23:59:59";
  const char* kTenth = "2026-12-10 00:00:00";
  WriteAddress(true, kNinth);
  WriteAddress(false, kNinth);  // refused: no module addressed
  WriteAddress(true, kNinth);
  WriteAddress(true, kNinth, 2);
  Burn("烧录BIN to EEPROM成功! ", kNinth);
  Burn("烧录BIN to EEPROM失败! ", kNinth);
  Burn("flash烧录完成!", kNinth);
  Burn("下载时间: 1234毫秒", kNinth);
  Burn("Programming failed with error: 7", kNinth);
  WriteAddress(true, kTenth);
  Burn("烧录BIN to EEPROM成功! ", kTenth);
  ReserveAndDie(kTenth);  // unknown: not counted as addressed
  OpenStation();
  ledger::OperationRow name;
  name.operation = ledger::kNameWrite;
  name.startedAt = kTenth;
  name.result = platform::Utf8ToGbk("蓝牙名字修改成功!");
  station->Record(name);  // other operations count for nothing here

  record::RecordHandle db = Reader();
  std::ostringstream out;
  ASSERT_TRUE(record::Summary(db.get(), out));
  EXPECT_EQ(out.str(),
            "day         addressed  burns passed  burns failed\n"
            "2026-12-09          3             3             2\n"
            "2026-12-10          1             1             0\n"
            "all days            4             4             2\n");
}

TEST(BurnResult, OnlyTheRoadsSuccessTextsPass) {
  const struct {
    const char* result;
    bool passed;
  } kResults[] = {
      {"烧录BIN to EEPROM成功! ", true},
      {"flash烧录完成!", true},
      {"下载时间: 1234毫秒", true},
      {"下载时间: -1毫秒", true},         // programmed; only the time could not be read
      {"烧录BIN to EEPROM成功!", false},  // the text is exact, its blank included
      {"烧录BIN to EEPROM失败! ", false},
      {"读flash烧录文件失败! ", false},
      {"Programming failed with error: 7", false},
      {"Programming stalled at 50% for 60 s !", false},
      {"设备打开失败!请连接设备到蓝牙IC.\n 开机键长按.", false},
      {"haven't .BIN file!!!", false},
      {"下载时间: 毫秒", false},
      {"下载时间: 12a毫秒", false},
      {"", false},
  };
  for (const auto& r : kResults) EXPECT_EQ(record::BurnPassed(r.result), r.passed) << r.result;
}

}  // namespace
