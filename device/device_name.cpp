#include "device/device_name.h"

#include "dialog/recorded_operation.h"
#include "device/chip_connection.h"
#include "res/resource_ids.h"

namespace device {

std::array<uint16_t, 6> PackDeviceName(std::string_view name) {
  std::array<uint16_t, 6> words{};
  for (size_t i = 0; i < name.size() && i < words.size() * 2; ++i) {
    auto byte = static_cast<uint16_t>(static_cast<unsigned char>(name[i]));
    words[i / 2] |= (i % 2 == 0) ? byte : static_cast<uint16_t>(byte << 8);
  }
  return words;
}

void DeviceName::OnNameChange() {
  if (dialog_.IsButtonSet(res::IDC_DEVICE1)) WriteDeviceName(dialog_.transports().Device1Transport);
  if (dialog_.IsButtonSet(res::IDC_DEVICE2)) WriteDeviceName(dialog_.transports().Device2Transport);
}

void DeviceName::WriteDeviceName(const std::string& transport) {
  dialog::RecordedOperation record(dialog_, ledger::kNameWrite, transport);
  dialog_.Report("%s", "");
  dialog_.CollectFields();
  // The whole name is written, whatever part of it the caret happens to mark.
  const std::string& name = dialog_.Fields().DeviceName;
  record.row().name = name;
  if (name.empty()) {
    dialog_.Report("haven't Bluetooth name!!!");
    return;
  }
  std::array<uint16_t, 6> words = PackDeviceName(name);

  ChipConnection connection;
  if (!OpenModuleConnection(dialog_, engine_, transport, false, &connection)) return;
  int32_t status = engine_.psWrite(connection.module, kDeviceNameKey, 0, static_cast<uint16_t>(words.size()), words.data());
  dialog_.Report(status == 1 ? "蓝牙名字修改成功!" : "蓝牙名字修改失败!");
  engine_.closeTestEngine(connection.module);
}

}  // namespace device
