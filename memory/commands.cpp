#include "memory/commands.h"

#include <optional>
#include <string>

#include "memory/eeprom_road.h"
#include "memory/flash_road.h"
#include "memory/memory_type.h"
#include "memory/tool_runner.h"
#include "platform/file_system.h"
#include "res/resource_ids.h"

namespace memory {

void Commands::OnBrun() {
  const MemoryType type = SelectedMemory(dialog_);
  for (const std::string& transport : TickedTransports(dialog_)) {
    switch (type) {
      case MemoryType::SpiFlash:
        ToolBurn(dialog_, flash_, host_, transport);
        break;
      case MemoryType::Eeprom:
        ProgramEeprom(dialog_, e2_, transport);
        break;
      case MemoryType::ParallelFlash:
        ProgramFlash(dialog_, flash_, host_, transport);
        break;
    }
  }
}

void Commands::OnDump() {
  if (dialog_.IsButtonSet(res::IDC_EEPROM)) DumpEeprom(dialog_, e2_, engine_);
  if (dialog_.IsButtonSet(res::IDC_SPI_FLASH)) {
    for (const std::string& transport : TickedTransports(dialog_)) ToolDump(dialog_, flash_, host_, transport);
  }
}

void Commands::OnErase() {
  const MemoryType type = SelectedMemory(dialog_);
  const std::vector<std::string> ticked = TickedTransports(dialog_);
  if (type == MemoryType::ParallelFlash) {
    // One device only: the first ticked.
    if (!ticked.empty()) EraseFlash(dialog_, flash_, ticked.front());
    return;
  }
  for (const std::string& transport : ticked) {
    if (type == MemoryType::SpiFlash) ToolErase(dialog_, flash_, host_, transport);
    else EraseEeprom(dialog_, e2_, transport);
  }
}

void Commands::OnOpenFile() {
  // Browsing must not move where the dumps land or where the tool is looked for.
  const std::string saved = platform::CurrentDirectory();
  std::optional<std::string> chosen = dialog_.window().ChooseOpenFile(OpenFileFilter(SelectedMemory(dialog_)));
  if (chosen) {
    dialog_.Fields().FirmwarePath = *chosen;
    dialog_.window().SetItemText(res::IDC_FIRMWARE_PATH, *chosen);
  }
  dialog_.CaretToEnd(res::IDC_FIRMWARE_PATH);
  if (!saved.empty()) platform::SetCurrentDirectory(saved);
}

void Commands::OnEeprom() { SelectEeprom(dialog_); }

void Commands::OnSpiFlash() { SelectSpiFlash(dialog_, flash_); }

void Commands::OnParallelFlash() { SelectParallelFlash(dialog_, flash_); }

}  // namespace memory
