// Tarnwick.exe started as a child process in a fresh working folder on the
// simulated station, and driven from outside by window messages, as an
// operator's clicks and keys reach it.
#pragma once

// clang-format off
#include <windows.h>
// clang-format on
#undef MessageBox

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace win32test {

std::wstring Wide(std::string_view gbk);  // code page 936
std::string Gbk(std::wstring_view wide);

// The folder of this test program, where the build puts Tarnwick.exe, the chip libraries and the samples.
std::filesystem::path ProgramFolder();

std::wstring WindowText(HWND hwnd);

// The station's main window, driven from another program.
class DialogDriver {
 public:
  // Finds the main window of a running Tarnwick and waits for its first paint; false when none comes.
  bool AttachRunning(std::chrono::milliseconds timeout);

  HWND Dialog() const { return dialog_; }
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  std::wstring Text(int id) const { return WindowText(Item(id)); }
  // The log pane's text with its line breaks taken out, so that a message
  // broken across lines is found whole.
  std::wstring LogJoined() const;

  // A click as the button itself takes it, queued like the operator's.
  void Click(int id) const;
  // Waits until every message queued before it has been handled, that is the
  // handler of a click has run to its end. Boxes the program opens meanwhile
  // are recorded in `boxes` and dismissed. False on a timeout.
  bool WaitIdle(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Top-level dialog boxes of the program other than its main window.
  std::vector<HWND> OtherBoxes() const;

  // Texts of the message boxes seen and dismissed by WaitIdle.
  std::vector<std::wstring> boxes;

 protected:
  // Waits for the main window of `process` (any process when 0) and its first paint.
  bool Find(DWORD process, std::chrono::milliseconds timeout);

  HWND dialog_ = nullptr;
  DWORD processId_ = 0;

 private:
  LRESULT marker_ = 1000;
  std::vector<HWND> dismissed_;
};

// Tarnwick.exe started in a fresh working folder, ended and removed again at the end.
class StationProcess : public DialogDriver {
 public:
  StationProcess();
  ~StationProcess();
  StationProcess(const StationProcess&) = delete;
  StationProcess& operator=(const StationProcess&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;

  // Starts the program and waits for its main window to be shown and painted; false on failure.
  bool Start();
  // True when the program has ended within `timeout`.
  bool WaitExit(std::chrono::milliseconds timeout) const;

 private:
  std::filesystem::path folder_;
  PROCESS_INFORMATION process_{};
};

}  // namespace win32test
