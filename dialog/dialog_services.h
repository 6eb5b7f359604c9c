// What the handlers of device/, memory/, radio/ and pio/ may use of the main
// dialog: reporting, the field values, the check boxes, the transports and the window.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

#include "dialog/field_values.h"
#include "dialog/transports.h"
#include "dialog/window.h"
#include "ledger/ledger.h"

namespace dialog {

// The one message every handler shows when the module does not answer.
inline constexpr const char* kDeviceOpenFailed = "设备打开失败!请连接设备到蓝牙IC.\n 开机键长按.";

class DialogServices {
 public:
  virtual ~DialogServices() = default;

  // The message buffer of Report and SetItemTextFormat: 255 bytes and a zero.
  static constexpr size_t kFormatBuffer = 256;

  // Formats like printf through the 256-byte buffer (text past 255 bytes is
  // dropped), shows it in the status line and appends it to the log. Collects
  // the fields first, so the caller sees the operator's latest typing.
  void Report(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    CollectFields();
    char buffer[kFormatBuffer];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    Shown(buffer);
    ShowReport(buffer);
  }

  // Formats like printf and makes that the whole text of one control.
  void SetItemTextFormat(int id, const char* format, ...) __attribute__((format(printf, 3, 4))) {
    CollectFields();
    char buffer[kFormatBuffer];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    window().SetItemText(id, buffer);
  }

  // Field values to and from the controls. Collecting stops at the first value
  // over its limit, with the framework's box and the focus in that field.
  virtual bool CollectFields() = 0;
  virtual void ShowFields() = 0;
  virtual FieldValues& Fields() = 0;

  // A check box counts as set when its state is not 0.
  virtual bool IsButtonSet(int id) const = 0;
  virtual const Transports& transports() const = 0;
  virtual Window& window() = 0;

  // Caret behind the last character, scrolled into view.
  virtual void CaretToEnd(int id) = 0;
  // The modal box with the OK button; answers kIdOk.
  int MessageBox(std::string_view text) {
    Shown(text);
    return window().MessageBox(text, kMbOk);
  }

  // The address ledger and production record of this station.
  virtual ledger::Ledger& Ledger() = 0;
  // While a module operation runs, the last text the operator is shown is its result.
  ledger::OperationRow* SwapRecording(ledger::OperationRow* row) {
    ledger::OperationRow* previous = recording_;
    recording_ = row;
    return previous;
  }

 protected:
  // The status line gets `text`, the log a line of it.
  virtual void ShowReport(std::string_view text) = 0;

 private:
  void Shown(std::string_view text) {
    if (recording_ != nullptr && text.find_first_not_of(' ') != std::string_view::npos) recording_->result = text;
  }
  ledger::OperationRow* recording_ = nullptr;
};

}  // namespace dialog
