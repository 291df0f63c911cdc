// "skriv" on the text device, where every character is a column: rows, rules and the
// wrapping of a row wider than the page, line for line.
#include "tabledisplay/egridform_print.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "SampleTable.h"
#include "printing/ewrite32_textdevice.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"

namespace egridform {
namespace {

class PrintTableTest : public ::testing::Test {
 protected:
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(device_.Output());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installedBoxes_{boxes_};
  etider::SetClock clock_{2026, 3, 1, 12, 0, 0};
  etider::ScopedClock scoped_{clock_};
  glodefs::TRapportEnv setting_;
  printing::RecordingReportDialogs dialogs_;
  printing::TextDevice device_;
  printing::PrintJob job_{device_, dialogs_};
};

TEST_F(PrintTableTest, EachRowUnderItsRuleAndTheHeadRowTwice) {
  ASSERT_TRUE(PrintTable(job_, SampleTable(), setting_, 0));
  const std::vector<std::string> lines = Lines();
  ASSERT_GE(lines.size(), 20u);
  const std::string rule(96, '-');
  const std::vector<std::string> top = {
      A("Prov: Räkor & <öl> (x)"),
      "",
      rule,
      "  ver       datum           text                        belopp",
      rule,
      "",
      rule,
      A("    1       2026-01-05      Räkor & <öl> (x)                 12.50"),
      rule,
      "   --",
      rule,
      A("    2       2026-02-01      Åsa                         -     3.00"),
      rule,
      "",
      rule,
  };
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(top.size())), top);
  EXPECT_EQ(dialogs_.lines.back().text.empty(), false);
  EXPECT_EQ(dialogs_.bars.back(), 100);  // five rows of five
}

TEST_F(PrintTableTest, ARowWiderThanThePageGoesOnOnTheNextLine) {
  Table t;
  t.Open(0, "bred");
  for (int c = 0; c < 3; ++c) t.Cell(std::string(40, static_cast<char>('a' + c)));
  t.RowEnd(std::string(40, 'd'));
  ASSERT_TRUE(PrintTable(job_, t, setting_, 0));
  const std::vector<std::string> lines = Lines();
  // 46 characters a column on a page of 96: two columns a line.
  EXPECT_EQ(lines[3], "  " + std::string(40, 'a') + "      " + std::string(40, 'b'));
  EXPECT_EQ(lines[4], "  " + std::string(40, 'c') + "      " + std::string(40, 'd'));
  EXPECT_EQ(lines[5], std::string(96, '-'));
}

TEST_F(PrintTableTest, AJobThatCannotStartIsEnded) {
  printing::RecordingReportDialogs dialogs;
  struct Refusing : printing::TextDevice {
    bool BeginDocument(const std::string&) override { return false; }
  } refusing;
  printing::PrintJob job(refusing, dialogs);
  EXPECT_FALSE(PrintTable(job, SampleTable(), setting_, 0));
  EXPECT_FALSE(job.IsOpen());
  ASSERT_EQ(boxes_.boxes.size(), 1u);
}

}  // namespace
}  // namespace egridform
