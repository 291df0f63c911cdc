// Every printed report by its key word, and the frame they share: the data a report needs
// ("Ej tillräckliga data!" when the files hold none), the choice it asks for (accounts or
// verifications), its content computed once as plain data, and the print: the job under
// its key word, the title in the big font, the content laid out, the closing pictures, the
// job ended. The window program and bfnolk print every report through here; bfnolk also
// writes the same content as JSON.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "bookkeeping/BFFiler.h"
#include "printing/ewrite32.h"
#include "reports/BFPrint_grundbok.h"
#include "reports/BFPrint_huvudbok.h"
#include "reports/bflista.h"
#include "reports/bflista_balans.h"
#include "reports/bflista_grafiskt.h"
#include "reports/bflista_kontoplan.h"
#include "reports/bflista_resultat.h"
#include "reports/bflista_saldolista.h"

namespace reports {

enum class Choice { kNone, kAccounts, kVerifications };

// What the files must hold before a report runs.
enum class Needs { kAccounts, kAccountsAndVerifications, kVerifications, kMonths };

// The accounts (in the order chosen) or the verifications (by record number, in the order
// chosen) a report is made of.
struct Selection {
  std::vector<bf::KontoRecord> accounts;
  std::vector<int32_t> verifications;
};

using Content =
    std::variant<Ledger, Journal, AccountPlan, BalanceList, IncomeStatement, BalanceSheet, SumGroups, GroupChart>;

struct Report {
  const char* word;   // the job's key word, and bfnolk print's name of the report
  const char* title;  // the title line and the progress window's caption
  Choice choice;
  Needs needs;
  // The content; nothing when the files could not be read (reported).
  std::optional<Content> (*content)(bf::BfShared& s, const Selection& selection);
};

std::span<const Report> Reports();
const Report* FindReport(std::string_view word);

// Whether the files hold what report needs; when not, "Ej tillräckliga data!" on the
// status line.
bool EnoughData(bf::BfShared& s, const Report& report);

// The content laid out after the title.
void LayOut(printing::PrintJob& job, const bf::BfDataBasRecord& list, const Content& content);

// Prints the report of selection on job with the report setting, the progress window owned
// by owner. False when nothing was printed: a file could not be read, or the job could not
// start.
bool PrintReport(printing::PrintJob& job, bf::BfShared& s, const Report& report, const Selection& selection,
                 const glodefs::TRapportEnv& setting, esmall::WindowHandle owner = 0);

}  // namespace reports
