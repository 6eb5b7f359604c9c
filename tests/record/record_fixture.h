// A station's ledger on a real btconfig.ini and production.db in a folder of
// its own, the rows made the way the station program makes them, and direct
// SQL for the faults the ledger itself would never let happen.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <sstream>
#include <string>

#include "ledger/embedded/embedded_ledger.h"
#include "ledger/embedded/record_db.h"
#include "platform/gbk.h"
#include "platform/profile_file.h"
#include "record/record_file.h"
#include "tests/support/temp_directory.h"

namespace records {

inline constexpr const char* kWriteOk = "写蓝牙地址成功! ";
inline constexpr const char* kWriteFailed = "写蓝牙地址失败! ";
inline constexpr const char* kDay = "2026-12-10 09:00:00";

class RecordTest : public ::testing::Test {
 protected:
  RecordTest() {
    folder.Write("btconfig.ini", "[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n[SUM]\r\ntotal=0\r\n");
    OpenStation();
  }

  // The station program starting (again) on the folder.
  void OpenStation() {
    station.reset();
    station = std::make_unique<ledger::EmbeddedLedger>("./btconfig.ini");
  }
  // Where the next address comes from, as an operator would change it.
  void SetCounter(const char* nap, const char* uap, const char* lap) {
    ASSERT_TRUE(platform::WriteProfileString("address", "NAP", nap, "btconfig.ini"));
    ASSERT_TRUE(platform::WriteProfileString("address", "UAP", uap, "btconfig.ini"));
    ASSERT_TRUE(platform::WriteProfileString("address", "LAP", lap, "btconfig.ini"));
  }

  // One address write as the station makes it: the next address reserved,
  // the module's answer, the result shown (UTF-8 here, GBK to the ledger).
  ledger::OperationRow WriteAddress(bool accepted, const std::string& time = kDay, int slot = 1) {
    ledger::OperationRow row = Started(ledger::kAddressWrite, time, slot);
    ledger::NextAddress next = station->Next();
    EXPECT_EQ(next.refusal, ledger::Refusal::None);
    EXPECT_EQ(station->Reserve(&next.address, &row), ledger::Refusal::None);
    if (accepted) {
      station->Written(&row, next.address);
    } else {
      station->Failed(&row);
    }
    row.result = platform::Utf8ToGbk(accepted ? kWriteOk : kWriteFailed);
    station->Record(row);
    return row;
  }
  // An address reserved, and then the program is killed before the module answers.
  ledger::OperationRow ReserveAndDie(const std::string& time = kDay) {
    ledger::OperationRow row = Started(ledger::kAddressWrite, time, 1);
    ledger::NextAddress next = station->Next();
    EXPECT_EQ(station->Reserve(&next.address, &row), ledger::Refusal::None);
    station.reset();
    return row;
  }
  void Burn(const std::string& result, const std::string& time = kDay, const std::string& path = "/fw/app.bin") {
    ledger::OperationRow row = Started(ledger::kBurn, time, 1);
    row.result = platform::Utf8ToGbk(result);
    row.firmwarePath = platform::Utf8ToGbk(path);
    row.firmwareSize = 4096;
    row.firmwareSha256 = std::string(64, 'a');
    station->Record(row);
  }

  // SQL straight on the file, past the ledger and its schema.
  void Sql(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2("production.db", &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    char* error = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    std::string message = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
  }
  // A second module given the address of row `id`, as two stations on one range or a hand-edited counter would.
  void PlantDuplicateOf(int64_t id, const char* station = "other-pc") {
    Sql("DROP INDEX IF EXISTS one_module_per_address");
    Sql("INSERT INTO operations (time, station, transport, slot, operation, result, nap, uap, lap, state) "
        "SELECT time, '" +
        std::string(station) +
        "', 'SPITRANS=LPT SPIPORT=1', 2, operation, result, nap, uap, lap, "
        "'written' FROM operations WHERE id = " +
        std::to_string(id));
  }

  record::RecordHandle Reader() {
    std::string error;
    record::RecordHandle db = record::OpenRecordForReading("./production.db", &error);
    EXPECT_TRUE(db) << error;
    return db;
  }

  fakes::TempWorkingDirectory folder;
  std::unique_ptr<ledger::EmbeddedLedger> station;

 private:
  static ledger::OperationRow Started(const char* operation, const std::string& time, int slot) {
    ledger::OperationRow row;
    row.operation = operation;
    row.startedAt = time;
    row.slot = slot;
    row.transport = slot == 2 ? "SPITRANS=LPT SPIPORT=1" : "SPITRANS=USB SPIPORT=0";
    row.durationMs = 12;
    return row;
  }
};

}  // namespace records
