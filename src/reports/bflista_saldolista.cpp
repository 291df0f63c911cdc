#include "reports/bflista_saldolista.h"

#include "reports/BFPrint.h"

namespace reports {

namespace {

constexpr int kColumns[4] = {26, 40, 54, 68};

void Figures(printing::PrintJob& job, double opening, double debit, double credit, double closing) {
  const double figures[4] = {opening, debit, credit, closing};
  for (int i = 0; i < 4; ++i) AmountAt(job, kColumns[i], figures[i]);
  job.WriteLn();
}

}  // namespace

BalanceList BalanceListOf(const std::vector<bf::KontoRecord>& accounts) {
  BalanceList list{accounts, 0, 0, 0, 0};
  for (const bf::KontoRecord& k : accounts) {
    list.opening += k.opening.Value();
    list.debit += k.debit.Value();
    list.credit += k.credit.Value();
    list.closing += k.closing.Value();
  }
  for (double* sum : {&list.opening, &list.debit, &list.credit, &list.closing}) *sum = bf::WholeOre(*sum);
  return list;
}

void LayOutBalanceList(printing::PrintJob& job, const bf::BfDataBasRecord& list, const BalanceList& balances) {
  ColumnHead(job, list,
             {{1, "Konto"}, {8, "Namn.."}, {26, "IngSaldo.."}, {40, "Debet....."}, {54, "Kredit...."}, {68, "UtgSaldo.."}},
             true);
  const int n = static_cast<int>(balances.accounts.size());
  for (int i = 0; i < n && !job.Aborted(); ++i) {
    const bf::KontoRecord& k = balances.accounts[static_cast<size_t>(i)];
    AccountProgress(job, i + 1, n, k);
    AccountLineStart(job, k);
    Figures(job, k.opening.Value(), k.debit.Value(), k.credit.Value(), k.closing.Value());
  }
  job.Need("", 2);
  job.WriteLn();
  At(job, 1, "      Saldotaler:");
  Figures(job, balances.opening, balances.debit, balances.credit, balances.closing);
}

}  // namespace reports
