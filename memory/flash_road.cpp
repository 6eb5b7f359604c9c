#include "memory/flash_road.h"

#include <cstdint>
#include <cstdio>

#include "dialog/recorded_operation.h"
#include "memory/memory_type.h"
#include "res/resource_ids.h"

namespace memory {
namespace {

constexpr unsigned kProgressPollMs = 500;

void ResetFiveTimes(vendor::TestFlash& flash) {
  for (int i = 0; i < 5; ++i) flash.flResetAndStart();
}

// Waits for the library's programming run to reach 100. False when the
// progress stood still for the host's bound: the library has hung, and the
// operator gets the window back instead of waiting forever.
bool WaitForProgress(dialog::DialogServices& dialog, vendor::TestFlash& flash, const Host& host) {
  int32_t progress = flash.flGetProgress();
  int32_t last = progress;
  uint64_t movedAt = host.clock->NowMs();
  while (progress < 100) {
    host.clock->SleepMs(kProgressPollMs);
    progress = flash.flGetProgress();
    dialog.SetItemTextFormat(res::IDC_PROGRESS, "%d", progress);
    dialog.SetItemTextFormat(res::IDC_PERCENT, "%%");
    dialog.window().KeepPainting();
    uint64_t now = host.clock->NowMs();
    if (progress != last) {
      last = progress;
      movedAt = now;
    } else if (progress < 100 && now - movedAt >= host.progressStallMs) {
      dialog.Report("Programming stalled at %d%% for %u s !", progress, host.progressStallMs / 1000);
      return false;
    }
  }
  return true;
}

}  // namespace

void ProgramFlash(dialog::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport) {
  dialog::RecordedOperation record(dialog, ledger::kBurn, transport);
  const std::string path = BeginFlashBurn(dialog);
  record.Firmware(path);
  if (path.empty()) return;

  if (flash.flInitTrans(transport.c_str(), 26, 2) == 0 && flash.flStopProcessor() == 0 &&
      flash.flSetFlashType(0) == 0) {
    if (flash.flReadProgramFiles(path.c_str()) != 0) {
      dialog.Report("读flash烧录文件失败! ");
    } else if (flash.flProgramSpawn() != 0 && flash.flProgramBlock() != 0) {
      std::puts("Failed to spawn flash program thread");
      dialog.Report("Failed to spawn flash program thread !");
    } else if (WaitForProgress(dialog, flash, host)) {
      int32_t error = flash.flGetLastError();
      if (error != 0) {
        std::printf("Programming failed with error: %d\n", error);
        dialog.Report("Programming failed with error: %d", error);
      } else {
        dialog.Report("flash烧录完成!");
        record.KeepResult();  // the download time that follows is no verdict
        dialog.Report("下载时间: %d毫秒", flash.flGetDownloadTime());
        ResetFiveTimes(flash);
      }
    }
  }
  flash.flClose();
}

void EraseFlash(dialog::DialogServices& dialog, vendor::TestFlash& flash, std::string transport) {
  dialog::RecordedOperation record(dialog, ledger::kErase, transport);
  if (flash.flInitTrans(transport.c_str(), 26, 2) != 0 || flash.flStopProcessor() != 0 ||
      flash.flSetFlashType(0) != 0) {
    flash.flClose();
    return;
  }
  if (flash.flErase() != 0) {
    flash.flClose();
    dialog.Report("flash擦除失败!");
    return;
  }
  dialog.Report("flash擦除成功!");
  ResetFiveTimes(flash);
  flash.flClose();
}

}  // namespace memory
