// The Bluetooth address: read from a module into the start row, written from
// the counter in btconfig.ini into each ticked module, and the count cleared.
#pragma once

#include <string>

#include "device/address_read_back.h"
#include "dialog/dialog_services.h"
#include "ledger/ledger.h"
#include "vendor/test_engine.h"

namespace device {

class Address {
 public:
  Address(dialog::DialogServices& dialog, vendor::TestEngine& engine) : dialog_(dialog), engine_(engine) {}

  void OnReadAddr();
  void OnSetAddr();
  void OnClear();

  // The write for one device. False when the operator must look before the
  // next module is written: the counter could not be saved, its range is over,
  // or the ledger refused the address.
  bool WriteAddress(const std::string& transport);

 private:
  // Says why the ledger refused; false when it did not.
  bool Refused(const ledger::NextAddress& next);
  // After a write the module did not confirm, or with [verify] address = on:
  // written, failed or unknown as the read-back finds. False as WriteAddress.
  bool SettleByReadBack(bool accepted, const VerifySettings& verify, uint32_t module, const ledger::BdAddress& written,
                        ledger::OperationRow* row);
  // `okLine`: the success line, the written address's verdict.
  void StoreNextAddress(const ledger::CounterAfterWrite& after, const std::string& okLine, bool* saved);

  dialog::DialogServices& dialog_;
  vendor::TestEngine& engine_;
};

}  // namespace device
