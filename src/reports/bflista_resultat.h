// The income statement "Resultatlista": the chosen accounts in nine sections by number
// (1000..1999 to 8000..9998; 9999 is in none), each account with its closing balance and,
// where it has a budget to date, the deviation from it in per cent and in kronor; a sum line
// after each section, "Tillg/skulder" after sections 1..3, "Intäkter/kostnader" and the
// result "Resultat före:" after sections 4..8, and "Årets resultat:" at the end.
//
// The budget to date is the budget divided by the divisor q of the period (the whole
// period's months over the months gone, whole; 1 once the period's year is over; 0, no
// deviation, before the period or when the period's dates cannot be read). A sum or result
// line's percentage is its own deviation over its own budget to date (0 when that is 0),
// not a sum of the accounts' percentages.
#pragma once

#include <string>
#include <vector>

#include "bookkeeping/BFdefs.h"
#include "printing/ewrite32.h"
#include "reports/BFPrint_sections.h"
#include "shell/ETider.h"

namespace reports {

// The divisor q of the budget in the period from..to (yyyy-mm-dd) on the day today.
int BudgetDivisor(const std::string& from, const std::string& to, const etider::DateTime& today);

struct StatementFigures {
  double closing = 0;
  double budgetToDate = 0;
  double percent = 0;
  double deviation = 0;
  bool budgeted = false;  // an account line shows the last three only when it has a budget to date
};

// An account's closing balance, budget to date (budget ÷ q), deviation (budget to date less
// debit turnover plus credit turnover) and the deviation in per cent of the budget to date;
// all but the closing balance 0 for a budget of 0 or a divisor of 0.
StatementFigures AccountFigures(const bf::KontoRecord& account, int divisor);

struct IncomeStatement {
  std::vector<bf::KontoRecord> accounts;  // as chosen
  int divisor = 0;
  std::vector<Section<StatementFigures>> sections;
};

// The statement of accounts for the bookkeeping of list on the day today.
IncomeStatement IncomeStatementOf(const std::vector<bf::KontoRecord>& accounts, const bf::BfDataBasRecord& list,
                                  const etider::DateTime& today);

// The head and the sections (see BFPrint_sections.h for a cancelled job).
void LayOutIncomeStatement(printing::PrintJob& job, const bf::BfDataBasRecord& list, const IncomeStatement& statement);

}  // namespace reports
