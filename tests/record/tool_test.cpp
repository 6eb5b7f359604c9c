// The real tarnwick-record program: its exit status and where it writes.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include <filesystem>
#include <fstream>

#include "tests/record/record_fixture.h"

namespace {

using records::RecordTest;

struct Ran {
  int status = -1;
  std::string out, err;
};

// Lines end in CR LF on Windows, where the program's output is text; compared as LF.
std::string Slurp(const char* name) {
  std::ifstream in(name, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
#ifdef _WIN32
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
#endif
  return text;
}

#ifdef _WIN32
HANDLE Output(const wchar_t* name) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(name, GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs the program with `args`, its output into files of the working directory.
Ran RunTool(const std::vector<std::string>& args) {
  std::wstring line = L"tarnwick-record";
  for (const std::string& arg : args) {
    std::wstring wide(arg.begin(), arg.end());  // the tests' arguments are ASCII
    line += wide.find(L' ') == std::wstring::npos && !wide.empty() ? L" " + wide : L" \"" + wide + L"\"";
  }
  std::string program = TARNWICK_RECORD;
  std::wstring wideProgram(program.begin(), program.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = Output(L"tool.out");
  startup.hStdError = Output(L"tool.err");
  PROCESS_INFORMATION started{};
  Ran ran;
  BOOL ok = CreateProcessW(wideProgram.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                           &started);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  if (!ok) {
    ADD_FAILURE() << "cannot start " << TARNWICK_RECORD;
    return ran;
  }
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  CloseHandle(started.hThread);
  ran.status = static_cast<int>(code);
  ran.out = Slurp("tool.out");
  ran.err = Slurp("tool.err");
  return ran;
}
#else
// Runs the program with `args`, its output into files of the working directory.
Ran RunTool(const std::vector<std::string>& args) {
  std::vector<std::string> words{TARNWICK_RECORD};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "tool.out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "tool.err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  Ran ran;
  int spawned = posix_spawn(&pid, TARNWICK_RECORD, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << TARNWICK_RECORD;
    return ran;
  }
  int wait = 0;
  waitpid(pid, &wait, 0);
  ran.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : 128 + WTERMSIG(wait);
  ran.out = Slurp("tool.out");
  ran.err = Slurp("tool.err");
  return ran;
}
#endif

TEST_F(RecordTest, ProgramExitsWithOneOnlyWhenAnAddressIsInTwoModules) {
  ledger::OperationRow written = WriteAddress(true);
  WriteAddress(true);
  ReserveAndDie();  // an unknown outcome is not a duplicate

  Ran clean = RunTool({"check"});
  EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
  EXPECT_NE(clean.out.find("found: duplicates 0, unknown outcomes 1, gaps 0\n"), std::string::npos) << clean.out;

  PlantDuplicateOf(written.id);
  Ran duplicate = RunTool({"check"});
  EXPECT_EQ(duplicate.status, 1) << duplicate.out << duplicate.err;
  EXPECT_NE(duplicate.out.find("  0002:5b:00a1ff: 2 rows\n"), std::string::npos) << duplicate.out;

  // The same through --db from another folder; export and summary still work on it.
  ASSERT_TRUE(std::filesystem::create_directory("elsewhere"));
  ASSERT_EQ(::chdir("elsewhere"), 0);
  Ran viaPath = RunTool({"--db", folder.path() + "/production.db", "check"});
  Ran exported = RunTool({"--db", "../production.db", "export", "out.csv"});
  Ran summary = RunTool({"--db", "../production.db", "summary"});
  ASSERT_EQ(::chdir(".."), 0);
  EXPECT_EQ(viaPath.status, 1) << viaPath.err;
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out, "4 rows exported to out.csv\n");
  EXPECT_EQ(folder.Read("elsewhere/out.csv").substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(summary.status, 0) << summary.err;
  EXPECT_NE(summary.out.find("2026-12-10          3"), std::string::npos) << summary.out;
}

TEST_F(RecordTest, ProgramExitsWithTwoOnUsageAndUnreadableRecords) {
  WriteAddress(true);
  folder.Write("notes.txt", "not a database, just a file long enough to be looked at by SQLite at all......");
  const struct {
    std::vector<std::string> args;
    const char* says;
  } kCases[] = {
      {{}, "no command"},
      {{"report"}, "unknown command report"},
      {{"export"}, "export needs one FILE.csv"},
      {{"export", "a.csv", "b.csv"}, "export needs one FILE.csv"},
      {{"check", "now"}, "check takes no arguments"},
      {{"--db"}, "--db needs a path"},
      {{"--db", "missing.db", "check"}, "cannot open the production record missing.db"},
      {{"--db", "notes.txt", "summary"}, "notes.txt is not a production record"},
      {{"export", "no folder/out.csv"}, "cannot write no folder/out.csv"},
  };
  for (const auto& c : kCases) {
    Ran ran = RunTool(c.args);
    EXPECT_EQ(ran.status, 2) << c.says;
    EXPECT_NE(ran.err.find(c.says), std::string::npos) << ran.err;
  }
  EXPECT_EQ(folder.Read("missing.db"), "");
  EXPECT_NE(::access("missing.db", F_OK), 0) << "the tool never creates a record";
}

TEST_F(RecordTest, ProgramWithoutARecordInTheFolderSaysSo) {
  station.reset();
  ASSERT_EQ(::unlink("production.db"), 0);
  Ran ran = RunTool({"summary"});
  EXPECT_EQ(ran.status, 2);
  EXPECT_NE(ran.err.find("cannot open the production record ./production.db"), std::string::npos) << ran.err;
  EXPECT_NE(::access("production.db", F_OK), 0);
}

#ifndef _WIN32
// A folder whose btconfig.ini links to the station's: the record is the one
// beside the counter, where the station program keeps the marks.
TEST_F(RecordTest, ProgramWithoutDbReadsTheRecordBesideALinkedCounter) {
  WriteAddress(true);
  ASSERT_TRUE(std::filesystem::create_directory("linked"));
  std::filesystem::create_symlink("../btconfig.ini", "linked/btconfig.ini");
  ASSERT_EQ(::chdir("linked"), 0);
  Ran ran = RunTool({"export", "out.csv"});
  ASSERT_EQ(::chdir(".."), 0);
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(ran.out, "1 row exported to out.csv\n");
  EXPECT_FALSE(std::filesystem::exists("linked/production.db"));
}
#endif

}  // namespace
