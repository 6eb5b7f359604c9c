// The memory type, held only in the check marks of boxes 1041 and 1042, and
// the devices ticked for a command.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dialog/dialog_services.h"
#include "vendor/test_flash.h"

namespace memory {

enum class MemoryType { SpiFlash, Eeprom, ParallelFlash };

// SPI flash if 1042 is set, else EEPROM if 1041 is set, else parallel flash; 1045 is never read.
MemoryType SelectedMemory(dialog::DialogServices& dialog);

// What "Open File:" offers for that memory.
std::string_view OpenFileFilter(MemoryType type);

// The transports of the ticked devices, device 1 first.
std::vector<std::string> TickedTransports(dialog::DialogServices& dialog);

// The firmware file as edit 1003 holds it right now; empty when none was chosen.
std::string CurrentFirmwarePath(dialog::DialogServices& dialog);

// The start of every flash burn, through TestFlash or the tool: the firmware
// path, or empty after "haven't .XUV file!!!"; then a blank status and progress.
std::string BeginFlashBurn(dialog::DialogServices& dialog);

// The handlers of the three boxes. The click has already toggled the box; the
// two that choose a memory always end checked, with the other one unchecked.
void SelectEeprom(dialog::DialogServices& dialog);
void SelectSpiFlash(dialog::DialogServices& dialog, vendor::TestFlash& flash);
void SelectParallelFlash(dialog::DialogServices& dialog, vendor::TestFlash& flash);

}  // namespace memory
