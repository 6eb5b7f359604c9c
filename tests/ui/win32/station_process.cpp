#include "tests/ui/win32/station_process.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/wide_text.h"
#include "res/resource_ids.h"

namespace win32test {
namespace {

using namespace std::chrono_literals;

// A hidden edit that no handler of the station uses: its length limit is the
// marker that tells when the queue ahead of it has been worked off.
constexpr int kMarkerEdit = res::IDC_PIO1;

struct Search {
  DWORD process;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectDialogs(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  if ((search->process == 0 || owner == search->process) && IsWindowVisible(hwnd) && lstrcmpW(name, L"#32770") == 0) {
    search->windows.push_back(hwnd);
  }
  return TRUE;
}

std::vector<HWND> ProcessDialogs(DWORD process) {
  Search search{process, {}};
  EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&search));
  return search.windows;
}

}  // namespace

std::wstring Wide(std::string_view gbk) { return platform::GbkToWide(gbk); }

std::string Gbk(std::wstring_view wide) { return platform::WideToGbk(wide); }

std::filesystem::path ProgramFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return std::filesystem::path(path).parent_path();
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(
      SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

StationProcess::StationProcess() {
  static int serial = 0;
  folder_ = std::filesystem::temp_directory_path() /
            ("tarnwick-win32-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial));
  std::filesystem::remove_all(folder_);
  std::filesystem::create_directories(folder_);
}

StationProcess::~StationProcess() {
  if (process_.hProcess != nullptr) {
    if (dialog_ != nullptr) PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void StationProcess::Write(const std::string& name, const std::string& content) const {
  std::ofstream(folder_ / name, std::ios::binary) << content;
}

std::string StationProcess::Read(const std::string& name) const {
  std::ifstream in(folder_ / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool StationProcess::Start() {
  const std::wstring program = (ProgramFolder() / L"Tarnwick.exe").wstring();
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.wstring().c_str(), &startup, &process_)) {
    return false;
  }
  return Find(process_.dwProcessId, 30s);
}

bool DialogDriver::AttachRunning(std::chrono::milliseconds timeout) { return Find(0, timeout); }

bool DialogDriver::Find(DWORD process, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (dialog_ == nullptr && std::chrono::steady_clock::now() < deadline) {
    for (HWND hwnd : ProcessDialogs(process)) {
      if (WindowText(hwnd) == L"CSRTarnwick") dialog_ = hwnd;
    }
    if (dialog_ == nullptr) std::this_thread::sleep_for(50ms);
  }
  if (dialog_ != nullptr) GetWindowThreadProcessId(dialog_, &processId_);
  // The first paint lists the adapters (and lays out the simulated station).
  while (dialog_ != nullptr && SendMessageW(Item(res::IDC_DEVICE1_LIST), LB_GETCOUNT, 0, 0) <= 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(50ms);
  }
  return dialog_ != nullptr && WaitIdle();
}

std::wstring DialogDriver::LogJoined() const {
  std::wstring text = Text(res::IDC_LOG);
  std::wstring joined;
  for (wchar_t c : text) {
    if (c != L'\r' && c != L'\n') joined += c;
  }
  return joined;
}

void DialogDriver::Click(int id) const { PostMessageW(Item(id), BM_CLICK, 0, 0); }

bool StationProcess::WaitExit(std::chrono::milliseconds timeout) const {
  return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::vector<HWND> DialogDriver::OtherBoxes() const {
  std::vector<HWND> others;
  for (HWND hwnd : ProcessDialogs(processId_)) {
    if (hwnd != dialog_) others.push_back(hwnd);
  }
  return others;
}

bool DialogDriver::WaitIdle(std::chrono::milliseconds timeout) {
  HWND marker = Item(kMarkerEdit);
  const LRESULT expected = ++marker_;
  PostMessageW(marker, EM_SETLIMITTEXT, static_cast<WPARAM>(expected), 0);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (SendMessageW(marker, EM_GETLIMITTEXT, 0, 0) == expected) return true;
    for (HWND box : OtherBoxes()) {
      if (std::find(dismissed_.begin(), dismissed_.end(), box) != dismissed_.end()) continue;
      dismissed_.push_back(box);
      // A message box's text is its static control 0xFFFF.
      boxes.push_back(WindowText(GetDlgItem(box, 0xFFFF)));
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    std::this_thread::sleep_for(30ms);
  }
  return false;
}

}  // namespace win32test
