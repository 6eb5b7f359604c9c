#include "res/dialog_template.h"
#include "res/resource_ids.h"

namespace res {
namespace {

constexpr uint32_t kButton = kTabStop;
constexpr uint32_t kField = kTabStop | kAutoHScroll;
constexpr uint32_t kAddress = kField | kLowerCase;
constexpr uint32_t kPio = kField | kHidden;

// Dialog 102, in tab order.
constexpr Control kMain[] = {
    {kIdCancel, Kind::PushButton, "Exit", 461, 311, 54, 37, kButton | kOwnerDraw, nullptr},
    {IDC_READ_ADDR, Kind::PushButton, "ReadAddr", 301, 126, 45, 19, kButton, nullptr},
    {IDC_CURRENT_NAP, Kind::Edit, "", 81, 147, 62, 16, kAddress | kAcceptFiles, "CurrentNap"},
    {kNoId, Kind::GroupBox, "2:Set BT Address", 7, 109, 347, 120, 0, nullptr},
    {IDC_OPEN_FILE, Kind::PushButton, "Open File:", 11, 83, 56, 19, kButton, nullptr},
    {IDC_FIRMWARE_PATH, Kind::Edit, "", 73, 85, 217, 16, kField | kAcceptFiles, "FirmwarePath"},
    {kNoId, Kind::GroupBox, "1:Brun Memery", 7, 54, 347, 52, 0, nullptr},
    {IDC_BRUN, Kind::PushButton, "Brun", 301, 83, 45, 19, kButton, nullptr},
    {IDC_STATUS, Kind::Label, "", 7, 312, 347, 20, 0, "StatusLine"},
    {kNoId, Kind::GroupBox, "", 7, 7, 347, 43, 0, nullptr},
    {IDC_DEVICE1_LIST, Kind::ListBox, "", 76, 20, 78, 11, kTabStop | kNotify | kVScroll, "Device1Label"},
    {kNoId, Kind::Label, "Device1:", 18, 20, 33, 10, 0, nullptr},
    {kNoId, Kind::Label, "下一地址：", 21, 170, 42, 12, 0, nullptr},
    {kNoId, Kind::Label, "NAP", 104, 116, 13, 10, 0, nullptr},
    {kNoId, Kind::Label, "UAP", 181, 116, 13, 10, 0, nullptr},
    {kNoId, Kind::Label, "LAP", 250, 116, 13, 10, 0, nullptr},
    {kNoId, Kind::Label, "烧录数量：", 21, 189, 42, 12, 0, nullptr},
    {IDC_BURN_COUNT, Kind::Edit, "", 81, 185, 207, 16, kField | kReadOnly | kDisabled | kAcceptFiles, "BurnCount"},
    {IDC_NEXT_NAP, Kind::Edit, "", 81, 166, 62, 16, kAddress | kAcceptFiles, "NextNap"},
    {IDC_NEXT_UAP, Kind::Edit, "", 167, 166, 43, 16, kAddress | kAcceptFiles, "NextUap"},
    {IDC_NEXT_LAP, Kind::Edit, "", 231, 166, 56, 16, kAddress | kAcceptFiles, "NextLap"},
    {IDC_CLEAR, Kind::PushButton, "Clear", 301, 180, 45, 19, kButton, nullptr},
    {IDC_SET_ADDR, Kind::PushButton, "SetAddr", 301, 147, 45, 19, kButton, nullptr},
    {IDC_DEVICE_NAME, Kind::Edit, "", 147, 205, 142, 16, kField | kAcceptFiles, "DeviceName"},
    {kNoId, Kind::Label, "蓝牙名字：", 21, 208, 42, 12, 0, nullptr},
    {IDC_NAME_CHANGE, Kind::PushButton, "NameChange", 301, 201, 45, 20, kButton, nullptr},
    {kNoId, Kind::Label, "Name <= 12字符", 80, 208, 58, 10, 0, nullptr},
    {IDC_DEVICE1, Kind::CheckBox, "Check1", 61, 20, 9, 11, kTabStop, "Device1"},
    {IDC_DEVICE2_LIST, Kind::ListBox, "", 226, 20, 77, 11, kTabStop | kNotify | kVScroll, "Device2Label"},
    {kNoId, Kind::Label, "Device2:", 168, 20, 33, 10, 0, nullptr},
    {IDC_DEVICE2, Kind::CheckBox, "Check1", 211, 20, 9, 11, kTabStop, "Device2"},
    {kNoId, Kind::Label, "MemerySize:", 247, 36, 51, 11, 0, nullptr},
    {IDC_MEMORY_SIZE, Kind::Label, "", 311, 36, 37, 12, 0, "MemorySizeLabel"},
    {IDC_DUMP, Kind::PushButton, "Dump", 301, 62, 45, 18, kButton, nullptr},
    {IDC_AUTO, Kind::PushButton, "Auto", 360, 311, 90, 37, kButton, nullptr},
    {IDC_LIST_CLEAR, Kind::PushButton, "ListClear", 470, 283, 44, 20, kButton, nullptr},
    {IDC_CURRENT_UAP, Kind::Edit, "", 167, 147, 43, 16, kAddress | kAcceptFiles, "CurrentUap"},
    {IDC_CURRENT_LAP, Kind::Edit, "", 231, 147, 56, 16, kAddress | kAcceptFiles, "CurrentLap"},
    {IDC_START_NAP, Kind::Edit, "", 81, 127, 62, 16, kAddress | kAcceptFiles, "StartNap"},
    {IDC_START_UAP, Kind::Edit, "", 167, 127, 43, 16, kAddress | kAcceptFiles, "StartUap"},
    {IDC_START_LAP, Kind::Edit, "", 231, 127, 56, 16, kAddress | kAcceptFiles, "StartLap"},
    {kNoId, Kind::Label, "当前地址：", 21, 151, 42, 12, 0, nullptr},
    {kNoId, Kind::Label, "开始地址：", 21, 132, 42, 12, 0, nullptr},
    {IDC_RESET, Kind::PushButton, "复位", 419, 283, 44, 20, kButton | kHidden, nullptr},
    {IDC_MIC_SPEAKER, Kind::PushButton, "MIC and Speaker", 281, 240, 68, 20, kButton, nullptr},
    {IDC_AUTO_CALIBRATE, Kind::PushButton, "自动校频", 217, 273, 41, 18, kButton | kHidden, nullptr},
    {kNoId, Kind::Label, "存储选择：", 15, 36, 42, 9, 0, nullptr},
    {IDC_EEPROM, Kind::CheckBox, "EEPROM", 61, 36, 45, 8, kTabStop, nullptr},
    {IDC_SPI_FLASH, Kind::CheckBox, "SPI_Flash", 109, 36, 49, 8, kTabStop, nullptr},
    {IDC_PROGRESS, Kind::Label, "", 152, 62, 44, 15, 0, "ProgressLabel"},
    {IDC_LOG, Kind::Edit, "", 361, 12, 158, 267,
     kTabStop | kMultiLine | kVScroll | kAutoHScroll | kAutoVScroll, "LogPane"},
    {IDC_ERASE, Kind::PushButton, "Erase", 246, 62, 45, 18, kButton, nullptr},
    {kNoId, Kind::GroupBox, "3:Testing", 7, 230, 347, 72, 0, nullptr},
    {IDC_TX_POWER, Kind::PushButton, "发射功率", 203, 339, 51, 20, kButton | kHidden, nullptr},
    {IDC_RX_SENSITIVITY, Kind::PushButton, "接收灵敏度", 257, 339, 51, 20, kButton | kHidden, nullptr},
    {IDC_PERCENT, Kind::Label, "", 193, 64, 44, 15, 0, "PercentLabel"},
    {IDC_PARALLEL_FLASH, Kind::CheckBox, "Parallel_Flash", 165, 36, 69, 8, kTabStop, nullptr},
    {IDC_LOCK, Kind::PushButton, "加锁", 311, 339, 44, 20, kButton | kHidden, nullptr},
    {kNoId, Kind::Label, "IO:", 16, 253, 11, 8, kHidden, nullptr},
    {kNoId, Kind::Label, "IO:", 55, 253, 11, 8, kHidden, nullptr},
    {kNoId, Kind::Label, "IO:", 93, 253, 11, 8, kHidden, nullptr},
    {kNoId, Kind::Label, "IO:", 128, 253, 11, 8, kHidden, nullptr},
    {kNoId, Kind::Label, "IO:", 16, 271, 11, 8, kHidden, nullptr},
    {kNoId, Kind::Label, "IO:", 55, 271, 11, 8, kHidden, nullptr},
    {kNoId, Kind::Label, "IO:", 93, 271, 11, 8, kHidden, nullptr},
    {kNoId, Kind::Label, "IO:", 128, 271, 11, 8, kHidden, nullptr},
    {IDC_PIO1, Kind::Edit, "", 28, 251, 20, 15, kPio, "PioText1"},
    {IDC_PIO2, Kind::Edit, "", 67, 251, 20, 15, kPio, "PioText2"},
    {IDC_PIO3, Kind::Edit, "", 105, 251, 19, 15, kPio, "PioText3"},
    {IDC_PIO4, Kind::Edit, "", 140, 251, 19, 15, kPio, "PioText4"},
    {IDC_TESTING, Kind::PushButton, "Testing", 281, 267, 69, 28, kButton | kHidden, nullptr},
    {IDC_PIO5, Kind::Edit, "", 28, 267, 19, 15, kPio, "PioText5"},
    {IDC_PIO6, Kind::Edit, "", 67, 268, 19, 15, kPio, "PioText6"},
    {IDC_PIO7, Kind::Edit, "", 105, 268, 19, 15, kPio, "PioText7"},
    {IDC_PIO8, Kind::Edit, "", 140, 268, 19, 15, kPio, "PioText8"},
    {IDC_PIO_COUNTDOWN, Kind::Label, "0", 235, 243, 31, 13, 0, "PioCountdown"},
    {kNoId, Kind::Label, "PioOuput:", 14, 240, 40, 10, kHidden, nullptr},
    {1059, Kind::EtchedFrame, "", 9, 287, 19, 13, 0, nullptr},
    {1060, Kind::EtchedFrame, "", 30, 287, 19, 13, 0, nullptr},
    {1061, Kind::EtchedFrame, "", 51, 287, 19, 13, 0, nullptr},
    {1062, Kind::EtchedFrame, "", 74, 287, 19, 13, 0, nullptr},
    {1063, Kind::EtchedFrame, "", 96, 287, 19, 13, 0, nullptr},
    {1064, Kind::EtchedFrame, "", 118, 287, 19, 13, 0, nullptr},
    {1065, Kind::EtchedFrame, "", 140, 287, 19, 13, 0, nullptr},
    {1066, Kind::EtchedFrame, "", 162, 287, 19, 13, 0, nullptr},
};

constexpr Control kAbout[] = {
    {IDR_MAINFRAME, Kind::Icon, "", 11, 14, 20, 20, 0, nullptr},
    {kNoId, Kind::Label, "Tarnwick 3.0版", 40, 10, 119, 8, 0, nullptr},
    {kIdOk, Kind::PushButton, "确定", 178, 7, 50, 14, kTabStop | kDefPushButton, nullptr},
};

}  // namespace

const Dialog& MainDialogTemplate() {
  static const Dialog dialog{IDD_MAIN, "CSRTarnwick", 527, 362, "宋体", 9, kMain};
  return dialog;
}

const Dialog& AboutDialogTemplate() {
  static const Dialog dialog{IDD_ABOUTBOX, "关于 Tarnwick", 235, 65, "宋体", 9, kAbout};
  return dialog;
}

const Control* FindControl(const Dialog& dialog, int id) {
  for (const Control& control : dialog.controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

}  // namespace res
