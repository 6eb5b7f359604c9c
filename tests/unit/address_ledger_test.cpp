// The promise of the address ledger: an address reaches at most one module,
// whatever the file, the disk or another program does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string_view>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "ledger/embedded/embedded_ledger.h"
#include "ledger/embedded/record_db.h"
#include "ledger/no_server_ledger.h"
#include "platform/file_place.h"
#include "platform/profile_file.h"
#include "tests/unit/address_fixture.h"

namespace {

using fakes::Calls;

struct RecordRow {
  std::string operation, transport, result, address, state, name;
  int64_t slot;
};

// This file's narrow literals are GBK; the record holds UTF-8.
std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class AddressLedger : public fakes::AddressTest {
 protected:
  std::vector<std::string> WrittenLaps() const {
    std::vector<std::string> laps;
    // LAP, UAP, NAP: what follows the handle.
    for (const auto& call : engine.CallsOf("psWriteBdAddr")) laps.push_back(call.args.substr(call.args.find(',') + 1));
    return laps;
  }
  // The record as it is on disk, read the way tarnwick-record reads it (UTF-8).
  std::vector<RecordRow> Record() {
    sqlite3* db = ledger::OpenRecord("production.db", false);
    std::vector<RecordRow> rows;
    {
      ledger::Statement all(db,
                            "SELECT operation, transport, result, CASE WHEN lap IS NULL THEN '' ELSE "
                            "printf('%04x:%02x:%06x', nap, uap, lap) END, ifnull(state, ''), ifnull(name, ''), slot "
                            "FROM operations ORDER BY id");
      while (all.Step() == SQLITE_ROW) {
        rows.push_back({all.Text(0), all.Text(1), all.Text(2), all.Text(3), all.Text(4), all.Text(5), all.Int(6)});
      }
    }
    sqlite3_close(db);
    return rows;
  }
};

TEST_F(AddressLedger, AnUnsavedCounterBlocksEveryWriteUntilItIsSavedAgain) {
  Store("0002", "5b", "00a1ff", "9");
  Tick(res::IDC_DEVICE1);
  std::filesystem::create_directory("btconfig.ini.tmp");  // btconfig.ini cannot be replaced
  PressSetAddr();
  PressSetAddr();
  PressSetAddr();
  EXPECT_EQ(WrittenLaps(), (std::vector<std::string>{"41471,91,2"}));
  EXPECT_EQ(Status(), "btconfig.ini保存失败! 计数未更新, 请检查文件后再写地址! ");
  EXPECT_EQ(Stored("address", "LAP"), "00a1ff");

  std::filesystem::remove("btconfig.ini.tmp");
  PressSetAddr();
  // The counter first catches up with the module that was written, count and all.
  EXPECT_EQ(WrittenLaps(), (std::vector<std::string>{"41471,91,2", "41472,91,2"}));
  EXPECT_EQ(Stored("address", "LAP"), "00a201");
  EXPECT_EQ(Stored("SUM", "total"), "11");
  EXPECT_EQ(window.ItemText(res::IDC_CURRENT_LAP), "00a200");
}

TEST_F(AddressLedger, ASecondProgramOnTheFolderWritesNoAddress) {
  Store("0002", "5b", "00a1ff", "0");
  dialog.OnInitDialog();
  fakes::MemoryWindow otherWindow;
  fakes::RecordingTestEngine otherEngine;
  auto other = std::make_unique<app::MainDialog>(otherWindow, otherEngine, flash, e2, transports);
  other->OnInitDialog();
  otherWindow.SetCheck(res::IDC_DEVICE1, dialog::kBstChecked);
  PressSetAddr(*other, otherWindow);
  EXPECT_TRUE(otherEngine.CallsOf("psWriteBdAddr").empty());
  EXPECT_TRUE(otherEngine.CallsOf("openTestEngineSpiTrans").empty());
  EXPECT_EQ(otherWindow.ItemText(res::IDC_STATUS), "另一个工位程序正在使用btconfig.ini, 本程序不写地址! 请先关闭另一个程序. ");

  otherWindow.AnswerNextMessageBox(dialog::kIdYes);
  other->OnCommand(res::IDC_CLEAR);
  EXPECT_EQ(Stored("SUM", "total"), "0");

  Tick(res::IDC_DEVICE1);
  PressSetAddr();
  EXPECT_EQ(WrittenLaps(), (std::vector<std::string>{"41471,91,2"}));
}

TEST_F(AddressLedger, ABuildWithoutTheServerLedgerWritesNoAddressWhenTheSettingsNameAServer) {
  Store("0002", "5b", "00a1ff", "7");
  dialog.UseLedger(std::make_unique<ledger::NoServerLedger>());
  dialog.OnInitDialog();
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  PressSetAddr();
  EXPECT_TRUE(engine.CallsOf("psWriteBdAddr").empty());
  EXPECT_EQ(Status(), "本程序不支持地址服务器(btconfig.ini中的[ledger] url), 地址未写入! ");
  window.AnswerNextMessageBox(dialog::kIdYes);
  dialog.OnCommand(res::IDC_CLEAR);
  EXPECT_EQ(Stored("SUM", "total"), "7");
  EXPECT_EQ(Status(), "本程序不支持地址服务器(btconfig.ini中的[ledger] url), 地址未写入! ");
}

TEST_F(AddressLedger, TheSecondProgramTakesOverWhenTheFirstHasGone) {
  Store("0002", "5b", "00a1ff", "0");
  auto first = std::make_unique<ledger::EmbeddedLedger>("./btconfig.ini");
  ledger::OperationRow row;
  row.operation = ledger::kAddressWrite;
  ledger::BdAddress address{2, 0x5b, 0xa1ff};
  ASSERT_EQ(first->Reserve(&address, &row), ledger::Refusal::None);
  Tick(res::IDC_DEVICE1);
  PressSetAddr();
  EXPECT_TRUE(WrittenLaps().empty());

  first.reset();  // it dies with the address pending: nobody knows if the module took it
  PressSetAddr();
  EXPECT_EQ(WrittenLaps(), (std::vector<std::string>{"41472,91,2"}));
  EXPECT_EQ(Record().front().state, "unknown");
}

TEST_F(AddressLedger, MistypedStoredKeysAreRefusedBeforeAnyModuleIsTouched) {
  const struct {
    const char* nap;
    const char* uap;
    std::string_view lap;
    const char* message;
  } kCounters[] = {
      {"0002", "5b", "00a1fg", "btconfig.ini中的LAP=00a1fg不是十六进制地址! 请改正后再写地址. "},
      {"0002", "5b", "zzzz", "btconfig.ini中的LAP=zzzz不是十六进制地址! 请改正后再写地址. "},
      {"0002", "5b", "-00a1ff", "btconfig.ini中的LAP=-00a1ff不是十六进制地址! 请改正后再写地址. "},
      // A NUL would end the message at 00a1; the engineer must see the byte.
      {"0002", "5b", std::string_view("00a1\0ff", 7), "btconfig.ini中的LAP=00a1\\x00ff不是十六进制地址! 请改正后再写地址. "},
      {"0002", "5b", "00a1\tff", "btconfig.ini中的LAP=00a1\\x09ff不是十六进制地址! 请改正后再写地址. "},
      {"00o2", "5b", "00a1ff", "btconfig.ini中的NAP=00o2不是十六进制地址! 请改正后再写地址. "},
      {"00002", "5b", "00a1ff", "btconfig.ini中的NAP=00002不是十六进制地址! 请改正后再写地址. "},
      {"0002", "5g", "00a1ff", "btconfig.ini中的UAP=5g不是十六进制地址! 请改正后再写地址. "},
      {"0002", "05b", "00a1ff", "btconfig.ini中的UAP=05b不是十六进制地址! 请改正后再写地址. "},
  };
  Tick(res::IDC_DEVICE1);
  for (const auto& c : kCounters) {
    Store(c.nap, c.uap, std::string(c.lap), "3");
    PressSetAddr();
    EXPECT_EQ(Status(), c.message) << c.nap << " " << c.uap << " " << c.lap;
  }
  EXPECT_TRUE(engine.calls().empty());
  EXPECT_EQ(Stored("SUM", "total"), "3");
}

TEST_F(AddressLedger, TheCounterStartsPastWhatADeadProgramLeft) {
  Store("0002", "5b", "00a1ff", "4");
  {
    ledger::EmbeddedLedger dead("./btconfig.ini");
    ledger::OperationRow written, pending;
    written.operation = pending.operation = ledger::kAddressWrite;
    ledger::BdAddress first{2, 0x5b, 0xa1ff}, second{2, 0x5b, 0xa200};
    ASSERT_EQ(dead.Reserve(&first, &written), ledger::Refusal::None);
    dead.Written(&written, {2, 0x5b, 0xa1ff});
    dead.Record(written);
    Store("0002", "5b", "00a1ff", "4");  // the counter's save never reached the disk
    ASSERT_EQ(dead.Reserve(&second, &pending), ledger::Refusal::None);
  }
  dialog.OnInitDialog();
  EXPECT_EQ(window.ItemText(res::IDC_START_LAP), "00a201");
  EXPECT_EQ(window.ItemText(res::IDC_BURN_COUNT), "5");  // the written one counts, the unknown one not
  std::vector<RecordRow> rows = Record();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].state, "written");
  EXPECT_EQ(rows[1].state, "unknown");
}

