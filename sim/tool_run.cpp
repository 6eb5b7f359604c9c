#include "sim/tool_run.h"

#include <cstdio>
#include <string>

#include "sim/fault_rules.h"
#include "sim/firmware_file.h"
#include "sim/flash_session.h"
#include "sim/memory_store.h"

namespace sim {
namespace {

// Each piece is its own write, flushed, so a reader of the pipe sees the
// output arrive over time.
void Say(std::FILE* stream, const std::string& text) {
  std::fputs(text.c_str(), stream);
  std::fflush(stream);
}

int Fail(int code, const std::string& text) {
  Say(stderr, "Error: " + text + "\n");
  return code;
}

// Ten steps of progress on standard error, spread over the programming time.
void ShowProgress(const Station& station, const char* what) {
  int stepMs = station.Instant() ? 0 : static_cast<int>(station.Integer("station", "program_ms", 3000)) / 10;
  std::atomic<bool> never{false};
  for (int percent = 10; percent <= 100; percent += 10) {
    PausePolitely(stepMs, never);
    Say(stderr, std::string(what) + " " + std::to_string(percent) + "%\n");
  }
}

int Burn(const Station& station, const std::string& module, const std::string& file) {
  if (FindFault(station, "nvscmd_no_file", module)) return Fail(kToolFileMissing, "cannot find file '" + file + "'");
  WordImage image;
  std::string error;
  if (!LoadWordImage(file, &image, &error)) {
    bool missing = error.rfind("cannot open", 0) == 0;
    return Fail(missing ? kToolFileMissing : kToolBadFile, error);
  }
  if (!FitsMemory(image, MemoryBytes(station, module, Memory::SpiFlash), &error)) return Fail(kToolBadFile, error);
  Say(stdout, "Loaded " + std::to_string(image.size()) + " words from " + file + "\n");
  Say(stdout, "Erasing flash...\n");
  ShowProgress(station, "Programming");
  if (std::optional<FaultRule> fault = Strike(station, "flash_error", module)) {
    return Fail(kToolProgramming, "programming failed with error " + std::to_string(fault->code.value_or(kFlashInjected)));
  }
  if (!ProgramFlash(station, module, Memory::SpiFlash, image)) return Fail(kToolNoAnswer, "flash write failed");
  Say(stdout, "Verifying... OK\nBurn complete.\n");
  return kToolOk;
}

int Dump(const Station& station, const std::string& module, const std::string& file) {
  Say(stdout, "Reading flash...\n");
  ShowProgress(station, "Reading");
  std::string text = WordImageText(ReadMemory(station, module, Memory::SpiFlash));
  if (!SaveText(file, text)) return Fail(kToolNoAnswer, "cannot write '" + file + "'");
  Say(stdout, "Dump complete: " + file + "\n");
  return kToolOk;
}

int Erase(const Station& station, const std::string& module) {
  Say(stdout, "Erasing flash...\n");
  ShowProgress(station, "Erasing");
  if (!WriteMemory(station, module, Memory::SpiFlash, {})) return Fail(kToolNoAnswer, "flash erase failed");
  Say(stdout, "Erase complete.\n");
  return kToolOk;
}

}  // namespace

int RunToolCommand(const Station& station, const ToolCommand& command) {
  std::optional<Adapter> adapter = station.AdapterWithTransport(command.transport);
  std::optional<std::string> module;
  if (adapter) module = station.ModuleOn(*adapter);
  if (!module) return Fail(kToolNoDevice, "no device found on " + command.transport);
  if (Strike(station, "nvscmd", *module)) return Fail(kToolNoAnswer, "device on " + command.transport + " does not respond");
  if (station.Flag(ModuleSection(*module), "spi_locked", false)) return Fail(kToolLocked, "the SPI port is locked");
  FlashIdentity flash = FlashIdentityOf(station, *module, Memory::SpiFlash);
  if (flash.sizeMbit == 0) return Fail(kToolNoDevice, "no SPI flash found");
  char line[128];
  std::snprintf(line, sizeof line, "Flash found: %u Mbit, MId 0x%x, DevId 0x%x\n", flash.sizeMbit,
                flash.manufacturerId, flash.deviceId);
  Say(stdout, line);
  switch (command.action) {
    case ToolAction::Burn: return Burn(station, *module, command.file);
    case ToolAction::Dump: return Dump(station, *module, command.file);
    case ToolAction::Erase: return Erase(station, *module);
  }
  return kToolFailed;
}

}  // namespace sim
