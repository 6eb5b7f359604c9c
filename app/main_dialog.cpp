#include "app/main_dialog.h"

#include <cstdio>

#include "app/data_exchange.h"
#include "app/export_record.h"
#include "app/port_enumeration.h"
#include "dialog/settings.h"
#include "device/address.h"
#include "device/device_name.h"
#include "ledger/open_ledger.h"
#include "memory/commands.h"
#include "pio/pio_test.h"
#include "pio/spi_lock.h"
#include "radio/crystal_calibration.h"
#include "radio/loopback.h"
#include "radio/transmit_power.h"
#include "res/resource_ids.h"
#include "res/strings.h"

namespace app {
namespace {

constexpr const char* kExportRecordItem = "导出生产记录(&E)...";

using Handler = void (MainDialog::*)();

struct Route {
  int id;
  Handler handler;
};

// Every command the window sends, to its handler.
constexpr Route kRoutes[] = {
    {res::IDC_READ_ADDR, &MainDialog::OnReadAddr},
    {res::IDC_SET_ADDR, &MainDialog::OnSetAddr},
    {res::IDC_BRUN, &MainDialog::OnBrun},
    {res::IDC_OPEN_FILE, &MainDialog::OnOpenFile},
    {res::IDC_CLEAR, &MainDialog::OnClear},
    {res::IDC_NAME_CHANGE, &MainDialog::OnNameChange},
    {res::IDC_DUMP, &MainDialog::OnDump},
    {res::IDC_AUTO, &MainDialog::OnAuto},
    {res::IDC_LIST_CLEAR, &MainDialog::OnListClear},
    {res::IDC_RESET, &MainDialog::OnReset},
    {res::IDC_MIC_SPEAKER, &MainDialog::OnMicAndSpeaker},
    {res::IDC_AUTO_CALIBRATE, &MainDialog::OnAutoCalibrate},
    {res::IDC_EEPROM, &MainDialog::OnEeprom},
    {res::IDC_SPI_FLASH, &MainDialog::OnSpiFlash},
    {res::IDC_RX_SENSITIVITY_CMD, &MainDialog::OnRxSensitivity},
    {res::IDC_ERASE, &MainDialog::OnErase},
    {res::IDC_TX_POWER, &MainDialog::OnTxPower},
    {res::IDC_RX_SENSITIVITY, &MainDialog::OnRxSensitivity},
    {res::IDC_PARALLEL_FLASH, &MainDialog::OnParallelFlash},
    {res::IDC_LOCK, &MainDialog::OnLock},
    {res::IDC_TESTING, &MainDialog::OnTesting},
};

// Marks the dialog busy for the length of one handler.
class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy), was_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = was_; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
  bool was_;
};

}  // namespace

MainDialog::MainDialog(dialog::Window& window, vendor::TestEngine& engine, vendor::TestFlash& flash, vendor::TestE2& e2,
                       dialog::Transports& transports)
    : window_(window),
      engine_(engine),
      flash_(flash),
      e2_(e2),
      transports_(transports),
      logPane_(window, res::IDC_LOG) {}

// ---------------------------------------------------------------- messages

