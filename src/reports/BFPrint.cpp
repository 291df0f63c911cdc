#include "reports/BFPrint.h"

#include <cstdio>

#include "bookkeeping/BFMisc_amount.h"
#include "common/Ansi.h"

namespace reports {

namespace {

constexpr size_t kCompany = 29;
constexpr int kHeadGroups = 7;

std::string Number(int value, int width) {
  char s[16];
  std::snprintf(s, sizeof s, "%*d", width, value);
  return s;
}

// Column of group i (1..7) on the two group lines of the head.
int GroupColumn(int i) { return 11 * (i - 1) + 1; }

}  // namespace

Side SideOf(char side) {
  if (side == 'D' || side == 'd' || side == '+') return Side::kDebit;
  if (side == 'K' || side == 'k' || side == '-') return Side::kCredit;
  return Side::kNeither;
}

std::optional<int> RowValue(const std::string& number) {
  if (number.size() != 4) return std::nullopt;
  return bf::RowAccount(number);
}

void At(printing::PrintJob& job, int column, const std::string& text) {
  job.Tab(column);
  job.Write(text);
}

void AmountAt(printing::PrintJob& job, int column, double amount) { At(job, column, bf::AmountText(amount, 10)); }

void AccountProgress(printing::PrintJob& job, int i, int n, const bf::KontoRecord& account) {
  job.Progress(i, n);
  job.StatusLine(2, "Konto: " + account.number);
}

void AccountLineStart(printing::PrintJob& job, const bf::KontoRecord& account) {
  job.Need("", 1);
  At(job, 1, account.number);
  At(job, 8, account.name);
}

void Title(printing::PrintJob& job, const std::string& title) {
  job.PushFont('B');
  job.Need("", 1);
  job.WriteLn(title);
  job.PopFont();
  job.StatusLine(1, title);
}

void ReportHead(printing::PrintJob& job, const bf::BfDataBasRecord& list, bool values) {
  if (!values) {
    job.Need("", 2);
    job.Write(A("Nr  Företag"));
    At(job, 32, "Fom datum");
    At(job, 43, "Tom datum");
    At(job, 54, "Summa:");
    At(job, 64, "Giro:");
    At(job, 74, "nVer:");
    job.WriteLn();
    std::string sums;
    for (int i = 1; i <= kHeadGroups; ++i) sums += "#" + std::to_string(i) + " sum:   ";
    job.WriteLn(sums);
    job.Rule();
    return;
  }
  job.Tab(1);
  job.Need("", 3);
  job.Write((list.number + " " + list.name).substr(0, kCompany));
  At(job, 32, list.fromDate);
  At(job, 43, list.toDate);
  At(job, 54, bf::AmountText(list.grandTotal, 10));
  At(job, 64, bf::AmountText(list.total1020, 10));
  At(job, 74, Number(list.lastVerNr, 4));
  job.WriteLn();
  for (const bool withOpening : {false, true}) {
    for (int i = 1; i <= kHeadGroups; ++i) {
      const auto g = static_cast<size_t>(i);
      const double sum = list.groupTotals[g] + (withOpening ? list.groupOpeningTotals[g] : 0.0);
      At(job, GroupColumn(i), bf::AmountText(sum, 10) + (i < kHeadGroups ? " " : ""));
    }
    job.WriteLn();
  }
  job.Rule();
}

void ColumnHead(printing::PrintJob& job, const bf::BfDataBasRecord& list, const std::vector<ColumnText>& heads,
                bool emptyLine) {
  ReportHead(job, list, true);
  job.Need("", 2);
  for (const ColumnText& head : heads) At(job, head.column, head.text);
  job.WriteLn();
  if (emptyLine) job.WriteLn();
}

}  // namespace reports
