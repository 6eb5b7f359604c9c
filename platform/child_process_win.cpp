#include "platform/child_process.h"

#include <windows.h>

#include "platform/file_system.h"
#include "platform/gbk.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

class PipedChild : public ChildProcess {
 public:
  PipedChild(HANDLE process, HANDLE job, HANDLE readEnd) : process_(process), job_(job), readEnd_(readEnd) {}
  PipedChild(const PipedChild&) = delete;
  PipedChild& operator=(const PipedChild&) = delete;

  ~PipedChild() override {
    CloseHandle(readEnd_);
    // The output has ended, so the program is on its way out; one that lingers is ended.
    Finish();
    if (job_ != nullptr) CloseHandle(job_);
  }

  // An anonymous pipe has no waiting with a time-out: look at what is there, and nap.
  ReadResult Read(char* buffer, size_t size, size_t* got, unsigned timeoutMs) override {
    *got = 0;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
      DWORD waiting = 0;
      if (!PeekNamedPipe(readEnd_, nullptr, 0, nullptr, &waiting, nullptr)) return ReadResult::End;
      if (waiting > 0) {
        DWORD bytes = 0;
        DWORD ask = static_cast<DWORD>(std::min<size_t>(size, waiting));
        if (!ReadFile(readEnd_, buffer, ask, &bytes, nullptr) || bytes == 0) return ReadResult::End;
        *got = bytes;
        return ReadResult::Data;
      }
      if (GetTickCount64() >= deadline) return ReadResult::Silent;
      Sleep(2);
    }
  }

  void Kill() override {
    if (process_ == nullptr) return;
    if (job_ != nullptr) TerminateJobObject(job_, 1);  // the program's own helpers too
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, INFINITE);
    CloseHandle(process_);
    process_ = nullptr;
  }

  std::optional<int> Finish() override {
    if (process_ == nullptr) return exitCode_;
    if (WaitForSingleObject(process_, kExitGraceMs) == WAIT_OBJECT_0) {
      DWORD code = 0;
      if (GetExitCodeProcess(process_, &code)) exitCode_ = static_cast<int>(code);
      CloseHandle(process_);
      process_ = nullptr;
    } else {
      Kill();
    }
    return exitCode_;
  }

 private:
  HANDLE process_;
  HANDLE job_;
  HANDLE readEnd_;
  std::optional<int> exitCode_;
};

bool IsFile(const std::string& gbkPath) { return StatusOf(gbkPath) == FileKind::Regular; }

bool HasExtension(const std::string& program) {
  size_t dot = program.find_last_of('.');
  size_t slash = program.find_last_of("\\/");
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

std::string SystemFolder(UINT(WINAPI* get)(LPWSTR, UINT)) {
  wchar_t buffer[MAX_PATH];
  UINT n = get(buffer, MAX_PATH);
  return n > 0 && n < MAX_PATH ? WideToGbk(std::wstring_view(buffer, n)) : std::string();
}

}  // namespace

// The search the system itself makes for a command line's program: the
// program's own folder, the working directory, the system folders, then the
// search path; ".exe" is added to a name without an extension.
std::string FindProgram(const std::string& program) {
  if (program.empty()) return {};
  std::string name = HasExtension(program) ? program : program + ".exe";
  if (name.find_first_of("\\/:") != std::string::npos) return IsFile(name) ? name : std::string();

  std::vector<std::string> folders{ProgramFolder(), CurrentDirectory(), SystemFolder(GetSystemDirectoryW),
                                   SystemFolder(GetWindowsDirectoryW)};
  DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  if (size > 0) {
    std::wstring path(size, L'\0');
    path.resize(GetEnvironmentVariableW(L"PATH", path.data(), size));
    std::string rest = WideToGbk(path);
    size_t start = 0;
    for (;;) {
      size_t semicolon = rest.find(';', start);
      folders.push_back(rest.substr(start, semicolon - start));
      if (semicolon == std::string::npos) break;
      start = semicolon + 1;
    }
  }
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string candidate = JoinPath(folder, name);
    if (IsFile(candidate)) return candidate;
  }
  return {};
}

StartResult StartChildProcess(const std::string& commandLine, std::unique_ptr<ChildProcess>* child) {
  if (SplitCommandLine(commandLine).empty()) return StartResult::NoProgram;

  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return StartResult::NoPipe;
  // Only the write end is the child's; our read end stays ours.
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.wShowWindow = SW_HIDE;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;

  // The command line is the only description of the program: the system finds it.
  std::wstring line = GbkToWide(commandLine);
  PROCESS_INFORMATION started{};
  BOOL ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started);
  CloseHandle(writeEnd);  // the child holds the only write end now: its exit ends the output
  if (!ok) {
    CloseHandle(readEnd);
    return StartResult::NoProgram;
  }
  CloseHandle(started.hThread);
  // A job, so that ending the program ends what it started too.
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job != nullptr && !AssignProcessToJobObject(job, started.hProcess)) {
    CloseHandle(job);
    job = nullptr;
  }
  *child = std::make_unique<PipedChild>(started.hProcess, job, readEnd);
  return StartResult::Started;
}

}  // namespace platform
