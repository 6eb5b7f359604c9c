#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <fstream>

#include "memory/host.h"
#include "platform/child_process.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"

namespace {

using Words = std::vector<std::string>;

TEST(ToolCommandLineWords, SplitAsTheLinePcsSplitThem) {
  const struct {
    const char* line;
    Words words;
  } kCases[] = {
      {"nvscmd.exe -usb 0 burn D:\\fw\\app.xuv", {"nvscmd.exe", "-usb", "0", "burn", "D:\\fw\\app.xuv"}},
      {"nvscmd.exe -lpt 1 dump flashdump.xuv ", {"nvscmd.exe", "-lpt", "1", "dump", "flashdump.xuv"}},
      {"nvscmd.exe -usb 0 burn D:\\my fw\\app.xuv", {"nvscmd.exe", "-usb", "0", "burn", "D:\\my", "fw\\app.xuv"}},
      {"p \t a  \t b", {"p", "a", "b"}},
      {"\"C:\\Program Files\\nvscmd.exe\" a", {"C:\\Program Files\\nvscmd.exe", "a"}},
      {"p \"a b\" c", {"p", "a b", "c"}},
      {"p x\"a b\"y", {"p", "xa by"}},
      {"p a\\\\\\\"b", {"p", "a\\\"b"}},       // three backslashes and a quote: one backslash, a quote
      {"p a\\\\\"b c\"", {"p", "a\\b c"}},     // two backslashes and a quote: one backslash, quoting
      {"p a\\b\\\\c\\", {"p", "a\\b\\\\c\\"}},  // backslashes elsewhere are plain
      {"p \"a\"\"b\"", {"p", "a\"b"}},          // "" inside quotes is a quote
      {"p \"\" x", {"p", "", "x"}},
      {"p \"open end", {"p", "open end"}},
      {"p a;b $(rm -rf x) `id` |c >d", {"p", "a;b", "$(rm", "-rf", "x)", "`id`", "|c", ">d"}},
      // A two-byte character whose second byte is a backslash does not escape the quote after it.
      {"p a\x81\x5C\"b c\"", {"p", "a\x81\x5C" "b c"}},
      {"\x81\x5C\".exe\" a", {"\x81\x5C.exe", "a"}},
      {"", {}},
  };
  for (const auto& c : kCases) EXPECT_EQ(platform::SplitCommandLine(c.line), c.words) << c.line;
}

// The search, the descriptor limit and the exit codes below are those of a
// POSIX system, driven through sh; the Windows child has tests of its own.
#ifndef _WIN32
class FindProgram : public ::testing::Test {
 protected:
  void MakeFile(const std::string& name, mode_t mode) {
    std::ofstream(name) << "#!/bin/false\n";
    ASSERT_EQ(chmod(name.c_str(), mode), 0);
  }
  fakes::TempWorkingDirectory folder;
};

TEST_F(FindProgram, LooksBesideTheProgramThenInTheWorkingFolderThenOnThePath) {
  MakeFile("tool.exe", 0755);
  MakeFile("plain.txt", 0644);
  EXPECT_EQ(platform::FindProgram("tool.exe"), platform::JoinPath(platform::CurrentDirectory(), "tool.exe"));
  EXPECT_EQ(platform::FindProgram("plain.txt"), "");  // not executable
  EXPECT_EQ(platform::FindProgram("missing.exe"), "");
  EXPECT_EQ(platform::FindProgram("./tool.exe"), "./tool.exe");  // a path is taken as it stands

  // The program's own folder comes before the working folder.
  const std::string self = "unit_test";
  MakeFile(self, 0755);
  EXPECT_EQ(platform::FindProgram(self), platform::JoinPath(platform::ProgramFolder(), self));

  // The search path comes last: "sh" lives there.
  EXPECT_NE(platform::FindProgram("sh"), "");
}

TEST_F(FindProgram, ProgramThatIsNotFoundIsNotStarted) {
  std::unique_ptr<platform::ChildProcess> child;
  EXPECT_EQ(platform::StartChildProcess("no-such-tool.exe -usb 0 erase", &child), platform::StartResult::NoProgram);
  EXPECT_EQ(platform::StartChildProcess("", &child), platform::StartResult::NoProgram);
  EXPECT_EQ(child, nullptr);
}

// Nothing but plain calls while no descriptor can be had: the sanitizers' own
// checks need descriptors too.
platform::StartResult StartWithoutDescriptors(std::unique_ptr<platform::ChildProcess>* child) {
  rlimit saved{};
  if (getrlimit(RLIMIT_NOFILE, &saved) != 0) return platform::StartResult::Started;
  int lowestFree = dup(0);
  if (lowestFree < 0) return platform::StartResult::Started;
  close(lowestFree);
  rlimit none = saved;
  none.rlim_cur = static_cast<rlim_t>(lowestFree);
  if (setrlimit(RLIMIT_NOFILE, &none) != 0) return platform::StartResult::Started;
  platform::StartResult result = platform::StartChildProcess("sh -c true", child);
  setrlimit(RLIMIT_NOFILE, &saved);
  return result;
}

TEST_F(FindProgram, PipeThatCannotBeMadeStartsNothing) {
  std::unique_ptr<platform::ChildProcess> child;
  EXPECT_EQ(StartWithoutDescriptors(&child), platform::StartResult::NoPipe);
  EXPECT_EQ(child, nullptr);
}

class ChildExit : public ::testing::Test {
 protected:
  // Starts `script` under sh and reads its output to the end.
  std::unique_ptr<platform::ChildProcess> StartAndDrain(const std::string& script) {
    std::unique_ptr<platform::ChildProcess> child;
    EXPECT_EQ(platform::StartChildProcess("sh -c \"" + script + "\"", &child), platform::StartResult::Started);
    if (!child) return child;
    char buffer[64];
    size_t got = 0;
    while (child->Read(buffer, sizeof buffer, &got, 5000) == platform::ChildProcess::ReadResult::Data) {
    }
    return child;
  }
  // How long Finish took, in milliseconds.
  static uint64_t Timed(platform::ChildProcess& child, std::optional<int>* exit) {
    uint64_t start = memory::SystemClock().NowMs();
    *exit = child.Finish();
    return memory::SystemClock().NowMs() - start;
  }
  fakes::TempWorkingDirectory folder;
};

TEST_F(ChildExit, ExitCodeOfAProgramThatEndsWithinTheGrace) {
  const struct {
    const char* script;
    int exit;
  } kCases[] = {
      {"exit 0", 0},
      {"echo out; exit 3", 3},
      {"exec >&- 2>&-; sleep 0.5; exit 7", 7},  // output closed first, exit half a second later
      {"kill -SEGV $$", 128 + SIGSEGV},
  };
  for (const auto& c : kCases) {
    std::unique_ptr<platform::ChildProcess> child = StartAndDrain(c.script);
    ASSERT_NE(child, nullptr) << c.script;
    std::optional<int> exit;
    EXPECT_LT(Timed(*child, &exit), 1900u) << c.script;
    EXPECT_EQ(exit, c.exit) << c.script;
    EXPECT_EQ(child->Finish(), c.exit) << c.script;  // asked again: the same answer
  }
}

TEST_F(ChildExit, ProgramThatLingersAfterItsOutputIsEndedAfterTheGrace) {
  std::unique_ptr<platform::ChildProcess> child = StartAndDrain("echo $$ > pid; exec >&- 2>&-; exec sleep 30");
  ASSERT_NE(child, nullptr);
  std::optional<int> exit;
  uint64_t took = Timed(*child, &exit);
  EXPECT_GE(took, 1900u);  // not at once
  EXPECT_LT(took, 3500u);  // and not never
  EXPECT_EQ(exit, std::nullopt);
  int pid = 0;
  std::ifstream("pid") >> pid;
  ASSERT_GT(pid, 0);
  EXPECT_EQ(kill(pid, 0), -1);  // ended and collected
  EXPECT_EQ(errno, ESRCH);
}

#else
// The system's own search, which starting the program makes too: beside the
// program, the working folder, the system folders, the search path; ".exe"
// added to a bare name; a regular file is enough.
TEST(FindProgram, LooksBesideTheProgramThenInTheWorkingFolderThenInTheSystemFolders) {
  fakes::TempWorkingDirectory folder;
  folder.Write("tool.exe", "");
  EXPECT_EQ(platform::FindProgram("tool.exe"), platform::JoinPath(platform::CurrentDirectory(), "tool.exe"));
  EXPECT_EQ(platform::FindProgram("tool"), platform::JoinPath(platform::CurrentDirectory(), "tool.exe"));
  EXPECT_EQ(platform::FindProgram(".\\tool.exe"), ".\\tool.exe");  // a path is taken as it stands
  EXPECT_EQ(platform::FindProgram("missing.exe"), "");
  folder.Write("unit_test.exe", "");
  EXPECT_EQ(platform::FindProgram("unit_test.exe"), platform::JoinPath(platform::ProgramFolder(), "unit_test.exe"));
  EXPECT_NE(platform::FindProgram("cmd"), "");

  std::unique_ptr<platform::ChildProcess> child;
  EXPECT_EQ(platform::StartChildProcess("no-such-tool.exe -usb 0 erase", &child), platform::StartResult::NoProgram);
  EXPECT_EQ(platform::StartChildProcess("", &child), platform::StartResult::NoProgram);
  EXPECT_EQ(child, nullptr);
}
#endif

}  // namespace
