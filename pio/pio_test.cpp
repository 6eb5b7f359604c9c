#include "pio/pio_test.h"

#include <cstdint>
#include <string>

#include "dialog/recorded_operation.h"
#include "dialog/settings.h"
#include "device/chip_connection.h"
#include "platform/number_text.h"

namespace pio {
namespace {

constexpr uint32_t kAllPios = 0xFFFFFFFFu;
constexpr size_t kSettingBuffer = 16;

}  // namespace

void PioTest::OnTesting() {
  dialog::RecordedOperation record(dialog_, ledger::kPioTest, dialog::LastTickedTransport(dialog_));
  std::string timeout = dialog::ReadSetting(dialog::kPioSection, dialog::kTestTimeoutKey, kSettingBuffer);
  monitor_.SetCountdown(static_cast<uint32_t>(platform::ParseDecimal(timeout)));
  dialog_.Report(" ");

  // Device 2's connection replaces device 1's when both are ticked.
  uint32_t module = 0;
  if (!device::OpenTickedModule(dialog_, engine_, &module)) return;
  uint32_t refused = 0;
  int32_t result = engine_.bccmdMapPio32(module, kAllPios, kAllPios, &refused);
  dialog_.Report("if bit was 1, can't to set: %d 0x%x", result, refused);
  engine_.closeTestEngine(module);
}

}  // namespace pio
