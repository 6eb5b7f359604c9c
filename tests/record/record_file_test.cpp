#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/record/record_fixture.h"

namespace {

using records::RecordTest;

TEST_F(RecordTest, ReadingOpensARecordWithAPlantedDuplicateAsItIs) {
  ledger::OperationRow row = WriteAddress(true);
  PlantDuplicateOf(row.id);
  station.reset();
  record::RecordHandle db = Reader();
  ASSERT_TRUE(db);
  // Nothing was rebuilt: the index that a duplicate breaks stays dropped.
  ledger::Statement index(db.get(), "SELECT COUNT(*) FROM sqlite_master WHERE name = 'one_module_per_address'");
  ASSERT_EQ(index.Step(), SQLITE_ROW);
  EXPECT_EQ(index.Int(0), 0);
}

TEST_F(RecordTest, ReadingNeverCreatesARecord) {
  std::string error;
  EXPECT_FALSE(record::OpenRecordForReading("./other.db", &error));
  EXPECT_NE(error.find("cannot open the production record ./other.db"), std::string::npos) << error;
  EXPECT_NE(::access("other.db", F_OK), 0);

  // An SQLite file that is no station's record.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open("plain.db", &db), SQLITE_OK);
  ASSERT_TRUE(ledger::Execute(db, "CREATE TABLE t (x)"));
  sqlite3_close(db);
  EXPECT_FALSE(record::OpenRecordForReading("plain.db", &error));
  EXPECT_NE(error.find("plain.db is not a production record (no operations table)"), std::string::npos) << error;
}

// A record that holds a duplicate cannot take the unique index again; the
// station must still open it rather than refuse every press.
TEST_F(RecordTest, LedgerOpensARecordThatHoldsADuplicate) {
  ledger::OperationRow row = WriteAddress(true);
  PlantDuplicateOf(row.id);
  station.reset();
  sqlite3* db = ledger::OpenRecord("./production.db", false);
  EXPECT_NE(db, nullptr);
  sqlite3_close(db);
}

// The last guard against a second module with one address: whatever the
// ledger's own reading missed, the record refuses a second held mark. An index
// dropped by hand comes back at the station's next start.
TEST_F(RecordTest, RecordRefusesASecondHeldMarkForOneAddress) {
  ledger::OperationRow row = WriteAddress(true);  // 0002:5b:00a1ff written
  Sql("DROP INDEX one_module_per_address");
  OpenStation();
  station.reset();

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2("production.db", &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  const struct {
    const char* state;
    int result;
  } kMarks[] = {{"pending", SQLITE_CONSTRAINT}, {"written", SQLITE_CONSTRAINT}, {"unknown", SQLITE_CONSTRAINT},
                {"failed", SQLITE_OK}};
  for (const auto& mark : kMarks) {
    const std::string insert =
        "INSERT INTO operations (time, station, transport, slot, operation, nap, uap, lap, state) "
        "SELECT time, 'other-pc', transport, 2, operation, nap, uap, lap, '" +
        std::string(mark.state) + "' FROM operations WHERE id = " + std::to_string(row.id);
    EXPECT_EQ(sqlite3_exec(db, insert.c_str(), nullptr, nullptr, nullptr) & 0xff, mark.result) << mark.state;
  }
  // Nor can a refused address be turned into a held one beside the written row.
  EXPECT_EQ(sqlite3_exec(db, "UPDATE operations SET state = 'unknown' WHERE state = 'failed'", nullptr, nullptr,
                         nullptr) & 0xff,
            SQLITE_CONSTRAINT);
  sqlite3_close(db);
}

}  // namespace
