// The chip libraries with a clock around every call: each call goes on to the
// real library, and the wall time, CPU time and fsyncs spent inside it are
// added up, so that a press of the program splits into the libraries' share
// and the program's own.
#pragma once

#include <cstdint>
#include <type_traits>

#include "bench/process_counters.h"
#include "vendor/test_e2.h"
#include "vendor/test_engine.h"

namespace bench {

struct InsideLibraries {
  int64_t wallNs = 0;
  int64_t cpuNs = 0;
  uint64_t fsyncs = 0;
  uint64_t fsyncNs = 0;
};

class LibraryClock {
 public:
  explicit LibraryClock(const FsyncCounter& counter) : counter_(counter) {}

  template <typename Call>
  auto Time(Call call) {
    Start();
    if constexpr (std::is_void_v<decltype(call())>) {
      call();
      Stop();
    } else {
      auto result = call();
      Stop();
      return result;
    }
  }
  // Everything spent inside the libraries so far.
  const InsideLibraries& inside() const { return inside_; }

 private:
  void Start();
  void Stop();

  const FsyncCounter& counter_;
  InsideLibraries inside_;
  InsideLibraries started_;
};

class TimedTestEngine : public vendor::TestEngine {
 public:
  TimedTestEngine(vendor::TestEngine& inner, LibraryClock& clock) : inner_(inner), clock_(clock) {}

