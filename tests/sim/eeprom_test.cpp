// TestE2: the EEPROM image written, read back into a dump file, filled and
// given its header.
#include <string>

#include "tests/sim/sim_fixture.h"

namespace simtest {
namespace {

constexpr const char* kUsb = "SPITRANS=USB SPIPORT=0";
constexpr const char* kLpt = "SPITRANS=LPT SPIPORT=1";

using Eeprom = StationTest;

TEST_F(Eeprom, SizeOfEachModule) {
  uint32_t kbit = 0;
  ASSERT_EQ(api.te2OpenTrans(kUsb), 0);
  api.te2GetSize(&kbit);
  EXPECT_EQ(kbit, 256u);
  api.te2Close();
  ASSERT_EQ(api.te2OpenTrans(kLpt), 0);
  api.te2GetSize(&kbit);
  EXPECT_EQ(kbit, 512u);
}

TEST_F(Eeprom, ProgrammedImageComesBackInTheDumpAfterReopening) {
  const std::string image("\x5a\xa5\x01\x00\x00\x01\xff\x00hello!", 14);
  WriteFile("fw.bin", image);
  ASSERT_EQ(api.te2OpenTrans(kUsb), 0);
  ASSERT_EQ(api.te2Program("fw.bin", 1), 0);
  api.te2Close();

  ASSERT_EQ(api.te2OpenTrans(kUsb), 0);
  ASSERT_EQ(api.te2Dump("EEPROMdump.bin", 1), 0);
  std::string dump = ReadFile("EEPROMdump.bin");
  ASSERT_EQ(dump.size(), 256u * 1024 / 8);
  EXPECT_EQ(dump.substr(0, image.size()), image);
  EXPECT_EQ(dump.substr(image.size()), std::string(dump.size() - image.size(), '\xff'));
}

TEST_F(Eeprom, BadImagesAreRefused) {
  Set("module bc5", "eeprom_kbit", "1");  // 128 bytes
  ASSERT_EQ(api.te2OpenTrans(kUsb), 0);
  const struct {
    const char* what;
    std::string content;
  } kBad[] = {{"empty", ""}, {"odd length", "abc"}, {"larger than the part", std::string(130, 'x')}};
  EXPECT_NE(api.te2Program("missing.bin", 1), 0);
  for (const auto& c : kBad) {
    WriteFile("bad.bin", c.content);
    EXPECT_NE(api.te2Program("bad.bin", 1), 0) << c.what;
  }
  WriteFile("full.bin", std::string(128, 'x'));
  EXPECT_EQ(api.te2Program("full.bin", 1), 0) << "exactly the part's size";
}

TEST_F(Eeprom, FillThenHeader) {
  Set("module bc5", "eeprom_kbit", "1");
  ASSERT_EQ(api.te2OpenTrans(kUsb), 0);
  WriteFile("fw.bin", std::string(128, '\x11'));
  ASSERT_EQ(api.te2Program("fw.bin", 1), 0);
  ASSERT_EQ(api.te2Fill(0xffff, 1), 0);
  ASSERT_EQ(api.te2Dump("d.bin", 1), 0);
  EXPECT_EQ(ReadFile("d.bin"), std::string(128, '\xff'));
  ASSERT_EQ(api.te2WriteBcHeader(), 0);
  ASSERT_EQ(api.te2Dump("d.bin", 1), 0);
  // Marker, version, size in kilobits, and their exclusive or.
  EXPECT_EQ(ReadFile("d.bin").substr(0, 8), std::string("\x5a\xa5\x01\x00\x01\x00\x5a\xa5", 8));
  ASSERT_EQ(api.te2Fill(0x1234, 0), 0);
  ASSERT_EQ(api.te2Dump("d.bin", 0), 0);
  EXPECT_EQ(ReadFile("d.bin").substr(0, 4), "\x34\x12\x34\x12");
}

TEST_F(Eeprom, NothingWorksWithoutAnOpenTransport) {
  uint32_t kbit = 0;
  EXPECT_NE(api.te2OpenTrans("SPITRANS=USB SPIPORT=3"), 0);
  api.te2GetSize(&kbit);
  EXPECT_EQ(kbit, 0u);
  EXPECT_NE(api.te2Dump("d.bin", 1), 0);
  EXPECT_NE(api.te2Fill(0xffff, 1), 0);
  EXPECT_NE(api.te2WriteBcHeader(), 0);
  Set("module bc7", "eeprom_kbit", "0");
  ASSERT_EQ(api.te2OpenTrans(kLpt), 0);
  EXPECT_NE(api.te2Fill(0xffff, 1), 0) << "no EEPROM fitted";
}

}  // namespace
}  // namespace simtest
