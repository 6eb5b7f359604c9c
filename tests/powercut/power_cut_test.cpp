// A power cut at any instant. A station program presses SetAddr with every
// file call it makes in its folder recorded (libsqlite3's included, through
// the preloaded recorder); the folder is then rebuilt as a power cut could
// have left it at each point of the run, and on each such state the station
// program starts again and presses SetAddr. No state may hand out an address
// that a module had accepted before the cut, btconfig.ini must be whole
// (before and after the next start writes it), and the record must open.
//
// How the states are chosen, to keep the test to well under two minutes on
// two shared cores: a cut before every recorded call and one after the last;
// at each, the unsynced name changes (creates, renames, unlinks) kept all, all
// but the newest one, two or three, or none, crossed with the unsynced writes
// kept all, lost all, lost for one file alone, or that file's last write torn
// in half. The same folder with the same modules already addressed is checked
// once. The run is short (a handful of presses, both devices) but passes the
// count from one digit to two, so a leftover temporary file can be longer than
// the text that next reuses it, and it ends with the program's exit, so the
// record's checkpoint and the removal of its log are cut too.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>

#include "app/main_dialog.h"
#include "platform/profile_file.h"
#include "record/check.h"
#include "record/record_file.h"
#include "res/resource_ids.h"
#include "tests/powercut/disk_replay.h"
#include "tests/support/memory_window.h"
#include "tests/support/station_dialog.h"
#include "tests/support/temp_directory.h"
#include "vendor/library_loader.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kFirstLap = 0xa1ff;
constexpr int kPresses = 5;  // two addresses each
constexpr const char* kCounter = "[SUM]\r\ntotal=8\r\n[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a1ff\r\n";
constexpr const char* kTrace = "station/trace.log";
constexpr const char* kWriteOk = "写蓝牙地址成功! ";
#ifdef SANITIZER_RUNTIME
constexpr const char* kSanitizerRuntime = SANITIZER_RUNTIME ":";  // it must come before the recorder
#else
constexpr const char* kSanitizerRuntime = "";
#endif

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// True when `content` is the counter file as the program keeps it: the
// starting file with only the values of LAP (six lower-case hex digits) and
// total (decimal) changed, and no other byte.
bool WholeCounter(const std::string& content) {
  const std::string start = kCounter;
  size_t a = 0, b = 0;
  while (a < start.size() && b < content.size()) {
    for (const char* key : {"total=", "LAP="}) {
      const std::string k = key;
      if (start.compare(a, k.size(), k) != 0) continue;
      if (content.compare(b, k.size(), k) != 0) return false;
      a += k.size();
      b += k.size();
      while (a < start.size() && start[a] != '\r') ++a;
      size_t value = b;
      while (b < content.size() && content[b] != '\r' && content[b] != '\n') ++b;
      const std::string text = content.substr(value, b - value);
      if (k == "LAP=") {
        if (text.size() != 6 || text.find_first_not_of("0123456789abcdef") != std::string::npos) return false;
      } else if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
                 (text.size() > 1 && text[0] == '0')) {
        return false;
      }
    }
    if (a >= start.size() || b >= content.size() || start[a] != content[b]) break;
    ++a;
    ++b;
  }
  return a == start.size() && b == content.size();
}

struct Accepted {
  uint64_t end;  // the trace's size once the line was there
  uint32_t nap, uap, lap;
};

// Every address a module accepted, from "psWriteBdAddr(h, 0xLAP, 0xUAP, 0xNAP) = 1" lines.
std::vector<Accepted> AcceptedAddresses(const std::string& trace, uint64_t from = 0) {
  std::vector<Accepted> accepted;
  size_t at = from;
  while (at < trace.size()) {
    size_t end = trace.find('\n', at);
    if (end == std::string::npos) break;
    const std::string line = trace.substr(at, end - at);
    at = end + 1;
    if (line.rfind("psWriteBdAddr(", 0) != 0 || line.find(") = 1") == std::string::npos) continue;
    unsigned handle = 0, lap = 0, uap = 0, nap = 0;
    if (sscanf(line.c_str(), "psWriteBdAddr(%u, 0x%x, 0x%x, 0x%x)", &handle, &lap, &uap, &nap) == 4) {
      accepted.push_back({at, nap, uap, lap});
    }
  }
  return accepted;
}

