// A TestFlash that keeps every call and answers what the test scripted.
// Every call answers 0 (success), flGetAvailableSpiPorts 1, flGetProgress the
// next of `progress` (100 when none is left).
#pragma once

#include <deque>
#include <string>

#include "tests/support/call_log.h"
#include "tests/support/recording_test_engine.h"
#include "vendor/test_flash.h"

namespace fakes {

class RecordingTestFlash : public vendor::TestFlash, public CallLog {
 public:
  std::string portNames, portTransports;
  uint16_t portCount = 0;
  std::deque<int32_t> progress;
  int32_t downloadTimeMs = 1234;
  uint32_t sector = 0, sizeMbit = 0, manufacturerId = 0, deviceId = 0;

  int32_t flGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count) override {
    int32_t result = static_cast<int32_t>(Record("flGetAvailableSpiPorts", 1, *length));
    if (result != 1) return result;
    return RecordingTestEngine::FillPorts(portNames, portTransports, portCount, length, names, transports, count);
  }
  int32_t flInitTrans(const char* transport, int32_t a, int32_t b) override { return Status("flInitTrans", transport, a, b); }
  int32_t flStopProcessor() override { return Status("flStopProcessor"); }
  int32_t flSetFlashType(int32_t type) override { return Status("flSetFlashType", type); }
  int32_t flReadProgramFiles(const char* path) override { return Status("flReadProgramFiles", path); }
  int32_t flProgramSpawn() override { return Status("flProgramSpawn"); }
  int32_t flProgramBlock() override { return Status("flProgramBlock"); }
  int32_t flGetProgress() override {
    int32_t next = 100;
    if (!progress.empty()) {
      next = progress.front();
      progress.pop_front();
    }
    return static_cast<int32_t>(Record("flGetProgress", next));
  }
  int32_t flGetLastError() override { return Status("flGetLastError"); }
  int32_t flGetDownloadTime() override { return static_cast<int32_t>(Record("flGetDownloadTime", downloadTimeMs)); }
  int32_t flGetFlashInfo(uint32_t* sec, uint32_t* size, uint32_t* mid, uint32_t* devId) override {
    int32_t result = Status("flGetFlashInfo");
    if (result == 0) {
      *sec = sector;
      *size = sizeMbit;
      *mid = manufacturerId;
      *devId = deviceId;
    }
    return result;
  }
  int32_t flErase() override { return Status("flErase"); }
  int32_t flResetAndStart() override { return Status("flResetAndStart"); }
  void flClose() override { Record("flClose", 0); }

 private:
  template <typename... Args>
  int32_t Status(const std::string& name, const Args&... args) {
    return static_cast<int32_t>(Record(name, 0, args...));
  }
};

}  // namespace fakes
