#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "memory/memory_type.h"
#include "platform/file_system.h"
#include "tests/unit/memory_fixture.h"

namespace {

using memory::MemoryType;
using memtest::Calls;
using memtest::MemoryTest;

enum class Command { Brun, Dump, Erase };

class MemoryCommands : public MemoryTest {
 protected:
  void SetType(MemoryType type) {
    SetMemoryBoxes(type == MemoryType::Eeprom, type == MemoryType::SpiFlash, type == MemoryType::ParallelFlash);
  }
  void Run(Command command) {
    memory::Commands c = commands();
    switch (command) {
      case Command::Brun: return c.OnBrun();
      case Command::Dump: return c.OnDump();
      case Command::Erase: return c.OnErase();
    }
  }
  static std::string Device(const std::string& transport) {
    if (transport.starts_with(memtest::kDevice1) || transport.find("-usb 0") != std::string::npos) return "1";
    if (transport.starts_with(memtest::kDevice2) || transport.find("-lpt 1") != std::string::npos) return "2";
    return "-";
  }
  // The operations that ran, with their device, read off the calls they made.
  std::vector<std::string> Operations() const {
    std::vector<std::string> done;
    std::string device = "-";
    for (const auto& call : allCalls) {
      if (call.name == "te2OpenTrans" || call.name == "flInitTrans") device = Device(call.args);
      if (call.name == "te2Program") done.push_back("ProgramEeprom " + device);
      if (call.name == "te2Dump") done.push_back("DumpEeprom " + device);
      if (call.name == "te2Fill") done.push_back("EraseEeprom " + device);
      if (call.name == "flReadProgramFiles") done.push_back("ProgramFlash " + device);
      if (call.name == "flErase") done.push_back("EraseFlash " + device);
      if (call.name == "nvscmd") {
        const char* action = call.args.find(" burn ") != std::string::npos   ? "ToolBurn "
                             : call.args.find(" dump ") != std::string::npos ? "ToolDump "
                                                                              : "ToolErase ";
        done.push_back(action + Device(call.args));
      }
    }
    return done;
  }
};

TEST_F(MemoryCommands, EachCommandTakesTheRoadOfTheMemoryTypeForTheTickedDevices) {
  using V = std::vector<std::string>;
  const MemoryType kSpi = MemoryType::SpiFlash, kE2 = MemoryType::Eeprom, kPar = MemoryType::ParallelFlash;
  const struct {
    Command command;
    MemoryType type;
    bool device1, device2;
    V operations;
  } kCases[] = {
      {Command::Brun, kSpi, true, true, V{"ToolBurn 1", "ToolBurn 2"}},
      {Command::Brun, kSpi, false, true, V{"ToolBurn 2"}},
      {Command::Brun, kE2, true, true, V{"ProgramEeprom 1", "ProgramEeprom 2"}},
      {Command::Brun, kPar, true, true, V{"ProgramFlash 1", "ProgramFlash 2"}},
      {Command::Brun, kSpi, false, false, V{}},
      {Command::Brun, kE2, false, false, V{}},
      {Command::Brun, kPar, false, false, V{}},
      {Command::Dump, kSpi, true, true, V{"ToolDump 1", "ToolDump 2"}},
      {Command::Dump, kSpi, false, false, V{}},
      {Command::Dump, kE2, true, true, V{"DumpEeprom 1"}},
      {Command::Dump, kE2, false, true, V{"DumpEeprom 2"}},
      {Command::Dump, kE2, false, false, V{"DumpEeprom -"}},
      {Command::Dump, kPar, true, true, V{}},
      {Command::Erase, kSpi, true, true, V{"ToolErase 1", "ToolErase 2"}},
      {Command::Erase, kE2, true, true, V{"EraseEeprom 1", "EraseEeprom 2"}},
      {Command::Erase, kE2, false, true, V{"EraseEeprom 2"}},
      {Command::Erase, kPar, true, true, V{"EraseFlash 1"}},
      {Command::Erase, kPar, false, true, V{"EraseFlash 2"}},
      {Command::Erase, kSpi, false, false, V{}},
      {Command::Erase, kE2, false, false, V{}},
      {Command::Erase, kPar, false, false, V{}},
  };
  ChooseFirmware("fw.img");
  for (const auto& c : kCases) {
    allCalls.clear();
    SetType(c.type);
    Tick(res::IDC_DEVICE1, c.device1);
    Tick(res::IDC_DEVICE2, c.device2);
    Run(c.command);
    EXPECT_EQ(Operations(), c.operations)
        << "command " << static_cast<int>(c.command) << ", type " << static_cast<int>(c.type) << ", devices "
        << c.device1 << c.device2;
    if (c.operations.empty() && !(c.command == Command::Dump && c.type == kE2)) {
      EXPECT_TRUE(allCalls.empty());
    }
  }
}

TEST_F(MemoryCommands, ParallelBoxBesideAnotherTypeIsIgnored) {
  ChooseFirmware("fw.bin");
  SetMemoryBoxes(true, false, true);
  Tick(res::IDC_DEVICE1);
  Run(Command::Brun);
  EXPECT_EQ(Operations(), std::vector<std::string>{"ProgramEeprom 1"});
}

TEST_F(MemoryCommands, MissingFileIsReportedOncePerTickedDevice) {
  const struct {
    MemoryType type;
    const char* message;
  } kCases[] = {{MemoryType::Eeprom, "haven't .BIN file!!!"},
                {MemoryType::SpiFlash, "haven't .XUV file!!!"},
                {MemoryType::ParallelFlash, "haven't .XUV file!!!"}};
  Tick(res::IDC_DEVICE1);
  Tick(res::IDC_DEVICE2);
  for (const auto& c : kCases) {
    allCalls.clear();
    SetType(c.type);
    Run(Command::Brun);
    EXPECT_EQ(allCalls, (Calls{{"Report", c.message}, {"Report", c.message}})) << c.message;
  }
}

TEST_F(MemoryCommands, TypedPathIsTheOneTheNextBrunUses) {
  SetType(MemoryType::Eeprom);
  Tick(res::IDC_DEVICE1);
  window.Type(res::IDC_FIRMWARE_PATH, "D:\\typed\\fw.bin");
  dialog.OnCommand(res::IDC_BRUN);  // through the window's routing
  EXPECT_EQ(e2.CallsOf("te2Program"), (Calls{{"te2Program", "D:\\typed\\fw.bin,1"}}));
  EXPECT_EQ(dialog.Fields().FirmwarePath, "D:\\typed\\fw.bin");
  EXPECT_EQ(Status(), "烧录BIN to EEPROM成功! ");
}

TEST_F(MemoryCommands, OpenFileOffersTheFilterOfTheMemoryType) {
  const struct {
    MemoryType type;
    const char* filter;
  } kFilters[] = {{MemoryType::SpiFlash, "Files(*.xuv)|*.xuv||"},
                  {MemoryType::Eeprom, "Files(*.bin)|*.bin||"},
                  {MemoryType::ParallelFlash, "Files(*.xpv;*.xuv)|*.xpv;*.xuv||"}};
  for (const auto& c : kFilters) {
    SetType(c.type);
    commands().OnOpenFile();
    EXPECT_EQ(window.fileFilters().back(), c.filter);
  }
}

TEST_F(MemoryCommands, OpenFileTakesTheChosenPathAndShowsItsEnd) {
  const std::string chosen = "/line/firmware/release 3/app.bin";
  window.ChooseNextFile(chosen);
  commands().OnOpenFile();
  EXPECT_EQ(window.ItemText(res::IDC_FIRMWARE_PATH), chosen);
  EXPECT_EQ(dialog.Fields().FirmwarePath, chosen);
  int start = 0, end = 0;
  window.GetSel(res::IDC_FIRMWARE_PATH, &start, &end);
  EXPECT_EQ(start, static_cast<int>(chosen.size()));
  EXPECT_EQ(end, static_cast<int>(chosen.size()));

  // Cancelled: the text stays, the caret still goes to its end.
  window.SetSel(res::IDC_FIRMWARE_PATH, 0, 0);
  window.ChooseNextFile(std::nullopt);
  commands().OnOpenFile();
  EXPECT_EQ(window.ItemText(res::IDC_FIRMWARE_PATH), chosen);
  window.GetSel(res::IDC_FIRMWARE_PATH, &start, &end);
  EXPECT_EQ(start, static_cast<int>(chosen.size()));
  EXPECT_TRUE(allCalls.empty());
}

// A file box that browses: it leaves the process in the folder it showed last.
class BrowsingWindow : public fakes::MemoryWindow {
 public:
  std::string browsed;
  std::optional<std::string> ChooseOpenFile(std::string_view filter) override {
    EXPECT_EQ(chdir(browsed.c_str()), 0);
    return MemoryWindow::ChooseOpenFile(filter);
  }
};

TEST_F(MemoryCommands, WorkingFolderIsTheSameAfterTheFileBox) {
  std::filesystem::path deep = folder.path();
  // Past 200 bytes; on Windows a working folder stays below 260 characters.
#ifdef _WIN32
  const int levels = 4;
#else
  const int levels = 5;
#endif
  for (int i = 0; i < levels; ++i) deep /= std::string(50, static_cast<char>('k' + i));
  std::filesystem::create_directories(deep);
  std::filesystem::current_path(deep);

  BrowsingWindow browsing;
  browsing.browsed = "/";
  app::MainDialog browsingDialog(browsing, engine, flash, e2, transports);
  for (bool confirmed : {true, false}) {
    browsing.ChooseNextFile(confirmed ? std::optional<std::string>("/fw/app.bin") : std::nullopt);
    browsingDialog.OnCommand(res::IDC_OPEN_FILE);
    EXPECT_EQ(std::filesystem::current_path(), deep) << confirmed;
  }
  EXPECT_EQ(browsing.ItemText(res::IDC_FIRMWARE_PATH), "/fw/app.bin");
}

}  // namespace
