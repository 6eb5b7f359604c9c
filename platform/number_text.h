// Text to number, as the settings file and the address fields need it: no
// validation, no failure. Both stop at the first blank or line feed.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// Every character counts as a digit: 'a'..'z' from 10, 'A'..'Z' from 10, anything
// else its code minus '0'. Nine or more characters wrap the weight to 0.
uint32_t ParseHex(std::string_view text);
// Every character's digit is its code minus '0'; 32-bit wrapping arithmetic.
int32_t ParseDecimal(std::string_view text);

}  // namespace platform
