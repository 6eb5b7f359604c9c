// Kill -9 at any instant: the station program is killed at random moments while
// it writes addresses, and after every kill no address may be in two modules.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#undef WriteProfileString  // a macro of windows.h, and the name of a function of ours
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "ledger/embedded/record_db.h"
#include "platform/number_text.h"
#include "platform/profile_file.h"
#include "tests/station/accepted_laps.h"
#include "tests/support/temp_directory.h"
#include "platform/sleep.h"
#include "vendor/library_loader.h"

namespace {

constexpr const char* kModules[] = {"SPITRANS=USB SPIPORT=0", "SPITRANS=LPT SPIPORT=1"};
constexpr uint32_t kFirstLap = 0xa1ff;

class AddressCrash : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(vendor::LoadLibraries(SIM_LIBRARY_DIR, &libs, &error)) << error;
    uint16_t length = 0, count = 0;
    libs.engine->teGetAvailableSpiPorts(&length, nullptr, nullptr, &count);  // lays out the default station
    ASSERT_TRUE(platform::WriteProfileString("station", "timing", "instant", "station/station.ini"));
    ASSERT_TRUE(platform::WriteProfileString("station", "trace", "on", "station/station.ini"));
    folder.Write("btconfig.ini", "[SUM]\r\ntotal=0\r\n[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n");
  }

  // Starts the press loop, waits until it has called the station at all (a
  // slow start, under a sanitizer say, must not eat the time), lets it press
  // for `ms` milliseconds more, then kills it.
  void RunAndKill(unsigned ms) {
    const auto traced = TraceSize();
#ifdef _WIN32
    // TerminateProcess is Windows' kill -9: the program gets no say and no cleanup.
    std::string line = std::string("address_press_loop \"") + SIM_LIBRARY_DIR + "\"";
    std::wstring wide(line.begin(), line.end());
    std::string program = PRESS_LOOP;
    std::wstring wideProgram(program.begin(), program.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(wideProgram.c_str(), wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &started));
    for (int waited = 0; TraceSize() == traced && waited < 10000; ++waited) platform::SleepMs(1);
    platform::SleepMs(ms);
    TerminateProcess(started.hProcess, 137);
    WaitForSingleObject(started.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    ASSERT_EQ(code, 137u) << "the press loop ended by itself";
#else
    char program[] = PRESS_LOOP;
    char libraries[] = SIM_LIBRARY_DIR;
    char* argv[] = {program, libraries, nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program, nullptr, nullptr, argv, environ), 0);
    for (int waited = 0; TraceSize() == traced && waited < 10000; ++waited) usleep(1000);
    usleep(ms * 1000);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the press loop ended by itself: " << status;
#endif
  }

  std::uintmax_t TraceSize() {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size("station/trace.log", error);
    return error ? 0 : size;
  }

  uint32_t ModuleLap(const char* transport) {
    uint32_t handle = libs.engine->openTestEngineSpiTrans(transport, 0);
    uint32_t lap = 0;
    uint8_t uap = 0;
    uint16_t nap = 0;
    EXPECT_EQ(libs.engine->psReadBdAddr(handle, &lap, &uap, &nap), 1);
    libs.engine->closeTestEngine(handle);
    return lap;
  }

  // LAP -> state of every address the record says a module may carry.
  std::map<uint32_t, std::string> Marks() {
    std::map<uint32_t, std::string> marks;
    sqlite3* db = ledger::OpenRecord("production.db", false);
    if (db == nullptr) return marks;
    {
      ledger::Statement all(db, "SELECT lap, state FROM operations WHERE state IN ('pending', 'written', 'unknown')");
      while (all.Step() == SQLITE_ROW) marks[static_cast<uint32_t>(all.Int(0))] = all.Text(1);
    }
    sqlite3_close(db);
    return marks;
  }


  fakes::TempWorkingDirectory folder;
  vendor::Libraries libs;
};

TEST_F(AddressCrash, NoAddressReachesTwoModulesWhereverTheProgramIsKilled) {
  std::mt19937 random(20261210);
  std::uniform_int_distribution<unsigned> when(0, 60);
  uint32_t lastLap = kFirstLap;
  for (int kill = 1; kill <= 200; ++kill) {
    RunAndKill(when(random));
    if (HasFatalFailure()) return;

    std::string lapText = platform::ReadProfileString("address", "LAP", 32, "btconfig.ini");
    ASSERT_EQ(platform::ReadProfileString("address", "NAP", 16, "btconfig.ini"), "0002") << kill;
    ASSERT_EQ(platform::ReadProfileString("address", "UAP", 16, "btconfig.ini"), "5b") << kill;
    ASSERT_EQ(lapText.size(), 6u) << kill << ": " << lapText;
    uint32_t lap = platform::ParseHex(lapText);
    ASSERT_GE(lap, lastLap) << "the counter went back after kill " << kill;
    lastLap = lap;

    std::map<uint32_t, std::string> marks = Marks();
    for (const char* module : kModules) {
      uint32_t held = ModuleLap(module);
      if (held < kFirstLap) continue;  // the station's own address, never written
      // The counter in btconfig.ini may lag behind it; the mark keeps it from being given again.
      ASSERT_TRUE(marks.count(held)) << "kill " << kill << ": " << module << " holds " << std::hex << held
                                     << ", which the record never handed out";
    }
  }

  std::vector<uint32_t> accepted = station::AcceptedLaps();
  std::set<uint32_t> once(accepted.begin(), accepted.end());
  EXPECT_EQ(once.size(), accepted.size()) << "an address went into two modules";
  EXPECT_GT(accepted.size(), 50u) << "the kills left too little time to write";
  std::map<uint32_t, std::string> marks = Marks();
  for (uint32_t lap : accepted) EXPECT_TRUE(marks.count(lap)) << std::hex << lap;
}

}  // namespace