  uint32_t openTestEngine(int32_t bus, const char* device, int32_t dataRate, int32_t retryTimeMs,
                          int32_t usbTimeoutMs) override {
    return clock_.Time([&] { return inner_.openTestEngine(bus, device, dataRate, retryTimeMs, usbTimeoutMs); });
  }
  uint32_t openTestEngineSpiTrans(const char* transport, int32_t multi) override {
    return clock_.Time([&] { return inner_.openTestEngineSpiTrans(transport, multi); });
  }
  uint32_t openTestEngineSpi(int32_t port, int32_t multi, int32_t transport) override {
    return clock_.Time([&] { return inner_.openTestEngineSpi(port, multi, transport); });
  }
  int32_t closeTestEngine(uint32_t handle) override {
    return clock_.Time([&] { return inner_.closeTestEngine(handle); });
  }
  int32_t teGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count) override {
    return clock_.Time([&] { return inner_.teGetAvailableSpiPorts(length, names, transports, count); });
  }
  int32_t psReadBdAddr(uint32_t handle, uint32_t* lap, uint8_t* uap, uint16_t* nap) override {
    return clock_.Time([&] { return inner_.psReadBdAddr(handle, lap, uap, nap); });
  }
  int32_t psWriteBdAddr(uint32_t handle, uint32_t lap, uint32_t uap, uint32_t nap) override {
    return clock_.Time([&] { return inner_.psWriteBdAddr(handle, lap, uap, nap); });
  }
  int32_t psWrite(uint32_t handle, uint16_t key, uint16_t store, uint16_t length, const uint16_t* words) override {
    return clock_.Time([&] { return inner_.psWrite(handle, key, store, length, words); });
  }
  int32_t bccmdGetChipVersion(uint32_t handle, uint16_t* version) override {
    return clock_.Time([&] { return inner_.bccmdGetChipVersion(handle, version); });
  }
  int32_t bccmdSetColdReset(uint32_t handle, int32_t delay) override {
    return clock_.Time([&] { return inner_.bccmdSetColdReset(handle, delay); });
  }
  int32_t psWriteXtalFtrim(uint32_t handle, uint32_t trim) override {
    return clock_.Time([&] { return inner_.psWriteXtalFtrim(handle, trim); });
  }
  int32_t psReadXtalOffset(uint32_t handle, int16_t* offset) override {
    return clock_.Time([&] { return inner_.psReadXtalOffset(handle, offset); });
  }
  int32_t psWriteXtalOffset(uint32_t handle, int16_t offset) override {
    return clock_.Time([&] { return inner_.psWriteXtalOffset(handle, offset); });
  }
  int32_t bccmdMapPio32(uint32_t handle, uint32_t mask, uint32_t pios, uint32_t* refused) override {
    return clock_.Time([&] { return inner_.bccmdMapPio32(handle, mask, pios, refused); });
  }
  int32_t bccmdGetPio32(uint32_t handle, uint32_t* direction, uint32_t* level) override {
    return clock_.Time([&] { return inner_.bccmdGetPio32(handle, direction, level); });
  }
  int32_t bccmdSetSpiLockCustomerKey(uint32_t handle, const uint32_t* key) override {
    return clock_.Time([&] { return inner_.bccmdSetSpiLockCustomerKey(handle, key); });
  }
  int32_t bccmdSpiLockInitiateLock(uint32_t handle) override {
    return clock_.Time([&] { return inner_.bccmdSpiLockInitiateLock(handle); });
  }
  int32_t bccmdGetSpiLockStatus(uint32_t handle, uint32_t* status) override {
    return clock_.Time([&] { return inner_.bccmdGetSpiLockStatus(handle, status); });
  }
  int32_t radiotestTxstart(uint32_t handle, uint16_t mhz, int32_t power1, int32_t power2, int32_t modulation) override {
    return clock_.Time([&] { return inner_.radiotestTxstart(handle, mhz, power1, power2, modulation); });
  }
  int32_t radiotestRxdata1(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation) override {
    return clock_.Time([&] { return inner_.radiotestRxdata1(handle, mhz, highSide, attenuation); });
  }
  int32_t radiotestRxstart2(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation,
                            int32_t sampleSize) override {
    return clock_.Time([&] { return inner_.radiotestRxstart2(handle, mhz, highSide, attenuation, sampleSize); });
  }
  int32_t radiotestCfgXtalFtrim(uint32_t handle, uint16_t trim) override {
    return clock_.Time([&] { return inner_.radiotestCfgXtalFtrim(handle, trim); });
  }
  int32_t radiotestCalcXtalOffset(double nominalMhz, double measuredMhz, int16_t* offset) override {
    return clock_.Time([&] { return inner_.radiotestCalcXtalOffset(nominalMhz, measuredMhz, offset); });
  }
  int32_t radiotestPause(uint32_t handle) override {
    return clock_.Time([&] { return inner_.radiotestPause(handle); });
  }
  int32_t radiotestStereoCodecLB(uint32_t handle, int32_t sampleRate, int32_t microphone) override {
    return clock_.Time([&] { return inner_.radiotestStereoCodecLB(handle, sampleRate, microphone); });
  }
  int32_t get_freq_offset(uint32_t handle, double* ppm, uint16_t samples) override {
    return clock_.Time([&] { return inner_.get_freq_offset(handle, ppm, samples); });
  }
  int32_t hqGetRssi(uint32_t handle, int32_t mode, int32_t count, uint16_t* samples) override {
    return clock_.Time([&] { return inner_.hqGetRssi(handle, mode, count, samples); });
  }
  int32_t refEpGetRssiDbm(uint32_t handle, int32_t mhz, double rssi, double* dbm) override {
    return clock_.Time([&] { return inner_.refEpGetRssiDbm(handle, mhz, rssi, dbm); });
  }

 private:
  vendor::TestEngine& inner_;
  LibraryClock& clock_;
};

class TimedTestE2 : public vendor::TestE2 {
 public:
  TimedTestE2(vendor::TestE2& inner, LibraryClock& clock) : inner_(inner), clock_(clock) {}

  int32_t te2OpenTrans(const char* transport) override {
    return clock_.Time([&] { return inner_.te2OpenTrans(transport); });
  }
  int32_t te2GetSize(uint32_t* kbit) override {
    return clock_.Time([&] { return inner_.te2GetSize(kbit); });
  }
  int32_t te2Program(const char* path, int32_t verify) override {
    return clock_.Time([&] { return inner_.te2Program(path, verify); });
  }
  int32_t te2Dump(const char* path, int32_t verify) override {
    return clock_.Time([&] { return inner_.te2Dump(path, verify); });
  }
  int32_t te2Fill(uint16_t value, int32_t verify) override {
    return clock_.Time([&] { return inner_.te2Fill(value, verify); });
  }
  int32_t te2WriteBcHeader() override {
    return clock_.Time([&] { return inner_.te2WriteBcHeader(); });
  }
  void te2Close() override {
    clock_.Time([&] { inner_.te2Close(); });
  }

 private:
  vendor::TestE2& inner_;
  LibraryClock& clock_;
};

}  // namespace bench
