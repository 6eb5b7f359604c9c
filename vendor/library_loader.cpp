#include "vendor/library_loader.h"

#include <string>

#include "platform/file_system.h"
#include "platform/shared_library.h"
#include "vendor/c_api.h"
#include "vendor/exports.h"

namespace vendor {
namespace {

using platform::SharedLibrary;

#if defined(_WIN32) && !defined(_WIN64)
// As the 32-bit compiler decorates them: doubles take eight, narrow integers four.
static_assert(ArgumentBytes<decltype(&::openTestEngine)>::value == 20);
static_assert(ArgumentBytes<decltype(&::psWrite)>::value == 20);
static_assert(ArgumentBytes<decltype(&::radiotestCalcXtalOffset)>::value == 20);
static_assert(ArgumentBytes<decltype(&::flClose)>::value == 0);
#endif

// Finds each exported function by name; remembers the first one missing. A
// 32-bit stdcall library may export a function only under its decorated name:
// "_name@N" as one compiler writes it, "name@N" as another does.
class Binder {
 public:
  Binder(const SharedLibrary& library, std::string file) : library_(library), file_(std::move(file)) {}

  template <typename Pointer>
  void Bind(Pointer& slot, const char* name) {
    const std::string bytes = "@" + std::to_string(ArgumentBytes<Pointer>::value);
    void* found = library_.Symbol(name);
    if (found == nullptr) found = library_.Symbol(("_" + std::string(name) + bytes).c_str());
    if (found == nullptr) found = library_.Symbol((name + bytes).c_str());
    slot = reinterpret_cast<Pointer>(found);
    if (slot == nullptr && missing_.empty()) missing_ = name;
  }
  bool Complete(std::string* error) const {
    if (missing_.empty()) return true;
    *error = file_ + ": " + missing_;
    return false;
  }

 private:
  const SharedLibrary& library_;
  std::string file_;
  std::string missing_;
};

#define TARNWICK_SLOT(name) decltype(&::name) name = nullptr;
#define TARNWICK_BIND(name) binder.Bind(fn.name, #name);

struct EngineFunctions { TEST_ENGINE_EXPORTS(TARNWICK_SLOT) };
struct FlashFunctions { TEST_FLASH_EXPORTS(TARNWICK_SLOT) };
struct E2Functions { TEST_E2_EXPORTS(TARNWICK_SLOT) };

class BoundTestEngine final : public TestEngine {
 public:
  BoundTestEngine(std::unique_ptr<SharedLibrary> library, const EngineFunctions& fn)
      : library_(std::move(library)), fn_(fn) {}

