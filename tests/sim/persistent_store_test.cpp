// The persistent store: address, name key and crystal values outlive the
// connection, because they live in the station file.
#include "tests/sim/sim_fixture.h"

namespace simtest {
namespace {

constexpr const char* kUsb = "SPITRANS=USB SPIPORT=0";
constexpr const char* kLpt = "SPITRANS=LPT SPIPORT=1";

using PersistentStore = StationTest;

TEST_F(PersistentStore, AddressWrittenIsReadBackAfterReopening) {
  uint32_t module = api.openTestEngineSpiTrans(kUsb, 0);
  ASSERT_EQ(api.psWriteBdAddr(module, 0x00a1ff, 0x5b, 0x0002), 1);
  api.closeTestEngine(module);

  module = api.openTestEngineSpiTrans(kUsb, 0);
  uint32_t lap = 0;
  uint8_t uap = 0;
  uint16_t nap = 0;
  ASSERT_EQ(api.psReadBdAddr(module, &lap, &uap, &nap), 1);
  EXPECT_EQ(lap, 0x00a1ffu);
  EXPECT_EQ(uap, 0x5b);
  EXPECT_EQ(nap, 0x0002);
  EXPECT_EQ(Get("module bc5", "lap"), "00a1ff");

  uint32_t other = api.openTestEngineSpiTrans(kLpt, 0);
  ASSERT_EQ(api.psReadBdAddr(other, &lap, &uap, &nap), 1);
  EXPECT_EQ(lap, 0x00a1f1u) << "the other module keeps its own address";
}

TEST_F(PersistentStore, AddressPartsWiderThanTheirFieldsAreRefused) {
  uint32_t module = api.openTestEngineSpiTrans(kUsb, 0);
  EXPECT_EQ(api.psWriteBdAddr(module, 0x1000000, 0x5b, 0x0002), 0);
  EXPECT_EQ(api.psWriteBdAddr(module, 0x1, 0x100, 0x0002), 0);
  EXPECT_EQ(api.psWriteBdAddr(module, 0x1, 0x5b, 0x10000), 0);
  EXPECT_EQ(Get("module bc5", "lap"), "00a1f0") << "nothing half written";
  EXPECT_EQ(api.psWriteBdAddr(module, 0xffffff, 0xff, 0xffff), 1);
}

TEST_F(PersistentStore, NameKeyKeepsItsWords) {
  uint32_t module = api.openTestEngineSpiTrans(kLpt, 0);
  const uint16_t words[6] = {0x4241, 0x0043, 0, 0, 0, 0};
  ASSERT_EQ(api.psWrite(module, 264, 0, 6, words), 1);
  EXPECT_EQ(Get("module bc7", "ps_264"), "4241 0043 0000 0000 0000 0000");
  EXPECT_EQ(api.psWrite(module, 264, 0, 0, words), 0);
  EXPECT_EQ(api.psWrite(module, 264, 0, 6, nullptr), 0);
}

TEST_F(PersistentStore, CrystalTrimAndOffset) {
  uint32_t module = api.openTestEngineSpiTrans(kLpt, 0);
  EXPECT_EQ(api.psWriteXtalFtrim(module, 63), 1);
  EXPECT_EQ(Get("module bc7", "xtal_ftrim"), "63");
  EXPECT_EQ(api.psWriteXtalFtrim(module, 64), 0) << "the trim has six bits";

  ASSERT_EQ(api.psWriteXtalOffset(module, -123), 1);
  api.closeTestEngine(module);
  module = api.openTestEngineSpiTrans(kLpt, 0);
  int16_t offset = 0;
  ASSERT_EQ(api.psReadXtalOffset(module, &offset), 1);
  EXPECT_EQ(offset, -123);
}

TEST_F(PersistentStore, ReferenceRadioHasNoModuleStore) {
  uint32_t reference = api.openTestEngine(2, "\\\\.\\csr0", 0, 1000, 2000);
  uint32_t lap = 0;
  uint8_t uap = 0;
  uint16_t nap = 0;
  EXPECT_EQ(api.psReadBdAddr(reference, &lap, &uap, &nap), 0);
}

}  // namespace
}  // namespace simtest
