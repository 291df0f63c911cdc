// The balance list "Saldolista": each chosen account with its opening balance, debit and
// credit turnovers and closing balance, and the four sums ("Saldotaler:").
#pragma once

#include <vector>

#include "bookkeeping/BFdefs.h"
#include "printing/ewrite32.h"

namespace reports {

struct BalanceList {
  std::vector<bf::KontoRecord> accounts;
  double opening = 0;
  double debit = 0;
  double credit = 0;
  double closing = 0;
};

BalanceList BalanceListOf(const std::vector<bf::KontoRecord>& accounts);

// The head, the accounts until the job is cancelled, the sum line.
void LayOutBalanceList(printing::PrintJob& job, const bf::BfDataBasRecord& list, const BalanceList& balances);

}  // namespace reports
