#include "reports/bflista.h"

#include <cstdio>

#include "bookkeeping/BFMisc_amount.h"
#include "reports/BFPrint.h"
#include "shell/ETider.h"

namespace reports {

namespace {

constexpr int kSumColumn = 69;

// "#" and the group in two places.
std::string GroupNumber(int value) {
  char s[8];
  std::snprintf(s, sizeof s, "#%2d", value);
  return s;
}

}  // namespace

bool ReportMonth(bf::BfShared& s, bf::SumsRecord& month) {
  const std::string now = etider::Format(12);  // yyyy-mm
  bool found = false;
  const bool read = bf::ForEachMonth(s, [&](const bf::SumsRecord& m, int32_t) {
    if (m.month == now || !found || (month.month != now && m.month > month.month)) {
      month = m;
      found = true;
    }
    return m.month != now;
  });
  return read && found;
}

SumGroups SumGroupsOf(bf::BfShared& s) {
  SumGroups groups;
  groups.definitions = s.dataBas.sumGroups;
  bf::SumsRecord month;
  if (ReportMonth(s, month)) {
    groups.month = month.month;
    for (size_t g = 0; g < groups.balances.size(); ++g) groups.balances[g] = month.groupBalances[g].Value();
  }
  return groups;
}

void LayOutSumGroups(printing::PrintJob& job, const bf::BfDataBasRecord& list, const SumGroups& groups) {
  ReportHead(job, list, true);
  job.Need("", 1);
  At(job, 1, "Grupp. Range= XXXX..YYYY. Single= ,ZZZZ");
  At(job, kSumColumn, "Summa.....");
  job.WriteLn();
  job.Need("", 9);
  for (int g = 0; g < bf::kGroupCount; ++g) {
    const auto i = static_cast<size_t>(g);
    At(job, 1, GroupNumber(g));
    At(job, 5, groups.definitions[i]);
    AmountAt(job, kSumColumn, groups.balances[i]);
    job.WriteLn();
  }
}

}  // namespace reports
