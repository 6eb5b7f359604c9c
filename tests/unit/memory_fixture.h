// The memory commands on the recording chip libraries, with a clock that only
// pretends to sleep and a flash tool that plays a script instead of running.
// Every message and every tool command line joins the libraries' calls in
// `allCalls`, so a test sees the whole sequence in one list.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "memory/commands.h"
#include "memory/host.h"
#include "tests/support/dialog_fixture.h"

namespace memtest {

using fakes::Call;
using fakes::Calls;

inline constexpr const char* kDevice1 = "SPITRANS=USB SPIPORT=0";
inline constexpr const char* kDevice2 = "SPITRANS=LPT SPIPORT=1";
inline constexpr const char* kOpenFailed = "设备打开失败!请连接设备到蓝牙IC.\n 开机键长按.";

class FakeClock : public memory::Clock {
 public:
  uint64_t NowMs() override { return now; }
  void SleepMs(unsigned milliseconds) override {
    if (onSleep) onSleep();
    sleeps.push_back(milliseconds);
    now += milliseconds;
  }
  uint64_t now = 1'000'000;
  std::vector<unsigned> sleeps;
  std::function<void()> onSleep;  // runs before each pretended sleep
};

// The flash tool as a script: chunks of output, stretches of silence, then the end.
class FakeTool {
 public:
  struct Step {
    std::optional<std::string> output;  // nothing: a read that times out
  };
  FakeTool(FakeClock& clock, Calls& all) : clock_(clock), all_(all) {}

  platform::StartResult startResult = platform::StartResult::Started;
  std::deque<platform::StartResult> starts;  // the next runs' start, in turn; then `startResult`
  std::deque<Step> script;          // played by the next run, then the output ends
  bool silentForever = false;       // after the script: no output and no end
  // How each run that ends its output ends, in turn: its exit code, or nothing
  // for one that had to be stopped in the grace. 0 when none is left.
  std::deque<std::optional<int>> exits;
  std::vector<size_t> readSizes;    // what each read asked for at most
  int kills = 0;

  void Say(std::string chunk) { script.push_back({std::move(chunk)}); }
  void Pause() { script.push_back({std::nullopt}); }

  memory::StartChild Starter() {
    return [this](const std::string& line, std::unique_ptr<platform::ChildProcess>* child) {
      all_.push_back({"nvscmd", line});
      platform::StartResult result = startResult;
      if (!starts.empty()) {
        result = starts.front();
        starts.pop_front();
      }
      if (result == platform::StartResult::Started) *child = std::make_unique<Child>(*this);
      return result;
    };
  }

 private:
  class Child : public platform::ChildProcess {
   public:
    explicit Child(FakeTool& tool) : tool_(tool) {}
    ReadResult Read(char* buffer, size_t size, size_t* got, unsigned timeoutMs) override {
      tool_.readSizes.push_back(size);
      *got = 0;
      if (tool_.script.empty()) {
        if (!tool_.silentForever) return ReadResult::End;
        tool_.clock_.now += timeoutMs;
        return ReadResult::Silent;
      }
      FakeTool::Step step = tool_.script.front();
      tool_.script.pop_front();
      if (!step.output) {
        tool_.clock_.now += timeoutMs;
        return ReadResult::Silent;
      }
      *got = std::min(size, step.output->size());
      step.output->copy(buffer, *got);
      return ReadResult::Data;
    }
    void Kill() override {
      ++tool_.kills;
      tool_.silentForever = false;
    }
    std::optional<int> Finish() override {
      if (tool_.exits.empty()) return 0;
      std::optional<int> exit = tool_.exits.front();
      tool_.exits.pop_front();
      if (!exit) ++tool_.kills;
      return exit;
    }

   private:
    FakeTool& tool_;
  };

  FakeClock& clock_;
  Calls& all_;
};

// The dialog's services as the memory commands see them, with every message
// kept in the shared call list as {"Report", text}.
class RecordingServices : public dialog::DialogServices {
 public:
  RecordingServices(app::MainDialog& dialog, Calls& all) : dialog_(dialog), all_(all) {}

  bool CollectFields() override { return dialog_.CollectFields(); }
  void ShowFields() override {
    ++showFieldsCalls;
    dialog_.ShowFields();
  }
  dialog::FieldValues& Fields() override { return dialog_.Fields(); }
  bool IsButtonSet(int id) const override { return dialog_.IsButtonSet(id); }
  const dialog::Transports& transports() const override { return dialog_.transports(); }
  dialog::Window& window() override { return dialog_.window(); }
  void CaretToEnd(int id) override { dialog_.CaretToEnd(id); }
  ledger::Ledger& Ledger() override { return dialog_.Ledger(); }

  int showFieldsCalls = 0;

 protected:
  void ShowReport(std::string_view text) override {
    all_.push_back({"Report", std::string(text)});
    dialog_.Report("%s", std::string(text).c_str());
  }

 private:
  app::MainDialog& dialog_;
  Calls& all_;
};

class MemoryTest : public fakes::DialogTest {
 protected:
  memory::Host host() {
    memory::Host host;
    host.clock = &clock;
    host.startChild = tool.Starter();
    return host;
  }
  memory::Commands commands() { return memory::Commands(services, engine, flash, e2, host()); }

  // The operator's click: an auto check box toggles, then its handler runs.
  void Click(int id) {
    window.SetCheck(id, window.ButtonState(id) ? dialog::kBstUnchecked : dialog::kBstChecked);
    dialog.OnCommand(id);
  }
  // The memory type as the boxes 1041, 1042 and 1045 show it.
  void SetMemoryBoxes(bool eeprom, bool spiFlash, bool parallelFlash) {
    Tick(res::IDC_EEPROM, eeprom);
    Tick(res::IDC_SPI_FLASH, spiFlash);
    Tick(res::IDC_PARALLEL_FLASH, parallelFlash);
  }
  void ChooseFirmware(const std::string& path) { window.Type(res::IDC_FIRMWARE_PATH, path); }

  // Only the messages, in order.
  std::vector<std::string> Reports() const {
    std::vector<std::string> texts;
    for (const Call& call : allCalls) {
      if (call.name == "Report") texts.push_back(call.args);
    }
    return texts;
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : window.messageBoxes()) texts.push_back(box.text);
    return texts;
  }
  bool Checked(int id) const { return window.ButtonState(id) != 0; }

  FakeClock clock;
  FakeTool tool{clock, allCalls};
  RecordingServices services{dialog, allCalls};
};

}  // namespace memtest
