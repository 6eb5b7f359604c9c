// The TestFlash library: flash programming over one transport of its own.
// 0 is success, except flGetAvailableSpiPorts, which answers 1.
#pragma once

#include <cstdint>

namespace vendor {

class TestFlash {
 public:
  virtual ~TestFlash() = default;

  virtual int32_t flGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count) = 0;
  virtual int32_t flInitTrans(const char* transport, int32_t a, int32_t b) = 0;
  virtual int32_t flStopProcessor() = 0;
  virtual int32_t flSetFlashType(int32_t type) = 0;
  virtual int32_t flReadProgramFiles(const char* path) = 0;
  virtual int32_t flProgramSpawn() = 0;
  virtual int32_t flProgramBlock() = 0;
  virtual int32_t flGetProgress() = 0;
  virtual int32_t flGetLastError() = 0;
  virtual int32_t flGetDownloadTime() = 0;
  virtual int32_t flGetFlashInfo(uint32_t* sector, uint32_t* sizeMbit, uint32_t* manufacturerId,
                                 uint32_t* deviceId) = 0;
  virtual int32_t flErase() = 0;
  virtual int32_t flResetAndStart() = 0;
  virtual void flClose() = 0;
};

}  // namespace vendor
