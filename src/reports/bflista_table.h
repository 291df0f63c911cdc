// The two reports shown in the table window: the ledger of one account ("visa huvudbok") and
// the journal of one verification ("visa grundbok"). Each checks that there is something to
// show, lets the caller choose the record (the window's pick list, bfnolk's number), then
// builds the table through the row-building operations and shows it. The books are only
// read; the chosen record becomes the current account or verification.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "bookkeeping/BFFiler.h"
#include "tabledisplay/egridform.h"

namespace reports {

// Chooses the record number of the account or verification to show; false when none was.
using RecordChooser = std::function<bool(int32_t& recNo)>;

// The ledger: "Ej tillräckliga data!" when there is no account or no verification; the
// caption "BFNOLKW64: huvudbok: " + company + ": " + number + " " + name; the head row; the
// account's rows from the newest verification down (a credit row with its amount under
// "kredit", any other under "debet"); an empty row and the rows of the opening balance, the
// turnover, the closing balance and the budget. False when nothing was shown or a read
// failed (the reason is reported).
bool ShowLedger(bf::BfShared& s, const RecordChooser& chooseAccount, egridform::TableRows& table,
                esmall::WindowHandle owner);

// The journal: "Ej tillräckliga data!" when there is no verification; the caption
// "BFNOLKW64: grundbok: " + company + ": verifikation " + number + " " + date + " " + text;
// the head row; a row per verification row with the account's name when it exists; the
// debit and credit totals.
bool ShowJournal(bf::BfShared& s, const RecordChooser& chooseVerification, egridform::TableRows& table,
                 esmall::WindowHandle owner);

// The captions, cut as they are built.
std::string LedgerCaption(const bf::BfDataBasRecord& list, const bf::KontoRecord& account);
std::string JournalCaption(const bf::BfDataBasRecord& list, const bf::VerRecord& verification);

}  // namespace reports
