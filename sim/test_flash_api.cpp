// TestFlash: flash information, programming and erase over one transport of
// its own. 0 is success; only the enumeration answers 1.
#include <string>

#include "platform/gbk.h"
#include "sim/c_boundary.h"
#include "sim/call_trace.h"
#include "sim/exported_api.h"
#include "sim/fault_rules.h"
#include "sim/flash_session.h"
#include "sim/port_list.h"

namespace sim {
namespace {

// Runs `body` when the transport is open, its module still there and no fault strikes.
template <typename Body>
int32_t OnTransport(std::string_view function, TraceLine trace, Body&& body) {
  return AtBoundary<int32_t>(kFlashInjected, [&]() -> int32_t {
    std::lock_guard<std::mutex> lock(FlashMutex());
    Station station;
    FlashSession& session = Session();
    if (!session.open) return Traced(station, trace.Out("error", "no transport open"), int32_t{kFlashNotOpen});
    if (!station.ModulePresent(session.module)) {
      return Traced(station, trace.Out("error", "module gone"), int32_t{kFlashNotOpen});
    }
    if (Strike(station, function, session.module)) {
      return Traced(station, trace.Out("fault", "injected"), int32_t{kFlashInjected});
    }
    return Traced(station, trace, body(station, session, trace));
  });
}

// Flash work needs a stopped processor and a chosen, fitted flash.
int32_t Ready(const Station& station, const FlashSession& session, TraceLine& trace) {
  if (!session.processorStopped || !session.flash || session.running) {
    trace.Out("error", "processor running, no flash type or busy");
    return kFlashNotReady;
  }
  if (MemoryBytes(station, session.module, *session.flash) == 0) {
    trace.Out("error", "no such flash fitted");
    return kFlashNotFitted;
  }
  return kFlashOk;
}

ProgramPlan PlanFor(const Station& station, const FlashSession& session) {
  ProgramPlan plan;
  plan.module = session.module;
  plan.flash = *session.flash;
  plan.image = *session.image;
  plan.durationMs = station.Instant() ? 0 : static_cast<int>(station.Integer("station", "program_ms", 3000));
  if (std::optional<FaultRule> stall = Strike(station, "progress_stall", session.module)) {
    plan.stallAt = static_cast<int32_t>(stall->at.value_or(50));
  }
  if (std::optional<FaultRule> error = Strike(station, "flash_error", session.module)) {
    plan.errorCode = static_cast<int32_t>(error->code.value_or(kFlashInjected));
  }
  return plan;
}

void RunGuarded(FlashSession& session, const ProgramPlan& plan) {
  try {
    RunProgramming(session, plan);
  } catch (...) {
    session.lastError = kFlashWriteFailed;
    session.progress = 100;
    session.running = false;
  }
}

int32_t StartProgramming(const Station& station, FlashSession& session, TraceLine& trace, bool ownThread) {
  if (int32_t ready = Ready(station, session, trace); ready != kFlashOk) return ready;
  if (!session.image) {
    trace.Out("error", "no file loaded");
    return kFlashNotReady;
  }
  if (session.worker.joinable()) session.worker.join();
  ProgramPlan plan = PlanFor(station, session);
  session.progress = 0;
  session.lastError = kFlashOk;
  session.running = true;
  if (ownThread) {
    session.worker = std::thread([&session, plan] { RunGuarded(session, plan); });
  } else {
    RunGuarded(session, plan);
  }
  return kFlashOk;
}

}  // namespace
}  // namespace sim

using namespace sim;

int32_t flGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t* count) {
  return AtBoundary<int32_t>(0, [&] {
    Station station;
    TraceLine trace("flGetAvailableSpiPorts");
    if (Strike(station, "flGetAvailableSpiPorts", "*")) {
      if (length != nullptr) *length = 0;
      return Traced(station, trace.Out("fault", "injected"), 0);
    }
    return Traced(station, trace, ListSpiPorts(station, length, names, transports, count, &trace));
  });
}

int32_t flInitTrans(const char* transport, int32_t a, int32_t b) {
  return AtBoundary<int32_t>(kFlashInjected, [&]() -> int32_t {
    std::lock_guard<std::mutex> lock(FlashMutex());
    Station station;
    TraceLine trace("flInitTrans");
    trace.Text(transport).Number(a).Number(b);
    FlashSession& session = Session();
    session.Reset();
    std::optional<Adapter> adapter;
    if (transport != nullptr) adapter = station.AdapterWithTransport(transport);
    std::optional<std::string> module;
    if (adapter) module = station.ModuleOn(*adapter);
    if (!module) return Traced(station, trace.Out("error", "no module on that transport"), int32_t{kFlashNotOpen});
    if (Strike(station, "flInitTrans", *module)) {
      return Traced(station, trace.Out("fault", "injected"), int32_t{kFlashInjected});
    }
    if (station.Flag(ModuleSection(*module), "spi_locked", false)) {
      return Traced(station, trace.Out("error", "SPI port locked"), int32_t{kFlashLocked});
    }
    session.open = true;
    session.module = *module;
    return Traced(station, trace.Out("module", *module), int32_t{kFlashOk});
  });
}

int32_t flStopProcessor(void) {
  return OnTransport("flStopProcessor", TraceLine("flStopProcessor"), [](const Station&, FlashSession& s, TraceLine&) {
    s.processorStopped = true;
    return int32_t{kFlashOk};
  });
}

