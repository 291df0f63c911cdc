// The table as one JPEG picture, decoded again by the program's reader of pictures.
#include "tabledisplay/egridform_jpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "SampleTable.h"
#include "printing/ewrite32_jpeg.h"

namespace egridform {
namespace {

// The grey level at (x, y) of the decoded picture.
int Grey(const printing::DecodedImage& image, int x, int y) {
  return image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
}

TEST(TableJpeg, ShowsEveryRowWithTheGridsGreyHeadAndFirstColumn) {
  Table table = SampleTable();
  for (int r = 0; r < 200; ++r) table.RowEnd(std::to_string(r));  // beyond any window's height
  StringSink out;
  std::string reason;
  ASSERT_TRUE(WriteJpeg(table, out, reason)) << reason;
  std::string why;
  const auto image = printing::DecodeJpegBytes(out.Text(), why);
  ASSERT_TRUE(image) << why;
  const int rowHeight = image->height / table.RowCount();
  EXPECT_EQ(image->height, rowHeight * table.RowCount());
  EXPECT_GE(rowHeight, 10);
  EXPECT_GT(image->width, 200);
  // The head row grey above its text; a body cell white; the first column grey to the end.
  EXPECT_NEAR(Grey(*image, image->width / 2, 1), 0xf0, 6);
  EXPECT_NEAR(Grey(*image, image->width / 2, rowHeight * 2 + 1), 0xff, 6);
  EXPECT_NEAR(Grey(*image, 1, image->height - 2), 0xf0, 6);
  // Text in the last row given ("199", above the empty row every table keeps).
  int darkest = 255;
  for (int y = image->height - 2 * rowHeight; y < image->height - rowHeight; ++y)
    for (int x = 0; x < 40; ++x) darkest = std::min(darkest, Grey(*image, x, y));
  EXPECT_LT(darkest, 100);
  // BFN_KEEP_JPEG=FILE keeps the picture, to look at.
  if (const char* keep = std::getenv("BFN_KEEP_JPEG")) std::ofstream(keep, std::ios::binary) << out.Text();
}

TEST(TableJpeg, RefusesATableTallerThanAPictureCanBe) {
  Table table(FivePixelMetrics());
  table.Open(0, "lång");
  for (int r = 0; r < 10000; ++r) table.RowEnd("x");
  StringSink out;
  std::string reason;
  EXPECT_FALSE(WriteJpeg(table, out, reason));
  EXPECT_NE(reason.find("65500"), std::string::npos) << reason;
  EXPECT_TRUE(out.Text().empty());
}

}  // namespace
}  // namespace egridform
