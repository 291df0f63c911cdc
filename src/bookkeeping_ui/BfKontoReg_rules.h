// The account register (the logic of TBfKontoRegForm, "kontoregister") on the register
// frame: one line per account (AccountLine) in key order, new and changed accounts through
// the account dialog, deletion only of a zeroed account. The dialog itself is the caller's
// (KontoDialogs): the window's TkontoDlg, or bfnolk's fields from the command line.
//
// A change runs in the frame: the account's key is removed and its opening balance taken
// out of the totals before the dialog; afterwards (OK or Cancel) the account in the buffer
// is stored with its key and its opening balance is put back (PutAccountBack). Should that
// fail, the account as it was comes back, so the register never loses an account's key.
#pragma once

#include <cstdint>
#include <string>

#include "bookkeeping/BFFiler.h"
#include "bookkeeping_ui/BfKontoForm_rules.h"
#include "registers/eregform.h"

namespace bf {

// The account dialog, modal: true when it ended with OK (the account is then in the buffer,
// TkontoEdit::Ok having allowed it); on Cancel it calls TkontoEdit::Cancel.
class KontoDialogs {
 public:
  virtual ~KontoDialogs() = default;
  virtual bool RunKontoDialog(TkontoEdit& edit) = 0;
};

class TBfKontoReg : public ereg::TERegForm {
 public:
  TBfKontoReg(BfShared& s, KontoDialogs& dialogs) : s_(s), dialogs_(dialogs) {}

  // The line of the account with number (four digits), -1 when it is not in the list.
  int LineOf(const std::string& number);

 protected:
  void FormRegStr(std::string& line) override;
  void FixtSelect(ereg::FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) override;
  // The buffer cleared for the new account; refused from kMaxAccounts accounts on.
  bool CheckBeforeAdding() override;
  void DoTheDialog(bool isNew, int index, int32_t recNo) override;
  bool AddRecSelect(bool isNew, int32_t& recNo, bool ok) override;
  bool PutRecSelect() override;
  // DeleteKonto: with deleteRecord only a zeroed account goes ("Konto ... ej nollställd!").
  bool DelRecSelect(ereg::FixtOp op, const std::string& key, int32_t recNo, bool deleteRecord) override;

 private:
  BfShared& s_;
  KontoDialogs& dialogs_;
  KontoRecord unchanged_;  // the account being changed, as it was
};

}  // namespace bf