  uint32_t openTestEngine(int32_t bus, const char* device, int32_t dataRate, int32_t retryTimeMs,
                          int32_t usbTimeoutMs) override {
    return fn_.openTestEngine(bus, device, dataRate, retryTimeMs, usbTimeoutMs);
  }
  uint32_t openTestEngineSpiTrans(const char* transport, int32_t multi) override {
    return fn_.openTestEngineSpiTrans(transport, multi);
  }
  uint32_t openTestEngineSpi(int32_t port, int32_t multi, int32_t transport) override {
    return fn_.openTestEngineSpi(port, multi, transport);
  }
  int32_t closeTestEngine(uint32_t handle) override { return fn_.closeTestEngine(handle); }
  int32_t teGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count) override {
    return fn_.teGetAvailableSpiPorts(length, names, transports, count);
  }
  int32_t psReadBdAddr(uint32_t handle, uint32_t* lap, uint8_t* uap, uint16_t* nap) override {
    return fn_.psReadBdAddr(handle, lap, uap, nap);
  }
  int32_t psWriteBdAddr(uint32_t handle, uint32_t lap, uint32_t uap, uint32_t nap) override {
    return fn_.psWriteBdAddr(handle, lap, uap, nap);
  }
  int32_t psWrite(uint32_t handle, uint16_t key, uint16_t store, uint16_t length, const uint16_t* words) override {
    return fn_.psWrite(handle, key, store, length, words);
  }
  int32_t bccmdGetChipVersion(uint32_t handle, uint16_t* version) override {
    return fn_.bccmdGetChipVersion(handle, version);
  }
  int32_t bccmdSetColdReset(uint32_t handle, int32_t delay) override { return fn_.bccmdSetColdReset(handle, delay); }
  int32_t psWriteXtalFtrim(uint32_t handle, uint32_t trim) override { return fn_.psWriteXtalFtrim(handle, trim); }
  int32_t psReadXtalOffset(uint32_t handle, int16_t* offset) override { return fn_.psReadXtalOffset(handle, offset); }
  int32_t psWriteXtalOffset(uint32_t handle, int16_t offset) override {
    return fn_.psWriteXtalOffset(handle, offset);
  }
  int32_t bccmdMapPio32(uint32_t handle, uint32_t mask, uint32_t pios, uint32_t* refused) override {
    return fn_.bccmdMapPio32(handle, mask, pios, refused);
  }
  int32_t bccmdGetPio32(uint32_t handle, uint32_t* direction, uint32_t* level) override {
    return fn_.bccmdGetPio32(handle, direction, level);
  }
  int32_t bccmdSetSpiLockCustomerKey(uint32_t handle, const uint32_t* key) override {
    return fn_.bccmdSetSpiLockCustomerKey(handle, key);
  }
  int32_t bccmdSpiLockInitiateLock(uint32_t handle) override { return fn_.bccmdSpiLockInitiateLock(handle); }
  int32_t bccmdGetSpiLockStatus(uint32_t handle, uint32_t* status) override {
    return fn_.bccmdGetSpiLockStatus(handle, status);
  }
  int32_t radiotestTxstart(uint32_t handle, uint16_t mhz, int32_t power1, int32_t power2,
                           int32_t modulation) override {
    return fn_.radiotestTxstart(handle, mhz, power1, power2, modulation);
  }
  int32_t radiotestRxdata1(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation) override {
    return fn_.radiotestRxdata1(handle, mhz, highSide, attenuation);
  }
  int32_t radiotestRxstart2(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation,
                            int32_t sampleSize) override {
    return fn_.radiotestRxstart2(handle, mhz, highSide, attenuation, sampleSize);
  }
  int32_t radiotestCfgXtalFtrim(uint32_t handle, uint16_t trim) override {
    return fn_.radiotestCfgXtalFtrim(handle, trim);
  }
  int32_t radiotestCalcXtalOffset(double nominalMhz, double measuredMhz, int16_t* offset) override {
    return fn_.radiotestCalcXtalOffset(nominalMhz, measuredMhz, offset);
  }
  int32_t radiotestPause(uint32_t handle) override { return fn_.radiotestPause(handle); }
  int32_t radiotestStereoCodecLB(uint32_t handle, int32_t sampleRate, int32_t microphone) override {
    return fn_.radiotestStereoCodecLB(handle, sampleRate, microphone);
  }
  int32_t get_freq_offset(uint32_t handle, double* ppm, uint16_t samples) override {
    return fn_.get_freq_offset(handle, ppm, samples);
  }
  int32_t hqGetRssi(uint32_t handle, int32_t mode, int32_t count, uint16_t* samples) override {
    return fn_.hqGetRssi(handle, mode, count, samples);
  }
  int32_t refEpGetRssiDbm(uint32_t handle, int32_t mhz, double rssi, double* dbm) override {
    return fn_.refEpGetRssiDbm(handle, mhz, rssi, dbm);
  }

 private:
  std::unique_ptr<SharedLibrary> library_;
  EngineFunctions fn_;
};

class BoundTestFlash final : public TestFlash {
 public:
  BoundTestFlash(std::unique_ptr<SharedLibrary> library, const FlashFunctions& fn)
      : library_(std::move(library)), fn_(fn) {}

