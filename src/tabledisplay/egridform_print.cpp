#include "tabledisplay/egridform_print.h"

#include <algorithm>
#include <vector>

#include "shell/ESmall.h"

namespace egridform {

namespace {

constexpr size_t kMaxTitle = 255;

}  // namespace

bool PrintTable(printing::PrintJob& job, const Table& table, const glodefs::TRapportEnv& setting,
                esmall::WindowHandle owner) {
  const std::string caption = esmall::Cut(table.Caption(), kMaxTitle);
  if (!job.printerinit(false, caption, setting, owner)) {
    job.printerexit(true);
    return false;
  }
  job.StatusLine(1, caption);
  job.PushFont('B');
  job.Need("", 1);
  job.WriteLn(caption);
  job.PopFont();
  job.Need("", 1);
  job.WriteLn();
  job.Rule();

  const int32_t columns = std::min(table.ColCount(), kMaxPrintColumns);
  std::vector<int> widths(static_cast<size_t>(columns), 0);
  job.PushFont('S');
  for (int32_t r = 0; r < table.RowCount(); ++r)
    for (int32_t c = 0; c < columns; ++c)
      widths[static_cast<size_t>(c)] = std::max(widths[static_cast<size_t>(c)], job.TextWidth(table.CellText(c, r)));
  job.PopFont();

  const int usable = job.PageWidth() / std::max(1, job.Columns());
  for (int32_t r = 0; r < table.RowCount() && !job.Aborted(); ++r) {
    job.Progress(r + 1, table.RowCount());
    job.PushFont('S');
    job.Need("", 1);
    int x = 0;
    for (int32_t c = 0; c < columns && !job.Aborted(); ++c) {
      const int width = widths[static_cast<size_t>(c)];
      // A column at the line's start stays there however wide: a new line would only add an
      // empty one.
      if (x > 0 && x + width >= usable) {
        job.WriteLn();
        job.Need("", 1);
        x = 0;
      }
      job.GotoX(x);
      job.Write(table.CellText(c, r));
      x += width;
    }
    job.WriteLn();
    job.Rule();
    if (r == 0) {
      job.WriteLn();
      job.Rule();
      job.Need("", 1);
    }
    job.PopFont();
  }
  job.ClosingPictures();
  job.printerexit(false);
  return true;
}

}  // namespace egridform
