// The sum-group report "Summagrupper": the header block, then for each sum group 0..8 its
// definition and the group balance of the month sums record the report takes (that of the
// current month, else the latest month that has one, else none, all balances 0).
#pragma once

#include <array>
#include <string>

#include "bookkeeping/BFFiler.h"
#include "printing/ewrite32.h"

namespace reports {

// The month sums record the sum-group report shows; false when the file holds none or
// could not be read (the reason is then reported).
bool ReportMonth(bf::BfShared& s, bf::SumsRecord& month);

struct SumGroups {
  std::string month;  // yyyy-mm of the balances; empty when there is no month
  std::array<std::string, bf::kGroupCount> definitions;
  std::array<double, bf::kGroupCount> balances{};
};

SumGroups SumGroupsOf(bf::BfShared& s);

// The head and the nine groups.
void LayOutSumGroups(printing::PrintJob& job, const bf::BfDataBasRecord& list, const SumGroups& groups);

}  // namespace reports
