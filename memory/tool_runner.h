// SPI flash through the vendor's command-line tool: the tool runs as a child,
// its output is relayed to the status line and log as it comes, and the chip
// is reset through TestFlash afterwards.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "dialog/dialog_services.h"
#include "memory/host.h"
#include "vendor/test_flash.h"

namespace memory {

enum class ToolAction { Burn, Dump, Erase };

// The tool's adapter option for a transport ("-usb 0", "-lpt 1"); empty when it has none.
std::string_view ToolOption(std::string_view transport);
// The tool's whole command line; empty when the transport has no option. A
// firmware path holding a blank or tab goes in double quotes, so the tool gets
// it as one argument; any other path goes in as it stands.
std::string ToolCommandLine(std::string_view transport, ToolAction action, std::string_view firmwarePath);

// A tool that ended with an exit code other than 0 gets that code reported
// instead of the completion line; the chip is reset all the same.
void ToolBurn(dialog::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport);
void ToolDump(dialog::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport);
void ToolErase(dialog::DialogServices& dialog, vendor::TestFlash& flash, const Host& host, std::string transport);

// Runs the tool until its output ends and gives its exit code. Nothing when it
// never ran or had to be stopped; the caller then leaves the chip alone.
std::optional<int> RunTool(dialog::DialogServices& dialog, const Host& host, const std::string& transport,
                           const std::string& commandLine);

// Opens TestFlash on the same adapter and restarts the chip; `burned` adds the completion line.
void ResetAfterTool(dialog::DialogServices& dialog, vendor::TestFlash& flash, const std::string& transport, bool burned);

}  // namespace memory
