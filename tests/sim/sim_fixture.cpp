#include "tests/sim/sim_fixture.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/profile_file.h"

namespace simtest {
namespace {

constexpr const char* kLibraries[] = {"libTestEngine.so", "libTestFlash.so", "libTestE2.so"};

Api Bind() {
  std::vector<void*> handles;
  for (const char* name : kLibraries) {
    std::string path = std::string(SIM_LIBRARY_DIR) + "/" + name;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) throw std::runtime_error(dlerror());
    handles.push_back(handle);
  }
  Api api;
  auto find = [&](const char* name) -> void* {
    for (void* handle : handles) {
      if (void* symbol = dlsym(handle, name)) return symbol;
    }
    throw std::runtime_error(std::string("not exported: ") + name);
  };
#define SIM_FUNCTION(name) api.name = reinterpret_cast<decltype(&::name)>(find(#name));
#include "tests/sim/sim_functions.inc"
#undef SIM_FUNCTION
  return api;
}

}  // namespace

const Api& Sim() {
  static const Api api = Bind();
  return api;
}

void StationTest::SetUp() {
  previous_ = std::filesystem::current_path().string();
  std::string pattern = (std::filesystem::temp_directory_path() / "sim_test_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  folder_ = pattern;
  std::filesystem::current_path(folder_);
  // The first call writes the default station; tests then run without waiting.
  uint16_t length = 0;
  api.teGetAvailableSpiPorts(&length, nullptr, nullptr, nullptr);
  ASSERT_TRUE(std::filesystem::exists("station/station.ini"));
  Set("station", "timing", "instant");
}

void StationTest::TearDown() {
  // The libraries keep their connections per process: leave none behind.
  for (uint32_t handle = 1; handle <= 64; ++handle) api.closeTestEngine(handle);
  api.flClose();
  api.te2Close();
  std::filesystem::current_path(previous_);
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void StationTest::Set(const std::string& section, const std::string& key, const std::string& value) {
  ASSERT_TRUE(platform::WriteProfileString(section, key, value, "station/station.ini"));
}

std::string StationTest::Get(const std::string& section, const std::string& key) {
  return platform::ReadProfileString(section, key, 4096, "station/station.ini");
}

void StationTest::WriteFile(const std::string& name, const std::string& content) {
  std::ofstream(name, std::ios::binary) << content;
}

std::string StationTest::ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace simtest
