// The closing pictures of a report. Each active picture gets 1/n of a page column's width
// (n its divisor, the frame's unit on each side taken off first) and the height its
// proportions give. Rows fill from the right edge of the column leftwards, the first row
// standing just above the footer rule, each further row above the tallest picture of the
// row below. Pictures are kept apart by 1 % of the column width besides their frames. A
// picture that would reach up to the last text, or hang out of the column, moves on to
// the next page column of the page (empty, so it may reach up to the top margin); when no
// column is left, it and the pictures after it are not printed.
#include "printing/ewrite32.h"

#include <algorithm>
#include <cmath>

namespace printing {

void PrintJob::ClosingPictures() {
  if (!Drawing()) return;
  const int columnWidth = pageWidth_ / columns_;
  const int gap = 2 + columnWidth / 100;
  int column = curColumn_;
  int limit = std::max(curY_, topMargin_ + static_cast<int>(std::lround(usedY_)));
  const int firstBottom = footerY_ - 2;
  int rowBottom = firstBottom;
  int rowTop = rowBottom;
  int right = ColumnLeft(column) + columnWidth - 1;

  for (int k = 0; k < glodefs::TRapportEnv::kPictures; ++k) {
    const glodefs::TRapportEnv::Picture setting = setting_.GetPicture(k);
    if (!setting.active) continue;
    std::unique_ptr<PrintPicture> picture;
    if (!setting.path.empty()) picture = canvas_.LoadPicture(setting.path);
    if (!picture) picture = canvas_.BuiltinPicture(k);
    if (!picture || picture->Width() <= 0 || picture->Height() <= 0) continue;

    const int divisor = std::max(1, setting.sizeDivisor);
    const int width = std::max(1, static_cast<int>(std::lround((columnWidth - 2.0) / divisor)));
    const int height = std::max(
        1, static_cast<int>(std::lround(static_cast<double>(width) * picture->Height() / picture->Width())));
    while (true) {
      const int left = ColumnLeft(column);
      const bool rowEmpty = right == left + columnWidth - 1;
      if (!rowEmpty && right - width < left + 1) {  // the row is full: one above it
        rowBottom = rowTop - gap;
        rowTop = rowBottom;
        right = left + columnWidth - 1;
      }
      const int x = right - width;
      const int y = rowBottom - height;
      if (x >= left + 1 && y - 1 > limit) {
        canvas_.Picture(*picture, {x, y, width, height});
        canvas_.Line(x - 1, y - 1, x + width, y - 1, 1);
        canvas_.Line(x + width, y - 1, x + width, y + height, 1);
        canvas_.Line(x + width, y + height, x - 1, y + height, 1);
        canvas_.Line(x - 1, y + height, x - 1, y - 1, 1);
        right = x - gap;
        rowTop = std::min(rowTop, y);
        break;
      }
      if (++column > columns_) return;
      limit = topMargin_;
      rowBottom = rowTop = firstBottom;
      right = ColumnLeft(column) + columnWidth - 1;
    }
  }
}

}  // namespace printing
