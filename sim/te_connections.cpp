// TestEngine: opening and closing connections, and the adapter enumeration.
#include <optional>
#include <string>

#include "sim/engine_state.h"
#include "sim/exported_api.h"
#include "sim/port_list.h"

namespace sim {
namespace {

constexpr int32_t kUsbBus = 2;
// The chip on the USB bus and the reference radio board, told apart by the
// exact device text the program uses for each.
constexpr char kUsbChipDevice[] = "\\\\.\\CSR0";
constexpr char kReferenceDevice[] = "\\\\.\\csr0";

std::optional<std::string> UsbChip(const Station& station) {
  std::string module = station.Text("station", "usb_chip", "no");
  if (module == "no" || !station.ModulePresent(module)) return std::nullopt;
  return module;
}

// The adapter numbered `port` in its transport text; -1 takes the first adapter.
std::optional<Adapter> AdapterForPort(const Station& station, int32_t port) {
  std::vector<Adapter> adapters = station.Adapters();
  if (port == -1) {
    if (adapters.empty()) return std::nullopt;
    return adapters.front();
  }
  std::string suffix = "SPIPORT=" + std::to_string(port);
  for (const Adapter& adapter : adapters) {
    const std::string& t = adapter.transport;
    if (t.size() >= suffix.size() && t.compare(t.size() - suffix.size(), suffix.size(), suffix) == 0) {
      return adapter;
    }
  }
  return std::nullopt;
}

// Opens a connection to `peer` unless none is there or a fault strikes.
uint32_t Connect(const Station& station, const char* function, std::optional<std::string> peer, TraceLine& trace) {
  if (!peer) return Traced(station, trace.Out("error", "nothing answers"), 0u);
  if (Strike(station, function, *peer)) return Traced(station, trace.Out("fault", "injected"), 0u);
  uint32_t handle = Handles().Open(*peer);
  return Traced(station, trace.Out("peer", *peer), handle);
}

}  // namespace
}  // namespace sim

using namespace sim;

uint32_t openTestEngine(int32_t bus, const char* device, int32_t dataRate, int32_t retryTimeMs,
                        int32_t usbTimeoutMs) {
  return AtBoundary<uint32_t>(0, [&] {
    std::lock_guard<std::mutex> lock(EngineMutex());
    Station station;
    TraceLine trace("openTestEngine");
    trace.Number(bus).Text(device).Number(dataRate).Number(retryTimeMs).Number(usbTimeoutMs);
    std::optional<std::string> peer;
    if (bus == kUsbBus && device != nullptr) {
      std::string name = device;
      if (name == kUsbChipDevice) peer = UsbChip(station);
      if (name == kReferenceDevice && PeerPresent(station, kReferenceRadio)) peer = kReferenceRadio;
    }
    return Connect(station, "openTestEngine", peer, trace);
  });
}

uint32_t openTestEngineSpiTrans(const char* transport, int32_t multi) {
  return AtBoundary<uint32_t>(0, [&] {
    std::lock_guard<std::mutex> lock(EngineMutex());
    Station station;
    TraceLine trace("openTestEngineSpiTrans");
    trace.Text(transport).Number(multi);
    std::optional<std::string> peer;
    if (transport != nullptr) {
      if (std::optional<Adapter> adapter = station.AdapterWithTransport(transport)) peer = station.ModuleOn(*adapter);
    }
    return Connect(station, "openTestEngineSpiTrans", peer, trace);
  });
}

uint32_t openTestEngineSpi(int32_t port, int32_t multi, int32_t transport) {
  return AtBoundary<uint32_t>(0, [&] {
    std::lock_guard<std::mutex> lock(EngineMutex());
    Station station;
    TraceLine trace("openTestEngineSpi");
    trace.Number(port).Number(multi).Number(transport);
    std::optional<std::string> peer;
    if (std::optional<Adapter> adapter = AdapterForPort(station, port)) peer = station.ModuleOn(*adapter);
    return Connect(station, "openTestEngineSpi", peer, trace);
  });
}

int32_t closeTestEngine(uint32_t handle) {
  return AtBoundary<int32_t>(0, [&] {
    std::lock_guard<std::mutex> lock(EngineMutex());
    Station station;
    TraceLine trace("closeTestEngine");
    trace.Number(handle);
    if (handle == 0) return Traced(station, trace, 0);
    Connection* connection = Handles().Find(handle);
    // A refused close still ends the connection, so the bench never wedges.
    bool struck = connection != nullptr && Strike(station, "closeTestEngine", connection->peer);
    bool closed = Handles().Close(handle);
    if (struck) trace.Out("fault", "injected");
    return Traced(station, trace, closed && !struck ? 1 : 0);
  });
}

int32_t teGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count) {
  return AtBoundary<int32_t>(0, [&] {
    std::lock_guard<std::mutex> lock(EngineMutex());
    Station station;
    TraceLine trace("teGetAvailableSpiPorts");
    if (Strike(station, "teGetAvailableSpiPorts", "*")) {
      // No size to retry with: the failure is not about the buffers.
      if (length != nullptr) *length = 0;
      return Traced(station, trace.Out("fault", "injected"), 0);
    }
    return Traced(station, trace, ListSpiPorts(station, length, names, transports, count, &trace));
  });
}
