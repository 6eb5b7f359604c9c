// Parallel flash through TestFlash: programming with a progress display, and erasing.
#pragma once

#include <string>

#include "dialog/dialog_services.h"
#include "memory/host.h"
#include "vendor/test_flash.h"

namespace memory {

// Programs the firmware file over one adapter, polling the library's progress every 500 ms.
void ProgramFlash(dialog::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport);

void EraseFlash(dialog::DialogServices& dialog, vendor::TestFlash& flash, std::string transport);

}  // namespace memory
