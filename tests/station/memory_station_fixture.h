// The memory commands against the simulated station: the chip libraries bound
// by name from the build's program folder, in a fresh working folder whose
// station works instantly. The status line's every text is kept.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "memory/commands.h"
#include "memory/host.h"
#include "platform/profile_file.h"
#include "res/resource_ids.h"
#include "tests/support/memory_window.h"
#include "tests/support/temp_directory.h"
#include "vendor/library_loader.h"

namespace station {

inline constexpr const char* kDevice1 = "SPITRANS=USB SPIPORT=0";
inline constexpr const char* kDevice2 = "SPITRANS=LPT SPIPORT=1";

class StatusHistoryWindow : public fakes::MemoryWindow {
 public:
  void SetItemText(int id, std::string_view text) override {
    if (id == res::IDC_STATUS) statuses.emplace_back(text);
    MemoryWindow::SetItemText(id, text);
  }
  std::vector<std::string> statuses;
};

// Real time, but the pauses between chunks are skipped to keep the runs short.
class QuickClock : public memory::Clock {
 public:
  uint64_t NowMs() override { return memory::SystemClock().NowMs(); }
  void SleepMs(unsigned) override {}
};

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The words of a .xuv or .xpv file: "@address value" lines, both hex.
inline std::map<uint32_t, uint16_t> Words(const std::string& path) {
  std::map<uint32_t, uint16_t> words;
  std::istringstream lines(ReadWhole(path));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] != '@') continue;
    std::istringstream fields(line.substr(1));
    uint32_t address = 0, value = 0;
    fields >> std::hex >> address >> value;
    words[address] = static_cast<uint16_t>(value);
  }
  return words;
}

class MemoryStation : public ::testing::Test {
 protected:
  MemoryStation() {
    std::string error;
    loaded_ = vendor::LoadLibraries(SIM_LIBRARY_DIR, &libs, &error);
    error_ = error;
    transports.Device1Transport = kDevice1;
    transports.Device2Transport = kDevice2;
    host.clock = &clock;
  }

  void SetUp() override {
    ASSERT_TRUE(loaded_) << error_;
    dialog = std::make_unique<app::MainDialog>(window, *libs.engine, *libs.flash, *libs.e2, transports);
    uint16_t length = 0;  // the first call writes the default station
    libs.engine->teGetAvailableSpiPorts(&length, nullptr, nullptr, nullptr);
    ASSERT_TRUE(std::filesystem::exists("station/station.ini"));
    ASSERT_TRUE(platform::WriteProfileString("station", "timing", "instant", "station/station.ini"));
  }

  // The program that "nvscmd.exe" names, put in the working folder: a copy on
  // Windows, where a link needs a privilege.
  void UseTool(const std::string& program) {
#ifdef _WIN32
    ASSERT_TRUE(std::filesystem::copy_file(program, "nvscmd.exe"));
#else
    ASSERT_EQ(symlink(program.c_str(), "nvscmd.exe"), 0);
#endif
  }
  void SetMemoryBoxes(bool eeprom, bool spiFlash) {
    window.SetCheck(res::IDC_EEPROM, eeprom ? dialog::kBstChecked : dialog::kBstUnchecked);
    window.SetCheck(res::IDC_SPI_FLASH, spiFlash ? dialog::kBstChecked : dialog::kBstUnchecked);
  }
  void TickDevices(bool device1, bool device2) {
    window.SetCheck(res::IDC_DEVICE1, device1 ? dialog::kBstChecked : dialog::kBstUnchecked);
    window.SetCheck(res::IDC_DEVICE2, device2 ? dialog::kBstChecked : dialog::kBstUnchecked);
  }
  void ChooseFirmware(const std::string& path) { window.Type(res::IDC_FIRMWARE_PATH, path); }
  static std::string Sample(const char* name) { return std::string(SIM_SAMPLES_DIR) + "/" + name; }

  memory::Commands commands() { return memory::Commands(*dialog, *libs.engine, *libs.flash, *libs.e2, host); }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : window.messageBoxes()) texts.push_back(box.text);
    return texts;
  }
  bool Shown(const std::string& status) const {
    for (const std::string& text : window.statuses) {
      if (text == status) return true;
    }
    return false;
  }

  fakes::TempWorkingDirectory folder;
  vendor::Libraries libs;
  StatusHistoryWindow window;
  dialog::Transports transports;
  std::unique_ptr<app::MainDialog> dialog;
  QuickClock clock;
  memory::Host host;

 private:
  bool loaded_ = false;
  std::string error_;
};

}  // namespace station
