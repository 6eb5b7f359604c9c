// The C functions exported by the three chip libraries, as the program calls them.
// The simulated station defines them; the loader takes its pointer types from them,
// so both sides are checked against this one list.
#pragma once

#include <cstdint>

extern "C" {

// ---- TestEngine: connections (open gives a handle, 0 = failed) ----
uint32_t openTestEngine(int32_t bus, const char* device, int32_t dataRate, int32_t retryTimeMs,
                        int32_t usbTimeoutMs);
uint32_t openTestEngineSpiTrans(const char* transport, int32_t multi);
uint32_t openTestEngineSpi(int32_t port, int32_t multi, int32_t transport);
int32_t closeTestEngine(uint32_t handle);
int32_t teGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count);

// ---- TestEngine: persistent store and chip commands (1 = success) ----
int32_t psReadBdAddr(uint32_t handle, uint32_t* lap, uint8_t* uap, uint16_t* nap);
int32_t psWriteBdAddr(uint32_t handle, uint32_t lap, uint32_t uap, uint32_t nap);
int32_t psWrite(uint32_t handle, uint16_t key, uint16_t store, uint16_t length, const uint16_t* words);
int32_t bccmdGetChipVersion(uint32_t handle, uint16_t* version);
int32_t bccmdSetColdReset(uint32_t handle, int32_t delay);
int32_t psWriteXtalFtrim(uint32_t handle, uint32_t trim);
int32_t psReadXtalOffset(uint32_t handle, int16_t* offset);
int32_t psWriteXtalOffset(uint32_t handle, int16_t offset);
int32_t bccmdMapPio32(uint32_t handle, uint32_t mask, uint32_t pios, uint32_t* refused);
int32_t bccmdGetPio32(uint32_t handle, uint32_t* direction, uint32_t* level);
int32_t bccmdSetSpiLockCustomerKey(uint32_t handle, const uint32_t* key);
int32_t bccmdSpiLockInitiateLock(uint32_t handle);
int32_t bccmdGetSpiLockStatus(uint32_t handle, uint32_t* status);

// ---- TestEngine: radio tests and the reference radio (1 = success) ----
int32_t radiotestTxstart(uint32_t handle, uint16_t mhz, int32_t power1, int32_t power2, int32_t modulation);
int32_t radiotestRxdata1(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation);
int32_t radiotestRxstart2(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation,
                          int32_t sampleSize);
int32_t radiotestCfgXtalFtrim(uint32_t handle, uint16_t trim);
int32_t radiotestCalcXtalOffset(double nominalMhz, double measuredMhz, int16_t* offset);
int32_t radiotestPause(uint32_t handle);
int32_t radiotestStereoCodecLB(uint32_t handle, int32_t sampleRate, int32_t microphone);
int32_t get_freq_offset(uint32_t handle, double* ppm, uint16_t samples);
int32_t hqGetRssi(uint32_t handle, int32_t mode, int32_t count, uint16_t* samples);
int32_t refEpGetRssiDbm(uint32_t handle, int32_t mhz, double rssi, double* dbm);

// ---- TestFlash: one transport of its own (0 = success) ----
int32_t flGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count);  // 1 = success
int32_t flInitTrans(const char* transport, int32_t a, int32_t b);
int32_t flStopProcessor(void);
int32_t flSetFlashType(int32_t type);
int32_t flReadProgramFiles(const char* path);
int32_t flProgramSpawn(void);
int32_t flProgramBlock(void);
int32_t flGetProgress(void);
int32_t flGetLastError(void);
int32_t flGetDownloadTime(void);
int32_t flGetFlashInfo(uint32_t* sector, uint32_t* sizeMbit, uint32_t* manufacturerId, uint32_t* deviceId);
int32_t flErase(void);
int32_t flResetAndStart(void);
void flClose(void);

// ---- TestE2: one transport of its own (0 = success) ----
int32_t te2OpenTrans(const char* transport);
int32_t te2GetSize(uint32_t* kbit);
int32_t te2Program(const char* path, int32_t verify);
int32_t te2Dump(const char* path, int32_t verify);
int32_t te2Fill(uint16_t value, int32_t verify);
int32_t te2WriteBcHeader(void);
void te2Close(void);

}  // extern "C"
