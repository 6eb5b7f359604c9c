// A TestEngine that keeps every call and answers what the test scripted.
// Opens hand out 1, 2, 3, ... unless scripted; every other call answers 1.
#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "tests/support/call_log.h"
#include "vendor/test_engine.h"

namespace fakes {

class RecordingTestEngine : public vendor::TestEngine, public CallLog {
 public:
  // What the out-parameters receive.
  std::string portNames, portTransports;  // teGetAvailableSpiPorts: written when they fit
  uint16_t portCount = 0;
  uint32_t lap = 0;
  uint8_t uap = 0;
  uint16_t nap = 0;
  uint16_t chipVersion = 0;
  int16_t storedXtalOffset = 0;
  std::vector<double> freqOffsetsPpm;  // get_freq_offset, one per call; the last repeats
  int16_t calcXtalOffset = 0;
  std::array<uint16_t, 10> rssiSamples{};
  size_t rssiSamplesWritten = 10;  // hqGetRssi writes only the first so many of the caller's samples
  std::vector<std::vector<uint16_t>> rssiSamplesFound;  // what each hqGetRssi found in the array before writing
  std::vector<double> rssiDbm;  // refEpGetRssiDbm, one per call; the last repeats
  uint32_t refusedPios = 0;
  uint32_t pioLevel = 0;
  uint32_t spiLockStatus = 0;
  std::vector<std::array<uint32_t, 4>> customerKeys;  // the key of each bccmdSetSpiLockCustomerKey, in order
  std::vector<uint16_t> psWords;  // the words of the last psWrite

