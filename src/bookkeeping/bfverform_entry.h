// The verification entry without its window: the fields the dialog TbfverifikDlg shows, where
// its focus goes, and what each of its actions does to the verification being entered. The
// dialog copies these fields into its controls after every call and hands its events here;
// bfnolk's ver add and ver play drive the same object, so every face books the same way.
//
// Invariants: every row shown is a row of the verification buffer and is already posted on
// its account (BFMisc_entry.h); the balance shown is the buffer's balance with two decimals;
// an amount is taken as the text it is shown as, so what is posted is what the user saw.
// While a template plays, its file is open and each accepted row plays the next line; the
// file is closed at its end and when the entry ends. An entry that ends with rows neither
// saved nor cancelled cancels them.
//
// Templates (".ver"), read through the exchange file: empty lines are passed over; a line
// beginning with ";" is a comment, shown on the status line; the first other line is the
// name line, whose field 1 is the name, "#MONTH" (any letter case) and what follows it
// replaced by the current month's name; every later line is a row: account, amount, side
// ("=" or "*" balancing the verification, when the amount is not used), comma-separated.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bookkeeping/BFMisc_entry.h"
#include "shell/ESmall_HandleStack.h"

namespace eixport {
class IxportFile;
}

namespace bf {

// The fields the focus moves between.
enum class EntryField { kName, kAccount, kSide, kAmount, kRowOk };
enum class EntryKey { kEnter, kRight, kLeft, kUp, kDown, kPadPlus, kPadMinus };

// The key table: where the focus goes when key is pressed in field, with the cursor at the
// start and/or the end of the field's text; nothing when the key stays in the field.
std::optional<EntryField> FocusAfterKey(EntryField field, EntryKey key, bool atStart, bool atEnd);

// One row of the grid, in its columns "rad", "konto", "namn", "ksaldo", "+/-", "vsumma".
struct EntryRow {
  std::string row, account, name, balance, side, amount;
};

// A line of a template as it is played.
struct TemplateLine {
  enum Kind { kEmpty, kComment, kData } kind = kEmpty;
  std::string comment;  // the text after ";"
};
TemplateLine ClassifyTemplateLine(const std::string& line);

// The name a name line gives in month (1..12).
std::string TemplateName(const std::string& line, int month);

// A row line as the entry takes it: the account as written into the account field (four
// digits for a number), the side's first character (empty when none is given), and the
// amount with two decimals, or as written when it is no number. asksAmount: the user types
// the amount (it is 0 or no number); balances: the side is "=" or "*", the amount unused.
struct TemplateRow {
  std::string account;
  std::string side;
  std::string amount;
  bool asksAmount = false;
  bool balances = false;
};
TemplateRow ParseTemplateRow(const std::string& line);

// The rows (from 1) of the template fileName whose amount the user types, read as playing
// reads them; false, with the reason on the status line, when the file cannot be read.
bool TemplateRowsAskingAmount(const std::string& fileName, std::vector<int>& rows);

class VerificationEntry {
 public:
  // Prepares a fresh verification in the buffer, numbered one above the list's last number
  // and dated today; the name field has the focus.
  explicit VerificationEntry(BfShared& s);
  ~VerificationEntry();
  VerificationEntry(const VerificationEntry&) = delete;
  VerificationEntry& operator=(const VerificationEntry&) = delete;

  // The fields, Windows-1252, as the dialog shows them.
  std::string number() const;  // four digits
  const std::string& date() const { return date_; }
  const std::string& name() const { return name_; }
  std::string balance() const;  // two decimals
  const std::string& account() const { return account_; }
  const std::string& accountName() const { return accountName_; }
  const std::string& accountBalance() const { return accountBalance_; }
  const std::string& side() const { return side_; }
  const std::string& amount() const { return amount_; }
  const std::vector<EntryRow>& rows() const { return rows_; }
  EntryField focus() const { return focus_; }
  // The focused field's text is to be selected, so that typing replaces it.
  bool selectFocused() const { return select_; }
  // The dialog's status line.
  const std::string& status() const { return status_; }

  void SetName(std::string name) { name_ = std::move(name); }
  // The date the verification is saved with (today unless set).
  void SetDate(std::string date) { date_ = std::move(date); }

  // The account field changed: the account with those first four characters is looked up
  // and shown; when found the side field gets the focus, with the account's own sign filled
  // in unless a template plays.
  void AccountTyped(const std::string& text);
  // An account chosen in the pick list by its record number, shown the same way.
  void AccountPicked(int32_t recNo);
  // The side field changed: its first character is kept; "=" or "*" fills in the row that
  // balances the verification and gives the row's OK the focus; a character other than
  // "+", "-" or a blank is refused.
  void SideTyped(const std::string& text);
  void AmountTyped(std::string text) { amount_ = std::move(text); }

  // Accepts the row in the fields: it is posted on its account at once, the fields are made
  // ready for the next row, and a template plays its next line. False, with the reason on
  // the status line and the field to put right focused, when the account, side or amount
  // cannot be taken or the verification is full (100 rows).
  bool AcceptRow();
  // Saves the verification when it balances at 0.00 and has rows (BFMisc_entry.h); a name
  // the record cannot hold is refused with the reason, as kFailed.
  SaveResult Save();
  // Takes every row back. False, with the reason on the status line, when an account could
  // not be rewritten; the rows not taken back stay, and cancelling again goes on.
  bool Cancel();

  // Chooses a template in the file dialog, starting in dataDir, and plays its name line and
  // its first row. False when none was chosen or it could not be opened.
  bool StartTemplate(esmall::WindowHandle owner, const std::string& dataDir);
  bool Playing() const { return template_ != nullptr; }
  // Closes the template; playing stops.
  void StopTemplate();

 private:
  void Refuse(EntryField field, const std::string& text);
  void ShowAccount(bool moveFocus);
  void PlayNext();
  void PlayRow(const TemplateRow& row);

  BfShared& s_;
  std::string date_;
  std::string name_;
  std::string account_;
  std::string accountName_;
  std::string accountBalance_ = "0.00";
  std::string side_;
  std::string amount_ = "0.00";
  std::vector<EntryRow> rows_;
  EntryField focus_ = EntryField::kName;
  bool select_ = false;
  std::string status_;
  int32_t accountRecNo_ = 0;  // of the account shown, 0: none found
  int accountNumber_ = 0;
  std::unique_ptr<eixport::IxportFile> template_;
  bool nameLinePlayed_ = false;
};

}  // namespace bf