TEST_F(AddressLedger, EachOperationIsOneRowWithWhatTheOperatorWasShown) {
  Store("0002", "5b", "00a1ff", "0");
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  engine.Script("psWriteBdAddr", 1);
  engine.Script("psWriteBdAddr", 0);  // device 2's module refuses
  PressSetAddr();
  engine.lap = 0x123456;
  engine.uap = 0x5;
  engine.nap = 0x2;
  dialog.OnCommand(res::IDC_READ_ADDR);
  window.Type(res::IDC_DEVICE_NAME, "BT-A");
  dialog.OnCommand(res::IDC_NAME_CHANGE);

  std::vector<RecordRow> rows = Record();
  ASSERT_EQ(rows.size(), 5u);
  const RecordRow& first = rows[0];
  EXPECT_EQ(first.operation, "address write");
  EXPECT_EQ(first.transport, "SPITRANS=USB SPIPORT=0");
  EXPECT_EQ(first.slot, 1);
  EXPECT_EQ(first.address, "0002:5b:00a1ff");
  EXPECT_EQ(first.state, "written");
  EXPECT_EQ(first.result, Utf8(u8"写蓝牙地址成功! "));
  EXPECT_EQ(rows[1].slot, 2);
  EXPECT_EQ(rows[1].address, "0002:5b:00a200");
  EXPECT_EQ(rows[1].state, "failed");
  EXPECT_EQ(rows[1].result, Utf8(u8"写蓝牙地址失败! "));
  EXPECT_EQ(rows[2].operation, "address read");
  EXPECT_EQ(rows[2].slot, 2);
  EXPECT_EQ(rows[2].address, "0002:05:123456");
  EXPECT_EQ(rows[2].result, Utf8(u8"读取蓝牙地址成功! "));
  EXPECT_EQ(rows[3].operation, "name write");
  EXPECT_EQ(rows[3].name, "BT-A");
  EXPECT_EQ(rows[3].result, Utf8(u8"蓝牙名字修改成功!"));
  EXPECT_EQ(rows[4].slot, 2);
}

}  // namespace

