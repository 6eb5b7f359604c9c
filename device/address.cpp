#include "device/address.h"

#include <cstdio>

#include "dialog/recorded_operation.h"
#include "device/address_read_back.h"
#include "device/chip_connection.h"
#include "ledger/address_range.h"
#include "platform/gbk.h"
#include "res/resource_ids.h"

namespace device {
namespace {

constexpr const char* kReadOk = "读取蓝牙地址成功! ";
constexpr const char* kReadFailed = "读取蓝牙地址失败! ";
constexpr const char* kWriteOk = "写蓝牙地址成功! ";
constexpr const char* kWriteFailed = "写蓝牙地址失败! ";
// What a read-back of the module found; the line is the operation's result in the record.
constexpr const char* kWriteOkReadBack = "写蓝牙地址成功! 回读地址%s与写入一致. ";
constexpr const char* kWriteOkNoAnswer = "写蓝牙地址成功! 写入无应答, 但回读地址%s与写入一致. ";
constexpr const char* kNoAnswerNoReadBack =
    "写蓝牙地址无应答, 回读地址也失败! 模块是否已有%s未知, 此地址不再使用, 请检查该模块. ";
constexpr const char* kNotKept = "模块没有保存新地址! 写入%s, 回读为%s; 此地址不再使用, 请检查该模块. ";
constexpr const char* kReadBackFailed = "写入后回读蓝牙地址失败! 模块是否已有%s未知, 此地址不再使用, 请检查该模块. ";
constexpr const char* kResetFailed = "写入后冷复位失败, 无法回读! 模块是否已有%s未知, 此地址不再使用, 请检查该模块. ";
constexpr const char* kNoStartAddress = "请填写开始蓝牙地址或点ReadAddr按键读取!";
constexpr const char* kRangeUsedUp = "蓝牙地址已用完! LAP=%s 超出ffffff, 请换新的地址段. ";
constexpr const char* kReservedLap = "LAP=%s 是保留地址(9e8b00-9e8b3f), 不能写入! ";
constexpr const char* kNoStoredAddress = "btconfig.ini中没有下一地址(NAP/UAP/LAP)! 请先设置地址段. ";
constexpr const char* kNotHex = "btconfig.ini中的%s=%s不是十六进制地址! 请改正后再写地址. ";
constexpr const char* kCounterNotSaved = "btconfig.ini保存失败! 计数未更新, 请检查文件后再写地址! ";
constexpr const char* kHeld = "另一个工位程序正在使用btconfig.ini, 本程序不写地址! 请先关闭另一个程序. ";
constexpr const char* kRecordFailed = "production.db写入失败! 地址未写入, 请检查磁盘后再写地址. ";
constexpr const char* kLockDenied =
    "没有权限打开btconfig.ini.lock(可能是另一个用户的文件)! 本程序不写地址, 请检查该文件的所有者和权限. ";
constexpr const char* kLockUnopenable = "无法打开或创建btconfig.ini.lock! 本程序不写地址, 请检查btconfig.ini所在的文件夹. ";
constexpr const char* kLinkedCounter =
    "btconfig.ini有多个硬链接(另一个文件夹在用同一个计数器)! 本程序不写地址, 请改用符号链接或地址服务器([ledger] url). ";
constexpr const char* kNetworkFolder =
    "btconfig.ini或production.db在网络文件夹上, 本地记录的锁在多台电脑之间无效! 本程序不写地址, 多个工位请用地址服务器(btconfig.ini中的[ledger] url). ";
constexpr const char* kServerUnreachable = "无法连接地址服务器%s! 地址未写入, 请检查网络和服务器后再按SetAddr. ";
constexpr const char* kServerCertificate =
    "地址服务器%s的证书验证失败(不是网络问题)! 地址未写入, 请检查服务器证书和btconfig.ini中的sslrootcert. ";
constexpr const char* kServerRefused = "地址服务器%s拒绝了地址操作! 地址未写入, 请检查数据库设置(tarnwick-record range add). ";
constexpr const char* kServerRangeUsedUp = "地址服务器%s上的地址段已用完! 请用tarnwick-record range add添加新的地址段. ";
constexpr const char* kServerConnectTimeout =
    "连接地址服务器%s超时(4秒)! 地址未写入, 请检查网络和服务器后再按SetAddr. ";
constexpr const char* kServerStatementTimeout =
    "地址服务器%s超过8秒没有回答! 地址未写入, 请检查网络和服务器后再按SetAddr. ";
constexpr const char* kServerLockTimeout =
    "等待地址服务器%s的取号锁超时(5秒), 其他工位占用太久! 地址未写入, 请再按SetAddr. ";
constexpr const char* kServerPasswordRefused =
    "地址服务器%s拒绝了密码! 地址未写入, 请检查.pgpass中的用户名和密码. ";
constexpr const char* kServerRoleRefused =
    "地址服务器%s不允许[ledger] url中的用户登录! 地址未写入, 请检查用户名和服务器上的用户权限. ";
constexpr const char* kServerNoDatabase =
    "地址服务器%s上没有[ledger] url中的数据库! 地址未写入, 请检查btconfig.ini中的数据库名. ";
constexpr const char* kBadServerUrl =
    "btconfig.ini中[ledger] url无效! 应为postgresql://user@host:port/dbname, 密码只放在.pgpass. 地址未写入. ";
constexpr const char* kNoServerLedger = "本程序不支持地址服务器(btconfig.ini中的[ledger] url), 地址未写入! ";
constexpr const char* kConfirmClear = "Are you srue to clear the SUM ?";

std::string Hex(const char* format, uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, format, value);
  return text;
}

// One line of the report buffer's size, `format` being one of the texts above.
std::string Line(const char* format, const std::string& address) {
  char text[dialog::DialogServices::kFormatBuffer];
  snprintf(text, sizeof text, format, address.c_str());
  return text;
}

// A stored value as the engineer must see it: a NUL or other control byte
// would end or garble the message, so each is shown as \xNN (a backslash
// too, so that the text cannot be mistaken). A GBK character stays whole.
std::string Visible(const std::string& text) {
  std::string shown;
  for (size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    const auto byte = static_cast<unsigned char>(c);
    if (platform::IsGbkLeadByte(byte) && at + 1 < text.size()) {
      shown.append(text, at++, 2);
    } else if (byte < 0x20 || byte == 0x7f || c == '\\') {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

void Address::OnReadAddr() {
  dialog::RecordedOperation record(dialog_, ledger::kAddressRead, dialog::LastTickedTransport(dialog_));
  dialog_.Report(" ");
  ChipConnection connection;
  if (!OpenChipConnection(dialog_, engine_, &connection)) return;

  uint32_t lap = 0;
  uint8_t uap = 0;
  uint16_t nap = 0;
  // A failed read must not pass 0000/0/000000 off as the module's address.
  if (engine_.psReadBdAddr(connection.module, &lap, &uap, &nap) == 1) {
    dialog::FieldValues& fields = dialog_.Fields();
    fields.StartNap = Hex("%04x", nap);
    fields.StartUap = Hex("%x", uap);
    fields.StartLap = Hex("%06x", lap);
    dialog_.ShowFields();
    for (int id : {res::IDC_START_LAP, res::IDC_START_UAP, res::IDC_START_NAP}) dialog_.CaretToEnd(id);
    record.row().address = ledger::AddressText({nap, uap, lap});
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

bool Address::Refused(const ledger::NextAddress& next) {
  switch (next.refusal) {
    case ledger::Refusal::None:
      return false;
    case ledger::Refusal::NoStoredAddress:
      dialog_.Report("%s", kNoStoredAddress);
      break;
    case ledger::Refusal::NotHex: {
      const std::string& text = next.badKey == "NAP" ? next.napText : next.badKey == "UAP" ? next.uapText : next.lapText;
      dialog_.Report(kNotHex, next.badKey.c_str(), Visible(text).c_str());
      break;
    }
    case ledger::Refusal::UsedUp:
      dialog_.Report(kRangeUsedUp, next.lapText.c_str());
      break;
    case ledger::Refusal::Reserved:
      dialog_.Report(kReservedLap, next.lapText.c_str());
      break;
    case ledger::Refusal::Held:
      dialog_.Report("%s", kHeld);
      break;
    case ledger::Refusal::CounterNotSaved:
      dialog_.Report("%s", kCounterNotSaved);
      break;
    case ledger::Refusal::RecordFailed:
      dialog_.Report("%s", kRecordFailed);
      break;
    case ledger::Refusal::LockDenied:
      dialog_.Report("%s", kLockDenied);
      break;
    case ledger::Refusal::LockUnopenable:
      dialog_.Report("%s", kLockUnopenable);
      break;
    case ledger::Refusal::LinkedCounter:
      dialog_.Report("%s", kLinkedCounter);
      break;
    case ledger::Refusal::NetworkFolder:
      dialog_.Report("%s", kNetworkFolder);
      break;
    case ledger::Refusal::ServerUnreachable:
      dialog_.Report(kServerUnreachable, dialog_.Ledger().ServerName().c_str());
      break;
    case ledger::Refusal::ServerCertificate:
      dialog_.Report(kServerCertificate, dialog_.Ledger().ServerName().c_str());
      break;
    case ledger::Refusal::ServerRefused:
      dialog_.Report(kServerRefused, dialog_.Ledger().ServerName().c_str());
      break;
    case ledger::Refusal::ServerRangeUsedUp:
      dialog_.Report(kServerRangeUsedUp, dialog_.Ledger().ServerName().c_str());
      break;
    case ledger::Refusal::ServerConnectTimeout:
      dialog_.Report(kServerConnectTimeout, dialog_.Ledger().ServerName().c_str());
      break;
    case ledger::Refusal::ServerStatementTimeout:
      dialog_.Report(kServerStatementTimeout, dialog_.Ledger().ServerName().c_str());
      break;
    case ledger::Refusal::ServerLockTimeout:
      dialog_.Report(kServerLockTimeout, dialog_.Ledger().ServerName().c_str());
      break;
    case ledger::Refusal::ServerPasswordRefused:
      dialog_.Report(kServerPasswordRefused, dialog_.Ledger().ServerName().c_str());
      break;
    case ledger::Refusal::ServerRoleRefused:
      dialog_.Report(kServerRoleRefused, dialog_.Ledger().ServerName().c_str());
      break;
    case ledger::Refusal::ServerNoDatabase:
      dialog_.Report(kServerNoDatabase, dialog_.Ledger().ServerName().c_str());
      break;
    case ledger::Refusal::BadServerUrl:
      dialog_.Report("%s", kBadServerUrl);
      break;
    case ledger::Refusal::NoServerLedger:
      dialog_.Report("%s", kNoServerLedger);
      break;
  }
  return true;
}

bool Address::WriteAddress(const std::string& transport) {
  dialog::RecordedOperation record(dialog_, ledger::kAddressWrite, transport);
  dialog_.Report(" ");
  dialog::FieldValues& fields = dialog_.Fields();
  if (fields.StartLap.empty() && fields.StartNap.empty() && fields.StartUap.empty()) {
    dialog_.Report("%s", kNoStartAddress);
    return true;
  }

  // Refused before any module is touched: a missing or mistyped counter, a LAP
  // past the range or in the reserved block, or a counter this program cannot
  // keep would each give some module a second module's address.
  ledger::NextAddress next = dialog_.Ledger().Next();
  if (Refused(next)) return false;
  fields.CurrentNap = next.napText;
  fields.CurrentUap = next.uapText;
  fields.CurrentLap = next.lapText;
  dialog_.ShowFields();
  for (int id : {res::IDC_CURRENT_LAP, res::IDC_CURRENT_UAP, res::IDC_CURRENT_NAP}) dialog_.CaretToEnd(id);

  ChipConnection connection;
  if (!OpenModuleConnection(dialog_, engine_, transport, true, &connection)) return true;

  // Marked handed out, on the disk, before the module can take it.
  ledger::NextAddress reserved = next;
  reserved.refusal = dialog_.Ledger().Reserve(&next.address, &record.row());
  if (Refused(reserved)) {
    CloseChipConnection(engine_, connection);
    return false;
  }
  // Another station drew the address shown meanwhile: the row shows the one this module gets.
  if (!(next.address == reserved.address)) {
    fields.CurrentNap = Hex("%04x", next.address.nap);
    fields.CurrentUap = Hex("%02x", next.address.uap);
    fields.CurrentLap = Hex("%06x", next.address.lap);
    dialog_.ShowFields();
    for (int id : {res::IDC_CURRENT_LAP, res::IDC_CURRENT_UAP, res::IDC_CURRENT_NAP}) dialog_.CaretToEnd(id);
  }
  bool saved = true;
  const bool accepted =
      engine_.psWriteBdAddr(connection.module, next.address.lap, next.address.uap, next.address.nap) == 1;
  const VerifySettings verify = ReadVerifySettings();
  if (accepted && !verify.address) {
    StoreNextAddress(dialog_.Ledger().Written(&record.row(), next.address), kWriteOk, &saved);
  } else {
    saved = SettleByReadBack(accepted, verify, connection.module, next.address, &record.row());
  }
  CloseChipConnection(engine_, connection);
  return saved;
}

// A refusal is no proof that the module lacks the address (the answer may be
// what got lost), and an acceptance no proof that it holds it: the module
// itself says. An address that may be in a module is never given again.
bool Address::SettleByReadBack(bool accepted, const VerifySettings& verify, uint32_t module,
                               const ledger::BdAddress& written, ledger::OperationRow* row) {
  ledger::BdAddress found;
  const std::string writtenText = ledger::AddressText(written);
  switch (ReadBackAddress(engine_, module, written, verify.reset, &found)) {
    case ReadBack::Holds: {
      bool saved = true;
      StoreNextAddress(dialog_.Ledger().Written(row, written),
                       Line(accepted ? kWriteOkReadBack : kWriteOkNoAnswer, writtenText), &saved);
      return saved;
    }
    case ReadBack::Other:
      if (!accepted) {
        dialog_.Ledger().Failed(row);
        dialog_.Report("%s", kWriteFailed);
        return true;
      }
      dialog_.Ledger().Unknown(row);
      dialog_.Report(kNotKept, writtenText.c_str(), ledger::AddressText(found).c_str());
      return true;
    case ReadBack::NoAnswer:
      dialog_.Ledger().Unknown(row);
      dialog_.Report(accepted ? kReadBackFailed : kNoAnswerNoReadBack, writtenText.c_str());
      return true;
    case ReadBack::ResetRefused:
      dialog_.Ledger().Unknown(row);
      dialog_.Report(kResetFailed, writtenText.c_str());
      return true;
  }
  return true;
}

void Address::StoreNextAddress(const ledger::CounterAfterWrite& after, const std::string& okLine, bool* saved) {
  dialog::FieldValues& fields = dialog_.Fields();
  fields.NextNap = after.nextNapText.empty() ? fields.CurrentNap : after.nextNapText;
  fields.NextUap = after.nextUapText.empty() ? fields.CurrentUap : after.nextUapText;
  // Past the last LAP there is no next address to show; the counter keeps the
  // value past it, so the next press says the range is used up.
  const bool serverUsedUp = after.nextRefusal == ledger::Refusal::ServerRangeUsedUp;
  if (serverUsedUp) fields.NextNap = fields.NextUap = std::string();
  fields.NextLap = after.nextLap > ledger::kLastLap || serverUsedUp ? std::string() : after.nextLapText;
  dialog_.ShowFields();
  for (int id : {res::IDC_NEXT_LAP, res::IDC_NEXT_UAP, res::IDC_NEXT_NAP}) dialog_.CaretToEnd(id);
  fields.BurnCount = after.totalText;
  *saved = after.saved;
  dialog_.ShowFields();
  dialog_.CaretToEnd(res::IDC_BURN_COUNT);
  dialog_.Report("%s", okLine.c_str());
  if (!*saved) {
    dialog_.Report("%s", kCounterNotSaved);
  } else if (serverUsedUp) {
    dialog_.Report(kServerRangeUsedUp, dialog_.Ledger().ServerName().c_str());
  } else if (after.nextLap > ledger::kLastLap) {
    dialog_.Report(kRangeUsedUp, after.nextLapText.c_str());
  }
}

void Address::OnClear() {
  if (dialog_.window().MessageBox(kConfirmClear, dialog::kMbYesNo) != dialog::kIdYes) return;
  ledger::NextAddress cleared;
  cleared.refusal = dialog_.Ledger().ClearCount();
  const ledger::Refusal refusal = cleared.refusal;
  // The count stays as it is when its keeper cannot be reached or is held.
  if (refusal != ledger::Refusal::None && refusal != ledger::Refusal::CounterNotSaved) {
    Refused(cleared);
    return;
  }
  dialog_.Fields().BurnCount = std::to_string(0);
  dialog_.ShowFields();
  dialog_.CaretToEnd(res::IDC_BURN_COUNT);
  if (refusal != ledger::Refusal::None) dialog_.Report("%s", kCounterNotSaved);
}

}  // namespace device
