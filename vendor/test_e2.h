// The TestE2 library: the module's I2C EEPROM over one transport of its own. 0 is success.
#pragma once

#include <cstdint>

namespace vendor {

class TestE2 {
 public:
  virtual ~TestE2() = default;

  virtual int32_t te2OpenTrans(const char* transport) = 0;
  virtual int32_t te2GetSize(uint32_t* kbit) = 0;
  virtual int32_t te2Program(const char* path, int32_t verify) = 0;
  virtual int32_t te2Dump(const char* path, int32_t verify) = 0;
  virtual int32_t te2Fill(uint16_t value, int32_t verify) = 0;
  virtual int32_t te2WriteBcHeader() = 0;
  virtual void te2Close() = 0;
};

}  // namespace vendor
