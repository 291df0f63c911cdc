// The print engine over the recording canvas (tests/support/RecordingCanvas.h): with the
// default report setting the margins are left 50, top 50, column gap 10, bottom 0, so a
// page column is 2040 wide and 2920 high; the normal font (11 pt) has line height 24, the
// small one (8 pt) 18, the big one (14 pt) 30.
#include "RecordingCanvas.h"
#include "common/Ansi.h"
#include "printing/ewrite32.h"
#include "shell/ESmall_HandleStack.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"

#include <gtest/gtest.h>

using namespace printing;

namespace {

glodefs::TRapportEnv DefaultSetting(int columns = 1) {
  TPrinterEnv defPrinter;
  defPrinter.SetNames("CUPS", "Laser", "ipp://laser");
  defPrinter.SetDefaultPageSetup(kPaperA4, kPortrait);
  glodefs::TKonfigRec konfig;
  glodefs::TRapportEnv setting;
  setting.FillDefaults(1, defPrinter, konfig);
  setting.SetFooter("fot");
  setting.SetPicture(0, {"", false, 6});
  TPrinterEnv block = setting.Printer();
  block.SetColumns(columns);
  setting.SetPrinter(block);
  return setting;
}

class PrintJobTest : public ::testing::Test {
 protected:
  void SetUp() override { eerror::StatusMsg.clear(); }

