// One module operation in the production record, from its start to its end:
// the row takes the last text the operator was shown as its result, and goes
// to the record when the operation ends, on every road out of it.
#pragma once

#include <string>

#include "app/dialog_services.h"
#include "ledger/operation_row.h"
#include "platform/host_name.h"
#include "platform/sleep.h"

namespace app {

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

 private:
  DialogServices& dialog_;
  ledger::OperationRow row_;
  ledger::OperationRow* previous_ = nullptr;
  int64_t startedMs_;
};

}  // namespace app
