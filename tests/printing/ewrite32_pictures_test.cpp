// The closing pictures over the recording canvas: default setting, one page column 2040
// wide from x = 50, footer rule at y = 2916; the built-in pictures are 100 x 50.
#include "RecordingCanvas.h"
#include "printing/ewrite32.h"
#include "shell/Eerror32.h"

#include <gtest/gtest.h>

using namespace printing;

namespace {

glodefs::TRapportEnv Setting(int columns) {
  TPrinterEnv defPrinter;
  defPrinter.SetDefaultPageSetup(kPaperA4, kPortrait);
  glodefs::TKonfigRec konfig;
  glodefs::TRapportEnv setting;
  setting.FillDefaults(1, defPrinter, konfig);
  TPrinterEnv block = setting.Printer();
  block.SetColumns(columns);
  setting.SetPrinter(block);
  for (int k = 0; k < glodefs::TRapportEnv::kPictures; ++k) setting.SetPicture(k, {"", false, 5});
  return setting;
}

class ClosingPicturesTest : public ::testing::Test {
 protected:
  void Print(const glodefs::TRapportEnv& setting, int textLines) {
    PrintJob job(canvas, dialogs);
    ASSERT_TRUE(job.printerinit(false, "t", setting, 0));
    for (int n = 0; n < textLines; ++n) {
      job.Need("t", 1);
      job.WriteLn("rad");
    }
    job.ClosingPictures();
    job.printerexit(false);
  }

  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes{boxes};
  RecordingReportDialogs dialogs;
  RecordingCanvas canvas;
};

TEST_F(ClosingPicturesTest, PlacedFromTheRightAboveTheFooter) {
  glodefs::TRapportEnv setting = Setting(1);
  setting.SetPicture(1, {"saknas.jpg", true, 4});
  setting.SetPicture(2, {"logo.jpg", true, 5});
  setting.SetPicture(3, {"av.jpg", false, 5});
  canvas.files["logo.jpg"] = {200, 100};
  Print(setting, 3);

  // A missing file draws the program's own picture of the same number.
  const auto builtin = canvas.Of("builtin");
  ASSERT_EQ(builtin.size(), 1u);
  EXPECT_EQ(builtin[0].x, 1);
  const auto pictures = canvas.Of("picture");
  ASSERT_EQ(pictures.size(), 2u);
  // (2040 − 2) / 4 = 509.5 wide, rounded 510; 255 high; its bottom 2 above the rule.
  EXPECT_EQ(pictures[0].text, "PrBildres1");
  EXPECT_EQ(pictures[0].x, 50 + 2040 - 1 - 510);
  EXPECT_EQ(pictures[0].x2, 50 + 2040 - 1);
  EXPECT_EQ(pictures[0].y, 2914 - 255);
  EXPECT_EQ(pictures[0].y2, 2914);
  // The next to its left, 2 + 20 apart.
  EXPECT_EQ(pictures[1].text, "logo.jpg");
  EXPECT_EQ(pictures[1].x2, pictures[0].x - 22);
  EXPECT_EQ(pictures[1].x, pictures[0].x - 22 - 408);
  EXPECT_EQ(pictures[1].y, 2914 - 204);
  // Each framed one unit around.
  const auto frames = canvas.Of("line");
  EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](const auto& l) { return l.pen == 1; }), 8 + 1);
  EXPECT_EQ(frames[0].x, pictures[0].x - 1);
  EXPECT_EQ(frames[0].y, pictures[0].y - 1);
}

TEST_F(ClosingPicturesTest, AFullRowStartsANewRowAbove) {
  glodefs::TRapportEnv setting = Setting(1);
  setting.SetPicture(0, {"", true, 2});
  setting.SetPicture(1, {"", true, 2});
  Print(setting, 0);
  const auto pictures = canvas.Of("picture");
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0].x, pictures[1].x);
  EXPECT_EQ(pictures[1].y2, pictures[0].y - 22);
}

TEST_F(ClosingPicturesTest, PicturesThatWouldCoverTextMoveOnOrAreDropped) {
  glodefs::TRapportEnv setting = Setting(1);
  setting.SetPicture(0, {"", true, 1});  // 2038 x 1019: higher than the room left
  setting.SetPicture(4, {"", true, 10});
  Print(setting, 80);  // text down to 50 + 80 × 24 = 1970
  const auto pictures = canvas.Of("picture");
  ASSERT_EQ(pictures.size(), 0u);  // the large one found no column, and ends the pictures

  RecordingCanvas two;
  {
    PrintJob job(two, dialogs);
    glodefs::TRapportEnv wide = Setting(2);
    wide.SetPicture(0, {"", true, 1});
    ASSERT_TRUE(job.printerinit(false, "t", wide, 0));
    for (int n = 0; n < 180; ++n) {  // 6 points in two columns: down to 50 + 180 × 14
      job.Need("t", 1);
      job.WriteLn("rad");
    }
    job.ClosingPictures();
    job.printerexit(false);
    // The picture fills the column's width and half as much in height: it goes to column 2.
    const int width = job.PageWidth() / 2;
    const auto placed = two.Of("picture");
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].x, 50 + width + job.ColumnGap() + 1);
    EXPECT_EQ(placed[0].y2 - placed[0].y, (width - 2) / 2);
  }
}

TEST_F(ClosingPicturesTest, NothingWhenTheJobWasCancelledOrNoneIsActive) {
  Print(Setting(1), 1);
  EXPECT_TRUE(canvas.Of("picture").empty());
  EXPECT_TRUE(canvas.Of("builtin").empty());
}

}  // namespace
