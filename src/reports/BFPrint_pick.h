// The reports as the main window runs them: the data checked, the user's choice taken from
// the multiple-choice pick lists ("Välj konto(n)", "Välj verifikation(er)"), the report
// printed. And "visa grafiskt": the chart shown beside the group pick list ("Välj grupp").
#pragma once

#include <functional>
#include <optional>

#include "registers/epickForm32.h"
#include "reports/BFPrint_report.h"

namespace reports {

// The accounts or verifications the user picks for report (read as the pick list gives
// them, until one cannot be read); nothing when the user did not confirm a choice.
std::optional<Selection> PickSelection(ereg::PickWindows& windows, bf::BfShared& s, const Report& report);

// The main window's command for report. False when nothing was printed: not enough data,
// no choice confirmed, or PrintReport's reasons.
bool RunReport(ereg::PickWindows& windows, printing::PrintJob& job, bf::BfShared& s, const Report& report,
               const glodefs::TRapportEnv& setting, esmall::WindowHandle owner = 0);

// "visa grafiskt": when the sums file holds a month, show(chart) and then the group pick
// list; the choice changes nothing. False when there was nothing to show.
bool ShowGroups(ereg::PickWindows& windows, bf::BfShared& s, const std::function<void(const GroupChart&)>& show);

}  // namespace reports
