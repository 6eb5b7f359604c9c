// Button 1033: the module's stereo codec loops each microphone to both speakers,
// the right microphone first.
#pragma once

#include "dialog/dialog_services.h"
#include "vendor/test_engine.h"

namespace radio {

class LoopbackTest {
 public:
  LoopbackTest(dialog::DialogServices& dialog, vendor::TestEngine& engine) : dialog_(dialog), engine_(engine) {}

  void OnMicAndSpeaker();

 private:
  dialog::DialogServices& dialog_;
  vendor::TestEngine& engine_;
};

}  // namespace radio
