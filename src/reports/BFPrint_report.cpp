#include "reports/BFPrint_report.h"

#include "common/Ansi.h"
#include "reports/BFPrint.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "storage/Filer.h"

namespace reports {

namespace {

template <typename T>
std::optional<Content> Made(std::optional<T> content) {
  if (!content) return std::nullopt;
  return Content(std::move(*content));
}

constexpr Report kReports[] = {
    {"huvudbok", "Huvudbok", Choice::kAccounts, Needs::kAccountsAndVerifications,
     [](bf::BfShared& s, const Selection& c) { return Made(LedgerOf(s, c.accounts)); }},
    {"grundbok", "Grundbok", Choice::kVerifications, Needs::kVerifications,
     [](bf::BfShared& s, const Selection& c) { return Made(JournalOf(s, c.verifications)); }},
    {"kontoplan", "Kontoplan", Choice::kAccounts, Needs::kAccounts,
     [](bf::BfShared&, const Selection& c) { return std::optional<Content>(AccountPlanOf(c.accounts)); }},
    {"saldolista", "Saldolista", Choice::kAccounts, Needs::kAccounts,
     [](bf::BfShared&, const Selection& c) { return std::optional<Content>(BalanceListOf(c.accounts)); }},
    {"resultat", "Resultatlista", Choice::kAccounts, Needs::kAccounts,
     [](bf::BfShared& s, const Selection& c) {
       return std::optional<Content>(IncomeStatementOf(c.accounts, s.dataBas, etider::Today()));
     }},
    {"balans", "Balansrapport", Choice::kAccounts, Needs::kAccounts,
     [](bf::BfShared&, const Selection& c) { return std::optional<Content>(BalanceSheetOf(c.accounts)); }},
    {"summagrupper", "Summagrupper", Choice::kNone, Needs::kAccounts,
     [](bf::BfShared& s, const Selection&) { return std::optional<Content>(SumGroupsOf(s)); }},
    {"grafiskt", "Summagrupper grafiskt", Choice::kNone, Needs::kMonths,
     [](bf::BfShared& s, const Selection&) { return Made(GroupChartOf(s)); }},
};

bool InUse(isam::FileBlock* file) { return file != nullptr && isam::UsedRecs(file) > 0; }

}  // namespace

std::span<const Report> Reports() { return kReports; }

const Report* FindReport(std::string_view word) {
  for (const Report& r : kReports)
    if (word == r.word) return &r;
  return nullptr;
}

bool EnoughData(bf::BfShared& s, const Report& report) {
  bool enough = false;
  switch (report.needs) {
    case Needs::kAccounts: enough = InUse(s.kontoFile); break;
    case Needs::kAccountsAndVerifications: enough = InUse(s.kontoFile) && InUse(s.verFile); break;
    case Needs::kVerifications: enough = InUse(s.verFile); break;
    case Needs::kMonths: enough = InUse(s.sumsFile); break;
  }
  if (!enough) eerror::EMsg(eerror::kStatusLine, A("Ej tillräckliga data!"));
  return enough;
}

void LayOut(printing::PrintJob& job, const bf::BfDataBasRecord& list, const Content& content) {
  std::visit(
      [&](const auto& c) {
        using T = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<T, Ledger>) LayOutLedger(job, list, c);
        if constexpr (std::is_same_v<T, Journal>) LayOutJournal(job, list, c);
        if constexpr (std::is_same_v<T, AccountPlan>) LayOutAccountPlan(job, list, c);
        if constexpr (std::is_same_v<T, BalanceList>) LayOutBalanceList(job, list, c);
        if constexpr (std::is_same_v<T, IncomeStatement>) LayOutIncomeStatement(job, list, c);
        if constexpr (std::is_same_v<T, BalanceSheet>) LayOutBalanceSheet(job, list, c);
        if constexpr (std::is_same_v<T, SumGroups>) LayOutSumGroups(job, list, c);
        if constexpr (std::is_same_v<T, GroupChart>) LayOutGroupChart(job, list, c);
      },
      content);
}

bool PrintReport(printing::PrintJob& job, bf::BfShared& s, const Report& report, const Selection& selection,
                 const glodefs::TRapportEnv& setting, esmall::WindowHandle owner) {
  const std::optional<Content> content = report.content(s, selection);
  if (!content) return false;
  if (!job.printerinit(false, report.word, setting, owner)) {
    job.printerexit(true);
    return false;
  }
  Title(job, report.title);
  LayOut(job, s.dataBas, *content);
  job.ClosingPictures();
  job.printerexit(false);
  return true;
}

}  // namespace reports
