#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "record/export.h"
#include "tests/record/record_fixture.h"

namespace {

using records::RecordTest;
using Table = std::vector<std::vector<std::string>>;

// Reads CSV the way a spreadsheet does: quoted fields may hold commas, quotes
// (doubled) and line ends; a record ends at CRLF. A bare LF or CR outside
// quotes, or text after a closing quote, is a malformed file.
Table ParseCsv(const std::string& text, std::string* malformed) {
  Table rows(1, std::vector<std::string>(1));
  size_t i = 0;
  while (i < text.size()) {
    std::string& field = rows.back().back();
    char c = text[i];
    if (c == '"' && field.empty()) {
      for (++i;; ++i) {
        if (i >= text.size()) {
          *malformed = "unterminated quote";
          return rows;
        }
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
          } else {
            break;
          }
        } else {
          field += text[i];
        }
      }
      ++i;
      if (i < text.size() && text[i] != ',' && text[i] != '\r') {
        *malformed = "text after a closing quote";
        return rows;
      }
    } else if (c == ',') {
      rows.back().emplace_back();
      ++i;
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      i += 2;
      if (i < text.size()) rows.emplace_back(1);
    } else if (c == '\r' || c == '\n' || c == '"') {
      *malformed = "bare line end or quote at byte " + std::to_string(i);
      return rows;
    } else {
      field += c;
      ++i;
    }
  }
  return rows;
}

TEST_F(RecordTest, ExportedCsvOpensWithTheChineseTextsAndEveryColumn) {
  ledger::OperationRow first = WriteAddress(true);
  WriteAddress(false, "2026-12-10 09:01:00", 2);
  // Texts that need quoting: a comma and quotes in the path, the open-failure message's line end.
  Burn("烧录BIN to EEPROM成功! ", "2026-12-10 09:02:00", "/fw/line 3, \"new\".bin");
  Burn("设备打开失败!请连接设备到蓝牙IC.\n 开机键长按.", "2026-12-10 09:03:00");

  std::string gbk = platform::Utf8ToGbk(records::kWriteOk);
  ASSERT_EQ(gbk, "\xd0\xb4\xc0\xb6\xd1\xc0\xb5\xd8\xd6\xb7\xb3\xc9\xb9\xa6! ");  // the ledger really got GBK

  record::RecordHandle db = Reader();
  int64_t rows = 0;
  ASSERT_EQ(record::ExportCsv(db.get(), "record.csv", &rows), record::ExportResult::Written);
  EXPECT_EQ(rows, 4);
  const std::string csv = folder.Read("record.csv");
  ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  // The result as UTF-8 bytes, its trailing blank kept inside quotes.
  EXPECT_NE(csv.find("\"\xe5\x86\x99\xe8\x93\x9d\xe7\x89\x99\xe5\x9c\xb0\xe5\x9d\x80\xe6\x88\x90\xe5\x8a\x9f! \""),
            std::string::npos);
  EXPECT_NE(csv.find("\"/fw/line 3, \"\"new\"\".bin\""), std::string::npos);

  std::string malformed;
  Table table = ParseCsv(csv.substr(3), &malformed);
  ASSERT_EQ(malformed, "");
  ASSERT_EQ(table.size(), 5u);
  EXPECT_EQ(table[0], (std::vector<std::string>{"id", "time", "station", "transport", "slot", "operation", "result",
                                                "address", "state", "name", "firmware_path", "firmware_size",
                                                "firmware_sha256", "duration_ms"}));
  for (const auto& row : table) EXPECT_EQ(row.size(), 14u) << row[0];

  const std::string host = table[1][2];
  EXPECT_FALSE(host.empty());
  EXPECT_EQ(table[1], (std::vector<std::string>{std::to_string(first.id), "2026-12-10 09:00:00", host,
                                                "SPITRANS=USB SPIPORT=0", "1", "address write", "写蓝牙地址成功! ",
                                                "0002:5b:00a1ff", "written", "", "", "", "", "12"}));
  // A refused address is written again, so the second module's row holds the same address, failed.
  EXPECT_EQ(table[2][4], "2");
  EXPECT_EQ(table[2][6], "写蓝牙地址失败! ");
  EXPECT_EQ(table[2][7], "0002:5b:00a200");
  EXPECT_EQ(table[2][8], "failed");
  EXPECT_EQ(table[3], (std::vector<std::string>{table[3][0], "2026-12-10 09:02:00", host, "SPITRANS=USB SPIPORT=0", "1",
                                                "burn", "烧录BIN to EEPROM成功! ", "", "", "",
                                                "/fw/line 3, \"new\".bin", "4096", std::string(64, 'a'), "12"}));
  EXPECT_EQ(table[4][6], "设备打开失败!请连接设备到蓝牙IC.\n 开机键长按.");
}

