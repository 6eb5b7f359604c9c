#include <gtest/gtest.h>

#include "vendor/library_loader.h"

namespace {

TEST(LibraryLoader, NamesTheMissingLibrary) {
  vendor::Libraries libraries;
  std::string error;
  EXPECT_FALSE(vendor::LoadLibraries("/nonexistent/folder", &libraries, &error));
  EXPECT_EQ(error.rfind(std::string(vendor::kTestEngineFile) + ": ", 0), 0u) << error;
  EXPECT_EQ(libraries.engine, nullptr);
}

TEST(LibraryLoader, NamesTheFirstMissingFunctionAndBindsNothing) {
  vendor::Libraries libraries;
  std::string error;
  EXPECT_FALSE(vendor::LoadLibraries(PARTIAL_LIBRARY_FOLDER, &libraries, &error));
  EXPECT_EQ(error, std::string(vendor::kTestEngineFile) + ": openTestEngineSpiTrans");
  EXPECT_EQ(libraries.engine, nullptr);
  EXPECT_EQ(libraries.flash, nullptr);
}

}  // namespace
