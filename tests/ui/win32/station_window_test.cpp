// The real window on the simulated station: Tarnwick.exe driven by messages
// from outside, its log read back, its files and the station's modules checked.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>

#include "res/resource_ids.h"
#include "tests/ui/win32/station_process.h"

namespace win32test {
namespace {

constexpr const char* kSeed = "[SUM]\r\ntotal=4\r\n[address]\r\nNAP=0002\r\nUAP=5b\r\nLAP=00a200\r\n";

std::string Profile(const std::filesystem::path& file, const char* section, const char* key) {
  char value[256] = {};
  GetPrivateProfileStringA(section, key, "", value, sizeof value, file.string().c_str());
  return value;
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class StationWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    station.Write("btconfig.ini", kSeed);
    ASSERT_TRUE(station.Start());
    // The first paint laid the station out; from now on it works without waiting.
    WritePrivateProfileStringA("station", "timing", "instant", StationIni().c_str());
    station.Click(res::IDC_DEVICE1);
    ASSERT_TRUE(station.WaitIdle());
    ASSERT_EQ(SendMessageW(station.Item(res::IDC_DEVICE1), BM_GETCHECK, 0, 0), BST_CHECKED);
  }

  std::string StationIni() const { return (station.Folder() / "station" / "station.ini").string(); }
  // The module in the socket of the first adapter.
  std::string Module() const { return Profile(StationIni(), "adapter usb", "module"); }
  std::filesystem::path ModuleFile(const std::string& memory) const {
    return station.Folder() / "station" / (Module() + "." + memory + ".bin");
  }
  void SetPath(const std::filesystem::path& file) {
    SetWindowTextW(station.Item(res::IDC_FIRMWARE_PATH), file.wstring().c_str());
  }

  StationProcess station;
};

TEST_F(StationWindow, SetAddrWritesTheStoredAddressAndCountsTheModule) {
  station.Click(res::IDC_SET_ADDR);
  ASSERT_TRUE(station.WaitIdle());
  EXPECT_TRUE(station.boxes.empty()) << Gbk(station.boxes.front());

  EXPECT_NE(station.LogJoined().find(L"写蓝牙地址成功! "), std::wstring::npos) << Gbk(station.LogJoined());
  EXPECT_EQ(station.Text(res::IDC_STATUS), L"写蓝牙地址成功! ");
  EXPECT_EQ(station.Text(res::IDC_CURRENT_LAP), L"00a200");
  EXPECT_EQ(station.Text(res::IDC_NEXT_LAP), L"00a201");
  EXPECT_EQ(station.Text(res::IDC_BURN_COUNT), L"5");

  const std::filesystem::path settings = station.Folder() / "btconfig.ini";
  EXPECT_EQ(Profile(settings, "address", "LAP"), "00a201");
  EXPECT_EQ(Profile(settings, "SUM", "total"), "5");

  const std::string module = "module " + Module();
  EXPECT_EQ(std::stoul(Profile(StationIni(), module.c_str(), "lap"), nullptr, 16), 0x00a200u);
  EXPECT_EQ(std::stoul(Profile(StationIni(), module.c_str(), "uap"), nullptr, 16), 0x5bu);
  EXPECT_EQ(std::stoul(Profile(StationIni(), module.c_str(), "nap"), nullptr, 16), 0x0002u);
}

TEST_F(StationWindow, BrunOnEepromWritesTheSampleIntoTheModule) {
  const std::filesystem::path sample = ProgramFolder() / "samples" / "sample_eeprom.bin";
  SetPath(sample);
  station.Click(res::IDC_BRUN);
  ASSERT_TRUE(station.WaitIdle());
  EXPECT_TRUE(station.boxes.empty()) << Gbk(station.boxes.front());

  EXPECT_NE(station.LogJoined().find(L"烧录BIN to EEPROM成功! "), std::wstring::npos) << Gbk(station.LogJoined());
  const std::string image = ReadWhole(sample);
  const std::string eeprom = ReadWhole(ModuleFile("eeprom"));
  ASSERT_FALSE(image.empty());
  ASSERT_GE(eeprom.size(), image.size());
  EXPECT_EQ(eeprom.substr(0, image.size()), image);
}

TEST_F(StationWindow, BrunOnSpiFlashRunsTheFlashToolAndRelaysItsOutput) {
  // At the realistic pace the tool's output comes in chunks as it works, so
  // the relay is seen over time, not as one chunk at the end.
  WritePrivateProfileStringA("station", "timing", "realistic", StationIni().c_str());
  WritePrivateProfileStringA("station", "program_ms", "1000", StationIni().c_str());
  station.Click(res::IDC_SPI_FLASH);
  ASSERT_TRUE(station.WaitIdle());
  const std::filesystem::path sample = ProgramFolder() / "samples" / "sample_spi.xuv";
  SetPath(sample);
  station.Click(res::IDC_BRUN);
  ASSERT_TRUE(station.WaitIdle());
  EXPECT_TRUE(station.boxes.empty()) << Gbk(station.boxes.front());

  const std::wstring log = station.LogJoined();
  // The child's own words, then the dialog's.
  EXPECT_NE(log.find(L"Burn complete."), std::wstring::npos) << Gbk(log);
  EXPECT_NE(log.find(L"flash烧录完成!"), std::wstring::npos) << Gbk(log);

  // Every word of the image lies at its address in the module's flash, low byte first.
  const std::string flash = ReadWhole(ModuleFile("spi_flash"));
  std::istringstream lines(ReadWhole(sample));
  std::string line;
  int words = 0;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] != '@') continue;
    std::istringstream fields(line.substr(1));
    uint32_t address = 0;
    uint32_t value = 0;
    fields >> std::hex >> address >> value;
    ASSERT_GE(flash.size(), 2 * address + 2) << line;
    const uint32_t stored = static_cast<uint8_t>(flash[2 * address]) | static_cast<uint8_t>(flash[2 * address + 1])
                                                                           << 8;
    EXPECT_EQ(stored, value) << line;
    ++words;
  }
  EXPECT_GT(words, 0);
}

}  // namespace
}  // namespace win32test
