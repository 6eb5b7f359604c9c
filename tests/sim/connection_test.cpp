// Opening and closing TestEngine connections: which radio answers which
// open, and the handle numbering.
#include "tests/sim/sim_fixture.h"

namespace simtest {
namespace {

constexpr const char* kUsb = "SPITRANS=USB SPIPORT=0";
constexpr const char* kLpt = "SPITRANS=LPT SPIPORT=1";

using Connection = StationTest;

TEST_F(Connection, DefaultStationGivesTheModuleHandleOne) {
  // The programming connection's first open finds no USB chip by default.
  EXPECT_EQ(api.openTestEngine(2, "\\\\.\\CSR0", 0, 0, 100), 0u);
  EXPECT_EQ(api.openTestEngineSpiTrans(kUsb, 0), 1u);
  EXPECT_EQ(api.openTestEngineSpiTrans(kLpt, 0), 2u);
}

TEST_F(Connection, HandlesAreTheLowestFreeFromOne) {
  uint32_t a = api.openTestEngineSpiTrans(kUsb, 0);
  uint32_t b = api.openTestEngineSpiTrans(kLpt, 0);
  uint32_t c = api.openTestEngine(2, "\\\\.\\csr0", 0, 1000, 2000);
  EXPECT_EQ(a, 1u);
  EXPECT_EQ(b, 2u);
  EXPECT_EQ(c, 3u);
  EXPECT_EQ(api.closeTestEngine(b), 1);
  EXPECT_EQ(api.openTestEngineSpiTrans(kUsb, 0), 2u) << "the freed number is taken again";
  EXPECT_EQ(api.closeTestEngine(b), 1);
  EXPECT_EQ(api.closeTestEngine(b), 0) << "a closed handle is no connection";
  uint16_t version = 0;
  EXPECT_EQ(api.bccmdGetChipVersion(b, &version), 0);
}

TEST_F(Connection, CloseOfZeroDoesNothing) {
  uint32_t module = api.openTestEngineSpiTrans(kUsb, 0);
  api.closeTestEngine(0);
  uint16_t version = 99;
  EXPECT_EQ(api.bccmdGetChipVersion(module, &version), 1);
  EXPECT_EQ(api.openTestEngineSpiTrans(kUsb, 0), 2u);
}

TEST_F(Connection, OpensOnlyWhatIsOnTheBench) {
  const struct {
    const char* what;
    const char* section;
    const char* key;
    const char* value;
  } kAbsent[] = {
      {"module unplugged", "module bc5", "present", "no"},
      {"adapter with an empty socket", "adapter usb", "module", ""},
      {"adapter gone", "station", "adapters", "lpt"},
  };
  for (const auto& c : kAbsent) {
    std::string old = Get(c.section, c.key);
    Set(c.section, c.key, c.value);
    EXPECT_EQ(api.openTestEngineSpiTrans(kUsb, 0), 0u) << c.what;
    Set(c.section, c.key, old);
    uint32_t handle = api.openTestEngineSpiTrans(kUsb, 0);
    EXPECT_EQ(handle, 1u) << c.what;
    api.closeTestEngine(handle);
  }
  EXPECT_EQ(api.openTestEngineSpiTrans("SPITRANS=USB SPIPORT=7", 0), 0u);
  EXPECT_EQ(api.openTestEngineSpiTrans("SPITRANS=USB SPIPORT=0,SPITRANS=LPT SPIPORT=1", 0), 0u);
  EXPECT_EQ(api.openTestEngineSpiTrans(nullptr, 0), 0u);
}

TEST_F(Connection, ReferenceRadioAndUsbChipFollowTheStation) {
  uint32_t reference = api.openTestEngine(2, "\\\\.\\csr0", 0, 1000, 2000);
  EXPECT_EQ(reference, 1u);
  api.closeTestEngine(reference);
  Set("reference", "present", "no");
  EXPECT_EQ(api.openTestEngine(2, "\\\\.\\csr0", 0, 1000, 2000), 0u);

  Set("station", "usb_chip", "bc7");
  uint32_t chip = api.openTestEngine(2, "\\\\.\\CSR0", 0, 0, 100);
  ASSERT_EQ(chip, 1u);
  uint16_t version = 0;
  EXPECT_EQ(api.bccmdGetChipVersion(chip, &version), 1);
  EXPECT_EQ(version, 7);
  EXPECT_EQ(api.openTestEngineSpiTrans(kUsb, 0), 2u) << "with a USB chip the module is no longer handle 1";
}

TEST_F(Connection, OpenBySpiPortTakesTheFirstAdapterOrTheNumberedOne) {
  uint16_t version = 99;
  uint32_t first = api.openTestEngineSpi(-1, 0, 2);
  ASSERT_NE(first, 0u);
  ASSERT_EQ(api.bccmdGetChipVersion(first, &version), 1);
  EXPECT_EQ(version, 0) << "bc5 sits on the first adapter";
  uint32_t lpt = api.openTestEngineSpi(1, 0, 2);
  ASSERT_NE(lpt, 0u);
  ASSERT_EQ(api.bccmdGetChipVersion(lpt, &version), 1);
  EXPECT_EQ(version, 7);
  EXPECT_EQ(api.openTestEngineSpi(5, 0, 2), 0u);
}

TEST_F(Connection, ModuleTakenAwayAfterOpeningStopsAnswering) {
  uint32_t module = api.openTestEngineSpiTrans(kUsb, 0);
  Set("module bc5", "present", "no");
  uint16_t version = 0;
  EXPECT_EQ(api.bccmdGetChipVersion(module, &version), 0);
}

}  // namespace
}  // namespace simtest
