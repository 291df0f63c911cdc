// The balance sheet "Balansrapport": the chosen accounts in five sections by number (assets
// 1000..1499, 1500..1599 and 1800..1999, debts 2000..2899, equity 2900..2999; 1600..1799 and
// every other number in none), each account with its opening balance, its net change
// (|debit| - |credit|) and its closing figure (opening + net change); a sum line after each
// section, "Summa tillgångar:" after the assets, and at the end the computed equity
// ("Beräknat eget kapital:", the negated sum of all five sections) and "Summa skulder
// kapital:" (the negated assets).
#pragma once

#include <vector>

#include "bookkeeping/BFdefs.h"
#include "printing/ewrite32.h"
#include "reports/BFPrint_sections.h"

namespace reports {

struct BalanceFigures {
  double opening = 0;
  double change = 0;
  double closing = 0;
};

struct BalanceSheet {
  std::vector<bf::KontoRecord> accounts;  // as chosen
  std::vector<Section<BalanceFigures>> sections;
};

BalanceSheet BalanceSheetOf(const std::vector<bf::KontoRecord>& accounts);

// The head and the sections (see BFPrint_sections.h for a cancelled job).
void LayOutBalanceSheet(printing::PrintJob& job, const bf::BfDataBasRecord& list, const BalanceSheet& sheet);

}  // namespace reports