class PowerCut : public ::testing::Test {
 protected:
  void SetUp() override {
    // The next starts sync thousands of times; on tmpfs a sync costs nothing,
    // and the states are the same wherever they are rebuilt.
    std::error_code error;
    if (fs::is_directory("/dev/shm", error)) setenv("TMPDIR", "/dev/shm", 1);
    folder.emplace();
    std::string loadError;
    ASSERT_TRUE(vendor::LoadLibraries(SIM_LIBRARY_DIR, &libs, &loadError)) << loadError;
    top = fs::canonical(folder->path()).string();
    MakeStation(top + "/run");
    MakeStation(top + "/check");
    std::ofstream(top + "/run/btconfig.ini", std::ios::binary) << kCounter;
  }

  // A folder with the default simulated station in it: instant, its calls traced.
  void MakeStation(const std::string& path) {
    fs::create_directories(path);
    fs::current_path(path);
    uint16_t length = 0, count = 0;
    libs.engine->teGetAvailableSpiPorts(&length, nullptr, nullptr, &count);
    ASSERT_TRUE(platform::WriteProfileString("station", "timing", "instant", "station/station.ini"));
    ASSERT_TRUE(platform::WriteProfileString("station", "trace", "on", "station/station.ini"));
    fs::current_path(top);
  }

  // The press program, `kPresses` presses on both devices in run/, its file calls recorded.
  void RecordRun() {
    const std::string run = top + "/run";
    std::vector<std::string> variables = {std::string("LD_PRELOAD=") + kSanitizerRuntime + FILE_CALL_RECORDER,
                                          std::string(powercut::kLogVariable) + "=" + top + "/calls.log",
                                          std::string(powercut::kFolderVariable) + "=" + run,
                                          std::string(powercut::kWitnessVariable) + "=" + run + "/" + kTrace};
    std::vector<char*> env;
    for (std::string& v : variables) env.push_back(v.data());
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::string(*e).rfind("LD_PRELOAD=", 0) != 0) env.push_back(*e);
    }
    env.push_back(nullptr);
    std::string program = PRESS_LOOP, libraries = SIM_LIBRARY_DIR, presses = std::to_string(kPresses);
    char* argv[] = {program.data(), libraries.data(), presses.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    fs::current_path(run);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&actions);
    fs::current_path(top);
    ASSERT_EQ(spawned, 0);
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; ++waited) {
      if (waited == 6000) {  // a minute
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        FAIL() << "the press program did not finish";
      }
      usleep(10000);
    }
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }

  // The station program starting on `state` and pressing SetAddr once, both
  // devices ticked. Empty when every promise held, else what went wrong.
  std::string NextStart(const powercut::CutState& state, const std::set<uint32_t>& acceptedLaps, uint32_t lastLap) {
    auto counter = state.files.find("btconfig.ini");
    if (counter == state.files.end()) return "btconfig.ini is gone";
    if (!WholeCounter(counter->second)) return "btconfig.ini is torn:\n" + counter->second;

    const std::string next = top + "/next";
    fs::remove_all(next);
    fs::create_directory(next);
    for (const auto& [name, content] : state.files) std::ofstream(next + "/" + name, std::ios::binary) << content;
    // One station for every next start: its trace grows by what each one wrote.
    fs::create_directory_symlink(top + "/check/station", next + "/station");
    const std::string traceBefore = ReadFile(top + "/check/" + kTrace);

    fs::current_path(next);
    std::string log;
    {
      fakes::StationDialog<fakes::MemoryWindow> station(libs);
      station.window.Type(res::IDC_START_LAP, "x");
      station.dialog.OnCommand(res::IDC_SET_ADDR);
      log = station.window.ItemText(res::IDC_LOG);
    }
    std::string problem;
    const std::vector<Accepted> given = AcceptedAddresses(ReadFile(top + "/check/" + kTrace), traceBefore.size());
    std::set<uint32_t> givenLaps;
    for (const Accepted& a : given) {
      std::ostringstream address;
      address << std::hex << a.nap << ":" << a.uap << ":" << a.lap;
      if (a.nap != 0x2 || a.uap != 0x5b || a.lap < kFirstLap || a.lap > lastLap + 2) {
        problem += "handed out an address the counter never had: " + address.str() + "\n";
      } else if (acceptedLaps.count(a.lap) != 0) {
        problem += "handed out again an address a module accepted before the cut: " + address.str() + "\n";
      } else if (!givenLaps.insert(a.lap).second) {
        problem += "gave two modules " + address.str() + "\n";
      }
    }
    // Each address written is reported as written; one not written must have been refused with a message.
    size_t reported = 0;
    for (size_t at = log.find(kWriteOk); at != std::string::npos; at = log.find(kWriteOk, at + 1)) ++reported;
    if (reported != given.size()) {
      problem += "reported " + std::to_string(reported) + " addresses written, the modules took " +
                 std::to_string(given.size()) + "\n";
    }
    if (given.size() < 2 && log.find_first_not_of(" \r\n") == std::string::npos) {
      problem += "wrote " + std::to_string(given.size()) + " of 2 addresses and said nothing\n";
    }
    const std::string after = ReadFile("btconfig.ini");
    if (!WholeCounter(after)) problem += "btconfig.ini is torn after the next start:\n" + after + "\n";
    std::string error;
    record::RecordHandle db = record::OpenRecordForReading("./production.db", &error);
    if (!db) {
      problem += "the record does not open: " + error + "\n";
    } else {
      std::ostringstream out;
      record::CheckFindings findings = record::Check(db.get(), out);
      if (!findings.read || findings.duplicateAddresses != 0) problem += "the record's check:\n" + out.str();
    }
    fs::current_path(top);
    return problem;
  }

  std::optional<fakes::TempWorkingDirectory> folder;
  vendor::Libraries libs;
  std::string top;
};

