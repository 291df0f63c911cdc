// The ".bfr" exchange files: the account plan written out and read back, and the
// verifications written out. One record a line, fields separated by "," without quoting, a
// line beginning with ";" a comment. Amounts are written from their absolute value with two
// decimals and "-" in front when negative ("-1250.50", "0.00").
//
//   account plan: NUMBER,NAME,SIGN,REFERENCE,OPENING,BUDGET,CLOSING
//   verifications: *ver,NUMBER,DATE,TEXT,ROWS   then per row   *nr,  I,ACCOUNT,SIDE,AMOUNT
//
// Every function takes the exchange file as its caller opened it (through the dialog or by
// name), skips its work when the open failed and closes the file, so the framework always
// reports. An import reads and checks the whole file before it changes anything: a file
// with a faulty line changes nothing, and the accounts it changes are written in one unit
// of the account file, so that a crash leaves all of it or none (the list record's totals
// follow from the accounts at the next open when the crash came between the two).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "bookkeeping/BFBas.h"
#include "exchange/Eixport.h"

namespace bfimport {

// Heads both exports and names the program in the first header line.
extern const char kBuildId[];

// The account lines of the open bookkeeping in key order. True when the file was open and
// every line went into it.
bool ExportPlan(bf::BfDatabase& db, eixport::IxportFile& file);
// Every verification of the open bookkeeping in record order with its rows; true as above.
bool ExportVerifications(bf::BfDatabase& db, eixport::IxportFile& file);

// Which amount of the file becomes each account's new opening balance.
enum class Balance { kOpening = 1, kClosing = 2 };

enum class ImportResult {
  kImported,   // every line taken; "Import klar!!" shown
  kNotOpened,  // the file could not be opened, or no bookkeeping is open
  kRefused,    // a line is faulty or the accounts would pass the limit: nothing changed
  kFailed,     // the engine failed while writing: nothing changed
};

// One account line of a plan file, as read.
struct PlanAccount {
  int lineNo = 0;
  std::string number, name, reference;
  char sign = ' ';
  bf::Real6 opening, budget;
};

// The account of a line that is neither a comment nor blank, with the opening balance the
// balance choice takes; nothing, and fault naming what is wrong, when its number is not four
// digits or an amount is not one.
std::optional<PlanAccount> ReadPlanLine(const std::string& line, int lineNo, Balance balance, std::string& fault);

// Reads the account plan in file and adds its accounts or changes those that exist: name,
// sign, reference, budget and the chosen opening balance from the file, the turnovers kept,
// the closing balance and the list record's totals following.
ImportResult ImportPlan(bf::BfDatabase& db, eixport::IxportFile& file, Balance balance);

// Chooses an exchange file in the file dialog (a .bfr file unless pattern and defaultExt
// say otherwise), starting in the configured exchange folder, and opens it: to write (mode
// kCreate, with the export's progress window) or to read (with the import's). The folder
// chosen is remembered for the next dialog.
bool OpenWithDialog(esmall::WindowHandle owner, eixport::IxportFile& file, eixport::Mode mode,
                    std::string_view pattern = ";*.bfr", std::string_view defaultExt = "bfr");

// The amount as the files write it.
std::string AmountField(double value);
// An amount as the files hold it: a decimal number with "." as point, an empty field 0.
std::optional<double> ParseAmount(const std::string& text);

}  // namespace bfimport
