// The functions the loader binds in each chip library, and the bytes of
// arguments that a 32-bit stdcall export of each carries in its decorated name.
#pragma once

#include <cstddef>

#include "vendor/c_api.h"

namespace vendor {

// Each argument takes a multiple of four bytes.
template <typename Fn>
struct ArgumentBytes;
template <typename R, typename... A>
struct ArgumentBytes<R(TARNWICK_VENDOR_CALL*)(A...)> {
  static constexpr size_t value = (((sizeof(A) + 3) / 4 * 4) + ... + 0);
};

}  // namespace vendor

#define TEST_ENGINE_EXPORTS(X)                                                                          \
  X(openTestEngine) X(openTestEngineSpiTrans) X(openTestEngineSpi) X(closeTestEngine)                 \
  X(teGetAvailableSpiPorts) X(psReadBdAddr) X(psWriteBdAddr) X(psWrite) X(bccmdGetChipVersion)       \
  X(bccmdSetColdReset) X(psWriteXtalFtrim) X(psReadXtalOffset) X(psWriteXtalOffset) X(bccmdMapPio32) \
  X(bccmdGetPio32) X(bccmdSetSpiLockCustomerKey) X(bccmdSpiLockInitiateLock) X(bccmdGetSpiLockStatus) \
  X(radiotestTxstart) X(radiotestRxdata1) X(radiotestRxstart2) X(radiotestCfgXtalFtrim)              \
  X(radiotestCalcXtalOffset) X(radiotestPause) X(radiotestStereoCodecLB) X(get_freq_offset)          \
  X(hqGetRssi) X(refEpGetRssiDbm)

#define TEST_FLASH_EXPORTS(X)                                                                        \
  X(flGetAvailableSpiPorts) X(flInitTrans) X(flStopProcessor) X(flSetFlashType) X(flReadProgramFiles) \
  X(flProgramSpawn) X(flProgramBlock) X(flGetProgress) X(flGetLastError) X(flGetDownloadTime)        \
  X(flGetFlashInfo) X(flErase) X(flResetAndStart) X(flClose)

#define TEST_E2_EXPORTS(X) \
  X(te2OpenTrans) X(te2GetSize) X(te2Program) X(te2Dump) X(te2Fill) X(te2WriteBcHeader) X(te2Close)
