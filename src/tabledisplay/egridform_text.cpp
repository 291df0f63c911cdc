#include "tabledisplay/egridform_writers.h"

#include <algorithm>
#include <vector>

namespace egridform {

bool WriteText(const Table& table, LineSink& out) {
  std::vector<size_t> widths(static_cast<size_t>(table.ColCount()), 0);
  for (int32_t r = 0; r < table.RowCount(); ++r)
    for (int32_t c = 0; c < table.ColCount(); ++c)
      widths[static_cast<size_t>(c)] = std::max(widths[static_cast<size_t>(c)], table.CellText(c, r).size());
  LineWriter w(out);
  w.Line(table.Caption());
  w.Line("");
  for (int32_t r = 0; r < table.RowCount() && w.ok(); ++r) {
    std::string line;
    for (int32_t c = 0; c < table.ColCount(); ++c) {
      std::string cell = table.CellText(c, r);
      cell.resize(widths[static_cast<size_t>(c)], ' ');
      line += cell;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    w.Line(line);
  }
  return w.ok();
}

}  // namespace egridform