TEST_F(PowerCut, NoStateACutCanLeaveHandsAnAcceptedAddressOutAgain) {
  std::map<std::string, std::string> start = {{"btconfig.ini", kCounter}};
  RecordRun();
  if (HasFatalFailure()) return;
  std::vector<powercut::RecordedCall> calls;
  ASSERT_TRUE(powercut::ReadCallLog(top + "/calls.log", &calls));
  const std::string trace = ReadFile(top + "/run/" + kTrace);
  const std::vector<Accepted> accepted = AcceptedAddresses(trace);
  ASSERT_EQ(accepted.size(), 2u * kPresses) << "the run wrote too few addresses to cut";
  uint32_t lastLap = 0;
  for (const Accepted& a : accepted) lastLap = std::max(lastLap, a.lap);

  powercut::DiskReplay replay(start);
  std::set<std::pair<size_t, size_t>> checked;
  size_t states = 0, failures = 0;
  for (size_t cut = 0; cut <= calls.size(); ++cut) {
    const uint64_t witness = cut < calls.size() ? calls[cut].head.witnessSize : trace.size();
    std::set<uint32_t> before;
    for (const Accepted& a : accepted) {
      if (a.end <= witness) before.insert(a.lap);
    }
    for (const powercut::CutState& state : replay.States({"-shm"})) {
      std::string key;
      for (const auto& [name, content] : state.files) key += name + '\0' + std::to_string(content.size()) + '\0' + content;
      if (!checked.insert({before.size(), std::hash<std::string>()(key)}).second) continue;
      ++states;
      std::string problem = NextStart(state, before, lastLap);
      if (!problem.empty() && ++failures <= 3) {
        ADD_FAILURE() << "cut before call " << cut << " of " << calls.size() << " (" << state.how << "), "
                      << before.size() << " addresses accepted before it:\n"
                      << problem;
      }
    }
    if (cut < calls.size()) {
      ASSERT_TRUE(replay.Apply(calls[cut])) << "call " << cut << " on an unknown descriptor";
    }
  }
  EXPECT_EQ(failures, 0u) << "of " << states << " states";
  // The replay must come to the folder the program really left.
  std::map<std::string, std::string> kept = replay.Current();
  for (const char* name : {"btconfig.ini", "production.db"}) {
    EXPECT_EQ(kept[name], ReadFile(top + "/run/" + name)) << name << ": the replay lost track of the run";
  }
  std::cout << calls.size() << " file calls recorded, " << states << " states checked\n";
}

}  // namespace
