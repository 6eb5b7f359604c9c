#include <gtest/gtest.h>

#include <filesystem>

#include "memory/eeprom_road.h"
#include "platform/file_system.h"
#include "tests/unit/memory_fixture.h"

namespace {

using memtest::Calls;
using memtest::kDevice1;
using memtest::kDevice2;
using memtest::MemoryTest;

class EepromRoad : public MemoryTest {
 protected:
  std::string DumpPath() const { return platform::JoinPath(platform::CurrentDirectory(), "EEPROMdump.bin"); }
};

TEST_F(EepromRoad, ProgramWritesTheImageAndShowsTheSize) {
  const struct {
    const char* what;
    const char* failing;
    Calls calls;
    const char* size;
    std::vector<std::string> boxes;
  } kCases[] = {
      {"burned", "",
       {{"Report", " "}, {"te2OpenTrans", kDevice1}, {"te2GetSize", ""}, {"te2Program", "fw\\app.bin,1"},
        {"Report", "烧录BIN to EEPROM成功! "}, {"te2Close", ""}},
       "256Kbit", {}},
      {"not written", "te2Program",
       {{"Report", " "}, {"te2OpenTrans", kDevice1}, {"te2GetSize", ""}, {"te2Program", "fw\\app.bin,1"},
        {"Report", "烧录BIN to EEPROM失败! "}, {"te2Close", ""}},
       "256Kbit", {}},
      {"not opened", "te2OpenTrans", {{"Report", " "}, {"te2OpenTrans", kDevice1}, {"te2Close", ""}}, "0Kbit",
       {memtest::kOpenFailed}},
  };
  for (const auto& c : kCases) {
    allCalls.clear();
    window.SetItemText(res::IDC_MEMORY_SIZE, "16Mbit");
    ChooseFirmware("fw\\app.bin");
    if (*c.failing) e2.Script(c.failing, 3);
    memory::ProgramEeprom(services, e2, kDevice1);
    EXPECT_EQ(allCalls, c.calls) << c.what;
    EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), c.size) << c.what;
    EXPECT_EQ(BoxTexts(), c.boxes) << c.what;
  }
}

TEST_F(EepromRoad, SizeShowsOnlyItsLow16Bits) {
  const struct {
    uint32_t kbit;
    const char* shown;
  } kSizes[] = {{256, "256Kbit"}, {65535, "65535Kbit"}, {65536 + 512, "512Kbit"}, {0xFFFFFFFF, "65535Kbit"}};
  Tick(res::IDC_DEVICE1);
  for (const auto& c : kSizes) {
    e2.sizeKbit = c.kbit;
    memory::EraseEeprom(services, e2, kDevice1);
    EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), c.shown) << c.kbit;
  }
}

TEST_F(EepromRoad, EmptyPathLeavesEverythingAlone) {
  window.SetItemText(res::IDC_MEMORY_SIZE, "4Mbit");
  memory::ProgramEeprom(services, e2, kDevice1);
  EXPECT_EQ(allCalls, (Calls{{"Report", "haven't .BIN file!!!"}}));
  EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "4Mbit");
}

TEST_F(EepromRoad, DumpReadsOneDeviceIntoTheWorkingFolder) {
  const struct {
    const char* what;
    bool device1, device2;
    std::vector<const char*> opened;
    bool device1After, device2After;
  } kCases[] = {
      {"both ticked: device 1 wins", true, true, {kDevice1}, true, false},
      {"device 2 only", false, true, {kDevice2}, false, true},
      {"neither ticked: nothing opened", false, false, {}, false, false},
  };
  for (const auto& c : kCases) {
    allCalls.clear();
    Tick(res::IDC_DEVICE1, c.device1);
    Tick(res::IDC_DEVICE2, c.device2);
    memory::DumpEeprom(services, e2, engine);
    Calls expected = {{"Report", " "}, {"openTestEngine", "2,\\\\.\\CSR0,0,0,100"}};
    for (const char* transport : c.opened) expected.push_back({"te2OpenTrans", transport});
    Calls rest = {{"te2GetSize", ""},    {"te2Dump", DumpPath() + ",1"}, {"Report", "读出EEPROM成功!"},
                  {"te2Close", ""},      {"closeTestEngine", std::to_string(engine.CallsOf("openTestEngine").size())}};
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(allCalls, expected) << c.what;
    EXPECT_EQ(Checked(res::IDC_DEVICE1), c.device1After) << c.what;
    EXPECT_EQ(Checked(res::IDC_DEVICE2), c.device2After) << c.what;
  }
}

