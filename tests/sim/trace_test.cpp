// The call trace: one line per call, written by the libraries and the tool alike.
#include <string>

#include "tests/sim/sim_fixture.h"
#include "tests/sim/tool_runner.h"

namespace simtest {
namespace {

using Trace = StationTest;

TEST_F(Trace, OneLinePerCallWithArgumentsAndResult) {
  Set("station", "trace", "on");
  EXPECT_EQ(api.openTestEngine(2, "\\\\.\\CSR0", 0, 0, 100), 0u);
  uint32_t module = api.openTestEngineSpiTrans("SPITRANS=USB SPIPORT=0", 0);
  api.psWriteBdAddr(module, 0x00a1ff, 0x5b, 0x2);
  api.closeTestEngine(module);
  api.closeTestEngine(0);
  RunTool({"-usb", "0", "erase"});
  EXPECT_EQ(ReadFile("station/trace.log"),
            "openTestEngine(2, \"\\\\.\\CSR0\", 0, 0, 100) = 0  error=nothing answers\n"
            "openTestEngineSpiTrans(\"SPITRANS=USB SPIPORT=0\", 0) = 1  peer=bc5\n"
            "psWriteBdAddr(1, 0xa1ff, 0x5b, 0x2) = 1\n"
            "closeTestEngine(1) = 1\n"
            "closeTestEngine(0) = 0\n"
            "nvscmd(\"-usb\", \"0\", \"erase\") = 0\n");
}

TEST_F(Trace, NothingIsWrittenUnlessAskedFor) {
  api.closeTestEngine(api.openTestEngineSpiTrans("SPITRANS=USB SPIPORT=0", 0));
  EXPECT_EQ(ReadFile("station/trace.log"), "");
}

}  // namespace
}  // namespace simtest
