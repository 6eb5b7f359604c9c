#include "memory/flash_info.h"

#include <cstdint>

#include "res/resource_ids.h"

namespace memory {

void QueryFlashInfo(dialog::DialogServices& dialog, vendor::TestFlash& flash, std::string transport) {
  dialog.Report("%s", "");
  if (flash.flInitTrans(transport.c_str(), 26, 2) == 0) {
    flash.flStopProcessor();
    flash.flSetFlashType(2);
    uint32_t sector = 0, sizeMbit = 0, manufacturerId = 0, deviceId = 0;
    if (flash.flGetFlashInfo(&sector, &sizeMbit, &manufacturerId, &deviceId) != 0) {
      dialog.Report("读flash信息出错!");
      flash.flResetAndStart();
    } else {
      // Only the low 16 bits of the size and the sector value are shown.
      int size = static_cast<uint16_t>(sizeMbit);
      dialog.SetItemTextFormat(res::IDC_MEMORY_SIZE, "%dMbit", size);
      dialog.Report(" %dMbit,MId:0x%x,DevId:0x%x,Sec:0x%x", size, manufacturerId, deviceId,
                    static_cast<unsigned>(static_cast<uint16_t>(sector)));
      int32_t reset = 0;
      for (int i = 0; i < 5; ++i) reset = flash.flResetAndStart();
      if (reset == 0) dialog.Report("复位成功!");
    }
  }
  flash.flClose();
}

}  // namespace memory
