// What the ledger asks of a file's place before it trusts a counter there.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_place.h"
#include "tests/support/temp_directory.h"

namespace {

TEST(FilePlace, HardLinksAreCountedAndALocalFolderIsNoNetworkOne) {
  fakes::TempWorkingDirectory folder;
  folder.Write("btconfig.ini", "");
  EXPECT_EQ(platform::HardLinkCount("btconfig.ini"), 1u);
  std::filesystem::create_hard_link("btconfig.ini", "other.ini");
  EXPECT_EQ(platform::HardLinkCount("btconfig.ini"), 2u);
  EXPECT_EQ(platform::HardLinkCount("missing.ini"), 0u);
  EXPECT_FALSE(platform::OnNetworkFileSystem("btconfig.ini"));
  EXPECT_FALSE(platform::OnNetworkFileSystem("production.db"));  // missing: its folder is asked
#ifdef _WIN32
  // A share named by its server: another machine's file, reachable or not.
  EXPECT_TRUE(platform::OnNetworkFileSystem("\\\\line-server\\station\\btconfig.ini"));
#endif
}

}  // namespace
