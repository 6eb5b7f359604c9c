#include "platform/number_text.h"

namespace platform {
namespace {

size_t DigitCount(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && text[n] != ' ' && text[n] != '\n' && text[n] != '\0') ++n;
  return n;
}

uint32_t Power(uint32_t base, size_t exponent) {
  uint32_t weight = 1;
  for (size_t i = 0; i < exponent; ++i) weight *= base;  // wraps, as the counter always did
  return weight;
}

}  // namespace

uint32_t ParseHex(std::string_view text) {
  size_t n = DigitCount(text);
  if (n == 0) return 0;
  uint32_t weight = Power(16, n - 1);
  uint32_t sum = 0;
  for (size_t i = 0; i < n; ++i) {
    auto c = static_cast<unsigned char>(text[i]);
    uint32_t digit = (c >= 'a' && c <= 'z') ? c - 87u : (c >= 'A' && c <= 'Z') ? c - 55u : c - 48u;
    sum += digit * weight;
    weight >>= 4;
  }
  return sum;
}

int32_t ParseDecimal(std::string_view text) {
  size_t n = DigitCount(text);
  if (n == 0) return 0;
  uint32_t weight = Power(10, n - 1);
  uint32_t sum = 0;
  for (size_t i = 0; i < n; ++i) {
    uint32_t digit = static_cast<unsigned char>(text[i]) - 48u;
    sum += digit * weight;
    weight /= 10;
  }
  return static_cast<int32_t>(sum);
}

}  // namespace platform
