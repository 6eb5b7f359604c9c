// The adapter enumeration of both libraries: comma-joined lists and the
// length-retry protocol.
#include <cstring>
#include <string>
#include <vector>

#include "tests/sim/sim_fixture.h"

namespace simtest {
namespace {

using Enumerate = int32_t(TARNWICK_VENDOR_CALL*)(uint16_t*, char*, char*, uint16_t*);

class Enumeration : public StationTest, public ::testing::WithParamInterface<const char*> {
 protected:
  Enumerate Function() const {
    return std::string(GetParam()) == "te" ? api.teGetAvailableSpiPorts : api.flGetAvailableSpiPorts;
  }

  void UseAdapters(int count) {
    const char* ids[] = {"usb", "lpt", "usb1"};
    std::string list;
    for (int i = 0; i < count; ++i) list += std::string(i ? "," : "") + ids[i];
    Set("station", "adapters", list);
    Set("adapter usb1", "name", "USB SPI (1)");
    Set("adapter usb1", "transport", "SPITRANS=USB SPIPORT=1");
  }
};

TEST_P(Enumeration, ListsOneTwoAndThreeAdaptersCommaJoined) {
  const struct {
    int adapters;
    const char* names;
    const char* transports;
  } kCases[] = {
      {1, "USB SPI (0)", "SPITRANS=USB SPIPORT=0"},
      {2, "USB SPI (0),LPT SPI (1)", "SPITRANS=USB SPIPORT=0,SPITRANS=LPT SPIPORT=1"},
      {3, "USB SPI (0),LPT SPI (1),USB SPI (1)",
       "SPITRANS=USB SPIPORT=0,SPITRANS=LPT SPIPORT=1,SPITRANS=USB SPIPORT=1"},
  };
  for (const auto& c : kCases) {
    UseAdapters(c.adapters);
    uint16_t length = 256, count = 99;
    char names[256], transports[256];
    ASSERT_EQ(Function()(&length, names, transports, &count), 1) << c.adapters;
    EXPECT_STREQ(names, c.names);
    EXPECT_STREQ(transports, c.transports);
    EXPECT_EQ(count, c.adapters);
  }
}

TEST_P(Enumeration, ShortBufferGivesTheLengthToRetryWith) {
  UseAdapters(3);
  std::string transports = "SPITRANS=USB SPIPORT=0,SPITRANS=LPT SPIPORT=1,SPITRANS=USB SPIPORT=1";
  // The longer list decides, with room for its end.
  uint16_t needed = static_cast<uint16_t>(transports.size() + 1);
  for (uint16_t offered : {uint16_t{0}, uint16_t{10}, uint16_t(needed - 1)}) {
    uint16_t length = offered, count = 0;
    std::vector<char> a(offered + 1, 'x'), b(offered + 1, 'x');
    EXPECT_EQ(Function()(&length, a.data(), b.data(), &count), 0) << offered;
    EXPECT_EQ(length, needed) << offered;
    EXPECT_EQ(a[0], 'x') << "nothing written into a short buffer";
  }
  uint16_t length = needed, count = 0;
  std::vector<char> a(needed), b(needed);
  ASSERT_EQ(Function()(&length, a.data(), b.data(), &count), 1);
  EXPECT_EQ(std::string(b.data()), transports);
}

TEST_P(Enumeration, NoAdaptersIsAnEmptyAnswer) {
  Set("station", "adapters", "");
  uint16_t length = 256, count = 7;
  char names[256] = "junk", transports[256] = "junk";
  ASSERT_EQ(Function()(&length, names, transports, &count), 1);
  EXPECT_STREQ(names, "");
  EXPECT_STREQ(transports, "");
  EXPECT_EQ(count, 0);
}

TEST_P(Enumeration, InjectedFaultGivesNoLengthToRetryWith) {
  Set("faults", std::string(GetParam()) == "te" ? "teGetAvailableSpiPorts" : "flGetAvailableSpiPorts", "*");
  uint16_t length = 256, count = 0;
  char names[256], transports[256];
  EXPECT_EQ(Function()(&length, names, transports, &count), 0);
  EXPECT_EQ(length, 0);
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, Enumeration, ::testing::Values("te", "fl"));

}  // namespace
}  // namespace simtest
