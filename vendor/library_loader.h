// Binds the three chip libraries by exported name from the folder beside the program.
#pragma once

#include <memory>
#include <string>

#include "vendor/test_e2.h"
#include "vendor/test_engine.h"
#include "vendor/test_flash.h"

namespace vendor {

struct Libraries {
  std::unique_ptr<TestEngine> engine;
  std::unique_ptr<TestFlash> flash;
  std::unique_ptr<TestE2> e2;
};

// The file names the libraries have on this platform.
#ifdef _WIN32
inline constexpr const char* kTestEngineFile = "TestEngine.dll";
inline constexpr const char* kTestFlashFile = "TestFlash.dll";
inline constexpr const char* kTestE2File = "TestE2.dll";
#else
inline constexpr const char* kTestEngineFile = "libTestEngine.so";
inline constexpr const char* kTestFlashFile = "libTestFlash.so";
inline constexpr const char* kTestE2File = "libTestE2.so";
#endif

// All three bound, or false with `error` naming the library or the function that
// is missing. Nothing is half bound: a failure leaves `libraries` empty.
bool LoadLibraries(const std::string& folder, Libraries* libraries, std::string* error);

}  // namespace vendor
