#include "reports/BFPrint_huvudbok.h"

#include "bookkeeping/BFMisc_amount.h"
#include "common/Ansi.h"
#include "shell/ESmall.h"

namespace reports {

namespace {

constexpr int kAccountValues = 10000;

void AccountHead(printing::PrintJob& job, const bf::KontoRecord& account) {
  job.Need("", 3);
  At(job, 2, "Konto: " + account.number);
  At(job, 16, account.name);
  job.WriteLn();
  job.WriteLn();
  At(job, 2, "Ver");
  At(job, 9, "Datum.....");
  At(job, 23, "Text");
  At(job, 53, "Debet.....");
  At(job, 65, "Kredit....");
  job.WriteLn();
}

void AccountFoot(printing::PrintJob& job, const bf::KontoRecord& account) {
  job.Need("", 6);
  job.WriteLn();
  At(job, 2, A("Ingående balans:"));
  AmountAt(job, 32, account.opening.Value());
  job.WriteLn();
  At(job, 2, "Omslutning:");
  AmountAt(job, 44, account.debit.Value());
  AmountAt(job, 56, account.credit.Value());
  job.WriteLn();
  At(job, 2, A("Utgående balans:"));
  AmountAt(job, 32, account.closing.Value());
  job.WriteLn();
  At(job, 2, "Budget:");
  AmountAt(job, 32, account.budget.Value());
  job.WriteLn();
  job.Rule();
  job.WriteLn();
}

}  // namespace

std::optional<Ledger> LedgerOf(bf::BfShared& s, const std::vector<bf::KontoRecord>& accounts) {
  Ledger ledger;
  // The chosen accounts each row value names (more than one where numbers repeat).
  std::vector<std::vector<int32_t>> named(kAccountValues);
  for (const bf::KontoRecord& account : accounts) {
    if (const std::optional<int> value = RowValue(account.number))
      named[static_cast<size_t>(*value)].push_back(static_cast<int32_t>(ledger.accounts.size()));
    ledger.accounts.push_back({account, {}});
    ledger.debit += account.debit.Value();
    ledger.credit += account.credit.Value();
  }
  ledger.debit = bf::WholeOre(ledger.debit);
  ledger.credit = bf::WholeOre(ledger.credit);

  const bool read = bf::ForEachVerification(s, [&](const bf::VerRecord& v, int32_t) {
    int32_t head = -1;
    for (int r = 1; r <= v.RowCount(); ++r) {
      const auto row = static_cast<size_t>(r);
      const int value = v.accounts[row];
      if (value < 0 || value >= kAccountValues) continue;
      for (const int32_t a : named[static_cast<size_t>(value)]) {
        if (head < 0) {
          head = static_cast<int32_t>(ledger.verifications.size());
          ledger.verifications.push_back({v.number, v.date, v.name});
        }
        ledger.accounts[static_cast<size_t>(a)].rows.push_back({head, v.sides[row], v.amounts[row].Value()});
      }
    }
    return true;
  });
  if (!read) return std::nullopt;
  return ledger;
}

void LayOutLedger(printing::PrintJob& job, const bf::BfDataBasRecord& list, const Ledger& ledger) {
  ReportHead(job, list, true);
  job.Need("", 1);
  job.WriteLn();
  const int n = static_cast<int>(ledger.accounts.size());
  for (int i = 0; i < n && !job.Aborted(); ++i) {
    const LedgerAccount& a = ledger.accounts[static_cast<size_t>(i)];
    AccountProgress(job, i + 1, n, a.account);
    AccountHead(job, a.account);
    for (const LedgerRow& row : a.rows) {
      if (job.Aborted()) break;
      const VerificationHead& v = ledger.verifications[static_cast<size_t>(row.verification)];
      job.Need("", 1);
      At(job, 2, esmall::BlankPadded(v.number, 3));
      At(job, 9, v.date);
      At(job, 23, v.text);
      const Side side = SideOf(row.side);
      if (side == Side::kDebit) job.Tab(53);
      if (side == Side::kCredit) job.Tab(65);
      job.WriteLn(bf::AmountText(row.amount, 10));
    }
    AccountFoot(job, a.account);
  }
  job.Need("", 2);
  job.WriteLn();
  At(job, 2, "Omslutning: ******");
  AmountAt(job, 44, ledger.debit);
  AmountAt(job, 56, ledger.credit);
  job.WriteLn();
}

}  // namespace reports
