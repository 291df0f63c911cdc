// The account plan "Kontoplan": each chosen account with its opening balance, budget and
// sign, and the sums of the opening balances and budgets.
#pragma once

#include <vector>

#include "bookkeeping/BFdefs.h"
#include "printing/ewrite32.h"

namespace reports {

struct AccountPlan {
  std::vector<bf::KontoRecord> accounts;
  double opening = 0;
  double budget = 0;
};

AccountPlan AccountPlanOf(const std::vector<bf::KontoRecord>& accounts);

// In the normal font: the head, the accounts until the job is cancelled, the sum line.
void LayOutAccountPlan(printing::PrintJob& job, const bf::BfDataBasRecord& list, const AccountPlan& plan);

}  // namespace reports