  bool Open(const glodefs::TRapportEnv& setting, const std::string& title = "Huvudbok") {
    return job.printerinit(false, title, setting, 7);
  }
  // Reserves and writes single lines until the page column changes; the lines it took.
  int LinesUntilBreak() {
    const int column = job.CurColumn(), page = job.PageNo();
    for (int n = 0; n < 1000; ++n) {
      job.Need("Huvudbok", 1);
      if (job.CurColumn() != column || job.PageNo() != page) return n;
      job.Tab(2);
      job.WriteLn("rad");
    }
    return -1;
  }

  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes{boxes};
  etider::SetClock clock{2024, 1, 17, 9, 5, 3};
  etider::ScopedClock installedClock{clock};
  RecordingReportDialogs dialogs;
  RecordingCanvas canvas;
  PrintJob job{canvas, dialogs};
};

TEST_F(PrintJobTest, OpensWithTheSettingsGeometryAndFonts) {
  ASSERT_TRUE(Open(DefaultSetting()));
  EXPECT_EQ(job.LeftMargin(), 50);
  EXPECT_EQ(job.TopMargin(), 50);
  EXPECT_EQ(job.ColumnGap(), 10);
  EXPECT_EQ(job.BottomMargin(), 0);
  EXPECT_EQ(job.PageWidth(), 2040);
  EXPECT_EQ(job.PageHeight(), 2920);
  EXPECT_EQ(job.Columns(), 1);
  EXPECT_EQ(job.FontDepth(), 1);  // the normal font, popped by printerexit
  EXPECT_EQ(job.CurrentFont().pointSize, 11);
  EXPECT_EQ(job.FooterY(), 2920 + 50 - 3 * 18);
  EXPECT_EQ(job.CharsPerColumn(), 2040 / 11);
  EXPECT_EQ(canvas.ops.front().text, glodefs::ProgName + ":Huvudbok");
  EXPECT_EQ(dialogs.created, 1);
  EXPECT_EQ(dialogs.Last(ReportLine::Device), "Laser,CUPS,ipp://laser");
  EXPECT_EQ(dialogs.Last(ReportLine::Job), glodefs::ProgName + ":Huvudbok");
  job.printerexit(false);
  EXPECT_EQ(canvas.ops.back().kind, "end");
  EXPECT_EQ(dialogs.closed, 1);
  EXPECT_FALSE(job.IsOpen());
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PrintJobTest, TabGotoAndWriteMoveTheCursorByTheCurrentFont) {
  ASSERT_TRUE(Open(DefaultSetting()));
  job.Tab(10);
  EXPECT_EQ(job.CurX(), 50 + 110);
  job.Tab(-2);
  EXPECT_EQ(job.CurX(), 50 + 132);
  job.GotoX(500);
  EXPECT_EQ(job.CurX(), 550);
  job.GotoXY(3, 4);
  EXPECT_EQ(job.CurY(), 50 + 4 * 24);
  job.Write("abc");
  EXPECT_EQ(canvas.Of("text").back().x, 50 + 33);
  EXPECT_EQ(canvas.Of("text").back().y, 50 + 96);
  EXPECT_EQ(job.CurX(), 50 + 33 + 33);
  job.WriteLn("d");
  EXPECT_EQ(job.CurX(), 50 + 11);  // column 1 of the next line
  EXPECT_EQ(job.CurY(), 50 + 5 * 24);
  job.Write(std::string(300, 'x'));
  EXPECT_EQ(canvas.Of("text").back().text.size(), 255u);
}

TEST_F(PrintJobTest, NeedAndRoomBreakAtTheExactLine) {
  ASSERT_TRUE(Open(DefaultSetting()));
  // A line fits while 24 × lines + 3 × 18 stays below 2920 − 1: 119 single lines.
  for (int n = 0; n < 118; ++n) job.Need("", 1);
  EXPECT_TRUE(job.Room(false, 1));
  EXPECT_FALSE(job.Room(false, 2));
  job.Need("", 1);
  EXPECT_DOUBLE_EQ(job.UsedY(), 119 * 24);
  EXPECT_FALSE(job.Room(false, 1));
  EXPECT_EQ(job.PageNo(), 1);
  job.Need("", 1);
  EXPECT_EQ(job.PageNo(), 2);

  // A room check with break moves on and counts the continuation's two small lines.
  job.printerexit(false);
  PrintJob second(canvas, dialogs);
  ASSERT_TRUE(second.printerinit(false, "t", DefaultSetting(), 0));
  for (int n = 0; n < 119; ++n) second.Need("", 1);
  EXPECT_FALSE(second.Room(true, 1));
  EXPECT_EQ(second.PageNo(), 2);
  EXPECT_DOUBLE_EQ(second.UsedY(), 2 * 18 + 11 / 2);
  second.printerexit(false);
}

TEST_F(PrintJobTest, TwoColumnsShareTheGapAndHalveTheFonts) {
  glodefs::TRapportEnv setting = DefaultSetting(2);
  TPrinterEnv block = setting.Printer();
  block.SetPageMargins({500, 500, 0, 0});
  setting.SetPrinter(block);
  ASSERT_TRUE(Open(setting));
  EXPECT_EQ(job.Columns(), 2);
  // 5 % of 2100 − 50 is 102.5, rounded 103, shared by two columns: 52.
  EXPECT_EQ(job.ColumnGap(), 52);
  EXPECT_EQ(job.PageWidth(), 2100 - 50 - 52);
  job.PushFont('B');
  EXPECT_EQ(job.CurrentFont().pointSize, 7);  // 14 points in two columns
  job.PushFont('b');
  EXPECT_EQ(job.CurrentFont().pointSize, 4);
  job.PopFont();
  job.PopFont();
  EXPECT_EQ(job.CurrentFont().pointSize, 6);  // 11 / 2, rounded
  job.printerexit(false);
}

TEST_F(PrintJobTest, ABlockMovesToTheNextColumnBeforeTheNextPage) {
  ASSERT_TRUE(Open(DefaultSetting(2)));
  const int lines = LinesUntilBreak();
  EXPECT_GT(lines, 0);
  EXPECT_EQ(job.CurColumn(), 2);
  EXPECT_EQ(job.PageNo(), 1);
  EXPECT_TRUE(canvas.Of("page").empty());
  job.Tab(0);
  EXPECT_EQ(job.CurX(), 50 + job.PageWidth() / 2 + job.ColumnGap());

  LinesUntilBreak();
  EXPECT_EQ(job.CurColumn(), 1);
  EXPECT_EQ(job.PageNo(), 2);
  EXPECT_EQ(canvas.Of("page").size(), 1u);
  const auto heading = canvas.FindText("forts.. \"Huvudbok\"  sida:   2");
  ASSERT_EQ(heading.kind, "text");
  EXPECT_EQ(heading.page, 2);
  EXPECT_EQ(heading.y, 50);
  EXPECT_EQ(dialogs.Last(ReportLine::Pages), "  2");
  job.printerexit(false);
}

TEST_F(PrintJobTest, FooterLinesWithAndWithoutTitle) {
  ASSERT_TRUE(Open(DefaultSetting()));
  job.NextColumn("Grundbok");  // one column: a new page
  job.NextColumn("");
  job.printerexit(false);

  const int rule = 2920 + 50 - 3 * 18;
  const auto lines = canvas.Of("line");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().y, rule);
  EXPECT_EQ(lines.front().x, 50 + 2040 - 1);
  EXPECT_EQ(lines.front().x2, 50 + 1);

