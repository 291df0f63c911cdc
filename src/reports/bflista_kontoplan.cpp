#include "reports/bflista_kontoplan.h"

#include "reports/BFPrint.h"

namespace reports {

AccountPlan AccountPlanOf(const std::vector<bf::KontoRecord>& accounts) {
  AccountPlan plan{accounts, 0, 0};
  for (const bf::KontoRecord& k : accounts) {
    plan.opening += k.opening.Value();
    plan.budget += k.budget.Value();
  }
  plan.opening = bf::WholeOre(plan.opening);
  plan.budget = bf::WholeOre(plan.budget);
  return plan;
}

void LayOutAccountPlan(printing::PrintJob& job, const bf::BfDataBasRecord& list, const AccountPlan& plan) {
  job.PushFont('N');
  ColumnHead(job, list, {{1, "Konto"}, {8, "Namn.."}, {24, "IngBalans."}, {36, "Budget...."}, {48, "D/K"}}, true);
  const int n = static_cast<int>(plan.accounts.size());
  for (int i = 0; i < n && !job.Aborted(); ++i) {
    const bf::KontoRecord& k = plan.accounts[static_cast<size_t>(i)];
    AccountProgress(job, i + 1, n, k);
    AccountLineStart(job, k);
    AmountAt(job, 24, k.opening.Value());
    AmountAt(job, 36, k.budget.Value());
    At(job, 48, std::string(1, k.sign));
    job.WriteLn();
  }
  job.Need("", 2);
  job.WriteLn();
  At(job, 1, "      Summa:");
  AmountAt(job, 24, plan.opening);
  AmountAt(job, 36, plan.budget);
  job.WriteLn();
  job.PopFont();
}

}  // namespace reports