TEST_F(EepromRoad, DumpFailures) {
  Tick(res::IDC_DEVICE1);
  e2.Script("te2Dump", 1);
  memory::DumpEeprom(services, e2, engine);
  EXPECT_EQ(Reports(), (std::vector<std::string>{" ", "读出EEPROM失败!"}));

  allCalls.clear();
  e2.Script("te2OpenTrans", 1);
  memory::DumpEeprom(services, e2, engine);
  EXPECT_EQ(allCalls, (Calls{{"Report", " "},
                             {"openTestEngine", "2,\\\\.\\CSR0,0,0,100"},
                             {"te2OpenTrans", kDevice1},
                             {"te2Close", ""},
                             {"closeTestEngine", "2"}}));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{memtest::kOpenFailed}));
}

TEST_F(EepromRoad, DumpLandsInALongWorkingFolder) {
  // Far past 200 bytes: the file still lands here, not at the root.
  std::filesystem::path deep = folder.path();
  for (int i = 0; i < 6; ++i) deep /= std::string(60, static_cast<char>('a' + i));
  std::filesystem::create_directories(deep);
  std::filesystem::current_path(deep);
  memory::DumpEeprom(services, e2, engine);
  ASSERT_EQ(e2.CallsOf("te2Dump").size(), 1u);
  EXPECT_EQ(e2.CallsOf("te2Dump")[0].args, platform::JoinPath(deep.string(), "EEPROMdump.bin") + ",1");
}

TEST_F(EepromRoad, EraseFillsThenWritesTheHeader) {
  const struct {
    const char* what;
    const char* failing;
    Calls afterSize;
  } kCases[] = {
      {"erased", "",
       {{"te2Fill", "65535,1"}, {"Report", "EEPROM\t擦除成功！"}, {"te2WriteBcHeader", ""},
        {"Report", "EEPROM\t写头文件成功！"}, {"te2Close", ""}}},
      {"fill ok, header failed", "te2WriteBcHeader",
       {{"te2Fill", "65535,1"}, {"Report", "EEPROM\t擦除成功！"}, {"te2WriteBcHeader", ""},
        {"Report", "EEPROM\t写头文件失败！"}, {"te2Close", ""}}},
      {"fill failed: no header", "te2Fill",
       {{"te2Fill", "65535,1"}, {"Report", "EEPROM\t擦除失败！"}, {"te2Close", ""}}},
  };
  for (const auto& c : kCases) {
    allCalls.clear();
    if (*c.failing) e2.Script(c.failing, 4);
    memory::EraseEeprom(services, e2, kDevice2);
    Calls expected = {{"Report", " "}, {"te2OpenTrans", kDevice2}, {"te2GetSize", ""}};
    expected.insert(expected.end(), c.afterSize.begin(), c.afterSize.end());
    EXPECT_EQ(allCalls, expected) << c.what;
  }
  allCalls.clear();
  e2.Script("te2OpenTrans", 1);
  memory::EraseEeprom(services, e2, kDevice2);
  EXPECT_EQ(allCalls, (Calls{{"Report", " "}, {"te2OpenTrans", kDevice2}, {"te2Close", ""}}));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{memtest::kOpenFailed}));
}

}  // namespace