  uint32_t openTestEngine(int32_t bus, const char* device, int32_t dataRate, int32_t retryTimeMs,
                          int32_t usbTimeoutMs) override {
    return static_cast<uint32_t>(Record("openTestEngine", ++nextHandle_, bus, device, dataRate, retryTimeMs, usbTimeoutMs));
  }
  uint32_t openTestEngineSpiTrans(const char* transport, int32_t multi) override {
    return static_cast<uint32_t>(Record("openTestEngineSpiTrans", ++nextHandle_, transport, multi));
  }
  uint32_t openTestEngineSpi(int32_t port, int32_t multi, int32_t transport) override {
    return static_cast<uint32_t>(Record("openTestEngineSpi", ++nextHandle_, port, multi, transport));
  }
  int32_t closeTestEngine(uint32_t handle) override { return Status("closeTestEngine", handle); }
  int32_t teGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count) override {
    int32_t result = Status("teGetAvailableSpiPorts", *length);
    return AnswerPorts(result, length, names, transports, count);
  }
  int32_t psReadBdAddr(uint32_t handle, uint32_t* lapOut, uint8_t* uapOut, uint16_t* napOut) override {
    int32_t result = Status("psReadBdAddr", handle);
    *lapOut = lap;
    *uapOut = uap;
    *napOut = nap;
    return result;
  }
  int32_t psWriteBdAddr(uint32_t handle, uint32_t lapIn, uint32_t uapIn, uint32_t napIn) override {
    return Status("psWriteBdAddr", handle, lapIn, uapIn, napIn);
  }
  int32_t psWrite(uint32_t handle, uint16_t key, uint16_t store, uint16_t length, const uint16_t* words) override {
    psWords.assign(words, words + length);
    std::string shown;
    for (uint16_t i = 0; i < length; ++i) shown += (i ? " " : "") + Hex(words[i]);
    return Status("psWrite", handle, key, store, length, shown);
  }
  int32_t bccmdGetChipVersion(uint32_t handle, uint16_t* version) override {
    int32_t result = Status("bccmdGetChipVersion", handle);
    if (result == 1) *version = chipVersion;
    return result;
  }
  int32_t bccmdSetColdReset(uint32_t handle, int32_t delay) override { return Status("bccmdSetColdReset", handle, delay); }
  int32_t psWriteXtalFtrim(uint32_t handle, uint32_t trim) override { return Status("psWriteXtalFtrim", handle, trim); }
  int32_t psReadXtalOffset(uint32_t handle, int16_t* offset) override {
    int32_t result = Status("psReadXtalOffset", handle);
    *offset = storedXtalOffset;
    return result;
  }
  int32_t psWriteXtalOffset(uint32_t handle, int16_t offset) override {
    return Status("psWriteXtalOffset", handle, offset);
  }
  int32_t bccmdMapPio32(uint32_t handle, uint32_t mask, uint32_t pios, uint32_t* refused) override {
    int32_t result = Status("bccmdMapPio32", handle, Hex(mask), Hex(pios));
    *refused = refusedPios;
    return result;
  }
  int32_t bccmdGetPio32(uint32_t handle, uint32_t* direction, uint32_t* level) override {
    int32_t result = Status("bccmdGetPio32", handle);
    *direction = 0;
    *level = pioLevel;
    return result;
  }
  int32_t bccmdSetSpiLockCustomerKey(uint32_t handle, const uint32_t* key) override {
    customerKeys.push_back({key[0], key[1], key[2], key[3]});
    return Status("bccmdSetSpiLockCustomerKey", handle);
  }
  int32_t bccmdSpiLockInitiateLock(uint32_t handle) override { return Status("bccmdSpiLockInitiateLock", handle); }
  int32_t bccmdGetSpiLockStatus(uint32_t handle, uint32_t* status) override {
    int32_t result = Status("bccmdGetSpiLockStatus", handle);
    *status = spiLockStatus;
    return result;
  }
  int32_t radiotestTxstart(uint32_t handle, uint16_t mhz, int32_t power1, int32_t power2, int32_t modulation) override {
    return Status("radiotestTxstart", handle, mhz, power1, power2, modulation);
  }
  int32_t radiotestRxdata1(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation) override {
    return Status("radiotestRxdata1", handle, mhz, highSide, attenuation);
  }
  int32_t radiotestRxstart2(uint32_t handle, uint16_t mhz, int32_t highSide, int32_t attenuation,
                            int32_t sampleSize) override {
    return Status("radiotestRxstart2", handle, mhz, highSide, attenuation, sampleSize);
  }
  int32_t radiotestCfgXtalFtrim(uint32_t handle, uint16_t trim) override {
    return Status("radiotestCfgXtalFtrim", handle, trim);
  }
  int32_t radiotestCalcXtalOffset(double nominalMhz, double measuredMhz, int16_t* offset) override {
    int32_t result = Status("radiotestCalcXtalOffset", nominalMhz, measuredMhz);
    *offset = calcXtalOffset;
    return result;
  }
  int32_t radiotestPause(uint32_t handle) override { return Status("radiotestPause", handle); }
  int32_t radiotestStereoCodecLB(uint32_t handle, int32_t sampleRate, int32_t microphone) override {
    return Status("radiotestStereoCodecLB", handle, sampleRate, microphone);
  }
  int32_t get_freq_offset(uint32_t handle, double* ppm, uint16_t samples) override {
    int32_t result = Status("get_freq_offset", handle, samples);
    *ppm = Next(freqOffsetsPpm, freqCalls_);
    return result;
  }
  int32_t hqGetRssi(uint32_t handle, int32_t mode, int32_t count, uint16_t* samples) override {
    int32_t result = Status("hqGetRssi", handle, mode, count);
    rssiSamplesFound.emplace_back(samples, samples + std::max(count, 0));
    const auto written = static_cast<int32_t>(std::min(rssiSamplesWritten, rssiSamples.size()));
    for (int32_t i = 0; i < count && i < written; ++i) samples[i] = rssiSamples[i];
    return result;
  }
  int32_t refEpGetRssiDbm(uint32_t handle, int32_t mhz, double rssi, double* dbm) override {
    int32_t result = Status("refEpGetRssiDbm", handle, mhz, rssi);
    *dbm = Next(rssiDbm, dbmCalls_);
    return result;
  }

  // Writes the two lists when they fit the caller's buffers, else asks for the length.
  static int32_t FillPorts(const std::string& names, const std::string& transports, uint16_t count,
                           uint16_t* length, char* namesOut, char* transportsOut, uint16_t* countOut) {
    size_t need = std::max(names.size(), transports.size()) + 1;
    if (need > *length) {
      *length = static_cast<uint16_t>(need);
      return 0;
    }
    names.copy(namesOut, names.size());
    namesOut[names.size()] = '\0';
    transports.copy(transportsOut, transports.size());
    transportsOut[transports.size()] = '\0';
    *countOut = count;
    return 1;
  }

 private:
  template <typename... Args>
  int32_t Status(const std::string& name, const Args&... args) {
    return static_cast<int32_t>(Record(name, 1, args...));
  }
  int32_t AnswerPorts(int32_t scripted, uint16_t* length, char* names, char* transports, uint16_t* count) {
    if (scripted != 1) return scripted;
    return FillPorts(portNames, portTransports, portCount, length, names, transports, count);
  }
  static double Next(const std::vector<double>& values, size_t& index) {
    if (values.empty()) return 0.0;
    double value = values[std::min(index, values.size() - 1)];
    ++index;
    return value;
  }
  static std::string Hex(uint32_t value) {
    std::ostringstream out;
    out << "0x" << std::hex << value;
    return out.str();
  }

  uint32_t nextHandle_ = 0;
  size_t freqCalls_ = 0;
  size_t dbmCalls_ = 0;
};

}  // namespace fakes
