// clang-format off
#include <windows.h>
// clang-format on

#include "tests/server/child.h"

namespace pgtest {
namespace {

std::wstring Wide(const std::string& text) {
  std::wstring wide(text.size() * 2 + 1, L'\0');
  int length = MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                   static_cast<int>(wide.size()));
  wide.resize(length > 0 ? length : 0);
  return wide;
}

// One argument as the C runtime of the child splits its command line.
std::wstring Quoted(const std::string& argument) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : Wide(argument)) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE AppendTo(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inherit, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

ChildId StartChild(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
                   const std::string& out, const std::string& err) {
  std::wstring line = Quoted(program);
  for (const std::string& arg : args) line += L" " + Quoted(arg);
  // Paths relative to the child's folder, as the child would open them.
  const std::string outPath = out.find(':') == std::string::npos ? folder + "/" + out : out;
  const std::string errPath = err.empty() || err.find(':') != std::string::npos ? err : folder + "/" + err;
  HANDLE output = AppendTo(outPath);
  HANDLE errors = err.empty() ? output : AppendTo(errPath);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = errors;
  PROCESS_INFORMATION started{};
  BOOL ok = CreateProcessW(Wide(program).c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                           Wide(folder).c_str(), &startup, &started);
  CloseHandle(output);
  if (errors != output) CloseHandle(errors);
  if (!ok) return 0;
  CloseHandle(started.hThread);
  return reinterpret_cast<ChildId>(started.hProcess);
}

int WaitChild(ChildId child) {
  HANDLE process = reinterpret_cast<HANDLE>(child);
  // Bounded: a child that hangs is ended, and the test fails on its code.
  if (WaitForSingleObject(process, 600000) != WAIT_OBJECT_0) TerminateProcess(process, 124);
  WaitForSingleObject(process, 10000);
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return static_cast<int>(code);
}

void KillChild(ChildId child) {
  TerminateProcess(reinterpret_cast<HANDLE>(child), 137);
  WaitChild(child);
}

}  // namespace pgtest
