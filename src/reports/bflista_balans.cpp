#include "reports/bflista_balans.h"

#include <cmath>
#include <optional>

#include "common/Ansi.h"
#include "reports/BFPrint.h"

namespace reports {

namespace {

struct SectionRule {
  int low;   // both included
  int high;
  const char* title;
  const char* sumLabel;
};

constexpr SectionRule kSections[] = {
    {1000, 1499, "Tillgångar 1. ..", "Summa omsättning 1.:"},
    {1500, 1599, "Tillgångar 2. ..", "Summa omsättning 2.:"},
    {1800, 1999, "Anläggningstillgångar..", "Summa anläggningar:"},
    {2000, 2899, "Skulder..", "Summa skulder:"},
    {2900, 2999, "Eget kapital..", "Summa eget kapital:"},
};
constexpr size_t kLastAssets = 2;  // the section after which the assets are summed

void Add(BalanceFigures& sum, const BalanceFigures& f) {
  sum.opening = bf::WholeOre(sum.opening + f.opening);
  sum.change = bf::WholeOre(sum.change + f.change);
  sum.closing = bf::WholeOre(sum.closing + f.closing);
}

BalanceFigures Negated(const BalanceFigures& f) { return {-f.opening, -f.change, -f.closing}; }

}  // namespace

BalanceSheet BalanceSheetOf(const std::vector<bf::KontoRecord>& accounts) {
  BalanceSheet sheet{accounts, {}};
  BalanceFigures total, assets;
  for (size_t s = 0; s < std::size(kSections); ++s) {
    const SectionRule& rule = kSections[s];
    Section<BalanceFigures> section{A(rule.title), {}, {}};
    BalanceFigures sum;
    for (size_t i = 0; i < accounts.size(); ++i) {
      const std::optional<int> number = bf::RowAccount(accounts[i].number);
      if (!number || *number < rule.low || *number > rule.high) continue;
      const bf::KontoRecord& k = accounts[i];
      const double change = bf::WholeOre(std::fabs(k.debit.Value()) - std::fabs(k.credit.Value()));
      const BalanceFigures f{k.opening.Value(), change, bf::WholeOre(k.opening.Value() + change)};
      section.lines.push_back({i, f});
      Add(total, f);
      Add(sum, f);
    }
    section.sums.push_back({false, A(rule.sumLabel), sum});
    if (s == kLastAssets) {
      assets = total;
      section.sums.push_back({true, A("Summa tillgångar:"), assets});
    }
    if (s + 1 == std::size(kSections)) {
      section.sums.push_back({true, A("Beräknat eget kapital:"), Negated(total)});
      section.sums.push_back({true, A("Summa skulder kapital:"), Negated(assets)});
    }
    sheet.sections.push_back(std::move(section));
  }
  return sheet;
}

void LayOutBalanceSheet(printing::PrintJob& job, const bf::BfDataBasRecord& list, const BalanceSheet& sheet) {
  // Column 1 holds the account numbers, headed as in the other reports.
  ColumnHead(job, list, {{1, "Konto"}, {8, "Namn.."}, {38, "inSaldo..."}, {50, "Saldo....."}, {62, "utSaldo..."}},
             false);
  LayOutSections<BalanceFigures>(job, sheet.accounts, sheet.sections, [&job](const BalanceFigures& f, bool) {
    AmountAt(job, 38, f.opening);
    AmountAt(job, 50, f.change);
    AmountAt(job, 62, f.closing);
  });
}

}  // namespace reports
