// How handlers reach the module and the reference radio through TestEngine. A
// connection lives inside one handler: opened at its start, closed before it returns.
#pragma once

#include <cstdint>
#include <string>

#include "dialog/dialog_services.h"
#include "vendor/test_engine.h"

namespace device {

struct ChipConnection {
  uint32_t first = 0;   // the programming connection, "\\.\CSR0"
  uint32_t module = 0;  // the module on the ticked adapter
};

// The programming connection; its handle is never examined.
uint32_t OpenFirstConnection(vendor::TestEngine& engine);

// The first connection, then the module on each ticked device, device 2's
// replacing device 1's (which is closed, not left open). `startModule` is the
// module handle before any device is opened (0, or 1 for the reset button).
// On failure: the open-failure box, close(0), close(first), and false.
bool OpenChipConnection(dialog::DialogServices& dialog, vendor::TestEngine& engine, ChipConnection* connection,
                        uint32_t startModule = 0);

// The module on the ticked devices only, without the first connection; device
// 2's replaces device 1's. On failure: the box, close(0), and false.
bool OpenTickedModule(dialog::DialogServices& dialog, vendor::TestEngine& engine, uint32_t* module);

// The module on one transport, optionally after the first connection. On
// failure: the box, close(0), close(first) when it was opened, and false.
bool OpenModuleConnection(dialog::DialogServices& dialog, vendor::TestEngine& engine, const std::string& transport,
                          bool withFirst, ChipConnection* connection);

// Module, then first connection.
void CloseChipConnection(vendor::TestEngine& engine, const ChipConnection& connection);

// The radios of the bench tests: the reference radio "\\.\csr0" and the module on the first adapter.
uint32_t OpenReferenceRadio(vendor::TestEngine& engine);
uint32_t OpenBenchModule(vendor::TestEngine& engine);

}  // namespace device
