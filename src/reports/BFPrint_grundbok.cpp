#include "reports/BFPrint_grundbok.h"

#include <algorithm>
#include <map>

#include "bookkeeping/BFMisc_amount.h"
#include "shell/ESmall.h"

namespace reports {

namespace {

constexpr int kKeptRows = 42;

}  // namespace

std::optional<Journal> JournalOf(bf::BfShared& s, const std::vector<int32_t>& recNos) {
  // The names by the value rows give; the first account in key order where numbers repeat.
  std::map<int, std::string> names;
  const bool accountsRead = bf::ForEachAccount(s, [&](const bf::KontoRecord& k, int32_t) {
    if (const std::optional<int> value = RowValue(k.number)) names.emplace(*value, k.name);
    return true;
  });
  if (!accountsRead) return std::nullopt;

  Journal journal;
  for (const int32_t recNo : recNos) {
    bf::VerRecord v;
    const bf::Lookup lookup = bf::ReadVerification(s, recNo, v);
    if (lookup == bf::Lookup::kFailed) return std::nullopt;
    if (lookup == bf::Lookup::kAbsent) break;
    JournalVerification jv{{v.number, v.date, v.name}, {}, 0, 0};
    for (int r = 1; r <= v.RowCount(); ++r) {
      const auto i = static_cast<size_t>(r);
      JournalRow row{v.accounts[i], std::nullopt, v.sides[i], v.amounts[i].Value()};
      if (const auto found = names.find(row.account); found != names.end()) row.name = found->second;
      if (SideOf(row.side) == Side::kDebit) jv.debit += row.amount;
      if (SideOf(row.side) == Side::kCredit) jv.credit += row.amount;
      jv.rows.push_back(std::move(row));
    }
    jv.debit = bf::WholeOre(jv.debit);
    jv.credit = bf::WholeOre(jv.credit);
    journal.debit += jv.debit;
    journal.credit += jv.credit;
    journal.verifications.push_back(std::move(jv));
  }
  journal.debit = bf::WholeOre(journal.debit);
  journal.credit = bf::WholeOre(journal.credit);
  return journal;
}

void LayOutJournal(printing::PrintJob& job, const bf::BfDataBasRecord& list, const Journal& journal) {
  ColumnHead(job, list, {{1, "Ver"}, {5, "Rad"}, {9, "Konto"}, {17, "Text"}, {44, "Debet....."}, {56, "Kredit...."}},
             true);
  const int n = static_cast<int>(journal.verifications.size());
  for (int i = 0; i < n && !job.Aborted(); ++i) {
    const JournalVerification& v = journal.verifications[static_cast<size_t>(i)];
    const std::string number = esmall::BlankPadded(v.head.number, 3);
    job.Progress(i + 1, n);
    job.StatusLine(2, "VerNr: " + number);
    job.Room(true, std::min(static_cast<int>(v.rows.size()), kKeptRows) + 3);
    const std::string continued = "vernr: " + number;
    job.Need(continued, 1);
    At(job, 1, number);
    At(job, 5, v.head.date);
    At(job, 17, v.head.text);
    job.WriteLn();
    for (size_t r = 0; r < v.rows.size(); ++r) {
      const JournalRow& row = v.rows[r];
      job.Need(continued, 1);
      At(job, 5, esmall::BlankPadded(static_cast<long long>(r + 1), 3));
      At(job, 9, esmall::BlankPadded(row.account, 4));
      if (row.name) At(job, 17, *row.name);
      const Side side = SideOf(row.side);
      if (side == Side::kDebit) job.Tab(44);
      if (side == Side::kCredit) job.Tab(56);
      job.WriteLn(bf::AmountText(row.amount, 10));
    }
    job.Need(continued, 1);
    AmountAt(job, 44, v.debit);
    AmountAt(job, 56, v.credit);
    job.WriteLn();
    job.Need("", 1);
    job.WriteLn();
  }
  job.Need("", 2);
  job.WriteLn();
  At(job, 32, "Omslutning:");
  AmountAt(job, 44, journal.debit);
  AmountAt(job, 56, journal.credit);
  job.WriteLn();
}

}  // namespace reports
