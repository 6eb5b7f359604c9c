#include "device/address.h"

#include <cstdio>

#include "app/settings.h"
#include "device/address_counter.h"
#include "device/chip_connection.h"
#include "platform/number_text.h"
#include "res/resource_ids.h"

namespace device {
namespace {

constexpr const char* kReadOk = "读取蓝牙地址成功! ";
constexpr const char* kReadFailed = "读取蓝牙地址失败! ";
constexpr const char* kWriteOk = "写蓝牙地址成功! ";
constexpr const char* kWriteFailed = "写蓝牙地址失败! ";
constexpr const char* kNoStartAddress = "请填写开始蓝牙地址或点ReadAddr按键读取!";
constexpr const char* kRangeUsedUp = "蓝牙地址已用完! LAP=%s 超出ffffff, 请换新的地址段. ";
constexpr const char* kReservedLap = "LAP=%s 是保留地址(9e8b00-9e8b3f), 不能写入! ";
constexpr const char* kNoStoredAddress = "btconfig.ini中没有下一地址(NAP/UAP/LAP)! 请先设置地址段. ";
constexpr const char* kCounterNotSaved = "btconfig.ini保存失败! 计数未更新, 请检查文件后再写地址! ";
constexpr const char* kConfirmClear = "Are you srue to clear the SUM ?";

std::string Hex(const char* format, uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

void Address::OnReadAddr() {
  dialog_.Report(" ");
  ChipConnection connection;
  if (!OpenChipConnection(dialog_, engine_, &connection)) return;

  uint32_t lap = 0;
  uint8_t uap = 0;
  uint16_t nap = 0;
  // A failed read must not pass 0000/0/000000 off as the module's address.
  if (engine_.psReadBdAddr(connection.module, &lap, &uap, &nap) == 1) {
    app::FieldValues& fields = dialog_.Fields();
    fields.StartNap = Hex("%04x", nap);
    fields.StartUap = Hex("%x", uap);
    fields.StartLap = Hex("%06x", lap);
    dialog_.ShowFields();
    for (int id : {res::IDC_START_LAP, res::IDC_START_UAP, res::IDC_START_NAP}) dialog_.CaretToEnd(id);
    dialog_.Report("%s", kReadOk);
  } else {
    dialog_.Report("%s", kReadFailed);
  }
  CloseChipConnection(engine_, connection);
}

void Address::OnSetAddr() {
  if (dialog_.IsButtonSet(res::IDC_DEVICE1) && !WriteAddress(dialog_.transports().Device1Transport)) return;
  if (dialog_.IsButtonSet(res::IDC_DEVICE2)) WriteAddress(dialog_.transports().Device2Transport);
}

bool Address::WriteAddress(const std::string& transport) {
  dialog_.Report(" ");
  app::FieldValues& fields = dialog_.Fields();
  if (fields.StartLap.empty() && fields.StartNap.empty() && fields.StartUap.empty()) {
    dialog_.Report("%s", kNoStartAddress);
    return true;
  }

  std::string napText = app::ReadSetting(app::kAddressSection, app::kNapKey, 16);
  std::string uapText = app::ReadSetting(app::kAddressSection, app::kUapKey, 16);
  std::string lapText = app::ReadSetting(app::kAddressSection, app::kLapKey, 32);
  uint32_t nap = platform::ParseHex(napText);
  uint32_t uap = platform::ParseHex(uapText);
  uint32_t lap = platform::ParseHex(lapText);
  // Refused before any module is touched: a missing counter would give every
  // module 0000:00:000000, a LAP past the range or in the reserved block would
  // be a second module's address or no device's at all.
  if (napText.empty() || uapText.empty() || lapText.empty()) {
    dialog_.Report("%s", kNoStoredAddress);
    return false;
  }
  switch (CheckStoredLap(lapText, lap)) {
    case LapCheck::UsedUp:
      dialog_.Report(kRangeUsedUp, lapText.c_str());
      return false;
    case LapCheck::Reserved:
      dialog_.Report(kReservedLap, lapText.c_str());
      return false;
    case LapCheck::Ok:
      break;
  }
  fields.CurrentNap = napText;
  fields.CurrentUap = uapText;
  fields.CurrentLap = lapText;
  dialog_.ShowFields();
  for (int id : {res::IDC_CURRENT_LAP, res::IDC_CURRENT_UAP, res::IDC_CURRENT_NAP}) dialog_.CaretToEnd(id);

  ChipConnection connection;
  if (!OpenModuleConnection(dialog_, engine_, transport, true, &connection)) return true;

  bool saved = true;
  if (engine_.psWriteBdAddr(connection.module, lap, uap, nap) == 1) {
    StoreNextAddress(lap, &saved);
  } else {
    dialog_.Report("%s", kWriteFailed);
  }
  CloseChipConnection(engine_, connection);
  return saved;
}

void Address::StoreNextAddress(uint32_t lap, bool* saved) {
  app::FieldValues& fields = dialog_.Fields();
  uint32_t next = NextLap(lap);
  std::string nextText = Hex("%06x", next);
  fields.NextNap = fields.CurrentNap;
  fields.NextUap = fields.CurrentUap;
  // Past the last LAP there is no next address to show; the counter keeps the
  // value past it, so the next press says the range is used up.
  fields.NextLap = next > kLastLap ? std::string() : nextText;
  dialog_.ShowFields();
  for (int id : {res::IDC_NEXT_LAP, res::IDC_NEXT_UAP, res::IDC_NEXT_NAP}) dialog_.CaretToEnd(id);
  *saved = app::WriteSetting(app::kAddressSection, app::kLapKey, nextText);

  uint32_t count = static_cast<uint32_t>(platform::ParseDecimal(app::ReadSetting(app::kSumSection, app::kTotalKey, 64))) + 1;
  fields.BurnCount = std::to_string(count);
  *saved = app::WriteSetting(app::kSumSection, app::kTotalKey, fields.BurnCount) && *saved;
  dialog_.ShowFields();
  dialog_.CaretToEnd(res::IDC_BURN_COUNT);
  dialog_.Report("%s", kWriteOk);
  if (!*saved) {
    dialog_.Report("%s", kCounterNotSaved);
  } else if (next > kLastLap) {
    dialog_.Report(kRangeUsedUp, nextText.c_str());
  }
}

void Address::OnClear() {
  if (dialog_.window().MessageBox(kConfirmClear, app::MB_YESNO) != app::IDYES) return;
  dialog_.Fields().BurnCount = std::to_string(0);
  bool saved = app::WriteSetting(app::kSumSection, app::kTotalKey, dialog_.Fields().BurnCount);
  dialog_.ShowFields();
  dialog_.CaretToEnd(res::IDC_BURN_COUNT);
  if (!saved) dialog_.Report("%s", kCounterNotSaved);
}

}  // namespace device
