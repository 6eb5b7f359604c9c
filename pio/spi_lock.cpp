#include "pio/spi_lock.h"

#include "dialog/recorded_operation.h"
#include "device/chip_connection.h"
#include "res/resource_ids.h"

namespace pio {
namespace {

// Bit 0: the port is locked; bit 1: a customer key is set. Only the low half
// of the status slot is the chip's word.
const char* LockStatusMessage(uint32_t status) {
  switch (status & 0xFFFFu) {
    case 0: return " SPI unlocked, customer key not set !!";
    case 1: return " SPI locked, customer key not set !!";
    case 2: return " SPI unlocked, customer key set !!";
    case 3: return " SPI locked, customer key set !!";
    default: return " unknown SPI lock status !!";
  }
}

}  // namespace

void SpiLock::OnLock() {
  if (dialog_.IsButtonSet(res::IDC_DEVICE1)) LockSpiPort(dialog_.transports().Device1Transport);
  if (dialog_.IsButtonSet(res::IDC_DEVICE2)) LockSpiPort(dialog_.transports().Device2Transport);
}

void SpiLock::LockSpiPort(std::string transport) {
  dialog::RecordedOperation record(dialog_, ledger::kLock, transport);
  dialog_.Report(" ");
  device::ChipConnection connection;
  if (!device::OpenModuleConnection(dialog_, engine_, transport, false, &connection)) return;

  // The first step that fails ends the chain; its message is the one shown.
  const std::array<uint32_t, 4> key = kCustomerKey;
  const char* message = nullptr;
  uint32_t status = 0;
  if (engine_.bccmdSetSpiLockCustomerKey(connection.module, key.data()) != 1) {
    message = "Set Customer Key fialed !!";
  } else if (engine_.bccmdSpiLockInitiateLock(connection.module) != 1) {
    message = "Initiate Lock failed !!";
  } else if (engine_.bccmdGetSpiLockStatus(connection.module, &status) != 1) {
    message = "Check lock Status failed !!";
  } else {
    message = LockStatusMessage(status);
  }
  dialog_.Report("%s", message);
  engine_.closeTestEngine(connection.module);
}

}  // namespace pio