namespace {

// Every module operation the station performs is a row, burns with the image they took.
TEST_F(AddressLedger, BurnsDumpsErasesAndBenchTestsAreRowsToo) {
  folder.Write("fw.bin", "abc");
  dialog.OnInitDialog();  // EEPROM ticked
  Tick(res::IDC_DEVICE1);
  window.Type(res::IDC_FIRMWARE_PATH, "fw.bin");
  dialog.OnCommand(res::IDC_BRUN);
  dialog.OnCommand(res::IDC_ERASE);
  dialog.OnCommand(res::IDC_DUMP);
  dialog.OnCommand(res::IDC_MIC_SPEAKER);
  dialog.OnCommand(res::IDC_LOCK);

  sqlite3* db = ledger::OpenRecord("production.db", false);
  std::unique_ptr<sqlite3, int (*)(sqlite3*)> closing(db, sqlite3_close);  // after the statements
  ledger::Statement all(db,
                        "SELECT operation, slot, result, ifnull(firmware_path, ''), ifnull(firmware_size, -1), "
                        "ifnull(firmware_sha256, '') FROM operations ORDER BY id");
  std::vector<std::string> operations;
  while (all.Step() == SQLITE_ROW) {
    operations.push_back(all.Text(0));
    EXPECT_FALSE(all.Text(2).empty()) << all.Text(0);
    if (all.Text(0) == "burn") {
      EXPECT_EQ(all.Int(1), 1);
      EXPECT_EQ(all.Text(3), "fw.bin");
      EXPECT_EQ(all.Int(4), 3);
      EXPECT_EQ(all.Text(5), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");  // SHA-256 of "abc"
      EXPECT_EQ(all.Text(2), Utf8(u8"烧录BIN to EEPROM成功! "));
    }
  }
  EXPECT_EQ(operations, (std::vector<std::string>{"burn", "erase", "dump", "loopback", "lock"}));

  // The parallel-flash road: its verdict, not the download time that follows it.
  Tick(res::IDC_EEPROM, false);
  dialog.OnCommand(res::IDC_BRUN);
  ledger::Statement last(db, "SELECT result FROM operations ORDER BY id DESC LIMIT 1");
  ASSERT_EQ(last.Step(), SQLITE_ROW);
  EXPECT_EQ(last.Text(0), Utf8(u8"flash烧录完成!"));
}

}  // namespace

namespace {

TEST_F(AddressLedger, TheWindowMenuExportsTheRecordToTheChosenFile) {
  Store("0002", "5b", "00a1ff", "0");
  dialog.OnInitDialog();
  Tick(res::IDC_DEVICE1);
  PressSetAddr();
  window.ChooseNextFile(folder.path() + "/shift.csv");
  EXPECT_TRUE(dialog.OnSysCommand(res::IDM_EXPORT_RECORD));
  std::string csv = folder.Read("shift.csv");
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u);  // a spreadsheet takes it as UTF-8
  EXPECT_NE(csv.find(Utf8(u8"写蓝牙地址成功! ")), std::string::npos) << csv;
  EXPECT_EQ(Status().rfind("生产记录已导出: ", 0), 0u) << Status();

