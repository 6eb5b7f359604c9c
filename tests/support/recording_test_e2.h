// A TestE2 that keeps every call and answers what the test scripted; 0 unless told.
#pragma once

#include <string>

#include "tests/support/call_log.h"
#include "vendor/test_e2.h"

namespace fakes {

class RecordingTestE2 : public vendor::TestE2, public CallLog {
 public:
  uint32_t sizeKbit = 256;

  int32_t te2OpenTrans(const char* transport) override { return Status("te2OpenTrans", transport); }
  int32_t te2GetSize(uint32_t* kbit) override {
    int32_t result = Status("te2GetSize");
    *kbit = sizeKbit;
    return result;
  }
  int32_t te2Program(const char* path, int32_t verify) override { return Status("te2Program", path, verify); }
  int32_t te2Dump(const char* path, int32_t verify) override { return Status("te2Dump", path, verify); }
  int32_t te2Fill(uint16_t value, int32_t verify) override { return Status("te2Fill", value, verify); }
  int32_t te2WriteBcHeader() override { return Status("te2WriteBcHeader"); }
  void te2Close() override { Record("te2Close", 0); }

 private:
  template <typename... Args>
  int32_t Status(const std::string& name, const Args&... args) {
    return static_cast<int32_t>(Record(name, 0, args...));
  }
};

}  // namespace fakes