void MainDialog::OnInitDialog() {
  ShowFields();  // the framework's first exchange: empty values, and the limits set

  if (window_.HasSystemMenu()) {
    std::string_view about = res::LoadString(res::IDS_ABOUTBOX);
    if (!about.empty()) window_.AppendSystemMenuItem(res::IDM_ABOUTBOX, about);
    window_.AppendSystemMenuItem(res::IDM_EXPORT_RECORD, kExportRecordItem);
  }
  window_.SetAppIcon();

  // Before the counter is shown: opening the ledger moves it past any address
  // a program that died may have given a module.
  // A line's server shows the next address of the shared range and this station's count.
  if (std::optional<ledger::ShownCounter> shared = Ledger().SharedCounter()) {
    fields_.BurnCount = shared->totalText;
    fields_.StartNap = shared->napText;
    fields_.StartUap = shared->uapText;
    fields_.StartLap = shared->lapText;
  } else {
    fields_.BurnCount = dialog::ReadSetting(dialog::kSumSection, dialog::kTotalKey, 16);
    fields_.StartNap = dialog::ReadSetting(dialog::kAddressSection, dialog::kNapKey, 16);
    fields_.StartUap = dialog::ReadSetting(dialog::kAddressSection, dialog::kUapKey, 16);
    fields_.StartLap = dialog::ReadSetting(dialog::kAddressSection, dialog::kLapKey, 128);
  }
  for (size_t i = 0; i < fields_.PioText.size(); ++i) {
    fields_.PioText[i] = dialog::ReadSetting(dialog::kPioSection, "pio_" + std::to_string(i + 1), 16);
  }
  ShowFields();
  for (int id : {res::IDC_START_LAP, res::IDC_START_UAP, res::IDC_START_NAP, res::IDC_BURN_COUNT}) CaretToEnd(id);

  window_.SetCheck(res::IDC_EEPROM, dialog::kBstChecked);
  SetItemTextFormat(res::IDC_MEMORY_SIZE, "0Kbit");
}

bool MainDialog::OnSysCommand(unsigned command) {
  if ((command & 0xFFF0u) == static_cast<unsigned>(res::IDM_EXPORT_RECORD)) {
    BusyScope scope(busy_);
    ExportRecord(*this);
    return true;
  }
  if ((command & 0xFFF0u) != static_cast<unsigned>(res::IDM_ABOUTBOX)) return false;
  window_.ShowAbout();
  return true;
}

void MainDialog::OnPaint() {
  // A handler's own calls into the libraries must never interleave with these.
  if (busy_) return;
  EnumeratePorts();
}

bool MainDialog::OnCommand(int id) {
  for (const Route& route : kRoutes) {
    if (route.id == id) {
      BusyScope scope(busy_);
      (this->*route.handler)();
      return true;
    }
  }
  return false;
}

void MainDialog::OnOK() {
  if (CollectFields()) window_.EndDialog(dialog::kIdOk);
}

void MainDialog::OnCancel() { window_.EndDialog(dialog::kIdCancel); }

void MainDialog::OnTimer(int id) { pioMonitor_.OnTimer(*this, engine_, id); }

void MainDialog::Clicked(int id) {
  if (busy_) return;
  if (OnCommand(id)) return;
  if (id == res::kIdCancel) OnCancel();
  if (id == res::kIdOk) OnOK();
}

void MainDialog::TimerTicked(int id) {
  if (!busy_) OnTimer(id);
}

// ---------------------------------------------------------------- fields

bool MainDialog::CollectFields() {
  for (const FieldBinding& binding : FieldBindings()) {
    std::string text;
    if (binding.list) {
      int selected = window_.CurSel(binding.id);
      if (selected >= 0) text = window_.ListText(binding.id, selected);
    } else {
      text = window_.ItemText(binding.id);
    }
    if (binding.limit != 0 && text.size() > binding.limit) {
      char message[kFormatBuffer];
      snprintf(message, sizeof message, "Please enter no more than %zu characters.", binding.limit);
      window_.MessageBox(message, dialog::kMbOk);
      window_.SetFocus(binding.id);
      return false;
    }
    binding.value(fields_) = std::move(text);
  }
  return true;
}

void MainDialog::ShowFields() {
  for (const FieldBinding& binding : FieldBindings()) {
    const std::string& value = binding.value(fields_);
    if (binding.list) {
      int match = -1;
      for (int i = 0, n = window_.ListCount(binding.id); i < n && match < 0; ++i) {
        if (window_.ListText(binding.id, i).starts_with(value)) match = i;
      }
      window_.SetCurSel(binding.id, match);
      continue;
    }
    window_.SetItemText(binding.id, value);
    if (binding.limit != 0) window_.SetLimitText(binding.id, static_cast<int>(binding.limit));
  }
}

