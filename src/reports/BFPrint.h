// What every printed report of the bookkeeping shares: the title line in the big font, and
// the report header block with the open bookkeeping's
// number, name, period, totals and group sums (values mode) or the names of those columns
// (titles mode, when no bookkeeping is open).
#pragma once

#include <string>

#include "bookkeeping/BFFiler.h"
#include "printing/ewrite32.h"

namespace reports {

// The report's title in the big font on a line of its own; the progress shows it.
void Title(printing::PrintJob& job, const std::string& title);

// The header block; values from the list record when values is set.
void ReportHead(printing::PrintJob& job, const bf::BfDataBasRecord& list, bool values);

}  // namespace reports
