#include "tests/ui/win32/dialog/dialog_fixture.h"

#include "app/main_dialog.h"
#include "platform/file_system.h"
#include "ui/win32/win32_window.h"
#include "vendor/library_loader.h"

namespace win32test {
namespace {

// The body to run and the window to run it on, for the timer that starts it.
const std::function<void(HWND)>* pendingBody = nullptr;
ui::win32::Win32Window* runningWindow = nullptr;

void CALLBACK StartBody(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = runningWindow->hwnd();
  // The modal loop shows the dialog once its queue is first empty: wait for that.
  if (dialog == nullptr || !IsWindowVisible(dialog)) return;
  KillTimer(nullptr, timer);
  if (pendingBody != nullptr && dialog != nullptr) (*pendingBody)(dialog);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void InProcessDialog::SetUp() {
  previous_ = std::filesystem::current_path();
  folder = std::filesystem::temp_directory_path() / ("tarnwick-dialog-" + std::to_string(GetCurrentProcessId()) + "-" +
                                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

void InProcessDialog::TearDown() {
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  CoUninitialize();
}

void InProcessDialog::Run(const std::function<void(HWND)>& body) {
  vendor::Libraries libraries;
  std::string error;
  ASSERT_TRUE(vendor::LoadLibraries(platform::ProgramFolder(), &libraries, &error)) << error;
  dialog::Transports transports;
  ui::win32::Win32Window window(GetModuleHandleW(nullptr));
  app::MainDialog dialog(window, *libraries.engine, *libraries.flash, *libraries.e2, transports);
  window.Attach(&dialog);
  pendingBody = &body;
  runningWindow = &window;
  SetTimer(nullptr, 0, 50, StartBody);
  window.RunModal();
  pendingBody = nullptr;
  runningWindow = nullptr;
}

void InProcessDialog::Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace win32test
