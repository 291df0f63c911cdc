#include "common/Ansi.h"
#include "shell/ECountForm.h"
#include "shell/Eerror32.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace ecountform;

namespace {

class CountFormTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = InstallProgressWindows(&windows); }
  void TearDown() override {
    while (Depth() > 0) Close();
    InstallProgressWindows(previous_);
  }
  RecordingProgressWindows windows;

 private:
  ProgressWindows* previous_ = nullptr;
};

TEST(CountFormLines, Mapping) {
  EXPECT_EQ(StatusLineOf(10), 1);
  EXPECT_EQ(StatusLineOf(9), 8);
  EXPECT_EQ(StatusLineOf(2), 1);
  EXPECT_EQ(StatusLineOf(3), 2);
  EXPECT_EQ(StatusLineOf(1), 1);
  EXPECT_EQ(StatusLineOf(-5), 1);
}

TEST_F(CountFormTest, LinesGoToTheirStatusLineConverted) {
  ASSERT_TRUE(Open(7, false, 12, "kopierar"));
  ASSERT_EQ(windows.setups.size(), 1u);
  EXPECT_EQ(windows.setups[0].shownLines, 8);
  EXPECT_TRUE(windows.setups[0].outermost);
  EXPECT_EQ(windows.setups[0].owner, 7u);
  Line(10, "rad tio");
  Line(4, "Skrivfel p\x86 skivan");
  ASSERT_EQ(windows.lines.size(), 2u);
  EXPECT_EQ(windows.lines[0].line, 1);
  EXPECT_EQ(windows.lines[1].line, 3);
  EXPECT_EQ(windows.lines[1].text, A("Skrivfel på skivan"));
  Close();
  EXPECT_EQ(windows.closed, 1);
  EXPECT_EQ(Depth(), 0);
}

TEST_F(CountFormTest, CancelStopsLinesAndIsSeenByOuterWindows) {
  ASSERT_TRUE(Open(0, true, 5, "yttre"));
  EXPECT_EQ(windows.setups[0].shownLines, 3);
  ASSERT_TRUE(Open(0, true, 1, "inre"));
  EXPECT_EQ(windows.setups[1].shownLines, 0);
  EXPECT_FALSE(windows.setups[1].outermost);
  windows.cancelAfterLines = 1;
  Line(2, "ett");
  EXPECT_TRUE(Aborted());
  Line(3, "två");
  EXPECT_EQ(windows.lines.size(), 1u);
  Close();
  EXPECT_TRUE(Aborted());  // the global flag
  ASSERT_TRUE(Open(0, true, 5, "ny"));
  EXPECT_FALSE(Aborted());  // a new window clears both flags
}

TEST_F(CountFormTest, FifthWindowOnlyCounts) {
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(Open(0, false, 10, "n"));
  EXPECT_FALSE(Open(0, false, 10, "femte"));
  EXPECT_EQ(Depth(), 5);
  EXPECT_EQ(windows.setups.size(), 4u);
  Line(2, "ignoreras");
  EXPECT_TRUE(windows.lines.empty());
  Close();
  EXPECT_EQ(windows.closed, 0);
  Line(2, "syns");
  EXPECT_EQ(windows.lines.at(0).window, 3);
  Close();
  EXPECT_EQ(windows.closed, 1);
  Close();
  Close();
  Close();
  Close();  // one too many: nothing happens
  EXPECT_EQ(Depth(), 0);
}

TEST_F(CountFormTest, RefusedWindowReportsOnTheStatusLine) {
  eerror::StatusMsg.clear();
  windows.refuseCreate = true;
  {
    ScopedCountForm form(0, false, 10, "x");
    EXPECT_EQ(Depth(), 1);
    form.Line(2, "ingenstans");
  }
  EXPECT_EQ(Depth(), 0);
  EXPECT_EQ(eerror::StatusMsg, "Kan ej skapa dialog");
}

TEST(ConsoleProgress, RewritesOneLineOnATerminalOnly) {
  std::ostringstream terminal;
  ConsoleProgressWindows console(terminal, true);
  ProgressWindowSetup setup;
  setup.caption = "backup";
  setup.outermost = true;
  {
    auto window = console.Create(setup);
    window->ShowLine(1, A("fil 1 av 2 på väg"));
  }
  EXPECT_EQ(terminal.str(), "\rbackup: fil 1 av 2 p\xC3\xA5 v\xC3\xA4g\x1b[K\r\x1b[K");

  std::ostringstream pipe;
  ConsoleProgressWindows quiet(pipe, false);
  quiet.Create(setup)->ShowLine(1, "x");
  EXPECT_EQ(pipe.str(), "");
}

}  // namespace
