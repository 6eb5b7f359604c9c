#include <gtest/gtest.h>

#include <filesystem>

#include "platform/profile_file.h"
#include "tests/support/temp_directory.h"

namespace {

using platform::ReadProfileString;
using platform::WriteProfileString;

class ProfileFile : public ::testing::Test {
 protected:
  std::string Read(const char* section, const char* key, size_t size = 64) {
    return ReadProfileString(section, key, size, "./btconfig.ini");
  }
  fakes::TempWorkingDirectory folder;
};

TEST_F(ProfileFile, MissingFileSectionOrKeyReadsEmpty) {
  EXPECT_EQ(Read("address", "LAP"), "");
  folder.Write("btconfig.ini", "[address]\r\nNAP=0002\r\n");
  EXPECT_EQ(Read("address", "LAP"), "");
  EXPECT_EQ(Read("SUM", "total"), "");
  EXPECT_EQ(Read("address", "NAP"), "0002");
}

TEST_F(ProfileFile, ReadsAHandEditedFileAsTheLinePcsDo) {
  folder.Write("btconfig.ini",
               "; counter for line 3\n"
               "[Address]\n"
               "  nap =  0002  \n"
               "UAP=\"5b\"\n"
               "LAP='00a1ff'\n"
               "junk line\n"
               ";LAP=ffffff\n"
               "LAP=999999\n"
               "[address]\n"
               "NAP=ffff\n"
               "[SUM]\n"
               "total=9\n");
  EXPECT_EQ(Read("address", "NAP"), "0002");
  EXPECT_EQ(Read("ADDRESS", "uap"), "5b");
  EXPECT_EQ(Read("address", "LAP"), "00a1ff");  // the first of two equal keys wins
  EXPECT_EQ(Read("sum", "TOTAL"), "9");
}

TEST_F(ProfileFile, ValueIsCutToTheBufferLessOne) {
  folder.Write("btconfig.ini", "[address]\r\nLAP=0123456789abcdef0123456789abcdef0123\r\n");
  EXPECT_EQ(Read("address", "LAP", 32), "0123456789abcdef0123456789abcde");
  EXPECT_EQ(Read("address", "LAP", 128), "0123456789abcdef0123456789abcdef0123");
  EXPECT_EQ(Read("address", "LAP", 1), "");
}

TEST_F(ProfileFile, WriteCreatesFileSectionAndKey) {
  ASSERT_TRUE(WriteProfileString("SUM", "total", "0", "./btconfig.ini"));
  EXPECT_EQ(folder.Read("btconfig.ini"), "[SUM]\r\ntotal=0\r\n");
  ASSERT_TRUE(WriteProfileString("address", "LAP", "00a200", "./btconfig.ini"));
  ASSERT_TRUE(WriteProfileString("SUM", "when", "now", "./btconfig.ini"));
  EXPECT_EQ(folder.Read("btconfig.ini"), "[SUM]\r\ntotal=0\r\nwhen=now\r\n[address]\r\nLAP=00a200\r\n");
}

TEST_F(ProfileFile, WriteChangesOnlyThatLineAndKeepsLineEndings) {
  const std::string before =
      "; keep me\n[address]\nNAP = 0002\nLAP = 00a1ff   \nUAP=5b\n\n[SUM]\ntotal=9";
  folder.Write("btconfig.ini", before);
  ASSERT_TRUE(WriteProfileString("address", "lap", "00a200", "./btconfig.ini"));
  EXPECT_EQ(folder.Read("btconfig.ini"), "; keep me\n[address]\nNAP = 0002\nLAP=00a200\nUAP=5b\n\n[SUM]\ntotal=9");
  ASSERT_TRUE(WriteProfileString("SUM", "total", "10", "./btconfig.ini"));
  EXPECT_EQ(folder.Read("btconfig.ini"), "; keep me\n[address]\nNAP = 0002\nLAP=00a200\nUAP=5b\n\n[SUM]\ntotal=10");

  folder.Write("btconfig.ini", "[SUM]\r\ntotal=1\r\n[PIO]\r\npio_1=a\r\n");
  ASSERT_TRUE(WriteProfileString("SUM", "total", "2", "./btconfig.ini"));
  EXPECT_EQ(folder.Read("btconfig.ini"), "[SUM]\r\ntotal=2\r\n[PIO]\r\npio_1=a\r\n");
}

TEST_F(ProfileFile, NewKeyGoesAfterTheSectionsLastKeyNotAfterItsBlankLines) {
  folder.Write("btconfig.ini", "[address]\nNAP=0002\n\n[SUM]\ntotal=3\n");
  ASSERT_TRUE(WriteProfileString("address", "LAP", "000001", "./btconfig.ini"));
  EXPECT_EQ(folder.Read("btconfig.ini"), "[address]\nNAP=0002\nLAP=000001\n\n[SUM]\ntotal=3\n");
}

TEST_F(ProfileFile, WriteLeavesNoTemporaryFilesBehind) {
  ASSERT_TRUE(WriteProfileString("SUM", "total", "1", "./btconfig.ini"));
  ASSERT_TRUE(WriteProfileString("SUM", "total", "2", "./btconfig.ini"));
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_EQ(entry.path().filename(), "btconfig.ini");
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(ProfileFile, WriteIntoAMissingFolderFailsAndSaysSo) {
  EXPECT_FALSE(WriteProfileString("SUM", "total", "1", "./no/such/folder/btconfig.ini"));
}

}  // namespace
