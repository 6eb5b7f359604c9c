// The C functions exported by the three chip libraries, as the program calls them.
// The simulated station defines them; the loader takes its pointer types from them,
// so both sides are checked against this one list.
#pragma once

#include <cstdint>

// The calling convention of every function below is one build setting
// (TARNWICK_VENDOR_CONVENTION, vendor/CMakeLists.txt); the program and the
// simulated libraries must agree on it, so it cannot be left to a default.
#ifndef TARNWICK_VENDOR_CALL
#error "TARNWICK_VENDOR_CALL is set by the tarnwick_vendor_api target; link it"
#endif

extern "C" {

// ---- TestEngine: connections (open gives a handle, 0 = failed) ----
uint32_t TARNWICK_VENDOR_CALL openTestEngine(int32_t bus, const char* device, int32_t dataRate, int32_t retryTimeMs,
                        int32_t usbTimeoutMs);
uint32_t TARNWICK_VENDOR_CALL openTestEngineSpiTrans(const char* transport, int32_t multi);
uint32_t TARNWICK_VENDOR_CALL openTestEngineSpi(int32_t port, int32_t multi, int32_t transport);
int32_t TARNWICK_VENDOR_CALL closeTestEngine(uint32_t handle);
int32_t TARNWICK_VENDOR_CALL teGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count);

// ---- TestEngine: persistent store and chip commands (1 = success) ----
int32_t TARNWICK_VENDOR_CALL psReadBdAddr(uint32_t handle, uint32_t* lap, uint8_t* uap, uint16_t* nap);
int32_t TARNWICK_VENDOR_CALL psWriteBdAddr(uint32_t handle, uint32_t lap, uint32_t uap, uint32_t nap);
int32_t TARNWICK_VENDOR_CALL psWrite(uint32_t handle, uint16_t key, uint16_t store, uint16_t length, const uint16_t* words);
int32_t TARNWICK_VENDOR_CALL bccmdGetChipVersion(uint32_t handle, uint16_t* version);
int32_t TARNWICK_VENDOR_CALL bccmdSetColdReset(uint32_t handle, int32_t delay);
int32_t TARNWICK_VENDOR_CALL psWriteXtalFtrim(uint32_t handle, uint32_t trim);
int32_t TARNWICK_VENDOR_CALL psReadXtalOffset(uint32_t handle, int16_t* offset);
int32_t TARNWICK_VENDOR_CALL psWriteXtalOffset(uint32_t handle, int16_t offset);
int32_t TARNWICK_VENDOR_CALL bccmdMapPio32(uint32_t handle, uint32_t mask, uint32_t pios, uint32_t* refused);
int32_t TARNWICK_VENDOR_CALL bccmdGetPio32(uint32_t handle, uint32_t* direction, uint32_t* level);
int32_t TARNWICK_VENDOR_CALL bccmdSetSpiLockCustomerKey(uint32_t handle, const uint32_t* key);
int32_t TARNWICK_VENDOR_CALL bccmdSpiLockInitiateLock(uint32_t handle);
int32_t TARNWICK_VENDOR_CALL bccmdGetSpiLockStatus(uint32_t handle, uint32_t* status);

// ---- TestEngine: radio tests and the reference radio (1 = success) ----
int32_t TARNWICK_VENDOR_CALL radiotestTxstart(uint32_t handle, uint16_t mhz, int32_t power1, int32_t power2, int32_t modulation);
int32_t TARNWICK_VENDOR_CALL radiotestRxdata1(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation);
int32_t TARNWICK_VENDOR_CALL radiotestRxstart2(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation,
                          int32_t sampleSize);
int32_t TARNWICK_VENDOR_CALL radiotestCfgXtalFtrim(uint32_t handle, uint16_t trim);
int32_t TARNWICK_VENDOR_CALL radiotestCalcXtalOffset(double nominalMhz, double measuredMhz, int16_t* offset);
int32_t TARNWICK_VENDOR_CALL radiotestPause(uint32_t handle);
int32_t TARNWICK_VENDOR_CALL radiotestStereoCodecLB(uint32_t handle, int32_t sampleRate, int32_t microphone);
int32_t TARNWICK_VENDOR_CALL get_freq_offset(uint32_t handle, double* ppm, uint16_t samples);
int32_t TARNWICK_VENDOR_CALL hqGetRssi(uint32_t handle, int32_t mode, int32_t count, uint16_t* samples);
int32_t TARNWICK_VENDOR_CALL refEpGetRssiDbm(uint32_t handle, int32_t mhz, double rssi, double* dbm);

// ---- TestFlash: one transport of its own (0 = success) ----
int32_t TARNWICK_VENDOR_CALL flGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count);  // 1 = success
int32_t TARNWICK_VENDOR_CALL flInitTrans(const char* transport, int32_t a, int32_t b);
int32_t TARNWICK_VENDOR_CALL flStopProcessor(void);
int32_t TARNWICK_VENDOR_CALL flSetFlashType(int32_t type);
int32_t TARNWICK_VENDOR_CALL flReadProgramFiles(const char* path);
int32_t TARNWICK_VENDOR_CALL flProgramSpawn(void);
int32_t TARNWICK_VENDOR_CALL flProgramBlock(void);
int32_t TARNWICK_VENDOR_CALL flGetProgress(void);
int32_t TARNWICK_VENDOR_CALL flGetLastError(void);
int32_t TARNWICK_VENDOR_CALL flGetDownloadTime(void);
int32_t TARNWICK_VENDOR_CALL flGetFlashInfo(uint32_t* sector, uint32_t* sizeMbit, uint32_t* manufacturerId, uint32_t* deviceId);
int32_t TARNWICK_VENDOR_CALL flErase(void);
int32_t TARNWICK_VENDOR_CALL flResetAndStart(void);
void TARNWICK_VENDOR_CALL flClose(void);

// ---- TestE2: one transport of its own (0 = success) ----
int32_t TARNWICK_VENDOR_CALL te2OpenTrans(const char* transport);
int32_t TARNWICK_VENDOR_CALL te2GetSize(uint32_t* kbit);
int32_t TARNWICK_VENDOR_CALL te2Program(const char* path, int32_t verify);
int32_t TARNWICK_VENDOR_CALL te2Dump(const char* path, int32_t verify);
int32_t TARNWICK_VENDOR_CALL te2Fill(uint16_t value, int32_t verify);
int32_t TARNWICK_VENDOR_CALL te2WriteBcHeader(void);
void TARNWICK_VENDOR_CALL te2Close(void);

}  // extern "C"
