#pragma once

#include <string>

#include "dialog/dialog_services.h"
#include "vendor/test_flash.h"

namespace memory {

// Reads the flash chip's size and identity over one adapter and shows them.
void QueryFlashInfo(dialog::DialogServices& dialog, vendor::TestFlash& flash, std::string transport);

}  // namespace memory