TEST_F(RecordTest, ExportOfAnEmptyRecordIsTheHeaderAlone) {
  record::RecordHandle db = Reader();
  std::ostringstream out;
  EXPECT_EQ(record::WriteCsv(db.get(), out), 0);
  EXPECT_EQ(out.str(),
            "\xEF\xBB\xBFid,time,station,transport,slot,operation,result,address,state,name,firmware_path,"
            "firmware_size,firmware_sha256,duration_ms\r\n");
}

TEST(CsvField, QuotedOnlyWhenASpreadsheetWouldMisreadIt) {
  const struct {
    const char* text;
    const char* field;
  } kCases[] = {
      {"", ""},
      {"SPITRANS=USB SPIPORT=0", "SPITRANS=USB SPIPORT=0"},
      {"EEPROM\t擦除成功！", "EEPROM\t擦除成功！"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\ronly", "\"cr\ronly\""},
      {"读取蓝牙地址成功! ", "\"读取蓝牙地址成功! \""},
      {" lead", "\" lead\""},
  };
  for (const auto& c : kCases) EXPECT_EQ(record::CsvField(c.text), c.field) << c.text;
}

TEST(CsvField, TextThatASpreadsheetWouldRunShowsAsText) {
  const struct {
    const char* text;
    const char* field;
  } kCases[] = {
      {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
      {"+1+cmd|' /C calc'!A0", "\"'+1+cmd|' /C calc'!A0\""},
      {"-2+3", "\"'-2+3\""},
      {"@SUM(A1)", "\"'@SUM(A1)\""},
      {"\t=1+1", "\"'\t=1+1\""},  // a leading tab
      {"\r=1+1", "\"'\r=1+1\""},
      {"name\t", "\"name\t\""},  // a trailing tab: quoted, no apostrophe
      {"a=b-c", "a=b-c"},          // only the first character counts
  };
  for (const auto& c : kCases) EXPECT_EQ(record::CsvField(c.text), c.field) << c.text;
}

TEST_F(RecordTest, ExportedFormulasStayTextAndNumbersStayNumbers) {
  ledger::OperationRow name;
  name.operation = ledger::kNameWrite;
  name.startedAt = records::kDay;
  name.transport = "SPITRANS=USB SPIPORT=0";
  name.slot = 1;
  name.name = "=HYPERLINK(\"http://x\",\"y\")";
  name.result = "-1";
  station->Record(name);
  // A negative number in a numeric column, and text where a number belongs (a record edited by hand).
  Sql("UPDATE operations SET duration_ms = -5, firmware_size = '+1+cmd|'' /C calc''!A0'");

  record::RecordHandle db = Reader();
  std::ostringstream out;
  ASSERT_EQ(record::WriteCsv(db.get(), out), 1);
  const std::string csv = out.str();
  std::string malformed;
  Table table = ParseCsv(csv.substr(3), &malformed);
  ASSERT_EQ(malformed, "");
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[1][0], "1");
  EXPECT_EQ(table[1][4], "1");
  EXPECT_EQ(table[1][6], "'-1");
  EXPECT_EQ(table[1][9], "'=HYPERLINK(\"http://x\",\"y\")");
  EXPECT_EQ(table[1][11], "'+1+cmd|' /C calc'!A0");
  EXPECT_EQ(table[1][13], "-5");
  EXPECT_NE(csv.find(",-5\r\n"), std::string::npos) << "the number goes unquoted";
}

TEST_F(RecordTest, ExportThatCannotBeWrittenSaysSoAndLeavesTheOldFile) {
  WriteAddress(true);
  record::RecordHandle db = Reader();
  EXPECT_EQ(record::ExportCsv(db.get(), "no such folder/record.csv"), record::ExportResult::FileNotWritten);

  // The temporary file beside it cannot be made: the old export stays as it was.
  folder.Write("record.csv", "old");
  ASSERT_TRUE(std::filesystem::create_directory(folder.path() + "/record.csv.tmp"));
  EXPECT_EQ(record::ExportCsv(db.get(), "record.csv"), record::ExportResult::FileNotWritten);
  EXPECT_EQ(folder.Read("record.csv"), "old");
}

}  // namespace
