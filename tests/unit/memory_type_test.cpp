#include <gtest/gtest.h>

#include "memory/flash_info.h"
#include "memory/memory_type.h"
#include "tests/unit/memory_fixture.h"

namespace {

using memory::MemoryType;
using memtest::Calls;
using memtest::MemoryTest;

class MemoryBoxes : public MemoryTest {};

TEST_F(MemoryBoxes, AClickLeavesTheChosenTypeTickedAndTheOtherOneNot) {
  const struct {
    const char* what;
    bool eeprom, spi, parallel;  // before the click
    int clicked;
    bool eepromAfter, spiAfter, parallelAfter;
    MemoryType type;
  } kCases[] = {
      {"EEPROM again", true, false, false, res::IDC_EEPROM, true, false, false, MemoryType::Eeprom},
      {"SPI again", false, true, false, res::IDC_SPI_FLASH, false, true, false, MemoryType::SpiFlash},
      {"EEPROM to SPI", true, false, false, res::IDC_SPI_FLASH, false, true, false, MemoryType::SpiFlash},
      {"SPI to EEPROM", false, true, false, res::IDC_EEPROM, true, false, false, MemoryType::Eeprom},
      {"parallel ticked", true, false, false, res::IDC_PARALLEL_FLASH, false, false, true, MemoryType::ParallelFlash},
      {"parallel unticked", false, false, true, res::IDC_PARALLEL_FLASH, false, false, false,
       MemoryType::ParallelFlash},
      {"parallel stays beside EEPROM", false, false, true, res::IDC_EEPROM, true, false, true, MemoryType::Eeprom},
      {"parallel stays beside SPI", false, false, true, res::IDC_SPI_FLASH, false, true, true, MemoryType::SpiFlash},
  };
  for (const auto& c : kCases) {
    SetMemoryBoxes(c.eeprom, c.spi, c.parallel);
    Click(c.clicked);
    EXPECT_EQ(Checked(res::IDC_EEPROM), c.eepromAfter) << c.what;
    EXPECT_EQ(Checked(res::IDC_SPI_FLASH), c.spiAfter) << c.what;
    EXPECT_EQ(Checked(res::IDC_PARALLEL_FLASH), c.parallelAfter) << c.what;
    EXPECT_EQ(memory::SelectedMemory(dialog), c.type) << c.what;
  }
  // No device is ticked: nothing is asked of any library and no text changes.
  EXPECT_TRUE(allCalls.empty());
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "");
}

TEST_F(MemoryBoxes, FlashChoiceReadsEachTickedDeviceDevice1First) {
  flash.sizeMbit = 0x10010;  // only the low 16 bits are shown: 16
  flash.manufacturerId = 0xbf;
  flash.deviceId = 0x2541;
  flash.sector = 0x12345;
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  Calls expected;
  for (const char* transport : {memtest::kDevice1, memtest::kDevice2}) {
    Calls one = {{"Report", ""},
                 {"flInitTrans", std::string(transport) + ",26,2"},
                 {"flStopProcessor", ""},
                 {"flSetFlashType", "2"},
                 {"flGetFlashInfo", ""},
                 {"Report", " 16Mbit,MId:0xbf,DevId:0x2541,Sec:0x2345"},
                 {"flResetAndStart", ""},
                 {"flResetAndStart", ""},
                 {"flResetAndStart", ""},
                 {"flResetAndStart", ""},
                 {"flResetAndStart", ""},
                 {"Report", "复位成功!"},
                 {"flClose", ""}};
    expected.insert(expected.end(), one.begin(), one.end());
  }
  for (bool spi : {true, false}) {
    allCalls.clear();
    window.SetItemText(res::IDC_MEMORY_SIZE, "");
    if (spi) commands().OnSpiFlash();
    else commands().OnParallelFlash();
    EXPECT_EQ(allCalls, expected) << spi;
    EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "16Mbit");
  }
}

TEST_F(MemoryBoxes, FlashInformationFailures) {
  const struct {
    const char* what;
    const char* failing;
    int64_t result;
    Calls calls;
  } kCases[] = {
      {"transport refused", "flInitTrans", 3, {{"Report", ""}, {"flInitTrans", "SPITRANS=USB SPIPORT=0,26,2"}, {"flClose", ""}}},
      {"information not read",
       "flGetFlashInfo",
       1,
       {{"Report", ""}, {"flInitTrans", "SPITRANS=USB SPIPORT=0,26,2"}, {"flStopProcessor", ""}, {"flSetFlashType", "2"},
        {"flGetFlashInfo", ""}, {"Report", "读flash信息出错!"}, {"flResetAndStart", ""}, {"flClose", ""}}},
  };
  for (const auto& c : kCases) {
    allCalls.clear();
    flash.Script(c.failing, c.result);
    memory::QueryFlashInfo(services, flash, memtest::kDevice1);
    EXPECT_EQ(allCalls, c.calls) << c.what;
    EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "") << c.what;
  }
}

TEST_F(MemoryBoxes, ResetIsConfirmedOnlyWhenTheFifthResetSucceeds) {
  flash.sizeMbit = 8;
  for (int i = 0; i < 4; ++i) flash.Script("flResetAndStart", 0);
  flash.Script("flResetAndStart", 5);
  memory::QueryFlashInfo(services, flash, memtest::kDevice1);
  EXPECT_EQ(Reports(), (std::vector<std::string>{"", " 8Mbit,MId:0x0,DevId:0x0,Sec:0x0"}));

  allCalls.clear();
  for (int i = 0; i < 4; ++i) flash.Script("flResetAndStart", 9);  // the first four are not examined
  memory::QueryFlashInfo(services, flash, memtest::kDevice1);
  EXPECT_EQ(Reports().back(), "复位成功!");
}

TEST_F(MemoryBoxes, ChoosingEepromAgainKeepsTheFlashSize) {
  flash.sizeMbit = 4;
  Tick(res::IDC_DEVICE1);
  Click(res::IDC_SPI_FLASH);
  allCalls.clear();
  Click(res::IDC_EEPROM);
  EXPECT_TRUE(allCalls.empty());
  EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "4Mbit");
}

}  // namespace
