// The bench tests against the simulated station: the chip libraries bound by
// name as the program binds them, in a working directory of their own whose
// station/ the libraries create on the first call.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "platform/profile_file.h"
#include "res/resource_ids.h"
#include "tests/support/memory_window.h"
#include "tests/support/reported_lines.h"
#include "tests/support/temp_directory.h"
#include "vendor/library_loader.h"

namespace bench {

class BenchStation : public ::testing::Test {
 protected:
  BenchStation() {
    std::string error;
    if (!vendor::LoadLibraries(SIM_LIBRARY_DIR, &libraries, &error)) throw std::runtime_error(error);
    dialog.emplace(window, *libraries.engine, *libraries.flash, *libraries.e2, transports);
    reports.emplace(*dialog);
    dialog->OnInitDialog();
    dialog->OnPaint();  // the first call: the default station is written, the adapters listed
    Set("station", "timing", "instant");
  }

  // A key of station/station.ini; counts from the next call.
  static void Set(const std::string& section, const std::string& key, const std::string& value) {
    platform::WriteProfileString(section, key, value, "station/station.ini");
  }
  static std::string Get(const std::string& section, const std::string& key) {
    return platform::ReadProfileString(section, key, 64, "station/station.ini");
  }
  void Tick(int id) { window.SetCheck(id, dialog::kBstChecked); }
  const std::vector<std::string>& Reported() const { return reports->lines(); }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> texts;
    for (const auto& box : window.messageBoxes()) texts.push_back(box.text);
    return texts;
  }

  fakes::TempWorkingDirectory folder;
  vendor::Libraries libraries;
  fakes::MemoryWindow window;
  dialog::Transports transports;
  std::optional<app::MainDialog> dialog;
  std::optional<fakes::ReportedLines> reports;
};

}  // namespace bench
