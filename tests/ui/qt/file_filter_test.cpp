// The file-open filters of the three memory types in Qt's form.
#include <gtest/gtest.h>

#include "ui/qt/file_filter.h"

namespace window_test {
namespace {

TEST(FileFilter, TheThreeMemoryTypesFilters) {
  const struct {
    const char* given;
    const char* qt;
  } kFilters[] = {
      {"Files(*.xuv)|*.xuv||", "Files(*.xuv)"},
      {"Files(*.bin)|*.bin||", "Files(*.bin)"},
      {"Files(*.xpv;*.xuv)|*.xpv;*.xuv||", "Files(*.xpv *.xuv)"},
      {"Images|*.xuv;*.xpv|All|*.*||", "Images (*.xuv *.xpv);;All (*.*)"},
      {"", ""},
  };
  for (const auto& c : kFilters) EXPECT_EQ(ui::qt::QtFileFilter(c.given).toStdString(), c.qt) << c.given;
}

}  // namespace
}  // namespace window_test
