// "Brun", "Dump", "Erase" and "Open File:", sent down one of the three roads by
// memory type and ticked device, and the three memory-type boxes.
#pragma once

#include "dialog/dialog_services.h"
#include "memory/host.h"
#include "vendor/test_e2.h"
#include "vendor/test_engine.h"
#include "vendor/test_flash.h"

namespace memory {

class Commands {
 public:
  Commands(dialog::DialogServices& dialog, vendor::TestEngine& engine, vendor::TestFlash& flash, vendor::TestE2& e2,
           Host host = {})
      : dialog_(dialog), engine_(engine), flash_(flash), e2_(e2), host_(std::move(host)) {}

  void OnBrun();
  void OnDump();
  void OnErase();
  void OnOpenFile();
  void OnEeprom();
  void OnSpiFlash();
  void OnParallelFlash();

 private:
  dialog::DialogServices& dialog_;
  vendor::TestEngine& engine_;
  vendor::TestFlash& flash_;
  vendor::TestE2& e2_;
  Host host_;
};

}  // namespace memory
