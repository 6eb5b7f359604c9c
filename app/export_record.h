// The window menu's export of the production record to a CSV file.
#pragma once

#include "dialog/dialog_services.h"

namespace app {

// Asks where, writes the whole record there, and says how it went.
void ExportRecord(dialog::DialogServices& dialog);

}  // namespace app
