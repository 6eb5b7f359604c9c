#include "memory/memory_type.h"

#include "memory/flash_info.h"
#include "res/resource_ids.h"

namespace memory {
namespace {

void QueryTickedDevices(dialog::DialogServices& dialog, vendor::TestFlash& flash) {
  for (const std::string& transport : TickedTransports(dialog)) QueryFlashInfo(dialog, flash, transport);
}

}  // namespace

MemoryType SelectedMemory(dialog::DialogServices& dialog) {
  if (dialog.IsButtonSet(res::IDC_SPI_FLASH)) return MemoryType::SpiFlash;
  if (dialog.IsButtonSet(res::IDC_EEPROM)) return MemoryType::Eeprom;
  return MemoryType::ParallelFlash;
}

std::string_view OpenFileFilter(MemoryType type) {
  switch (type) {
    case MemoryType::SpiFlash:
      return "Files(*.xuv)|*.xuv||";
    case MemoryType::Eeprom:
      return "Files(*.bin)|*.bin||";
    case MemoryType::ParallelFlash:
      break;
  }
  return "Files(*.xpv;*.xuv)|*.xpv;*.xuv||";
}

std::vector<std::string> TickedTransports(dialog::DialogServices& dialog) {
  std::vector<std::string> ticked;
  if (dialog.IsButtonSet(res::IDC_DEVICE1)) ticked.push_back(dialog.transports().Device1Transport);
  if (dialog.IsButtonSet(res::IDC_DEVICE2)) ticked.push_back(dialog.transports().Device2Transport);
  return ticked;
}

std::string CurrentFirmwarePath(dialog::DialogServices& dialog) {
  std::string& path = dialog.Fields().FirmwarePath;
  path = dialog.window().ItemText(res::IDC_FIRMWARE_PATH);
  return path;
}

std::string BeginFlashBurn(dialog::DialogServices& dialog) {
  std::string path = CurrentFirmwarePath(dialog);
  if (path.empty()) {
    dialog.Report("haven't .XUV file!!!");
    return path;
  }
  dialog.Report(" ");
  dialog.SetItemTextFormat(res::IDC_PROGRESS, " ");
  return path;
}

void SelectEeprom(dialog::DialogServices& dialog) {
  dialog.window().SetCheck(res::IDC_SPI_FLASH, dialog::kBstUnchecked);
  dialog.window().SetCheck(res::IDC_EEPROM, dialog::kBstChecked);
}

void SelectSpiFlash(dialog::DialogServices& dialog, vendor::TestFlash& flash) {
  dialog.window().SetCheck(res::IDC_EEPROM, dialog::kBstUnchecked);
  dialog.window().SetCheck(res::IDC_SPI_FLASH, dialog::kBstChecked);
  QueryTickedDevices(dialog, flash);
}

void SelectParallelFlash(dialog::DialogServices& dialog, vendor::TestFlash& flash) {
  // 1045 keeps what the click made of it: its mark is for the eye only.
  dialog.window().SetCheck(res::IDC_EEPROM, dialog::kBstUnchecked);
  dialog.window().SetCheck(res::IDC_SPI_FLASH, dialog::kBstUnchecked);
  QueryTickedDevices(dialog, flash);
}

}  // namespace memory
