#include <gtest/gtest.h>

#include "platform/number_text.h"

namespace {

TEST(NumberText, ParseHexTakesEveryCharacterAsADigit) {
  const struct {
    const char* text;
    uint32_t value;
  } kCases[] = {
      {"00a1f3", 41459}, {"A1F3", 41459}, {"5b 7", 91},        {"123456789", 0}, {"", 0},
      {"ffffffff", 0xFFFFFFFFu}, {"5b\n7", 91}, {"g", 16},     {"z", 35},        {"1000000", 0x1000000},
      {"9e8b00", 0x9E8B00},
  };
  for (const auto& c : kCases) EXPECT_EQ(platform::ParseHex(c.text), c.value) << c.text;
}

TEST(NumberText, ParseDecimalWrapsAndTakesAnyCharacter) {
  const struct {
    const char* text;
    int32_t value;
  } kCases[] = {
      {"42", 42}, {"0042", 42}, {"4x", 112}, {"", 0}, {"9", 9}, {"10 5", 10}, {"2147483648", INT32_MIN},
  };
  for (const auto& c : kCases) EXPECT_EQ(platform::ParseDecimal(c.text), c.value) << c.text;
}

}  // namespace
