#include "radio/loopback.h"

#include "dialog/recorded_operation.h"
#include "device/chip_connection.h"

namespace radio {
namespace {

// The codec test is addressed to connection 1 whatever the open returned, so
// it may go on only when the module really is connection 1.
constexpr uint32_t kCodecHandle = 1;
constexpr int32_t kSampleRate = 44100;
constexpr int32_t kRightMicrophone = 1;
constexpr int32_t kLeftMicrophone = 2;

}  // namespace

void LoopbackTest::OnMicAndSpeaker() {
  dialog::RecordedOperation record(dialog_, ledger::kLoopback, dialog::LastTickedTransport(dialog_));
  dialog_.Report(" ");
  device::ChipConnection connection;
  if (!device::OpenChipConnection(dialog_, engine_, &connection)) return;
  if (connection.module != kCodecHandle) {
    dialog_.MessageBox(dialog::kDeviceOpenFailed);
    device::CloseChipConnection(engine_, connection);
    return;
  }

  if (engine_.radiotestStereoCodecLB(kCodecHandle, kSampleRate, kRightMicrophone) == 1) {
    dialog_.Report("MicR to SpkL and SpkR 成功!");
  } else {
    dialog_.Report("MicR to SpkL and SpkR 失败!");
  }
  if (engine_.radiotestStereoCodecLB(kCodecHandle, kSampleRate, kLeftMicrophone) == 1) {
    dialog_.Report("MicL to SpkL and SpkR 成功!");
  } else {
    dialog_.Report("MicL to SpkL and SpkR 失败!");
  }
  device::CloseChipConnection(engine_, connection);
}

}  // namespace radio
