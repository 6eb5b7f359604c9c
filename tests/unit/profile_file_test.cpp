#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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

// Damage that hand edits and copies between machines bring to CRLF files.
TEST_F(ProfileFile, LineEndsAndAByteOrderMarkReadAsTheLinePcsReadThem) {
  const struct {
    const char* content;
    const char* section;
    const char* key;
    const char* value;
  } kFiles[] = {
      {"[address]\r\nLAP=00a1ff\r\r\n", "address", "LAP", "00a1ff"},  // a CR doubled before the LF
      {"[SUM]\r\ntotal=9\r\r\n", "SUM", "total", "9"},
      {"[SUM]\rtotal=9\r[address]\rLAP=00a1ff\r", "address", "LAP", "00a1ff"},  // CR alone
      {"[SUM]\rtotal=9\r[address]\rLAP=00a1ff\r", "SUM", "total", "9"},
      {"[SUM]\r\ntotal=7\r", "SUM", "total", "7"},
      {"\xEF\xBB\xBF[SUM]\r\ntotal=5\r\n", "SUM", "total", "5"},  // saved by an editor with a BOM
      {"[address] x]\r\nNAP=0002\r\n", "address] x", "NAP", "0002"},  // to the last ']'
      {"[address] x]\r\nNAP=0002\r\n", "address", "NAP", ""},
      {"[address]junk\r\nNAP=0002\r\n", "address", "NAP", "0002"},  // text after ']' is ignored
  };
  for (const auto& c : kFiles) {
    folder.Write("btconfig.ini", c.content);
    EXPECT_EQ(Read(c.section, c.key), c.value) << testing::PrintToString(c.content);
  }
}

TEST_F(ProfileFile, WriteKeepsTheByteOrderMarkAndFindsTheSectionBehindIt) {
  folder.Write("btconfig.ini", "\xEF\xBB\xBF[SUM]\r\ntotal=5\r\n");
  ASSERT_TRUE(WriteProfileString("SUM", "total", "6", "./btconfig.ini"));
  EXPECT_EQ(folder.Read("btconfig.ini"), "\xEF\xBB\xBF[SUM]\r\ntotal=6\r\n");
}

TEST_F(ProfileFile, WriteAfterALoneCarriageReturnKeepsTheOtherLines) {
  folder.Write("btconfig.ini", "[address]\rLAP=00a1ff\r\r\n[SUM]\r\ntotal=9\r\n");
  ASSERT_TRUE(WriteProfileString("address", "LAP", "00a200", "./btconfig.ini"));
  EXPECT_EQ(folder.Read("btconfig.ini"), "[address]\rLAP=00a200\r\r\n[SUM]\r\ntotal=9\r\n");
}

TEST_F(ProfileFile, AValueOrNameWithALineEndIsNeverWritten) {
  folder.Write("btconfig.ini", "[SUM]\r\ntotal=1\r\n");
  EXPECT_FALSE(WriteProfileString("SUM", "total", "2\r\n[address]", "./btconfig.ini"));
  EXPECT_FALSE(WriteProfileString("SUM", "to\ntal", "2", "./btconfig.ini"));
  EXPECT_EQ(folder.Read("btconfig.ini"), "[SUM]\r\ntotal=1\r\n");
}

TEST_F(ProfileFile, SeveralKeysChangeInOneWrite) {
  folder.Write("btconfig.ini", "[SUM]\r\ntotal=9\r\n[address]\r\nLAP=00a1ff\r\n");
  const platform::ProfileEntry entries[] = {{"address", "LAP", "00a200"}, {"SUM", "total", "10"}};
  ASSERT_TRUE(platform::WriteProfileStrings(entries, "./btconfig.ini", platform::RenameSync::Later));
  EXPECT_EQ(folder.Read("btconfig.ini"), "[SUM]\r\ntotal=10\r\n[address]\r\nLAP=00a200\r\n");
}

// A counter shared through a link must change where the link points, and the
// link must stay a link.
TEST_F(ProfileFile, WriteThroughALinkChangesTheFileItPointsTo) {
#ifdef _WIN32
  GTEST_SKIP() << "a symbolic link needs a privilege on Windows, and its C++ library cannot make one";
#endif
  std::filesystem::create_directory("shared");
  folder.Write("shared/btconfig.ini", "[SUM]\r\ntotal=1\r\n");
  std::filesystem::create_symlink("shared/btconfig.ini", "btconfig.ini");
  ASSERT_TRUE(WriteProfileString("SUM", "total", "2", "./btconfig.ini"));
  EXPECT_TRUE(std::filesystem::is_symlink("btconfig.ini"));
  EXPECT_EQ(folder.Read("shared/btconfig.ini"), "[SUM]\r\ntotal=2\r\n");
  EXPECT_EQ(Read("SUM", "total"), "2");
  EXPECT_FALSE(std::filesystem::exists("btconfig.ini.tmp"));
}

// A write cut short before its rename leaves its temporary file; the next
// write takes it over instead of adding another one.
TEST_F(ProfileFile, AnInterruptedWritesLeftoverIsTakenOverByTheNext) {
  folder.Write("btconfig.ini", "[SUM]\r\ntotal=1\r\n");
  folder.Write("btconfig.ini.tmp", "[SUM]\r\ntot");
  ASSERT_TRUE(WriteProfileString("SUM", "total", "2", "./btconfig.ini"));
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"btconfig.ini"});
  EXPECT_EQ(folder.Read("btconfig.ini"), "[SUM]\r\ntotal=2\r\n");
}

TEST_F(ProfileFile, WriteIntoAMissingFolderFailsAndSaysSo) {
  EXPECT_FALSE(WriteProfileString("SUM", "total", "1", "./no/such/folder/btconfig.ini"));
}

}  // namespace
