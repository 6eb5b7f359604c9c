// The station window's logic: field values and their exchange with the
// controls, the routing of every command, initialisation, reporting and the
// adapter enumeration at paint time. Plain C++: the window is the Window port.
#pragma once

#include <memory>
#include <string>

#include "dialog/dialog_services.h"
#include "app/log_edit.h"
#include "ledger/ledger.h"
#include "pio/pio_monitor.h"
#include "vendor/test_e2.h"
#include "vendor/test_engine.h"
#include "vendor/test_flash.h"

namespace app {

class MainDialog : public dialog::DialogServices {
 public:
  MainDialog(dialog::Window& window, vendor::TestEngine& engine, vendor::TestFlash& flash, vendor::TestE2& e2,
             dialog::Transports& transports);

  // ---- window messages, as the window delivers them ----
  void OnInitDialog();
  // The system-menu command; false hands it back to the window's default handling.
  bool OnSysCommand(unsigned command);
  // The dialog itself was painted (shown, uncovered, restored, resized).
  void OnPaint();
  // A click on the control with that id; false when nothing is routed to it.
  bool OnCommand(int id);
  void OnOK();      // Enter: collect, and end when that succeeds
  void OnCancel();  // Escape, the close box, "Exit"
  void OnTimer(int id);

  // ---- what a window reports, each front end alike ----
  // A click, Enter (kIdOk) and Escape or the close box (kIdCancel) included.
  // Dropped while a handler runs: a nested box's loop must not start another.
  // The two standard ids, where no handler takes them, get the framework's
  // answers: OnOK and OnCancel.
  void Clicked(int id);
  // A tick of timer `id`, dropped while a handler runs: handlers never interleave.
  void TimerTicked(int id);

  // ---- handlers, one per control ----
  void OnReadAddr();
  void OnSetAddr();
  void OnClear();
  void OnNameChange();
  void OnAuto();
  void OnOpenFile();
  void OnBrun();
  void OnDump();
  void OnErase();
  void OnEeprom();
  void OnSpiFlash();
  void OnParallelFlash();
  void OnListClear();
  void OnReset();
  void OnMicAndSpeaker();
  void OnAutoCalibrate();
  void OnTxPower();
  void OnRxSensitivity();
  void OnLock();
  void OnTesting();

  void EnumeratePorts();

  // ---- DialogServices ----
  bool CollectFields() override;
  void ShowFields() override;
  dialog::FieldValues& Fields() override { return fields_; }
  bool IsButtonSet(int id) const override;
  const dialog::Transports& transports() const override { return transports_; }
  dialog::Window& window() override { return window_; }
  void CaretToEnd(int id) override;
  // Opened on first use (at the latest by OnInitDialog) in the working directory.
  ledger::Ledger& Ledger() override;
  void UseLedger(std::unique_ptr<ledger::Ledger> ledger) { ledger_ = std::move(ledger); }

  // True while a handler runs: the window then takes no input and nothing enumerates.
  bool Busy() const { return busy_; }

 protected:
  void ShowReport(std::string_view text) override;

 private:
  dialog::Window& window_;
  vendor::TestEngine& engine_;
  vendor::TestFlash& flash_;
  vendor::TestE2& e2_;
  dialog::Transports& transports_;
  dialog::FieldValues fields_;
  LogEdit logPane_;
  bool busy_ = false;
  pio::PioMonitor pioMonitor_;  // timer 1: lives across its ticks
  std::unique_ptr<ledger::Ledger> ledger_;
};

}  // namespace app
