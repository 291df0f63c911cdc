// "skriv": the table on the print engine. The caption in the big font over a rule, then each
// row in the small font with a rule under it (two after the head row); a column that would
// reach the page column's right edge goes on a line of its own below, so a wide table
// wraps its rows instead of losing their ends.
#pragma once

#include "printing/ewrite32.h"
#include "shell/GloDefs.h"
#include "tabledisplay/egridform.h"

namespace egridform {

// At most this many columns are measured and printed.
inline constexpr int32_t kMaxPrintColumns = 1025;

// False when the job could not start (it is then ended).
bool PrintTable(printing::PrintJob& job, const Table& table, const glodefs::TRapportEnv& setting,
                esmall::WindowHandle owner);

}  // namespace egridform
