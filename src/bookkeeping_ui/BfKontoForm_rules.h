// The rules of the account dialog TkontoDlg ("konto"), without the window: what its fields
// show, what each field takes, and what OK and Cancel do to the account buffer. The window
// and bfnolk's account commands both fill the fields as typed and ask these rules, so an
// account is checked the same way whichever face adds or changes it.
//
// The dialog keeps a copy of the account buffer as it was when it started; Cancel puts it
// back. OK puts the fields into the buffer only when every field and rule allows it.
#pragma once

#include <string>

#include "bookkeeping/BFFiler.h"

namespace bf {

enum class KontoField { kNumber, kName, kReference, kSign, kBudget, kOpening };

// The fields' texts, as typed (UTF-8).
struct KontoTexts {
  std::string number;  // kontonummer
  std::string name;    // kontotext
  std::string reference;  // secrettext
  std::string sign;    // debetkredit
  std::string budget;  // edbudget
  std::string opening;  // edinsaldo
};

// Why OK was refused: the field to go back to and the status line's message (Windows-1252).
// kField: the field's text cannot be taken; kRule: the account may not be stored so.
struct KontoRefusal {
  enum Kind { kField, kRule };
  Kind kind = kField;
  KontoField field = KontoField::kNumber;
  std::string message;
};

class TkontoEdit {
 public:
  // How many characters each field holds.
  static constexpr int kNumberChars = 6;
  static constexpr int kSignChars = 2;
  static constexpr int kMoneyChars = 10;
  static constexpr int kMaxNumber = 9999;

  // The dialog on the account buffer as it is now, for a new account or a change.
  TkontoEdit(BfShared& s, bool isNew);

  bool IsNew() const { return isNew_; }
  // The buffer as the fields show it: the number as its value (0 when it is not a number),
  // money with two decimals.
  KontoTexts Shown() const;
  std::string ShownDebit() const;
  std::string ShownCredit() const;
  std::string ShownClosing() const;

  // The check while typing in field: the message, empty when the text is good. The number,
  // the sign and the budget are checked so; the texts and the opening balance wait for OK.
  std::string CheckTyped(KontoField field, const std::string& text) const;

  // The message for a field that takes no more of what is typed (too long, or a character
  // it cannot hold).
  std::string RejectedText(KontoField field) const;

  // OK: every field checked, then the number: not 0, not another account's, and for a
  // change not a new one for an account with postings. True with the fields in the buffer
  // (number as four digits, the sign's first character); false with the refusal and the
  // buffer as it was.
  bool Ok(const KontoTexts& typed, KontoRefusal& refusal);
  // Cancel: the buffer as it was when the dialog started.
  void Cancel();

 private:
  BfShared& s_;
  bool isNew_;
  KontoRecord copy_;
};

}  // namespace bf
