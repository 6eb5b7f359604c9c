#include <gtest/gtest.h>

#include "tests/support/dialog_fixture.h"

namespace {

using fakes::DialogTest;
using LogPane = DialogTest;

TEST_F(LogPane, LongMessagesBreakEvery34BytesOfTheGrowingText) {
  const struct {
    size_t length;
    std::vector<size_t> lines;  // the byte counts of the lines the message becomes
  } kCases[] = {
      {33, {33}}, {34, {34, 0}}, {68, {34, 32, 2}}, {70, {34, 32, 4}}, {0, {0}},
  };
  for (const auto& c : kCases) {
    dialog.OnListClear();
    dialog.Report("%s", std::string(c.length, 'x').c_str());
    std::string expected;
    for (size_t i = 0; i < c.lines.size(); ++i) expected += (i ? "\r\n" : "") + std::string(c.lines[i], 'x');
    EXPECT_EQ(Log(), expected) << c.length;
    EXPECT_EQ(Status(), std::string(c.length, 'x'));
  }
}

TEST_F(LogPane, LaterMessagesGoOnANewLineAndTheLastLineIsScrolledIntoView) {
  dialog.Report("first");
  dialog.Report("second %d", 2);
  EXPECT_EQ(Log(), "first\r\nsecond 2");
  EXPECT_EQ(Status(), "second 2");
  EXPECT_EQ(window.lastLineScroll(res::IDC_LOG), 2);
}

TEST_F(LogPane, EmptyReportAddsAnEmptyLineOnlyToANonEmptyPane) {
  dialog.Report("%s", "");
  EXPECT_EQ(Log(), "");
  dialog.Report("a");
  dialog.Report("%s", "");
  EXPECT_EQ(Log(), "a\r\n");
}

TEST_F(LogPane, PaneStartsAfreshOnlyPastThreeThousandBytes) {
  window.SetItemText(res::IDC_LOG, std::string(3000, 'o'));
  dialog.Report("kept");
  EXPECT_EQ(Log(), std::string(3000, 'o') + "\r\nkept");

  window.SetItemText(res::IDC_LOG, std::string(3001, 'o'));
  dialog.Report("alone");
  EXPECT_EQ(Log(), "alone");
}

TEST_F(LogPane, FormattedTextIsCutTo255BytesInBothPlaces) {
  dialog.Report("%s%s", std::string(200, 'a').c_str(), std::string(100, 'b').c_str());
  std::string cut = std::string(200, 'a') + std::string(55, 'b');
  EXPECT_EQ(Status(), cut);
  std::string log = Log();
  std::erase(log, '\r');
  std::erase(log, '\n');
  EXPECT_EQ(log, cut);
}

TEST_F(LogPane, PercentInAnArgumentIsShownNotExpanded) {
  dialog.Report("%s", "50% done %d %s");
  EXPECT_EQ(Status(), "50% done %d %s");
}

TEST_F(LogPane, ListClearEmptiesTheLogAndKeepsTheStatusLine) {
  dialog.Report("kept in the status line");
  EXPECT_TRUE(dialog.OnCommand(res::IDC_LIST_CLEAR));
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(Status(), "kept in the status line");
}

TEST_F(LogPane, SetItemTextFormatWritesOneControlAndLeavesTheLog) {
  dialog.SetItemTextFormat(res::IDC_MEMORY_SIZE, "%dKbit", 256);
  EXPECT_EQ(window.ItemText(res::IDC_MEMORY_SIZE), "256Kbit");
  EXPECT_EQ(Log(), "");
}

}  // namespace