  const auto first = canvas.FindText("\"Grundbok\" forts... ");
  EXPECT_EQ(first.page, 1);
  EXPECT_EQ(first.y, rule + 18);
  EXPECT_EQ(first.x, 50 + (2040 - 20 * 8) / 2);
  EXPECT_EQ(canvas.FindText("forts... ").page, 2);
  // The last page: no title and not continued, an empty first footer line.
  bool emptyFirstLine = false;
  for (const auto& op : canvas.Of("text")) {
    if (op.page == 3 && op.y == rule + 18) emptyFirstLine = op.text.empty();
  }
  EXPECT_TRUE(emptyFirstLine);
  const auto second = canvas.FindText("fot 2024-01-17 09:05:03");
  EXPECT_EQ(second.y, rule + 2 * 18);
  EXPECT_EQ(canvas.FindText("forts.. \"Grundbok\"  sida:   2").page, 2);
  EXPECT_EQ(canvas.FindText("forts..  sida:   3").page, 3);
}

TEST_F(PrintJobTest, RuleAndHeading) {
  ASSERT_TRUE(Open(DefaultSetting()));
  job.GotoXY(0, 2);
  job.Rule();
  const auto rule = canvas.Of("line").back();
  EXPECT_EQ(rule.pen, 2);
  EXPECT_EQ(rule.x, 50);
  EXPECT_EQ(rule.x2, 50 + 2040);
  EXPECT_EQ(rule.y, 50 + 48);
  EXPECT_EQ(job.CurY(), 50 + 48 + 18);

  job.Heading("Balans");
  const auto text = canvas.FindText("Balans");
  EXPECT_EQ(text.x, 50 + (2040 / 14 - 6) / 2 * 14);
  EXPECT_EQ(job.CurrentFont().pointSize, 11);
  EXPECT_DOUBLE_EQ(job.UsedY(), 30 + 24);
  job.printerexit(false);
}

TEST_F(PrintJobTest, TheThirteenthPushIsCountedAndChangesNothing) {
  ASSERT_TRUE(Open(DefaultSetting()));
  for (int n = 0; n < 11; ++n) job.PushFont(n % 2 ? 'S' : 'B');  // 12 with the normal one
  EXPECT_EQ(job.CurrentFont().pointSize, 14);
  const size_t fonts = canvas.Of("font").size();
  job.PushFont('S');
  EXPECT_EQ(job.FontDepth(), 13);
  EXPECT_EQ(job.CurrentFont().pointSize, 14);
  job.PopFont();
  EXPECT_EQ(canvas.Of("font").size(), fonts);
  EXPECT_EQ(job.CurrentFont().pointSize, 14);
  job.PopFont();
  EXPECT_EQ(job.CurrentFont().pointSize, 8);
  for (int n = 0; n < 10; ++n) job.PopFont();
  EXPECT_EQ(job.FontDepth(), 1);
  job.printerexit(false);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PrintJobTest, FontsLeftPushedAreReportedAndPopped) {
  ASSERT_TRUE(Open(DefaultSetting()));
  job.PushFont('B');
  job.PushFont('S');
  job.printerexit(false);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "  2 savefontc<>0 prexit");
  EXPECT_EQ(job.FontDepth(), 0);
}

TEST_F(PrintJobTest, CancelStopsDrawingButEndsTheJob) {
  ASSERT_TRUE(Open(DefaultSetting()));
  esmall::HandleStack& owners = esmall::OwnerWindows();
  const int depth = owners.Depth();
  dialogs.cancelAtEvent = 3;
  for (int n = 0; n < 200; ++n) {
    job.Need("Huvudbok", 1);
    job.Progress(n, 200);
    job.WriteLn("rad");
  }
  job.ClosingPictures();
  EXPECT_TRUE(job.Aborted());
  job.printerexit(false);
  ASSERT_EQ(canvas.ops.back().kind, "abort");
  EXPECT_EQ(canvas.Of("text").size(), 1u);  // the line before the third event
  EXPECT_FALSE(job.IsOpen());
  EXPECT_EQ(dialogs.closed, 1);
  EXPECT_EQ(owners.Depth(), depth - 1);
  EXPECT_EQ(dialogs.Last(ReportLine::Count), "  199[  200]");
  EXPECT_EQ(dialogs.bars.back(), 100);
}

