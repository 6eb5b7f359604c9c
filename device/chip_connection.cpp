#include "device/chip_connection.h"

#include "res/resource_ids.h"

namespace device {
namespace {

constexpr const char* kProgrammingDevice = "\\\\.\\CSR0";
constexpr const char* kReferenceDevice = "\\\\.\\csr0";

// Opens the module on each ticked device; a second open replaces the first.
uint32_t OpenOnTickedDevices(dialog::DialogServices& dialog, vendor::TestEngine& engine, uint32_t module) {
  uint32_t first = 0;
  if (dialog.IsButtonSet(res::IDC_DEVICE1)) {
    first = module = engine.openTestEngineSpiTrans(dialog.transports().Device1Transport.c_str(), 0);
  }
  if (dialog.IsButtonSet(res::IDC_DEVICE2)) {
    module = engine.openTestEngineSpiTrans(dialog.transports().Device2Transport.c_str(), 0);
    if (first != 0) engine.closeTestEngine(first);  // replaced by device 2's: do not leak it
  }
  return module;
}

void ReportOpenFailure(dialog::DialogServices& dialog, vendor::TestEngine& engine) {
  dialog.MessageBox(dialog::kDeviceOpenFailed);
  engine.closeTestEngine(0);
}

}  // namespace

uint32_t OpenFirstConnection(vendor::TestEngine& engine) {
  return engine.openTestEngine(2, kProgrammingDevice, 0, 0, 100);
}

bool OpenChipConnection(dialog::DialogServices& dialog, vendor::TestEngine& engine, ChipConnection* connection,
                        uint32_t startModule) {
  connection->first = OpenFirstConnection(engine);
  connection->module = OpenOnTickedDevices(dialog, engine, startModule);
  if (connection->module != 0) return true;
  ReportOpenFailure(dialog, engine);
  engine.closeTestEngine(connection->first);
  return false;
}

bool OpenTickedModule(dialog::DialogServices& dialog, vendor::TestEngine& engine, uint32_t* module) {
  *module = OpenOnTickedDevices(dialog, engine, 0);
  if (*module != 0) return true;
  ReportOpenFailure(dialog, engine);
  return false;
}

bool OpenModuleConnection(dialog::DialogServices& dialog, vendor::TestEngine& engine, const std::string& transport,
                          bool withFirst, ChipConnection* connection) {
  if (withFirst) connection->first = OpenFirstConnection(engine);
  connection->module = engine.openTestEngineSpiTrans(transport.c_str(), 0);
  if (connection->module != 0) return true;
  ReportOpenFailure(dialog, engine);
  if (withFirst) engine.closeTestEngine(connection->first);
  return false;
}

void CloseChipConnection(vendor::TestEngine& engine, const ChipConnection& connection) {
  engine.closeTestEngine(connection.module);
  engine.closeTestEngine(connection.first);
}

uint32_t OpenReferenceRadio(vendor::TestEngine& engine) { return engine.openTestEngine(2, kReferenceDevice, 0, 1000, 2000); }

uint32_t OpenBenchModule(vendor::TestEngine& engine) { return engine.openTestEngineSpi(-1, 0, 2); }

}  // namespace device
