#include "app/bfnolk_print_json.h"

#include <type_traits>

#include "app/bfnolk_json.h"

namespace bfnolk {

namespace {

using namespace reports;

JsonObject AccountHead(const bf::KontoRecord& k) {
  JsonObject o;
  o.Text("nummer", k.number).Text("namn", k.name);
  return o;
}

void Ledger(JsonObject& o, const reports::Ledger& ledger) {
  JsonArray accounts;
  for (const LedgerAccount& a : ledger.accounts) {
    JsonArray rows;
    for (const LedgerRow& row : a.rows) {
      const VerificationHead& v = ledger.verifications[static_cast<size_t>(row.verification)];
      rows.Add(JsonObject().Number("ver", v.number).Text("datum", v.date).Text("text", v.text)
                   .Text("sida", std::string(1, row.side)).Amount("belopp", row.amount));
    }
    const bf::KontoRecord& k = a.account;
    accounts.Add(AccountHead(k).Raw("rader", rows.str()).Amount("ingaende", k.opening.Value())
                     .Amount("debet", k.debit.Value()).Amount("kredit", k.credit.Value())
                     .Amount("utgaende", k.closing.Value()).Amount("budget", k.budget.Value()));
  }
  o.Raw("konton", accounts.str()).Amount("debet", ledger.debit).Amount("kredit", ledger.credit);
}

void Journal(JsonObject& o, const reports::Journal& journal) {
  JsonArray verifications;
  for (const JournalVerification& v : journal.verifications) {
    JsonArray rows;
    for (size_t r = 0; r < v.rows.size(); ++r) {
      const JournalRow& row = v.rows[r];
      JsonObject line;
      line.Number("rad", static_cast<long long>(r + 1)).Text("konto", bf::KontoKey(row.account));
      if (row.name) line.Text("namn", *row.name);
      else line.Raw("namn", "null");
      rows.Add(line.Text("sida", std::string(1, row.side)).Amount("belopp", row.amount));
    }
    verifications.Add(JsonObject().Number("nummer", v.head.number).Text("datum", v.head.date)
                          .Text("text", v.head.text).Raw("rader", rows.str()).Amount("debet", v.debit)
                          .Amount("kredit", v.credit));
  }
  o.Raw("verifikationer", verifications.str()).Amount("debet", journal.debit).Amount("kredit", journal.credit);
}

void Plan(JsonObject& o, const AccountPlan& plan) {
  JsonArray accounts;
  for (const bf::KontoRecord& k : plan.accounts)
    accounts.Add(AccountHead(k).Amount("ingaende", k.opening.Value()).Amount("budget", k.budget.Value())
                     .Text("tecken", std::string(1, k.sign)));
  o.Raw("konton", accounts.str()).Amount("ingaende", plan.opening).Amount("budget", plan.budget);
}

void Balances(JsonObject& o, const BalanceList& list) {
  JsonArray accounts;
  for (const bf::KontoRecord& k : list.accounts)
    accounts.Add(AccountHead(k).Amount("ingaende", k.opening.Value()).Amount("debet", k.debit.Value())
                     .Amount("kredit", k.credit.Value()).Amount("utgaende", k.closing.Value()));
  o.Raw("konton", accounts.str()).Amount("ingaende", list.opening).Amount("debet", list.debit)
      .Amount("kredit", list.credit).Amount("utgaende", list.closing);
}

JsonObject& Add(JsonObject& o, const StatementFigures& f, bool shown) {
  o.Amount("belopp", f.closing);
  if (!shown) return o.Raw("budget", "null").Raw("procent", "null").Raw("avvikelse", "null");
  return o.Amount("budget", f.budgetToDate).Amount("procent", f.percent).Amount("avvikelse", f.deviation);
}

JsonObject& Add(JsonObject& o, const BalanceFigures& f, bool) {
  return o.Amount("ingaende", f.opening).Amount("forandring", f.change).Amount("utgaende", f.closing);
}

bool Shown(const StatementFigures& f) { return f.budgeted; }
bool Shown(const BalanceFigures&) { return true; }

// The sections of a statement: title, account lines, sum lines.
template <typename Figures>
std::string Sections(const std::vector<bf::KontoRecord>& chosen, const std::vector<Section<Figures>>& sections) {
  JsonArray all;
  for (const Section<Figures>& section : sections) {
    JsonArray lines;
    for (const SectionLine<Figures>& line : section.lines) {
      JsonObject o = AccountHead(chosen[line.account]);
      lines.Add(Add(o, line.figures, Shown(line.figures)));
    }
    JsonArray sums;
    for (const SectionSum<Figures>& sum : section.sums) {
      JsonObject o;
      o.Text("typ", sum.result ? "resultat" : "summa").Text("text", sum.label);
      sums.Add(Add(o, sum.figures, true));
    }
    all.Add(JsonObject().Text("rubrik", section.title).Raw("konton", lines.str()).Raw("summor", sums.str()));
  }
  return all.str();
}

void Groups(JsonObject& o, const SumGroups& groups) {
  JsonArray all;
  for (size_t g = 0; g < groups.definitions.size(); ++g)
    all.Add(JsonObject().Number("grupp", static_cast<long long>(g)).Text("definition", groups.definitions[g])
                .Amount("saldo", groups.balances[g]));
  if (groups.month.empty()) o.Raw("manad", "null");
  else o.Text("manad", groups.month);
  o.Raw("grupper", all.str());
}

void Chart(JsonObject& o, const GroupChart& chart) {
  JsonArray groups;
  for (size_t g = 0; g < chart.names.size(); ++g)
    groups.Add(JsonObject().Number("grupp", static_cast<long long>(g)).Text("definition", chart.names[g])
                   .Amount("saldo", chart.balances[g]));
  JsonArray months;
  for (const GroupChart::Month& m : chart.months) {
    JsonArray balances;
    for (const double b : m.balances) balances.AddRaw(JsonAmount(b));
    months.Add(JsonObject().Text("manad", m.month).Raw("saldon", balances.str()));
  }
  o.Raw("grupper", groups.str()).Raw("manader", months.str());
}

void Body(JsonObject& o, const Content& content) {
  std::visit(
      [&o](const auto& c) {
        using T = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<T, reports::Ledger>) Ledger(o, c);
        if constexpr (std::is_same_v<T, reports::Journal>) Journal(o, c);
        if constexpr (std::is_same_v<T, AccountPlan>) Plan(o, c);
        if constexpr (std::is_same_v<T, BalanceList>) Balances(o, c);
        if constexpr (std::is_same_v<T, IncomeStatement>)
          o.Number("divisor", c.divisor).Raw("avsnitt", Sections(c.accounts, c.sections));
        if constexpr (std::is_same_v<T, BalanceSheet>) o.Raw("avsnitt", Sections(c.accounts, c.sections));
        if constexpr (std::is_same_v<T, SumGroups>) Groups(o, c);
        if constexpr (std::is_same_v<T, GroupChart>) Chart(o, c);
      },
      content);
}

}  // namespace

std::string ReportJson(const Report& report, const bf::BfDataBasRecord& list, const Content& content) {
  JsonObject books;
  books.Text("nummer", list.number).Text("namn", list.name).Text("fom", list.fromDate).Text("tom", list.toDate);
  JsonObject o;
  o.Text("rapport", report.word).Text("titel", report.title).Raw("bokforing", books.str());
  Body(o, content);
  return o.str();
}

}  // namespace bfnolk
