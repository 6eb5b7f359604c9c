// The real Win32 window and dialog in this process, on the simulated station
// in a fresh working folder: a test body runs inside the dialog's own modal
// loop, as the first thing the loop does, and the dialog ends after it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "ui/win32/windows_api.h"

namespace win32test {

std::wstring WindowText(HWND hwnd);

class InProcessDialog : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the dialog with `body` called on its window once it is shown.
  void Run(const std::function<void(HWND)>& body);
  // Lets the dialog handle what is queued for it, paints included.
  static void Pump();

  std::filesystem::path folder;

 private:
  std::filesystem::path previous_;
};

}  // namespace win32test
