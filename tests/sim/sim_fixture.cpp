#include "tests/sim/sim_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <stdexcept>

#include "platform/file_system.h"
#include "platform/profile_file.h"
#include "platform/shared_library.h"

namespace simtest {
namespace {

#ifdef _WIN32
constexpr const char* kLibraries[] = {"TestEngine.dll", "TestFlash.dll", "TestE2.dll"};
#else
constexpr const char* kLibraries[] = {"libTestEngine.so", "libTestFlash.so", "libTestE2.so"};
#endif

Api Bind() {
  // Loaded for the whole test program, as the station program keeps them.
  static std::vector<std::unique_ptr<platform::SharedLibrary>> libraries;
  for (const char* name : kLibraries) {
    std::string error;
    auto library = platform::SharedLibrary::Open(platform::JoinPath(SIM_LIBRARY_DIR, name), &error);
    if (library == nullptr) throw std::runtime_error(error);
    libraries.push_back(std::move(library));
  }
  Api api;
  auto find = [&](const char* name) -> void* {
    for (const auto& library : libraries) {
      if (void* symbol = library->Symbol(name)) return symbol;
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
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100 && folder_.empty(); ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() / ("sim_test_" + std::to_string(random() % 1000000000));
    std::error_code failed;
    if (std::filesystem::create_directory(candidate, failed)) folder_ = candidate.string();
  }
  ASSERT_FALSE(folder_.empty());
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