  window.ChooseNextFile(std::nullopt);  // cancelled: nothing is said or written
  dialog.OnSysCommand(res::IDM_EXPORT_RECORD);
  EXPECT_EQ(Status().rfind("生产记录已导出: ", 0), 0u);
}

}  // namespace

namespace {

constexpr const char* kLinkedCounter =
    "btconfig.ini有多个硬链接(另一个文件夹在用同一个计数器)! 本程序不写地址, 请改用符号链接或地址服务器([ledger] url). ";

// Folders a and b, each with a btconfig.ini that is one shared counter.
class LinkedFolders : public AddressLedger {
 protected:
  void SetUp() override {
    for (const char* name : {"a", "b", "shared"}) std::filesystem::create_directory(name);
    folder.Write("shared/btconfig.ini", "[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n[SUM]\r\ntotal=0\r\n");
    Tick(res::IDC_DEVICE1);
  }
  std::string SharedLap() { return platform::ReadProfileString("address", "LAP", 32, "shared/btconfig.ini"); }
  // The program in `at` starts (the one before it has ended).
  void StartIn(const std::string& at) { dialog.UseLedger(std::make_unique<ledger::EmbeddedLedger>(at + "/btconfig.ini")); }
};

TEST_F(LinkedFolders, SymbolicLinksShareOneLockAndOneSetOfMarks) {
#ifdef _WIN32
  GTEST_SKIP() << "a symbolic link needs a privilege on Windows, and its C++ library cannot make one";
#endif
  std::filesystem::create_symlink("../shared/btconfig.ini", "a/btconfig.ini");
  std::filesystem::create_symlink("../shared/btconfig.ini", "b/btconfig.ini");
  std::filesystem::create_directory_symlink("a", "c");  // folder a under a second name

  StartIn("a");
  // The shared folder refuses the counter's save for a moment, even for root.
  std::filesystem::create_directory("shared/btconfig.ini.tmp");
  PressSetAddr();
  std::filesystem::remove("shared/btconfig.ini.tmp");
  EXPECT_EQ(Status(), "btconfig.ini保存失败! 计数未更新, 请检查文件后再写地址! ");
  EXPECT_EQ(SharedLap(), "00a1ff");
  // While a's program runs, no other way to the counter gets it.
  for (const char* other : {"b/btconfig.ini", "c/btconfig.ini", "shared/btconfig.ini"}) {
    EXPECT_EQ(ledger::EmbeddedLedger(other).Next().refusal, ledger::Refusal::Held) << other;
  }

  StartIn("b");
  PressSetAddr();
  EXPECT_EQ(WrittenLaps(), (std::vector<std::string>{"41471,91,2", "41472,91,2"}));
  EXPECT_EQ(SharedLap(), "00a201");
  EXPECT_TRUE(std::filesystem::is_symlink("b/btconfig.ini"));
  // The marks sit beside the shared counter; the linked folders hold none.
  EXPECT_TRUE(std::filesystem::exists("shared/production.db"));
  EXPECT_FALSE(std::filesystem::exists("a/production.db"));
  EXPECT_FALSE(std::filesystem::exists("b/production.db"));
}

TEST_F(LinkedFolders, AHardLinkedCounterIsRefusedAndLeftLinked) {
  std::filesystem::create_hard_link("shared/btconfig.ini", "a/btconfig.ini");
  std::filesystem::create_hard_link("shared/btconfig.ini", "b/btconfig.ini");
  const std::string before = folder.Read("shared/btconfig.ini");
  for (const char* at : {"a", "b"}) {
    StartIn(at);
    PressSetAddr();
    EXPECT_EQ(Status(), kLinkedCounter) << at;
    window.AnswerNextMessageBox(dialog::kIdYes);
    dialog.OnCommand(res::IDC_CLEAR);
    EXPECT_EQ(Status(), kLinkedCounter) << at;
  }
  EXPECT_TRUE(WrittenLaps().empty());
  EXPECT_EQ(folder.Read("shared/btconfig.ini"), before);
  EXPECT_EQ(platform::HardLinkCount("shared/btconfig.ini"), 3u);  // the C++ library counts no links on Windows

  // Once the links are gone, the folder's own counter works again.
  std::filesystem::remove("b/btconfig.ini");
  std::filesystem::remove("shared/btconfig.ini");
  StartIn("a");
  PressSetAddr();
  EXPECT_EQ(WrittenLaps(), (std::vector<std::string>{"41471,91,2"}));
}

TEST_F(AddressLedger, NextNeverGivesAnAddressThatRepeatedRowsHold) {
  Store("0002", "5b", "00a1ff", "0");
  { ledger::EmbeddedLedger create("./btconfig.ini"); }
  sqlite3* db = ledger::OpenRecord("production.db", false);
  // Two records merged by hand: the unique index gone, each address written twice.
  ASSERT_TRUE(ledger::Execute(db, "DROP INDEX one_module_per_address"));
  for (int lap : {0xa1ff, 0xa1ff, 0xa200, 0xa200, 0xa201, 0xa201}) {
    ledger::Statement row(db,
                          "INSERT INTO operations (time, station, transport, slot, operation, nap, uap, lap, state) "
                          "VALUES ('2026-12-01 08:00:00', 'old', 'SPITRANS=USB SPIPORT=0', 1, 'address write', 2, 91, "
                          "?1, 'written')");
    ASSERT_EQ(row.Bind(1, int64_t{lap}).Step(), SQLITE_DONE);
  }
  sqlite3_close(db);
  Store("0002", "5b", "00a1ff", "0");  // btconfig.ini set back

  Tick(res::IDC_DEVICE1);
  PressSetAddr();
  EXPECT_EQ(WrittenLaps(), (std::vector<std::string>{"41474,91,2"}));
  EXPECT_EQ(Stored("address", "LAP"), "00a203");
  EXPECT_EQ(Stored("SUM", "total"), "4");  // three modules found in the record, each once, and this one
}

#ifndef _WIN32
// For as long as it lives, file access checks this process as another user
// (root's own checks would let it open anything).
class AsAnotherUser {
 public:
  AsAnotherUser() {
    if (geteuid() == 0) swapped_ = seteuid(65534) == 0;
  }
  ~AsAnotherUser() {
    if (swapped_) seteuid(0);
  }

 private:
  bool swapped_ = false;
};

TEST_F(AddressLedger, ALockFileOfAnotherUserIsSaidSo) {
  Store("0002", "5b", "00a1ff", "0");
  folder.Write("btconfig.ini.lock", "");
  // Another user's file: readable, not writable, by us.
  ASSERT_EQ(chmod("btconfig.ini.lock", 0444), 0);
  ASSERT_EQ(chmod(".", 0755), 0);
  ASSERT_EQ(chmod("btconfig.ini", 0644), 0);
  Tick(res::IDC_DEVICE1);
  {
    AsAnotherUser other;
    PressSetAddr();
  }
  EXPECT_TRUE(WrittenLaps().empty());
  EXPECT_EQ(Status(),
            "没有权限打开btconfig.ini.lock(可能是另一个用户的文件)! 本程序不写地址, 请检查该文件的所有者和权限. ");
  EXPECT_EQ(Stored("address", "LAP"), "00a1ff");
}
#endif

}  // namespace
