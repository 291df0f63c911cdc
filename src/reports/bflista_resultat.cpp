#include "reports/bflista_resultat.h"

#include <optional>

#include "bookkeeping/BFMisc_amount.h"
#include "common/Ansi.h"
#include "reports/BFPrint.h"

namespace reports {

namespace {

struct SectionRule {
  int code;
  int low;   // included
  int high;  // excluded
  const char* title;
  const char* sumLabel;
};

constexpr SectionRule kSections[] = {
    {10, 1000, 2000, "Tillgångar ..", "Tillgångar :"},
    {20, 2000, 2900, "Skulder och eget kapital..", "Skulder och kapital:"},
    {29, 2900, 3000, "Eget kapital ..", "Eget kapital :"},
    {30, 3000, 4000, "Intäkter ..", "Intäkter :"},
    {40, 4000, 5000, "Kostnader varor/matriel", "Varor/Material:"},
    {50, 5000, 6000, "Kostnader personal..", "Personal:"},
    {60, 6000, 7000, "Kostnader I", "Kostnader I:"},
    {70, 7000, 8000, "Kostnader II", "Kostnader II:"},
    {80, 8000, 9999, "Intäkter och kostnader utanför resultat ..", "Intäkt/kostn"},
};

// The number at [at, at + length) of a date text; none when it is not all digits.
std::optional<int> DatePart(const std::string& date, size_t at, size_t length) {
  if (date.size() < at + length) return std::nullopt;
  int value = 0;
  for (size_t i = at; i < at + length; ++i) {
    if (date[i] < '0' || date[i] > '9') return std::nullopt;
    value = value * 10 + (date[i] - '0');
  }
  return value;
}

// Figures summed: the percentage is the sum's own.
void Add(StatementFigures& sum, const StatementFigures& f) {
  sum.closing = bf::WholeOre(sum.closing + f.closing);
  sum.budgetToDate = bf::WholeOre(sum.budgetToDate + f.budgetToDate);
  sum.deviation = bf::WholeOre(sum.deviation + f.deviation);
  sum.percent = sum.budgetToDate != 0 ? bf::WholeOre(sum.deviation / sum.budgetToDate * 100) : 0;
}

}  // namespace

int BudgetDivisor(const std::string& from, const std::string& to, const etider::DateTime& today) {
  const std::optional<int> toYear = DatePart(to, 0, 4);
  if (toYear && today.year > *toYear) return 1;
  const std::optional<int> toMonth = DatePart(to, 5, 2);
  const std::optional<int> fromYear = DatePart(from, 0, 4);
  const std::optional<int> fromMonth = DatePart(from, 5, 2);
  if (!toYear || !toMonth || !fromYear || !fromMonth) return 0;  // no period to divide
  const int total = (*toYear - *fromYear) * 12 + *toMonth - *fromMonth + 1;
  const int elapsed = (today.year - *fromYear) * 12 + today.month - *fromMonth + 1;
  // Before the period, or a period that ends before it starts: no budget to date.
  if (elapsed < 1 || total < 1) return 0;
  return total / elapsed;
}

StatementFigures AccountFigures(const bf::KontoRecord& account, int divisor) {
  StatementFigures f;
  f.closing = account.closing.Value();
  const double budget = account.budget.Value();
  if (budget == 0 || divisor == 0) return f;
  const double toDate = budget / divisor;
  const double deviation = toDate - (account.debit.Value() - account.credit.Value());
  f.budgetToDate = bf::WholeOre(toDate);
  f.deviation = bf::WholeOre(deviation);
  f.percent = bf::WholeOre(deviation / toDate * 100);
  f.budgeted = true;
  return f;
}

IncomeStatement IncomeStatementOf(const std::vector<bf::KontoRecord>& accounts, const bf::BfDataBasRecord& list,
                                  const etider::DateTime& today) {
  IncomeStatement statement{accounts, BudgetDivisor(list.fromDate, list.toDate, today), {}};
  StatementFigures result, group;
  for (const SectionRule& rule : kSections) {
    Section<StatementFigures> section{A(rule.title), {}, {}};
    StatementFigures sum;
    for (size_t i = 0; i < accounts.size(); ++i) {
      const std::optional<int> number = bf::RowAccount(accounts[i].number);
      if (!number || *number < rule.low || *number >= rule.high) continue;
      const StatementFigures f = AccountFigures(accounts[i], statement.divisor);
      section.lines.push_back({i, f});
      for (StatementFigures* total : {&result, &group, &sum}) Add(*total, f);
    }
    section.sums.push_back({false, A(rule.sumLabel), sum});
    if (rule.code == 29 || rule.code == 70) {
      section.sums.push_back({false, A(rule.code == 29 ? "Tillg/skulder" : "Intäkter/kostnader"), group});
      group = {};
    }
    if (rule.code == 70) section.sums.push_back({true, A("Resultat före:"), result});
    if (rule.code == 80) section.sums.push_back({true, A("Årets resultat:"), result});
    statement.sections.push_back(std::move(section));
  }
  return statement;
}

void LayOutIncomeStatement(printing::PrintJob& job, const bf::BfDataBasRecord& list, const IncomeStatement& statement) {
  ColumnHead(job, list,
             {{1, "Konto"}, {8, "Namn.."}, {34, "Belopp...."}, {46, "Budget...."}, {58, "Avvik%...."}, {70, "AvvikKr..."}},
             true);
  LayOutSections<StatementFigures>(job, statement.accounts, statement.sections,
                                   [&job](const StatementFigures& f, bool sum) {
                                     AmountAt(job, 34, f.closing);
                                     if (!sum && !f.budgeted) return;
                                     AmountAt(job, 46, f.budgetToDate);
                                     At(job, 58, " %" + bf::AmountText(f.percent, 8));
                                     AmountAt(job, 70, f.deviation);
                                   });
}

}  // namespace reports
