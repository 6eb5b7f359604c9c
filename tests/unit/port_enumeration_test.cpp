#include <gtest/gtest.h>

#include "tests/support/dialog_fixture.h"

namespace {

using fakes::Call;
using fakes::Calls;
using fakes::DialogTest;

class PortEnumeration : public DialogTest {
 protected:
  PortEnumeration() {
    transports = {};
    Tick(res::IDC_EEPROM);
  }
  void Answer(const std::string& names, const std::string& transportText) {
    engine.portNames = flash.portNames = names;
    engine.portTransports = flash.portTransports = transportText;
  }
};

TEST_F(PortEnumeration, SplitsTheAnswerAtTheLastCommaOfEachList) {
  const struct {
    const char* names;
    const char* transports;
    const char* name1;
    const char* name2;
    const char* transport1;
    const char* transport2;
    bool device2Enabled;
  } kCases[] = {
      {"A", "SPITRANS=USB SPIPORT=0", "A", "", "SPITRANS=USB SPIPORT=0", "", false},
      {"A,B", "x,y", "A", "B", "x", "y", true},
      {"A,B,C", "x,y,z", "A,B", "C", "x,y", "z", true},
      {"A,B", "xy", "A,B", "", "xy", "", false},
      {"AB", "x,y", "AB", "", "x,y", "", false},
      {"", "", "", "", "", "", false},
  };
  for (const auto& c : kCases) {
    fakes::MemoryWindow fresh;
    dialog::Transports freshTransports;
    app::MainDialog freshDialog(fresh, engine, flash, e2, freshTransports);
    fresh.SetCheck(res::IDC_EEPROM, dialog::kBstChecked);
    Answer(c.names, c.transports);
    freshDialog.OnPaint();
    EXPECT_EQ(fresh.listEntries(res::IDC_DEVICE1_LIST), std::vector<std::string>{c.name1}) << c.names;
    EXPECT_EQ(fresh.listEntries(res::IDC_DEVICE2_LIST), std::vector<std::string>{c.name2}) << c.names;
    EXPECT_EQ(freshTransports.Device1Transport, c.transport1) << c.names;
    EXPECT_EQ(freshTransports.Device2Transport, c.transport2) << c.names;
    EXPECT_EQ(fresh.IsItemEnabled(res::IDC_DEVICE2), c.device2Enabled) << c.names;
  }
}

TEST_F(PortEnumeration, EachPaintReplacesTheEntriesAndDevice2StaysDisabled) {
  Answer("A", "x");
  dialog.OnPaint();
  Answer("A,B", "x,y");
  dialog.OnPaint();
  dialog.OnPaint();
  EXPECT_EQ(window.listEntries(res::IDC_DEVICE1_LIST), std::vector<std::string>{"A"});
  EXPECT_EQ(window.listEntries(res::IDC_DEVICE2_LIST), std::vector<std::string>{"B"});
  EXPECT_EQ(transports.Device2Transport, "y");
  EXPECT_FALSE(window.IsItemEnabled(res::IDC_DEVICE2));  // never enabled again
}

TEST_F(PortEnumeration, MemoryTypeChoosesTheLibrary) {
  Answer("A,B", "x,y");
  dialog.OnPaint();
  EXPECT_EQ(engine.CallsOf("teGetAvailableSpiPorts").size(), 1u);
  EXPECT_TRUE(flash.calls().empty());

  Tick(res::IDC_EEPROM, false);
  Tick(res::IDC_SPI_FLASH);
  dialog.OnPaint();
  EXPECT_EQ(flash.CallsOf("flGetAvailableSpiPorts").size(), 1u);
  EXPECT_EQ(engine.CallsOf("teGetAvailableSpiPorts").size(), 1u);

  Tick(res::IDC_EEPROM);  // both set: both asked, TestEngine's answer stands
  engine.portNames = "E1,E2";
  dialog.OnPaint();
  EXPECT_EQ(allCalls.back().name, "teGetAvailableSpiPorts");
  EXPECT_EQ(window.listEntries(res::IDC_DEVICE1_LIST), std::vector<std::string>{"E1"});
}

TEST_F(PortEnumeration, ParallelFlashAloneAsksNoLibraryAndKeepsTheLastAnswer) {
  Answer("A,B", "x,y");
  dialog.OnPaint();
  Tick(res::IDC_EEPROM, false);
  allCalls.clear();
  dialog.OnPaint();
  EXPECT_TRUE(allCalls.empty());
  EXPECT_EQ(transports.Device1Transport, "x");
  EXPECT_EQ(transports.Device2Transport, "y");
  EXPECT_TRUE(window.IsItemEnabled(res::IDC_DEVICE2));
}

TEST_F(PortEnumeration, RetriesOnceWithTheLengthTheLibraryAsksFor) {
  std::string names = std::string(300, 'n') + ",B";
  std::string transportText = std::string(280, 't') + ",y";
  Answer(names, transportText);
  dialog.OnPaint();
  EXPECT_EQ((engine.calls()), (Calls{{"teGetAvailableSpiPorts", "256"}, {"teGetAvailableSpiPorts", "303"}}));
  EXPECT_EQ(window.listEntries(res::IDC_DEVICE1_LIST), std::vector<std::string>{std::string(300, 'n')});
  EXPECT_EQ(transports.Device2Transport, "y");
}

TEST_F(PortEnumeration, AnswerWithNothingWrittenGivesEmptyTexts) {
  Answer("A,B", "x,y");
  dialog.OnPaint();
  engine.Script("teGetAvailableSpiPorts", 0);
  engine.portNames.clear();
  engine.portTransports.clear();
  dialog.OnPaint();  // the library wrote nothing: the buffers hold no adapter
  EXPECT_EQ(engine.CallsOf("teGetAvailableSpiPorts").size(), 3u);
  EXPECT_EQ(transports.Device1Transport, "");
  EXPECT_EQ(window.listEntries(res::IDC_DEVICE1_LIST), std::vector<std::string>{""});
}

// A library that fills its buffers to the brim without a terminating zero.
class UnterminatedEngine : public fakes::RecordingTestEngine {
 public:
  int32_t teGetAvailableSpiPorts(uint16_t* length, char* names, char* transports, uint16_t*) override {
    std::fill(names, names + *length, 'N');
    std::fill(transports, transports + *length, 'T');
    return 1;
  }
};

TEST_F(PortEnumeration, NeverReadsPastTheBuffers) {
  UnterminatedEngine unterminated;
  app::MainDialog other(window, unterminated, flash, e2, transports);
  other.OnPaint();
  EXPECT_EQ(transports.Device1Transport, std::string(256, 'T'));
}

TEST_F(PortEnumeration, NothingEnumeratesWhileAHandlerRuns) {
  // A handler that blocks lets the window repaint; those paints must not call the library.
  class PaintingWindow : public fakes::MemoryWindow {
   public:
    app::MainDialog* dialog = nullptr;
    void KeepPainting() override { dialog->OnPaint(); }
  } painting;
  painting.SetCheck(res::IDC_EEPROM, dialog::kBstChecked);
  app::MainDialog busy(painting, engine, flash, e2, transports);
  painting.dialog = &busy;
  busy.OnCommand(res::IDC_LIST_CLEAR);
  painting.KeepPainting();  // outside a handler it does
  EXPECT_EQ(engine.CallsOf("teGetAvailableSpiPorts").size(), 1u);
}

}  // namespace
