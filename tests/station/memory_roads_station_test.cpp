#include "tests/station/memory_station_fixture.h"

namespace {

using station::MemoryStation;
using station::ReadWhole;
using station::Words;

TEST_F(MemoryStation, EepromBurnThenDumpGivesTheImageBack) {
  SetMemoryBoxes(true, false);
  TickDevices(true, false);
  ChooseFirmware(Sample("sample_eeprom.bin"));
  commands().OnBrun();
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "烧录BIN to EEPROM成功! ");
  EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "256Kbit");

  commands().OnDump();
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "读出EEPROM成功!");
  const std::string image = ReadWhole(Sample("sample_eeprom.bin"));
  const std::string dump = ReadWhole(folder.path() + "/EEPROMdump.bin");
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(dump.size(), 256u * 1024 / 8);
  EXPECT_EQ(dump.substr(0, image.size()), image);
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(MemoryStation, EepromEraseWritesAFreshHeaderOnBothDevices) {
  SetMemoryBoxes(true, false);
  TickDevices(true, true);
  commands().OnErase();
  EXPECT_EQ(window.statuses, (std::vector<std::string>{" ", "EEPROM\t擦除成功！", "EEPROM\t写头文件成功！", " ",
                                                       "EEPROM\t擦除成功！", "EEPROM\t写头文件成功！"}));
  EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "512Kbit");  // device 2's module
}

TEST_F(MemoryStation, SpiFlashBurnThroughTheToolThenDumpGivesTheImageBack) {
  UseTool(NVSCMD);
  TickDevices(true, false);
  window.SetCheck(res::IDC_SPI_FLASH, dialog::kBstChecked);
  commands().OnSpiFlash();
  EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "8Mbit");
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "复位成功!");

  ChooseFirmware(Sample("sample_spi.xuv"));
  commands().OnBrun();
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "flash烧录完成!");
  EXPECT_GT(window.statuses.size(), 6u);  // the tool's own lines came through

  commands().OnDump();
  const auto image = Words(Sample("sample_spi.xuv"));
  ASSERT_FALSE(image.empty());
  EXPECT_EQ(Words(folder.path() + "/flashdump.xuv"), image);

  commands().OnErase();
  commands().OnDump();
  EXPECT_TRUE(Words(folder.path() + "/flashdump.xuv").empty());
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(MemoryStation, ParallelFlashBurnLeavesTheImageInTheFlash) {
  SetMemoryBoxes(false, false);
  TickDevices(true, false);
  ChooseFirmware(Sample("sample_parallel.xpv"));
  commands().OnBrun();
  EXPECT_TRUE(Shown("flash烧录完成!"));
  EXPECT_EQ(window.ItemText(res::IDC_STATUS).rfind("下载时间: ", 0), 0u) << window.ItemText(res::IDC_STATUS);

  const std::string flash = ReadWhole(folder.path() + "/station/bc5.parallel_flash.bin");
  for (const auto& [address, value] : Words(Sample("sample_parallel.xpv"))) {
    ASSERT_LT(2 * address + 1, flash.size());
    uint16_t stored = static_cast<uint8_t>(flash[2 * address]) | static_cast<uint8_t>(flash[2 * address + 1]) << 8;
    EXPECT_EQ(stored, value) << address;
  }

  commands().OnErase();
  EXPECT_EQ(window.ItemText(res::IDC_STATUS), "flash擦除成功!");
}

}  // namespace
