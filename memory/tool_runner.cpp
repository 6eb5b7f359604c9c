#include "memory/tool_runner.h"

#include <algorithm>
#include <memory>

#include "dialog/recorded_operation.h"
#include "memory/memory_type.h"
#include "platform/gbk.h"
#include "res/resource_ids.h"

namespace memory {
namespace {

constexpr const char* kBurnFailed = "nvscmd.exe 退出码 %d, 烧录失败! ";
constexpr const char* kNoSign = "nvscmd.exe gave no sign for %u s and was stopped !";
constexpr const char* kNoExit = "nvscmd.exe did not exit within %u s of its output's end and was stopped !";

constexpr unsigned kPauseAfterChunkMs = 200;
// While the tool is quiet the window is still repainted this often.
constexpr unsigned kListenSliceMs = 250;

// The path as one word of the line PCs' command-line splitting. Inside quotes a
// run of backslashes before the closing quote would escape it; doubled, it
// comes back as the path's own backslashes. A GBK trail byte that looks like a
// backslash belongs to its character and is not part of that run.
std::string QuotedIfBlank(std::string_view path) {
  if (path.find_first_of(" \t") == std::string_view::npos) return std::string(path);
  size_t trailingBackslashes = 0;
  for (size_t at = 0; at < path.size(); ++at) {
    if (platform::IsGbkLeadByte(static_cast<unsigned char>(path[at])) && at + 1 < path.size()) {
      ++at;
      trailingBackslashes = 0;
    } else {
      trailingBackslashes = path[at] == '\\' ? trailingBackslashes + 1 : 0;
    }
  }
  std::string quoted = "\"";
  quoted += path;
  quoted.append(trailingBackslashes, '\\');
  quoted += '"';
  return quoted;
}

// A chunk larger than the report's 255 bytes goes out in several reports, cut
// between characters, so the tool's last words (its failures among them)
// reach the log instead of being dropped by the message buffer.
void ReportChunk(dialog::DialogServices& dialog, std::string_view chunk) {
  constexpr size_t kReportBytes = dialog::DialogServices::kFormatBuffer - 1;
  while (!chunk.empty()) {
    size_t piece = 0;
    while (piece < chunk.size()) {
      size_t width =
          platform::IsGbkLeadByte(static_cast<unsigned char>(chunk[piece])) && piece + 1 < chunk.size() ? 2 : 1;
      if (piece + width > kReportBytes) break;
      piece += width;
    }
    dialog.Report("%.*s", static_cast<int>(piece), chunk.data());
    chunk.remove_prefix(piece);
  }
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
      line += QuotedIfBlank(firmwarePath);
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

void ToolBurn(dialog::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport) {
  dialog::RecordedOperation record(dialog, ledger::kBurn, transport);
  const std::string path = BeginFlashBurn(dialog);
  record.Firmware(path);
  if (path.empty()) return;
  std::optional<int> exitCode = RunTool(dialog, host, transport, ToolCommandLine(transport, ToolAction::Burn, path));
  if (!exitCode) return;
  // Said before the reset, so a chip that TestFlash cannot open still shows it.
  if (*exitCode != 0) dialog.Report(kBurnFailed, *exitCode);
  ResetAfterTool(dialog, flash, transport, *exitCode == 0);
}

// What the tool's own output says of a dump or an erase is all there is.
void ToolDump(dialog::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport) {
  dialog::RecordedOperation record(dialog, ledger::kDump, transport);
  dialog.Report(" ");
  if (RunTool(dialog, host, transport, ToolCommandLine(transport, ToolAction::Dump, {}))) {
    ResetAfterTool(dialog, flash, transport, false);
  }
}

void ToolErase(dialog::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport) {
  dialog::RecordedOperation record(dialog, ledger::kErase, transport);
  dialog.Report(" ");
  if (RunTool(dialog, host, transport, ToolCommandLine(transport, ToolAction::Erase, {}))) {
    ResetAfterTool(dialog, flash, transport, false);
  }
}

std::optional<int> RunTool(dialog::DialogServices& dialog, const Host& host, const std::string& transport,
                           const std::string& commandLine) {
  if (ToolOption(transport).empty() || commandLine.empty()) {
    dialog.MessageBox("Error On CreateProcess");
    return std::nullopt;
  }
  std::unique_ptr<platform::ChildProcess> child;
  switch (host.startChild(commandLine, &child)) {
    case platform::StartResult::Started:
      break;
    case platform::StartResult::NoPipe:
      dialog.MessageBox("Error On CreatePipe()");
      return std::nullopt;
    case platform::StartResult::NoProgram:
      dialog.MessageBox("Error On CreateProcess");
      return std::nullopt;
  }

  // Each chunk is a text of at most 4095 bytes, shown as it is: never a format.
  char buffer[4096];
  uint64_t heardAt = host.clock->NowMs();
  for (;;) {
    size_t got = 0;
    unsigned slice = std::min(kListenSliceMs, host.toolSilenceMs);
    platform::ChildProcess::ReadResult result = child->Read(buffer, sizeof buffer - 1, &got, slice);
    if (result == platform::ChildProcess::ReadResult::End) {
      std::optional<int> exitCode = child->Finish();
      if (!exitCode) dialog.Report(kNoExit, platform::kExitGraceMs / 1000);
      return exitCode;
    }
    if (result == platform::ChildProcess::ReadResult::Silent) {
      dialog.window().KeepPainting();
      if (host.clock->NowMs() - heardAt >= host.toolSilenceMs) {
        child->Kill();
        dialog.Report(kNoSign, host.toolSilenceMs / 1000);
        return std::nullopt;
      }
      continue;
    }
    heardAt = host.clock->NowMs();
    buffer[got] = '\0';
    ReportChunk(dialog, buffer);  // as text: up to a zero byte, as ever
    dialog.ShowFields();
    dialog.window().KeepPainting();
    host.clock->SleepMs(kPauseAfterChunkMs);
  }
}

void ResetAfterTool(dialog::DialogServices& dialog, vendor::TestFlash& flash, const std::string& transport, bool burned) {
  if (flash.flInitTrans(transport.c_str(), 26, 2) == 0) {
    if (burned) dialog.Report("flash烧录完成!");
    for (int i = 0; i < 5; ++i) flash.flResetAndStart();
  }
  flash.flClose();
}

}  // namespace memory