TEST_F(PrintJobTest, ProgressAndStatusLines) {
  ASSERT_TRUE(Open(DefaultSetting()));
  job.Progress(3, 0);
  EXPECT_EQ(dialogs.Last(ReportLine::Count), "    3[    0]");
  EXPECT_EQ(dialogs.bars.back(), 3);
  job.Progress(1, 3);
  EXPECT_EQ(dialogs.bars.back(), 33);
  job.StatusLine(1, "Huvudbok");
  job.StatusLine(3, "konto 1930");
  job.StatusLine(4, "ignoreras");
  EXPECT_EQ(dialogs.Last(ReportLine::Status1), "Huvudbok");
  EXPECT_EQ(dialogs.Last(ReportLine::Status3), "konto 1930");
  job.printerexit(false);
}

TEST_F(PrintJobTest, ADeviceThatCannotStartIsReported) {
  canvas.refuseBegin = true;
  EXPECT_FALSE(Open(DefaultSetting()));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, A("Kan ej skapa vald skrivare enligt inställningar"));
  EXPECT_EQ(dialogs.created, 0);
  EXPECT_FALSE(job.IsOpen());
  job.printerexit(false);  // nothing to close
  EXPECT_TRUE(canvas.ops.empty());
}

TEST_F(PrintJobTest, UnreadableMetricsAreReported) {
  canvas.failMetrics = true;
  ASSERT_TRUE(Open(DefaultSetting()));
  EXPECT_EQ(eerror::StatusMsg, "Kan ej finna textinformation om denna font!");
  EXPECT_GE(job.CharsPerColumn(), 0);
  job.Need("", 1000);  // line height 0: nothing divides by it
  job.printerexit(false);
}

TEST_F(PrintJobTest, BadSettingsPrintSoundly) {
  glodefs::TRapportEnv setting = DefaultSetting(0);
  TPrinterEnv block = setting.Printer();
  TFontRec font = block.Font(FontSlot::Mellan);
  font.size = 0;
  block.SetFont(FontSlot::Mellan, font);
  setting.SetPrinter(block);
  ASSERT_TRUE(Open(setting));
  EXPECT_EQ(job.Columns(), 1);
  EXPECT_EQ(job.CurrentFont().pointSize, 11);  // size 0: the default size of the slot
  job.printerexit(false);

  for (const Margins margins : {Margins{30000, 500, 100, 0}, Margins{500, 90000, 100, 90000},
                                Margins{-5000, -5000, -5000, -5000}}) {
    block.SetColumns(100000);
    block.SetPageMargins(margins);
    setting.SetPrinter(block);
    PrintJob bad(canvas, dialogs);
    ASSERT_TRUE(bad.printerinit(false, "t", setting, 0));
    EXPECT_EQ(bad.Columns(), PrintJob::kMaxColumns);
    EXPECT_GE(bad.LeftMargin(), 0);
    EXPECT_GT(bad.PageWidth(), 0);
    EXPECT_GT(bad.PageHeight(), 0);
    EXPECT_LE(bad.LeftMargin() + bad.PageWidth(), 2100);
    for (int n = 0; n < 300; ++n) {
      bad.Need("t", 3);
      bad.WriteLn("x");
    }
    bad.ClosingPictures();
    bad.printerexit(false);
  }
  EXPECT_EQ(eerror::StatusMsg, A("Marginalerna ryms inte på sidan; utskriften görs utan marginaler"));
}

TEST_F(PrintJobTest, ABlockTallerThanAPageDoesNotLoop) {
  ASSERT_TRUE(Open(DefaultSetting()));
  job.Need("t", 500);
  job.Need("t", 500);
  EXPECT_EQ(job.PageNo(), 2);
  job.printerexit(false);
}

TEST_F(PrintJobTest, AnOpenJobIsClosedWithoutFooterAtItsEnd) {
  {
    PrintJob scoped(canvas, dialogs);
    ASSERT_TRUE(scoped.printerinit(false, "t", DefaultSetting(), 0));
    scoped.Tab(1);
    scoped.WriteLn("rad");
  }
  EXPECT_EQ(canvas.ops.back().kind, "end");
  EXPECT_TRUE(canvas.Of("line").empty());
  EXPECT_EQ(dialogs.closed, 1);
}

TEST_F(PrintJobTest, PreviewAndASecondOpenPrintNothing) {
  EXPECT_FALSE(job.printerinit(true, "t", DefaultSetting(), 0));
  EXPECT_TRUE(canvas.ops.empty());
  ASSERT_TRUE(Open(DefaultSetting()));
  EXPECT_FALSE(Open(DefaultSetting()));
  job.printerexit(false);
  EXPECT_EQ(canvas.Of("begin").size(), 1u);
}

}  // namespace