ledger::Ledger& MainDialog::Ledger() {
  if (!ledger_) ledger_ = ledger::OpenLedger();
  return *ledger_;
}

bool MainDialog::IsButtonSet(int id) const { return window_.ButtonState(id) != 0; }

void MainDialog::CaretToEnd(int id) {
  window_.SetSel(id, static_cast<int>(window_.ItemText(id).size()), -1);
  window_.ScrollCaret(id);
}

void MainDialog::ShowReport(std::string_view text) {
  window_.SetItemText(res::IDC_STATUS, text);
  logPane_.AppendLine(std::string(text));
}

// ---------------------------------------------------------------- ports

void MainDialog::EnumeratePorts() {
  PortAnswer answer = AskAvailablePorts(IsButtonSet(res::IDC_SPI_FLASH), IsButtonSet(res::IDC_EEPROM), flash_, engine_);
  // With parallel flash alone no library is asked: the adapters have not gone
  // away, and the flash road still needs their transports.
  if (!answer.asked) return;
  transports_.Device1Transport = answer.device1Transport;
  transports_.Device2Transport = answer.device2Transport;
  if (!answer.twoDevices) window_.EnableItem(res::IDC_DEVICE2, false);
  window_.ResetContent(res::IDC_DEVICE1_LIST);
  window_.AddString(res::IDC_DEVICE1_LIST, answer.device1Name);
  window_.ResetContent(res::IDC_DEVICE2_LIST);
  window_.AddString(res::IDC_DEVICE2_LIST, answer.device2Name);
}

// ---------------------------------------------------------------- handlers

void MainDialog::OnListClear() { window_.SetItemText(res::IDC_LOG, ""); }

void MainDialog::OnRxSensitivity() {}

void MainDialog::OnReadAddr() { device::Address(*this, engine_).OnReadAddr(); }
void MainDialog::OnSetAddr() { device::Address(*this, engine_).OnSetAddr(); }
void MainDialog::OnClear() { device::Address(*this, engine_).OnClear(); }
void MainDialog::OnNameChange() { device::DeviceName(*this, engine_).OnNameChange(); }

// The production pass for the ticked modules: burn, then address. The address
// is written whatever the burn did; each step says for itself how it went.
void MainDialog::OnAuto() {
  Report("Step 1: ");
  OnBrun();
  Report("Step 2: ");
  OnSetAddr();
}

void MainDialog::OnOpenFile() { memory::Commands(*this, engine_, flash_, e2_).OnOpenFile(); }
void MainDialog::OnBrun() { memory::Commands(*this, engine_, flash_, e2_).OnBrun(); }
void MainDialog::OnDump() { memory::Commands(*this, engine_, flash_, e2_).OnDump(); }
void MainDialog::OnErase() { memory::Commands(*this, engine_, flash_, e2_).OnErase(); }
void MainDialog::OnEeprom() { memory::Commands(*this, engine_, flash_, e2_).OnEeprom(); }
void MainDialog::OnSpiFlash() { memory::Commands(*this, engine_, flash_, e2_).OnSpiFlash(); }
void MainDialog::OnParallelFlash() { memory::Commands(*this, engine_, flash_, e2_).OnParallelFlash(); }
void MainDialog::OnReset() { radio::CrystalCalibration(*this, engine_).OnReset(); }
void MainDialog::OnMicAndSpeaker() { radio::LoopbackTest(*this, engine_).OnMicAndSpeaker(); }
void MainDialog::OnAutoCalibrate() { radio::CrystalCalibration(*this, engine_).OnAutoCalibrate(); }
void MainDialog::OnTxPower() { radio::TransmitPowerTest(*this, engine_).OnTxPower(); }
void MainDialog::OnLock() { pio::SpiLock(*this, engine_).OnLock(); }
void MainDialog::OnTesting() { pio::PioTest(*this, engine_, pioMonitor_).OnTesting(); }

}  // namespace app
