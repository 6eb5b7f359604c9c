#include "memory/memory_type.h"

#include "memory/flash_info.h"
#include "res/resource_ids.h"

namespace memory {
namespace {

void QueryTickedDevices(app::DialogServices& dialog, vendor::TestFlash& flash) {
  for (const std::string& transport : TickedTransports(dialog)) QueryFlashInfo(dialog, flash, transport);
}

}  // namespace

MemoryType SelectedMemory(app::DialogServices& dialog) {
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

std::vector<std::string> TickedTransports(app::DialogServices& dialog) {
  std::vector<std::string> ticked;
  if (dialog.IsButtonSet(res::IDC_DEVICE1)) ticked.push_back(dialog.transports().Device1Transport);
  if (dialog.IsButtonSet(res::IDC_DEVICE2)) ticked.push_back(dialog.transports().Device2Transport);
  return ticked;
}

std::string CurrentFirmwarePath(app::DialogServices& dialog) {
  std::string& path = dialog.Fields().FirmwarePath;
  path = dialog.window().ItemText(res::IDC_FIRMWARE_PATH);
  return path;
}

std::string BeginFlashBurn(app::DialogServices& dialog) {
  std::string path = CurrentFirmwarePath(dialog);
  if (path.empty()) {
    dialog.Report("haven't .XUV file!!!");
    return path;
  }
  dialog.Report(" ");
  dialog.SetItemTextFormat(res::IDC_PROGRESS, " ");
  return path;
}

void SelectEeprom(app::DialogServices& dialog) {
  dialog.window().SetCheck(res::IDC_SPI_FLASH, app::BST_UNCHECKED);
  dialog.window().SetCheck(res::IDC_EEPROM, app::BST_CHECKED);
}

void SelectSpiFlash(app::DialogServices& dialog, vendor::TestFlash& flash) {
  dialog.window().SetCheck(res::IDC_EEPROM, app::BST_UNCHECKED);
  dialog.window().SetCheck(res::IDC_SPI_FLASH, app::BST_CHECKED);
  QueryTickedDevices(dialog, flash);
}

void SelectParallelFlash(app::DialogServices& dialog, vendor::TestFlash& flash) {
  // 1045 keeps what the click made of it: its mark is for the eye only.
  dialog.window().SetCheck(res::IDC_EEPROM, app::BST_UNCHECKED);
  dialog.window().SetCheck(res::IDC_SPI_FLASH, app::BST_UNCHECKED);
  QueryTickedDevices(dialog, flash);
}

}  // namespace memory
