#include "reports/BFPrint_pick.h"

#include <memory>

#include "bookkeeping_ui/bfpick32.h"
#include "common/Ansi.h"

namespace reports {

std::optional<Selection> PickSelection(ereg::PickWindows& windows, bf::BfShared& s, const Report& report) {
  Selection selection;
  if (report.choice == Choice::kNone) return selection;
  const bool accounts = report.choice == Choice::kAccounts;
  std::unique_ptr<ereg::TEPick> pick;
  if (accounts) pick = std::make_unique<bf::TKontoPick>(windows, s, A("Välj konto(n)"), true);
  else pick = std::make_unique<bf::TVerPick>(windows, s, A("Välj verifikation(er)"), true);
  pick->Run();
  if (!pick->OkExec()) return std::nullopt;
  for (int i = 0;; ++i) {
    const int32_t recNo = pick->GetPickData(i);
    if (recNo < 1) break;
    if (accounts) selection.accounts.push_back(s.konto);
    else selection.verifications.push_back(recNo);
  }
  return selection;
}

bool RunReport(ereg::PickWindows& windows, printing::PrintJob& job, bf::BfShared& s, const Report& report,
               const glodefs::TRapportEnv& setting, esmall::WindowHandle owner) {
  if (!EnoughData(s, report)) return false;
  const std::optional<Selection> selection = PickSelection(windows, s, report);
  return selection && PrintReport(job, s, report, *selection, setting, owner);
}

bool ShowGroups(ereg::PickWindows& windows, bf::BfShared& s, const std::function<void(const GroupChart&)>& show) {
  const Report* chart = FindReport("grafiskt");
  if (!EnoughData(s, *chart)) return false;
  const std::optional<GroupChart> groups = GroupChartOf(s);
  if (!groups) return false;
  show(*groups);
  bf::TGruppPick pick(windows, s, A("Välj grupp"), false);
  pick.Run();
  return true;
}

}  // namespace reports
