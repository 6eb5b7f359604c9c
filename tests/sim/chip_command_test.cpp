// Chip commands: version, PIO mapping, SPI lock.
#include "tests/sim/sim_fixture.h"

namespace simtest {
namespace {

constexpr const char* kUsb = "SPITRANS=USB SPIPORT=0";
constexpr const char* kLpt = "SPITRANS=LPT SPIPORT=1";
constexpr uint32_t kKey[4] = {0x11223344, 0x55667788, 0x99aabbcc, 0xddeeff00};

using ChipCommands = StationTest;

TEST_F(ChipCommands, ChipVersionComesFromTheStation) {
  uint16_t version = 99;
  ASSERT_EQ(api.bccmdGetChipVersion(api.openTestEngineSpiTrans(kUsb, 0), &version), 1);
  EXPECT_EQ(version, 0);
  ASSERT_EQ(api.bccmdGetChipVersion(api.openTestEngineSpiTrans(kLpt, 0), &version), 1);
  EXPECT_EQ(version, 7);
}

TEST_F(ChipCommands, PioMappingReportsTheRefusedLines) {
  uint32_t module = api.openTestEngineSpiTrans(kUsb, 0);
  uint32_t refused = 0xdead;
  ASSERT_EQ(api.bccmdMapPio32(module, 0xffffffff, 0xffffffff, &refused), 1);
  EXPECT_EQ(refused, 0u);

  Set("module bc5", "pio_refused", "0x00000a01");
  ASSERT_EQ(api.bccmdMapPio32(module, 0xffffffff, 0xffffffff, &refused), 1);
  EXPECT_EQ(refused, 0xa01u);
  ASSERT_EQ(api.bccmdMapPio32(module, 0x1, 0xffffffff, &refused), 1);
  EXPECT_EQ(refused, 0x1u) << "only lines asked for can be refused";

  Set("module bc5", "pio_levels", "0x5");
  uint32_t direction = 0, level = 0;
  ASSERT_EQ(api.bccmdGetPio32(module, &direction, &level), 1);
  EXPECT_EQ(level, 0x5u);
}

TEST_F(ChipCommands, SpiLockWalksThroughItsStates) {
  uint32_t module = api.openTestEngineSpiTrans(kUsb, 0);
  uint32_t status = 0xffff0000;
  ASSERT_EQ(api.bccmdGetSpiLockStatus(module, &status), 1);
  EXPECT_EQ(status, 0u);
  ASSERT_EQ(api.bccmdSetSpiLockCustomerKey(module, kKey), 1);
  ASSERT_EQ(api.bccmdGetSpiLockStatus(module, &status), 1);
  EXPECT_EQ(status, 2u);
  ASSERT_EQ(api.bccmdSpiLockInitiateLock(module), 1);
  ASSERT_EQ(api.bccmdGetSpiLockStatus(module, &status), 1);
  EXPECT_EQ(status, 3u);
  EXPECT_EQ(Get("module bc5", "customer_key"), "11223344 55667788 99aabbcc ddeeff00");
}

TEST_F(ChipCommands, CustomerKeyIsSetOnce) {
  uint32_t module = api.openTestEngineSpiTrans(kUsb, 0);
  ASSERT_EQ(api.bccmdSetSpiLockCustomerKey(module, kKey), 1);
  EXPECT_EQ(api.bccmdSetSpiLockCustomerKey(module, kKey), 1) << "the same key again is fine";
  const uint32_t other[4] = {1, 2, 3, 4};
  EXPECT_EQ(api.bccmdSetSpiLockCustomerKey(module, other), 0);
}

TEST_F(ChipCommands, LockedSpiPortShutsTheMemoryRoads) {
  uint32_t module = api.openTestEngineSpiTrans(kUsb, 0);
  ASSERT_EQ(api.bccmdSpiLockInitiateLock(module), 1);
  uint32_t status = 0;
  ASSERT_EQ(api.bccmdGetSpiLockStatus(module, &status), 1);
  EXPECT_EQ(status, 1u) << "locked without a key";
  EXPECT_NE(api.flInitTrans(kUsb, 26, 2), 0);
  EXPECT_NE(api.te2OpenTrans(kUsb), 0);
  EXPECT_EQ(api.te2OpenTrans(kLpt), 0) << "the other module is not locked";
}

}  // namespace
}  // namespace simtest
