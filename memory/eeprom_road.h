// The module's I2C EEPROM through TestE2: burn, dump into the working folder, erase.
#pragma once

#include <string>

#include "dialog/dialog_services.h"
#include "vendor/test_e2.h"
#include "vendor/test_engine.h"

namespace memory {

void ProgramEeprom(dialog::DialogServices& dialog, vendor::TestE2& e2, std::string transport);

// Reads device 1 if ticked, else device 2, into EEPROMdump.bin in the working
// folder; only the device read stays ticked.
void DumpEeprom(dialog::DialogServices& dialog, vendor::TestE2& e2, vendor::TestEngine& engine);

// Fills with 0xFFFF, then writes a fresh header.
void EraseEeprom(dialog::DialogServices& dialog, vendor::TestE2& e2, std::string transport);

}  // namespace memory
