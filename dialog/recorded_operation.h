// One module operation in the production record, from its start to its end:
// the row takes the last text the operator was shown as its result, and goes
// to the record when the operation ends, on every road out of it.
#pragma once

#include <string>

#include "dialog/dialog_services.h"
#include "ledger/operation_row.h"
#include "platform/host_name.h"
#include "platform/sha256.h"
#include "platform/sleep.h"
#include "res/resource_ids.h"

namespace dialog {

class RecordedOperation {
 public:
  RecordedOperation(DialogServices& dialog, const char* operation, const std::string& transport)
      : dialog_(dialog), startedMs_(platform::SteadyMs()) {
    row_.operation = operation;
    row_.transport = transport;
    row_.startedAt = platform::LocalTimeText();
    const Transports& transports = dialog.transports();
    if (!transport.empty()) row_.slot = transport == transports.Device1Transport ? 1 : transport == transports.Device2Transport ? 2 : 0;
    previous_ = dialog_.SwapRecording(&row_);
  }
  ~RecordedOperation() {
    dialog_.SwapRecording(previous_);
    row_.durationMs = platform::SteadyMs() - startedMs_;
    dialog_.Ledger().Record(row_);
  }
  RecordedOperation(const RecordedOperation&) = delete;
  RecordedOperation& operator=(const RecordedOperation&) = delete;

  ledger::OperationRow& row() { return row_; }
  // The text shown last is the verdict; what follows it is detail.
  void KeepResult() { dialog_.SwapRecording(previous_); }
  // The image a burn takes: its path, and its size and digest when it can be read.
  void Firmware(const std::string& path) {
    row_.firmwarePath = path;
    if (!path.empty() && !platform::HashFile(path, &row_.firmwareSha256, &row_.firmwareSize)) row_.firmwareSize = -1;
  }

 private:
  DialogServices& dialog_;
  ledger::OperationRow row_;
  ledger::OperationRow* previous_ = nullptr;
  int64_t startedMs_;
};

// The module a handler that opens the ticked devices ends up on: device 2's
// connection replaces device 1's.
inline std::string LastTickedTransport(DialogServices& dialog) {
  if (dialog.IsButtonSet(res::IDC_DEVICE2)) return dialog.transports().Device2Transport;
  if (dialog.IsButtonSet(res::IDC_DEVICE1)) return dialog.transports().Device1Transport;
  return {};
}

// The one device a handler that serves device 1 first works on.
inline std::string FirstTickedTransport(DialogServices& dialog) {
  if (dialog.IsButtonSet(res::IDC_DEVICE1)) return dialog.transports().Device1Transport;
  if (dialog.IsButtonSet(res::IDC_DEVICE2)) return dialog.transports().Device2Transport;
  return {};
}

}  // namespace dialog
