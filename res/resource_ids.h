// Resource and control ids, as the templates and the routing table know them.
#pragma once

namespace res {

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDM_ABOUTBOX = 0x0010;
// The window menu's item that exports the production record.
inline constexpr int IDM_EXPORT_RECORD = 0x0020;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;  // the Exit button

inline constexpr int IDC_READ_ADDR = 1000;
inline constexpr int IDC_CURRENT_NAP = 1001;
inline constexpr int IDC_OPEN_FILE = 1002;
inline constexpr int IDC_FIRMWARE_PATH = 1003;
inline constexpr int IDC_SET_ADDR = 1004;
inline constexpr int IDC_BRUN = 1005;
inline constexpr int IDC_STATUS = 1006;
inline constexpr int IDC_BURN_COUNT = 1007;
inline constexpr int IDC_NEXT_NAP = 1008;
inline constexpr int IDC_NEXT_UAP = 1009;
inline constexpr int IDC_NEXT_LAP = 1010;
inline constexpr int IDC_DEVICE_NAME = 1011;
inline constexpr int IDC_CURRENT_UAP = 1012;
inline constexpr int IDC_CURRENT_LAP = 1013;
inline constexpr int IDC_START_NAP = 1014;
inline constexpr int IDC_DEVICE1_LIST = 1015;
inline constexpr int IDC_DEVICE2_LIST = 1016;
inline constexpr int IDC_CLEAR = 1017;
inline constexpr int IDC_START_UAP = 1018;
inline constexpr int IDC_NAME_CHANGE = 1019;
inline constexpr int IDC_START_LAP = 1020;
inline constexpr int IDC_RX_SENSITIVITY_CMD = 1021;  // routed, no control bears it
inline constexpr int IDC_DEVICE1 = 1022;
inline constexpr int IDC_DEVICE2 = 1023;
inline constexpr int IDC_MEMORY_SIZE = 1025;
inline constexpr int IDC_DUMP = 1028;
inline constexpr int IDC_AUTO = 1029;
inline constexpr int IDC_LIST_CLEAR = 1030;
inline constexpr int IDC_ERASE = 1031;
inline constexpr int IDC_RESET = 1032;
inline constexpr int IDC_MIC_SPEAKER = 1033;
inline constexpr int IDC_LOCK = 1034;
inline constexpr int IDC_LOG = 1037;
inline constexpr int IDC_PIO1 = 1038;
inline constexpr int IDC_PIO2 = 1039;
inline constexpr int IDC_AUTO_CALIBRATE = 1040;
inline constexpr int IDC_EEPROM = 1041;
inline constexpr int IDC_SPI_FLASH = 1042;
inline constexpr int IDC_TX_POWER = 1043;
inline constexpr int IDC_RX_SENSITIVITY = 1044;
inline constexpr int IDC_PARALLEL_FLASH = 1045;
inline constexpr int IDC_PROGRESS = 1046;
inline constexpr int IDC_PIO3 = 1047;
inline constexpr int IDC_PERCENT = 1048;
inline constexpr int IDC_PIO4 = 1049;
inline constexpr int IDC_TESTING = 1050;
inline constexpr int IDC_PIO5 = 1051;
inline constexpr int IDC_PIO6 = 1052;
inline constexpr int IDC_PIO_COUNTDOWN = 1053;
inline constexpr int IDC_PIO7 = 1054;
inline constexpr int IDC_PIO8 = 1055;

}  // namespace res
