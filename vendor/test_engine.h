// The TestEngine library as the program sees it: connections, persistent store,
// chip commands, radio tests. Member names are the library's exported names.
#pragma once

#include <cstdint>

namespace vendor {

class TestEngine {
 public:
  virtual ~TestEngine() = default;

  virtual uint32_t openTestEngine(int32_t bus, const char* device, int32_t dataRate, int32_t retryTimeMs,
                                  int32_t usbTimeoutMs) = 0;
  virtual uint32_t openTestEngineSpiTrans(const char* transport, int32_t multi) = 0;
  virtual uint32_t openTestEngineSpi(int32_t port, int32_t multi, int32_t transport) = 0;
  virtual int32_t closeTestEngine(uint32_t handle) = 0;
  virtual int32_t teGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count) = 0;

  virtual int32_t psReadBdAddr(uint32_t handle, uint32_t* lap, uint8_t* uap, uint16_t* nap) = 0;
  virtual int32_t psWriteBdAddr(uint32_t handle, uint32_t lap, uint32_t uap, uint32_t nap) = 0;
  virtual int32_t psWrite(uint32_t handle, uint16_t key, uint16_t store, uint16_t length,
                          const uint16_t* words) = 0;
  virtual int32_t bccmdGetChipVersion(uint32_t handle, uint16_t* version) = 0;
  virtual int32_t bccmdSetColdReset(uint32_t handle, int32_t delay) = 0;
  virtual int32_t psWriteXtalFtrim(uint32_t handle, uint32_t trim) = 0;
  virtual int32_t psReadXtalOffset(uint32_t handle, int16_t* offset) = 0;
  virtual int32_t psWriteXtalOffset(uint32_t handle, int16_t offset) = 0;
  virtual int32_t bccmdMapPio32(uint32_t handle, uint32_t mask, uint32_t pios, uint32_t* refused) = 0;
  virtual int32_t bccmdGetPio32(uint32_t handle, uint32_t* direction, uint32_t* level) = 0;
  virtual int32_t bccmdSetSpiLockCustomerKey(uint32_t handle, const uint32_t* key) = 0;
  virtual int32_t bccmdSpiLockInitiateLock(uint32_t handle) = 0;
  virtual int32_t bccmdGetSpiLockStatus(uint32_t handle, uint32_t* status) = 0;

  virtual int32_t radiotestTxstart(uint32_t handle, uint16_t mhz, int32_t power1, int32_t power2,
                                   int32_t modulation) = 0;
  virtual int32_t radiotestRxdata1(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation) = 0;
  virtual int32_t radiotestRxstart2(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation,
                                    int32_t sampleSize) = 0;
  virtual int32_t radiotestCfgXtalFtrim(uint32_t handle, uint16_t trim) = 0;
  virtual int32_t radiotestCalcXtalOffset(double nominalMhz, double measuredMhz, int16_t* offset) = 0;
  virtual int32_t radiotestPause(uint32_t handle) = 0;
  virtual int32_t radiotestStereoCodecLB(uint32_t handle, int32_t sampleRate, int32_t microphone) = 0;
  virtual int32_t get_freq_offset(uint32_t handle, double* ppm, uint16_t samples) = 0;
  virtual int32_t hqGetRssi(uint32_t handle, int32_t mode, int32_t count, uint16_t* samples) = 0;
  virtual int32_t refEpGetRssiDbm(uint32_t handle, int32_t mhz, double rssi, double* dbm) = 0;
};

}  // namespace vendor