  int32_t flGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count) override {
    return fn_.flGetAvailableSpiPorts(length, names, transports, count);
  }
  int32_t flInitTrans(const char* transport, int32_t a, int32_t b) override { return fn_.flInitTrans(transport, a, b); }
  int32_t flStopProcessor() override { return fn_.flStopProcessor(); }
  int32_t flSetFlashType(int32_t type) override { return fn_.flSetFlashType(type); }
  int32_t flReadProgramFiles(const char* path) override { return fn_.flReadProgramFiles(path); }
  int32_t flProgramSpawn() override { return fn_.flProgramSpawn(); }
  int32_t flProgramBlock() override { return fn_.flProgramBlock(); }
  int32_t flGetProgress() override { return fn_.flGetProgress(); }
  int32_t flGetLastError() override { return fn_.flGetLastError(); }
  int32_t flGetDownloadTime() override { return fn_.flGetDownloadTime(); }
  int32_t flGetFlashInfo(uint32_t* sector, uint32_t* sizeMbit, uint32_t* manufacturerId,
                         uint32_t* deviceId) override {
    return fn_.flGetFlashInfo(sector, sizeMbit, manufacturerId, deviceId);
  }
  int32_t flErase() override { return fn_.flErase(); }
  int32_t flResetAndStart() override { return fn_.flResetAndStart(); }
  void flClose() override { fn_.flClose(); }

 private:
  std::unique_ptr<SharedLibrary> library_;
  FlashFunctions fn_;
};

class BoundTestE2 final : public TestE2 {
 public:
  BoundTestE2(std::unique_ptr<SharedLibrary> library, const E2Functions& fn) : library_(std::move(library)), fn_(fn) {}

  int32_t te2OpenTrans(const char* transport) override { return fn_.te2OpenTrans(transport); }
  int32_t te2GetSize(uint32_t* kbit) override { return fn_.te2GetSize(kbit); }
  int32_t te2Program(const char* path, int32_t verify) override { return fn_.te2Program(path, verify); }
  int32_t te2Dump(const char* path, int32_t verify) override { return fn_.te2Dump(path, verify); }
  int32_t te2Fill(uint16_t value, int32_t verify) override { return fn_.te2Fill(value, verify); }
  int32_t te2WriteBcHeader() override { return fn_.te2WriteBcHeader(); }
  void te2Close() override { fn_.te2Close(); }

 private:
  std::unique_ptr<SharedLibrary> library_;
  E2Functions fn_;
};

std::unique_ptr<SharedLibrary> OpenIn(const std::string& folder, const char* file, std::string* error) {
  std::string why;
  auto library = SharedLibrary::Open(platform::JoinPath(folder, file), &why);
  if (library == nullptr) *error = std::string(file) + ": " + why;
  return library;
}

}  // namespace

bool LoadLibraries(const std::string& folder, Libraries* libraries, std::string* error) {
  // One library at a time, so the message names the first thing missing.
  auto engineLibrary = OpenIn(folder, kTestEngineFile, error);
  if (engineLibrary == nullptr) return false;
  EngineFunctions engine;
  {
    Binder binder(*engineLibrary, kTestEngineFile);
    auto& fn = engine;
    TEST_ENGINE_EXPORTS(TARNWICK_BIND)
    if (!binder.Complete(error)) return false;
  }
  auto flashLibrary = OpenIn(folder, kTestFlashFile, error);
  if (flashLibrary == nullptr) return false;
  FlashFunctions flash;
  {
    Binder binder(*flashLibrary, kTestFlashFile);
    auto& fn = flash;
    TEST_FLASH_EXPORTS(TARNWICK_BIND)
    if (!binder.Complete(error)) return false;
  }
  auto e2Library = OpenIn(folder, kTestE2File, error);
  if (e2Library == nullptr) return false;
  E2Functions e2;
  {
    Binder binder(*e2Library, kTestE2File);
    auto& fn = e2;
    TEST_E2_EXPORTS(TARNWICK_BIND)
    if (!binder.Complete(error)) return false;
  }
  libraries->engine = std::make_unique<BoundTestEngine>(std::move(engineLibrary), engine);
  libraries->flash = std::make_unique<BoundTestFlash>(std::move(flashLibrary), flash);
  libraries->e2 = std::make_unique<BoundTestE2>(std::move(e2Library), e2);
  return true;
}

}  // namespace vendor
