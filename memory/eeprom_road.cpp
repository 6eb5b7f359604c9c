#include "memory/eeprom_road.h"

#include <cstdint>

#include "dialog/recorded_operation.h"
#include "device/chip_connection.h"
#include "memory/memory_type.h"
#include "platform/file_system.h"
#include "res/resource_ids.h"

namespace memory {
namespace {

// Only the low 16 bits of the size are shown.
void ShowSize(dialog::DialogServices& dialog, vendor::TestE2& e2) {
  uint32_t kbit = 0;
  e2.te2GetSize(&kbit);
  dialog.SetItemTextFormat(res::IDC_MEMORY_SIZE, "%dKbit", static_cast<int>(static_cast<uint16_t>(kbit)));
}

}  // namespace

void ProgramEeprom(dialog::DialogServices& dialog, vendor::TestE2& e2, std::string transport) {
  dialog::RecordedOperation record(dialog, ledger::kBurn, transport);
  const std::string path = CurrentFirmwarePath(dialog);
  record.Firmware(path);
  if (path.empty()) {
    dialog.Report("haven't .BIN file!!!");
    return;
  }
  dialog.SetItemTextFormat(res::IDC_MEMORY_SIZE, "0Kbit");
  dialog.Report(" ");
  if (e2.te2OpenTrans(transport.c_str()) != 0) {
    dialog.MessageBox(dialog::kDeviceOpenFailed);
  } else {
    ShowSize(dialog, e2);
    if (e2.te2Program(path.c_str(), 1) == 0) dialog.Report("烧录BIN to EEPROM成功! ");
    else dialog.Report("烧录BIN to EEPROM失败! ");
  }
  e2.te2Close();
}

void DumpEeprom(dialog::DialogServices& dialog, vendor::TestE2& e2, vendor::TestEngine& engine) {
  dialog::RecordedOperation record(dialog, ledger::kDump, dialog::FirstTickedTransport(dialog));
  dialog.Report(" ");
  // Read whole: a long folder must not send the dump to the file-system root.
  const std::string folder = platform::CurrentDirectory();
  uint32_t first = device::OpenFirstConnection(engine);

  int32_t opened = 0;
  if (dialog.IsButtonSet(res::IDC_DEVICE1)) {
    opened = e2.te2OpenTrans(dialog.transports().Device1Transport.c_str());
    dialog.window().SetCheck(res::IDC_DEVICE2, dialog::kBstUnchecked);
  }
  if (dialog.IsButtonSet(res::IDC_DEVICE2)) {
    opened = e2.te2OpenTrans(dialog.transports().Device2Transport.c_str());
    dialog.window().SetCheck(res::IDC_DEVICE1, dialog::kBstUnchecked);
  }

  if (opened != 0) {
    dialog.MessageBox(dialog::kDeviceOpenFailed);
  } else {
    ShowSize(dialog, e2);
    const std::string dumpPath = platform::JoinPath(folder, "EEPROMdump.bin");
    if (e2.te2Dump(dumpPath.c_str(), 1) == 0) dialog.Report("读出EEPROM成功!");
    else dialog.Report("读出EEPROM失败!");
  }
  e2.te2Close();
  engine.closeTestEngine(first);
}

void EraseEeprom(dialog::DialogServices& dialog, vendor::TestE2& e2, std::string transport) {
  dialog::RecordedOperation record(dialog, ledger::kErase, transport);
  dialog.Report(" ");
  if (e2.te2OpenTrans(transport.c_str()) != 0) {
    dialog.MessageBox(dialog::kDeviceOpenFailed);
  } else {
    ShowSize(dialog, e2);
    if (e2.te2Fill(0xFFFF, 1) != 0) {
      dialog.Report("EEPROM\t擦除失败！");
    } else {
      dialog.Report("EEPROM\t擦除成功！");
      if (e2.te2WriteBcHeader() == 0) dialog.Report("EEPROM\t写头文件成功！");
      else dialog.Report("EEPROM\t写头文件失败！");
    }
  }
  e2.te2Close();
}

}  // namespace memory
