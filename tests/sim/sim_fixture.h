// The simulated libraries loaded by name, as the program loads them, and a
// fixture that gives each test a fresh working folder with an instant station.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "vendor/c_api.h"

namespace simtest {

struct Api {
#define SIM_FUNCTION(name) decltype(&::name) name = nullptr;
#include "tests/sim/sim_functions.inc"
#undef SIM_FUNCTION
};

// Bound once per process; a missing library or function fails the test run.
const Api& Sim();

class StationTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Keys of station/station.ini.
  static void Set(const std::string& section, const std::string& key, const std::string& value);
  static std::string Get(const std::string& section, const std::string& key);

  // A file in the working folder.
  static void WriteFile(const std::string& name, const std::string& content);
  static std::string ReadFile(const std::string& name);

  const Api& api = Sim();
  std::string folder_;

 private:
  std::string previous_;
};

}  // namespace simtest
