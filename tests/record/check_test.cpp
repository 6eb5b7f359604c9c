#include <gtest/gtest.h>

#include "record/check.h"
#include "tests/record/record_fixture.h"

namespace {

using records::RecordTest;

// The start of row `id`'s line in a listing.
std::string RowStart(int64_t id) {
  std::string text = std::to_string(id);
  return "\n" + std::string(10 - text.size(), ' ') + text + "  ";
}

class Checked : public RecordTest {
 protected:
  record::CheckFindings Run() {
    record::RecordHandle db = Reader();
    std::ostringstream out;
    record::CheckFindings findings = record::Check(db.get(), out);
    text = out.str();
    return findings;
  }
  // The lines of the output from the one starting with `heading` to the next unindented one.
  std::string Section(const std::string& heading) const {
    size_t start = text.find("\n" + heading);
    start = start == std::string::npos ? (text.rfind(heading, 0) == 0 ? 0 : std::string::npos) : start + 1;
    if (start == std::string::npos) return {};
    size_t end = start;
    while ((end = text.find('\n', end)) != std::string::npos && end + 1 < text.size() && text[end + 1] == ' ') ++end;
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
  }
  std::string text;
};

TEST_F(Checked, ARecordKeptByTheStationHasNoFindings) {
  WriteAddress(true);
  WriteAddress(false);  // refused, then given again
  WriteAddress(true);
  WriteAddress(true, records::kDay, 2);
  record::CheckFindings findings = Run();
  EXPECT_TRUE(findings.read);
  EXPECT_EQ(findings.duplicateAddresses, 0);
  EXPECT_EQ(findings.unknownRows, 0);
  EXPECT_EQ(findings.gapRanges, 0);
  EXPECT_EQ(text, "duplicates: none\nunknown outcomes: none\ngaps: none\n");
}

TEST_F(Checked, PlantedDuplicateIsFoundWithEveryRowThatHoldsTheAddress) {
  ledger::OperationRow first = WriteAddress(true);
  ledger::OperationRow second = WriteAddress(true);
  WriteAddress(false);
  PlantDuplicateOf(second.id, "line-pc-7");
  station.reset();

  record::CheckFindings findings = Run();
  ASSERT_TRUE(findings.read);
  EXPECT_EQ(findings.duplicateAddresses, 1);
  const std::string duplicates = Section("duplicates:");
  EXPECT_NE(duplicates.find("duplicates: 1 address in more than one module\n  0002:5b:00a200: 2 rows\n"),
            std::string::npos)
      << text;
  // Both modules' rows, each with its station, slot, address, state and result.
  EXPECT_NE(duplicates.find(RowStart(second.id) + "2026-12-10 09:00:00"), std::string::npos) << duplicates;
  EXPECT_NE(duplicates.find("line-pc-7        2  0002:5b:00a200  written  写蓝牙地址成功! "), std::string::npos)
      << duplicates;
  EXPECT_EQ(duplicates.find(RowStart(first.id)), std::string::npos) << "only the duplicated address's rows";
}

TEST_F(Checked, PendingAndUnknownAddressesAreListedWithTheirRows) {
  WriteAddress(true);
  ledger::OperationRow died = ReserveAndDie("2026-12-10 09:05:00");  // 00a200: its outcome is not known
  {
    record::CheckFindings findings = Run();
    EXPECT_EQ(findings.unknownRows, 1);
    EXPECT_NE(Section("unknown outcomes:").find(RowStart(died.id) + "2026-12-10 09:05:00"), std::string::npos) << text;
    EXPECT_NE(Section("unknown outcomes:").find("0002:5b:00a200  pending"), std::string::npos) << text;
  }

  // The next program settles it as unknown and never gives it again.
  OpenStation();
  ledger::OperationRow after = WriteAddress(true);
  record::CheckFindings findings = Run();
  EXPECT_EQ(findings.unknownRows, 1);
  EXPECT_EQ(findings.duplicateAddresses, 0);
  EXPECT_EQ(findings.gapRanges, 0) << "an unknown address was handed out: no gap";
  const std::string unknowns = Section("unknown outcomes:");
  EXPECT_NE(unknowns.find("unknown outcomes: 1 address write"), std::string::npos) << text;
  EXPECT_NE(unknowns.find("0002:5b:00a200  unknown"), std::string::npos) << text;
  EXPECT_EQ(unknowns.find(RowStart(after.id)), std::string::npos);
}

// An unknown row holds its address as much as a written one: a second
// module beside it is a duplicate.
TEST_F(Checked, WrittenAndUnknownRowsOfOneAddressAreADuplicate) {
  ledger::OperationRow written = WriteAddress(true);
  WriteAddress(true);
  Sql("DROP INDEX one_module_per_address");
  Sql("INSERT INTO operations (time, station, transport, slot, operation, result, nap, uap, lap, state) "
      "SELECT '2026-12-10 09:07:00', 'line-pc-7', transport, 2, operation, '', nap, uap, lap, 'unknown' "
      "FROM operations WHERE id = " +
      std::to_string(written.id));
  station.reset();

  record::CheckFindings findings = Run();
  ASSERT_TRUE(findings.read);
  EXPECT_EQ(findings.duplicateAddresses, 1);
  const std::string duplicates = Section("duplicates:");
  EXPECT_NE(duplicates.find("duplicates: 1 address in more than one module\n  0002:5b:00a1ff: 2 rows\n"),
            std::string::npos)
      << text;
  EXPECT_NE(duplicates.find("0002:5b:00a1ff  written"), std::string::npos) << duplicates;
  EXPECT_NE(duplicates.find("line-pc-7        2  0002:5b:00a1ff  unknown"), std::string::npos) << duplicates;
  EXPECT_EQ(duplicates.find("00a200"), std::string::npos) << duplicates;
}

TEST_F(Checked, GapsAreRangesPerNapAndUapOutsideTheReservedBlock) {
  WriteAddress(true);  // 00a1ff
  SetCounter("0002", "5b", "00a205");
  ledger::OperationRow above = WriteAddress(true);
  SetCounter("0002", "5b", "00a207");
  WriteAddress(true);
  // Another UAP: nothing between the two ranges counts.
  SetCounter("0002", "5c", "9e8afe");
  WriteAddress(true);
  WriteAddress(true);  // 9e8aff; the counter steps over the reserved block to 9e8b40
  WriteAddress(true);
  SetCounter("0002", "5c", "9e8b43");
  WriteAddress(true);
  SetCounter("0002", "5d", "9e8afa");
  WriteAddress(true);
  SetCounter("0002", "5d", "9e8b42");
  WriteAddress(true);

  record::CheckFindings findings = Run();
  EXPECT_EQ(findings.gapRanges, 5);
  const std::string gaps = Section("gaps:");
  const char* kExpected[] = {
      "gaps: 5 ranges of addresses never handed out\n",
      "\n  0002:5b:00a200-00a204: 5 addresses, between\n",
      "\n  0002:5b:00a206: 1 address, between\n",
      "\n  0002:5c:9e8b41-9e8b42: 2 addresses, between\n",
      "\n  0002:5d:9e8afb-9e8aff: 5 addresses, between\n",
      "\n  0002:5d:9e8b40-9e8b41: 2 addresses, between\n",
  };
  for (const char* line : kExpected) EXPECT_NE(gaps.find(line), std::string::npos) << line << "\n" << text;
  EXPECT_EQ(gaps.find("9e8b00"), std::string::npos);
  EXPECT_EQ(gaps.find("0002:5b:00a208"), std::string::npos) << "no gap across UAPs";
  // The rows on either side of the first gap.
  std::string first = gaps.substr(gaps.find("00a200-00a204"), gaps.find("00a206:") - gaps.find("00a200-00a204"));
  EXPECT_NE(first.find("0002:5b:00a1ff  written"), std::string::npos) << first;
  EXPECT_NE(first.find(RowStart(above.id)), std::string::npos) << first;
  EXPECT_EQ(findings.duplicateAddresses, 0);
}

TEST_F(Checked, RowTextsCannotBreakTheListing) {
  ledger::OperationRow row = ReserveAndDie();
  Sql("UPDATE operations SET result = 'line one' || char(10) || char(27) || '[2J' || char(155) WHERE id = " +
      std::to_string(row.id));
  Run();
  EXPECT_NE(text.find("line one\\n\\x1b[2J\\u009b\n"), std::string::npos) << text;
}

}  // namespace
