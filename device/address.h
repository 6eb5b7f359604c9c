// The Bluetooth address: read from a module into the start row, written from
// the counter in btconfig.ini into each ticked module, and the count cleared.
#pragma once

#include <string>

#include "app/dialog_services.h"
#include "vendor/test_engine.h"

namespace device {

class Address {
 public:
  Address(app::DialogServices& dialog, vendor::TestEngine& engine) : dialog_(dialog), engine_(engine) {}

  void OnReadAddr();
  void OnSetAddr();
  void OnClear();

  // The write for one device. False when the operator must look before the
  // next module is written: the counter could not be saved or its range is over.
  bool WriteAddress(const std::string& transport);

 private:
  void StoreNextAddress(uint32_t lap, bool* saved);

  app::DialogServices& dialog_;
  vendor::TestEngine& engine_;
};

}  // namespace device
