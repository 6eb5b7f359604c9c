// The two radios of the bench tests: the reference board and the module on the first adapter.
#pragma once

#include <cstdint>

#include "dialog/dialog_services.h"
#include "vendor/test_engine.h"

namespace radio {

// Opens the reference radio, then the module. On failure the operator is told
// which one did not answer, what was opened is closed, and the answer is false.
bool OpenBenchRadios(dialog::DialogServices& dialog, vendor::TestEngine& engine, uint32_t* reference, uint32_t* module);

}  // namespace radio
