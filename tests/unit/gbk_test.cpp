#include <gtest/gtest.h>

#include "platform/gbk.h"

namespace {

TEST(Gbk, RoundTripsChineseAndAscii) {
  const std::string gbk = "烧录BIN to EEPROM成功! ";  // this file is compiled to GBK
  ASSERT_EQ(gbk.size(), 23u);                      // four characters of two bytes each
  std::string utf8 = platform::GbkToUtf8(gbk);
  EXPECT_EQ(utf8, "\xE7\x83\xA7\xE5\xBD\x95" "BIN to EEPROM" "\xE6\x88\x90\xE5\x8A\x9F" "! ");
  EXPECT_EQ(platform::Utf8ToGbk(utf8), gbk);
}

TEST(Gbk, BytesThatAreNotGbkDoNotStopTheConversion) {
  EXPECT_EQ(platform::GbkToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(platform::Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b");  // no emoji in GBK
}

}  // namespace
