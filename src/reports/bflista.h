// The reports that summarise the accounts; so far the sum-group report "Summagrupper": the
// header block, then for each sum group 0..8 its definition and the group balance of the
// month sums record the report takes (that of the current month, else the latest month
// that has one, else none, all balances 0).
#pragma once

#include "bookkeeping/BFFiler.h"
#include "printing/ewrite32.h"

namespace reports {

// The month sums record the sum-group report shows; false when the file holds none or
// could not be read (the reason is then reported).
bool ReportMonth(bf::BfShared& s, bf::SumsRecord& month);

// Prints "Summagrupper" on job with the report setting, its progress window owned by owner.
// False when nothing was printed: no account ("Ej tillräckliga data!"), or the job could not
// start.
bool PrintSumGroups(printing::PrintJob& job, bf::BfShared& s, const glodefs::TRapportEnv& setting,
                    esmall::WindowHandle owner = 0);

}  // namespace reports
