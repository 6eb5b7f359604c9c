#include <windows.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "platform/wide_text.h"
#include "tests/sim/tool_runner.h"

namespace simtest {
namespace {

// One argument as the C runtime splits it back: quoted when it holds a blank
// or a quote, backslashes doubled only before a quote.
std::wstring Quoted(const std::string& argument) {
  std::wstring wide = platform::Utf8ToWide(argument);
  if (!wide.empty() && wide.find_first_of(L" \t\"") == std::wstring::npos) return wide;
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : wide) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& arguments) {
  ToolRun run;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outRead, outWrite, errRead, errWrite;
  if (!CreatePipe(&outRead, &outWrite, &inheritable, 0)) return run;
  if (!CreatePipe(&errRead, &errWrite, &inheritable, 0)) {
    CloseHandle(outRead);
    CloseHandle(outWrite);
    return run;
  }
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

  std::wstring line = L"nvscmd.exe";
  for (const std::string& a : arguments) line += L" " + Quoted(a);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION started{};
  std::wstring program = platform::Utf8ToWide(NVSCMD);
  auto start = std::chrono::steady_clock::now();
  BOOL ok = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                           &started);
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  if (!ok) {
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
  }
  CloseHandle(started.hThread);

  std::mutex counting;
  auto drain = [&](HANDLE from, std::string* sink) {
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(from, buffer, sizeof buffer, &n, nullptr) && n > 0) {
      std::lock_guard<std::mutex> hold(counting);
      sink->append(buffer, n);
      ++run.reads;
      if (run.firstOutputMs < 0) {
        run.firstOutputMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      }
    }
  };
  std::thread err(drain, errRead, &run.err);
  drain(outRead, &run.out);
  err.join();
  CloseHandle(outRead);
  CloseHandle(errRead);
  WaitForSingleObject(started.hProcess, INFINITE);
  run.endMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  DWORD code = 0;
  if (GetExitCodeProcess(started.hProcess, &code)) run.exit = static_cast<int>(code);
  CloseHandle(started.hProcess);
  return run;
}

}  // namespace simtest
