#include "pio/pio_monitor.h"

#include "res/resource_ids.h"

namespace pio {

void PioMonitor::OnTimer(dialog::DialogServices& dialog, vendor::TestEngine& engine, int id) {
  if (id != kTimerId) return;
  if (countdown_ > 0) --countdown_;  // a tick after the end must not wrap round to four billion
  dialog.SetItemTextFormat(res::IDC_PIO_COUNTDOWN, "%d", static_cast<int>(countdown_));

  if (connection_ != 0) {
    uint32_t direction = 0;
    uint32_t level = 0;
    if (engine.bccmdGetPio32(connection_, &direction, &level) == 1 && level != baseline_) {
      // A change restarts the timer, with what is left of the countdown as its interval.
      dialog.window().KillTimer(kTimerId);
      detected_ |= static_cast<uint8_t>((level ^ baseline_) & 0xFFu);
      dialog.window().SetTimer(kTimerId, countdown_);
    }
  }

  if (countdown_ == 0) {
    dialog.window().KillTimer(kTimerId);
    engine.closeTestEngine(connection_);
    connection_ = 0;  // closed once
    dialog.Report("已测到的PIO位=[0x%x]", detected_);
  }
}

}  // namespace pio
