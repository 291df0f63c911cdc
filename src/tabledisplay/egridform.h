// The table of the table window: text cells built row by row (open, cell, row end, show),
// which the window shows and every writer (print, HTML, XML, PDF, JPEG, CSV, text) walks.
//
// Invariants: a stored cell is "  " + text + "    "; a cell never given reads "". ColCount
// and RowCount start at 5 and only grow: moving to a column or row above the highest used
// makes it the highest and the count one more, never less than it was, so a small table
// keeps its empty trailing rows and columns. A column is as wide as its widest stored cell
// in the grid's font at the table's scale (0 before its first cell); widths never shrink.
// Building never fails and nothing it is given can make a read go outside the table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/ESmall_HandleStack.h"

namespace egridform {

// The window scale as the table uses it: above 100 it becomes round(scale × 8 ÷ 10).
int TableScale(int windowScale);

// How the grid measures its cells: the width in pixels of a Windows-1252 text in the
// grid's font, that font's size in points, and the table's scale in per cent.
struct GridMetrics {
  std::function<int(const std::string&)> textWidth;
  int fontPoints = 8;
  int scale = 100;
};

// The grid's font where there is no window (bfnolk): 8 points of a fixed-pitch font at
// 96 pixels per inch, seven pixels a character.
GridMetrics FixedPitchMetrics();

// The row-building operations, in this order: Open, any number of Cell and RowEnd, Show.
// The window side implements them on a new window; Table implements them in memory.
class TableRows {
 public:
  virtual ~TableRows() = default;
  // Starts a table with caption; false when its window cannot be made.
  virtual bool Open(esmall::WindowHandle owner, const std::string& caption) = 0;
  virtual void Cell(const std::string& text) = 0;
  // Adds text as a cell when it is not empty, then goes on at column 0 of the next row.
  virtual void RowEnd(const std::string& text = "") = 0;
  virtual void Show() = 0;
};

class Table : public TableRows {
 public:
  static constexpr int kStartCount = 5;
  static constexpr int kStartHighCol = 2;
  static constexpr int kStartHighRow = 3;

  explicit Table(GridMetrics metrics = FixedPitchMetrics());

  // Empties the table and names it; always true.
  bool Open(esmall::WindowHandle owner, const std::string& caption) override;
  void Cell(const std::string& text) override;
  void RowEnd(const std::string& text = "") override;
  void Show() override {}

  const std::string& Caption() const { return caption_; }
  int32_t ColCount() const { return colCount_; }
  int32_t RowCount() const { return rowCount_; }
  int32_t CurCol() const { return col_; }
  int32_t CurRow() const { return row_; }
  // The stored text of cell (c, r); "" for one never given or outside the table.
  std::string CellText(int32_t c, int32_t r) const;
  // Width of column c in pixels; 0 outside the table.
  int ColWidth(int32_t c) const;
  int FontPoints() const { return metrics_.fontPoints; }
  int Scale() const { return metrics_.scale; }

 private:
  void MoveToCol(int32_t c);
  void MoveToRow(int32_t r);

  GridMetrics metrics_;
  std::string caption_;
  int32_t col_ = 0, row_ = 0;
  int32_t highCol_ = kStartHighCol, highRow_ = kStartHighRow;
  int32_t colCount_ = kStartCount, rowCount_ = kStartCount;
  // The texts as given, only for the rows that were given cells; the blanks around them
  // are added when a cell is read, which keeps a long table's texts short enough to be
  // held inside their strings.
  std::vector<std::vector<std::string>> rows_;
  std::vector<int> widths_;
};

}  // namespace egridform
