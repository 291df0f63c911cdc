#include "tabledisplay/egridform.h"

#include <gtest/gtest.h>

#include "SampleTable.h"

namespace egridform {
namespace {

TEST(TableScale, AboveHundredTakesEightTenths) {
  EXPECT_EQ(TableScale(90), 90);
  EXPECT_EQ(TableScale(100), 100);
  EXPECT_EQ(TableScale(113), 90);  // 90.4
  EXPECT_EQ(TableScale(119), 95);  // 95.2
  EXPECT_EQ(TableScale(150), 120);
  EXPECT_EQ(TableScale(300), 240);
}

TEST(Table, CellsAreStoredWithTheirBlanksAndTheCountsOnlyGrow) {
  Table t(FivePixelMetrics());
  t.Open(0, "t");
  EXPECT_EQ(t.ColCount(), 5);
  EXPECT_EQ(t.RowCount(), 5);
  t.Cell("a");
  t.RowEnd("b");  // two cells: the grid keeps its five columns
  EXPECT_EQ(t.ColCount(), 5);
  EXPECT_EQ(t.CellText(0, 0), "  a    ");
  EXPECT_EQ(t.CellText(1, 0), "  b    ");
  EXPECT_EQ(t.CellText(2, 0), "");
  EXPECT_EQ(t.CurRow(), 1);
  EXPECT_EQ(t.CurCol(), 0);
  for (const char* c : {"1", "2", "3", "4"}) t.Cell(c);
  t.RowEnd("5");  // ends in column 5: six columns
  EXPECT_EQ(t.ColCount(), 6);
  t.RowEnd();
  t.RowEnd();
  EXPECT_EQ(t.CurRow(), 4);
  EXPECT_EQ(t.RowCount(), 5);  // row 4 reached: still five
  t.RowEnd();
  EXPECT_EQ(t.RowCount(), 6);
  // A short row after the wide one: nothing shrinks.
  t.RowEnd("x");
  EXPECT_EQ(t.ColCount(), 6);
  EXPECT_EQ(t.RowCount(), 7);
  // Nothing outside the table is read.
  EXPECT_EQ(t.CellText(-1, 0), "");
  EXPECT_EQ(t.CellText(0, 1000), "");
  EXPECT_EQ(t.ColWidth(-1), 0);
  EXPECT_EQ(t.ColWidth(99), 0);

  t.Open(0, "ny");  // a new table starts again
  EXPECT_EQ(t.Caption(), "ny");
  EXPECT_EQ(t.ColCount(), 5);
  EXPECT_EQ(t.CellText(0, 0), "");
  EXPECT_EQ(t.ColWidth(0), 0);
}

TEST(Table, WidthsFitTheWidestCellAtTheScaleAndNeverShrink) {
  const Table t = SampleTable();
  EXPECT_EQ(t.ColWidth(1), 5 * 16);  // "  2026-01-05    "
  EXPECT_EQ(t.ColWidth(2), 5 * 22);  // "  Räkor & <öl> (x)    "
  EXPECT_EQ(t.ColWidth(3), 5 * 6);   // every cell empty: six blanks
  EXPECT_EQ(t.ColWidth(5), 0);       // never given a cell

  Table scaled(FivePixelMetrics(TableScale(150)));
  scaled.Open(0, "t");
  scaled.Cell("abcd");  // 10 characters, 50 pixels at 120 %
  scaled.RowEnd();
  scaled.Cell("a");  // narrower: the column keeps its width
  scaled.RowEnd();
  EXPECT_EQ(scaled.ColWidth(0), 60);
  EXPECT_EQ(scaled.ColWidth(1), 0);
}

}  // namespace
}  // namespace egridform
