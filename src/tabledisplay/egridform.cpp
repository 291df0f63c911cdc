#include "tabledisplay/egridform.h"

#include <algorithm>
#include <cmath>

namespace egridform {

namespace {

constexpr int kFixedPitchPixels = 7;
constexpr int kFixedPitchPoints = 8;

std::string Stored(const std::string& text) { return "  " + text + "    "; }

}  // namespace

int TableScale(int windowScale) {
  if (windowScale <= 100) return windowScale;
  return static_cast<int>(std::lround(windowScale * 8.0 / 10.0));
}

GridMetrics FixedPitchMetrics() {
  return {[](const std::string& text) { return static_cast<int>(text.size()) * kFixedPitchPixels; }, kFixedPitchPoints,
          100};
}

Table::Table(GridMetrics metrics) : metrics_(std::move(metrics)) { widths_.assign(kStartCount, 0); }

bool Table::Open(esmall::WindowHandle, const std::string& caption) {
  caption_ = caption;
  col_ = row_ = 0;
  highCol_ = kStartHighCol;
  highRow_ = kStartHighRow;
  colCount_ = rowCount_ = kStartCount;
  rows_.clear();
  widths_.assign(kStartCount, 0);
  return true;
}

void Table::Cell(const std::string& text) {
  // Cells of a row come from column 0 on and a row is never gone back to, so a row's
  // given cells are exactly its first ones.
  if (rows_.size() <= static_cast<size_t>(row_)) rows_.resize(static_cast<size_t>(row_) + 1);
  rows_[static_cast<size_t>(row_)].push_back(text);
  const double measured = metrics_.textWidth ? metrics_.textWidth(Stored(text)) : 0;
  const int width = static_cast<int>(std::lround(measured * metrics_.scale / 100.0));
  int& current = widths_[static_cast<size_t>(col_)];
  current = std::max(current, width);
  MoveToCol(col_ + 1);
}

void Table::RowEnd(const std::string& text) {
  if (!text.empty()) Cell(text);
  MoveToRow(row_ + 1);
  MoveToCol(0);
}

void Table::MoveToCol(int32_t c) {
  col_ = c;
  if (c > highCol_) {
    highCol_ = c;
    colCount_ = std::max(colCount_, c + 1);
    widths_.resize(static_cast<size_t>(colCount_), 0);
  }
}

void Table::MoveToRow(int32_t r) {
  row_ = r;
  if (r > highRow_) {
    highRow_ = r;
    rowCount_ = std::max(rowCount_, r + 1);
  }
}

std::string Table::CellText(int32_t c, int32_t r) const {
  if (r < 0 || c < 0 || static_cast<size_t>(r) >= rows_.size()) return "";
  const std::vector<std::string>& row = rows_[static_cast<size_t>(r)];
  if (static_cast<size_t>(c) >= row.size()) return "";
  return Stored(row[static_cast<size_t>(c)]);
}

int Table::ColWidth(int32_t c) const {
  if (c < 0 || static_cast<size_t>(c) >= widths_.size()) return 0;
  return widths_[static_cast<size_t>(c)];
}

}  // namespace egridform
