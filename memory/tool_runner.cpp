#include "memory/tool_runner.h"

#include <algorithm>
#include <memory>

#include "memory/memory_type.h"
#include "res/resource_ids.h"

namespace memory {
namespace {

constexpr unsigned kPauseAfterChunkMs = 200;
// While the tool is quiet the window is still repainted this often.
constexpr unsigned kListenSliceMs = 250;

void RunAndReset(app::DialogServices& dialog, vendor::TestFlash& flash, const Host& host,
                 const std::string& transport, const std::string& commandLine, bool burn) {
  if (RunTool(dialog, host, transport, commandLine)) ResetAfterTool(dialog, flash, transport, burn);
}

}  // namespace

std::string_view ToolOption(std::string_view transport) {
  if (transport == "SPITRANS=USB SPIPORT=0") return "-usb 0";
  if (transport == "SPITRANS=LPT SPIPORT=1") return "-lpt 1";
  return {};
}

std::string ToolCommandLine(std::string_view transport, ToolAction action, std::string_view firmwarePath) {
  std::string_view option = ToolOption(transport);
  if (option.empty()) return {};
  std::string line = "nvscmd.exe ";
  line += option;
  switch (action) {
    case ToolAction::Burn:
      line += " burn ";
      line += firmwarePath;
      break;
    case ToolAction::Dump:
      line += " dump flashdump.xuv ";
      break;
    case ToolAction::Erase:
      line += " erase";
      break;
  }
  return line;
}

void ToolBurn(app::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport) {
  const std::string path = BeginFlashBurn(dialog);
  if (path.empty()) return;
  RunAndReset(dialog, flash, host, transport, ToolCommandLine(transport, ToolAction::Burn, path), true);
}

void ToolDump(app::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport) {
  dialog.Report(" ");
  RunAndReset(dialog, flash, host, transport, ToolCommandLine(transport, ToolAction::Dump, {}), false);
}

void ToolErase(app::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport) {
  dialog.Report(" ");
  RunAndReset(dialog, flash, host, transport, ToolCommandLine(transport, ToolAction::Erase, {}), false);
}

bool RunTool(app::DialogServices& dialog, const Host& host, const std::string& transport,
             const std::string& commandLine) {
  if (ToolOption(transport).empty() || commandLine.empty()) {
    dialog.MessageBox("Error On CreateProcess");
    return false;
  }
  std::unique_ptr<platform::ChildProcess> child;
  switch (host.startChild(commandLine, &child)) {
    case platform::StartResult::Started:
      break;
    case platform::StartResult::NoPipe:
      dialog.MessageBox("Error On CreatePipe()");
      return false;
    case platform::StartResult::NoProgram:
      dialog.MessageBox("Error On CreateProcess");
      return false;
  }

  // Each chunk is a text of at most 4095 bytes, shown as it is: never a format.
  char buffer[4096];
  uint64_t heardAt = host.clock->NowMs();
  for (;;) {
    size_t got = 0;
    unsigned slice = std::min(kListenSliceMs, host.toolSilenceMs);
    platform::ChildProcess::ReadResult result = child->Read(buffer, sizeof buffer - 1, &got, slice);
    if (result == platform::ChildProcess::ReadResult::End) return true;
    if (result == platform::ChildProcess::ReadResult::Silent) {
      dialog.window().KeepPainting();
      if (host.clock->NowMs() - heardAt >= host.toolSilenceMs) {
        child->Kill();
        dialog.Report("nvscmd.exe gave no sign for %u s and was stopped !", host.toolSilenceMs / 1000);
        return false;
      }
      continue;
    }
    heardAt = host.clock->NowMs();
    buffer[got] = '\0';
    dialog.Report("%s", buffer);
    dialog.ShowFields();
    dialog.window().KeepPainting();
    host.clock->SleepMs(kPauseAfterChunkMs);
  }
}

void ResetAfterTool(app::DialogServices& dialog, vendor::TestFlash& flash, const std::string& transport, bool burned) {
  if (flash.flInitTrans(transport.c_str(), 26, 2) == 0) {
    if (burned) dialog.Report("flash烧录完成!");
    for (int i = 0; i < 5; ++i) flash.flResetAndStart();
  }
  flash.flClose();
}

}  // namespace memory