int32_t flSetFlashType(int32_t type) {
  TraceLine trace("flSetFlashType");
  trace.Number(type);
  return OnTransport("flSetFlashType", trace, [&](const Station&, FlashSession& s, TraceLine& t) -> int32_t {
    // 0 is the parallel flash, 2 the SPI flash; the sim knows no other kind.
    if (type == 0) s.flash = Memory::ParallelFlash;
    else if (type == 2) s.flash = Memory::SpiFlash;
    else {
      t.Out("error", "unknown flash type");
      return kFlashNotReady;
    }
    s.image.reset();
    return kFlashOk;
  });
}

int32_t flReadProgramFiles(const char* path) {
  TraceLine trace("flReadProgramFiles");
  trace.Text(path);
  return OnTransport("flReadProgramFiles", trace, [&](const Station& station, FlashSession& s, TraceLine& t) -> int32_t {
    if (int32_t ready = Ready(station, s, t); ready != kFlashOk) return ready;
    WordImage image;
    std::string error;
    if (path == nullptr || !LoadWordImage(platform::GbkToUtf8(path), &image, &error)) {
      t.Out("error", path == nullptr ? "no path" : error);
      return kFlashBadFile;
    }
    if (!FitsMemory(image, MemoryBytes(station, s.module, *s.flash), &error)) {
      t.Out("error", error);
      return kFlashTooLarge;
    }
    s.image = std::move(image);
    t.Out("words", std::to_string(s.image->size()));
    return kFlashOk;
  });
}

int32_t flProgramSpawn(void) {
  return OnTransport("flProgramSpawn", TraceLine("flProgramSpawn"), [](const Station& station, FlashSession& s, TraceLine& t) {
    return StartProgramming(station, s, t, true);
  });
}

int32_t flProgramBlock(void) {
  return OnTransport("flProgramBlock", TraceLine("flProgramBlock"), [](const Station& station, FlashSession& s, TraceLine& t) {
    return StartProgramming(station, s, t, false);
  });
}

// The three readings answer numbers, not statuses; a fault shows as -1.
int32_t flGetProgress(void) {
  return AtBoundary<int32_t>(-1, [&] {
    std::lock_guard<std::mutex> lock(FlashMutex());
    Station station;
    TraceLine trace("flGetProgress");
    if (Session().open && Strike(station, "flGetProgress", Session().module)) return Traced(station, trace, -1);
    return Traced(station, trace, Session().progress.load());
  });
}

int32_t flGetLastError(void) {
  return AtBoundary<int32_t>(kFlashInjected, [&] {
    std::lock_guard<std::mutex> lock(FlashMutex());
    Station station;
    TraceLine trace("flGetLastError");
    if (Session().open && Strike(station, "flGetLastError", Session().module)) {
      return Traced(station, trace, int32_t{kFlashInjected});
    }
    return Traced(station, trace, Session().lastError.load());
  });
}

int32_t flGetDownloadTime(void) {
  return AtBoundary<int32_t>(-1, [&] {
    std::lock_guard<std::mutex> lock(FlashMutex());
    Station station;
    TraceLine trace("flGetDownloadTime");
    if (Session().open && Strike(station, "flGetDownloadTime", Session().module)) return Traced(station, trace, -1);
    return Traced(station, trace, Session().downloadMs.load());
  });
}

int32_t flGetFlashInfo(uint32_t* sector, uint32_t* sizeMbit, uint32_t* manufacturerId, uint32_t* deviceId) {
  return OnTransport("flGetFlashInfo", TraceLine("flGetFlashInfo"), [&](const Station& station, FlashSession& s, TraceLine& t) {
    if (int32_t ready = Ready(station, s, t); ready != kFlashOk) return ready;
    if (sector == nullptr || sizeMbit == nullptr || manufacturerId == nullptr || deviceId == nullptr) {
      return int32_t{kFlashNotReady};
    }
    FlashIdentity id = FlashIdentityOf(station, s.module, *s.flash);
    *sector = id.sector;
    *sizeMbit = id.sizeMbit;
    *manufacturerId = id.manufacturerId;
    *deviceId = id.deviceId;
    t.Out("sector", HexText(id.sector)).Out("mbit", std::to_string(id.sizeMbit));
    t.Out("mid", HexText(id.manufacturerId)).Out("devid", HexText(id.deviceId));
    return int32_t{kFlashOk};
  });
}

int32_t flErase(void) {
  return OnTransport("flErase", TraceLine("flErase"), [](const Station& station, FlashSession& s, TraceLine& t) {
    if (int32_t ready = Ready(station, s, t); ready != kFlashOk) return ready;
    return WriteMemory(station, s.module, *s.flash, {}) ? int32_t{kFlashOk} : int32_t{kFlashWriteFailed};
  });
}

int32_t flResetAndStart(void) {
  return OnTransport("flResetAndStart", TraceLine("flResetAndStart"), [](const Station&, FlashSession& s, TraceLine& t) {
    if (s.running) {
      t.Out("error", "programming in progress");
      return int32_t{kFlashNotReady};
    }
    s.processorStopped = false;
    return int32_t{kFlashOk};
  });
}

void flClose(void) {
  AtBoundary([] {
    std::lock_guard<std::mutex> lock(FlashMutex());
    Station station;
    Session().Reset();
    if (station.Tracing()) AppendTrace(station, TraceLine("flClose").Finish("void"));
  });
}
