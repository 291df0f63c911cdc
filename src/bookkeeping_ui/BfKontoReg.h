// TBfKontoRegForm ("kontoregister"): the register window over the account register of the
// open bookkeeping, its new and changed accounts edited in TkontoDlg.
#pragma once

#include "bookkeeping_ui/BfKontoForm.h"
#include "bookkeeping_ui/BfKontoReg_rules.h"
#include "registers/ui/eregform.h"

namespace bfui {

// The register and its dialogs, made before the window that lists the register.
struct KontoRegParts {
  explicit KontoRegParts(bf::BfShared& s) : reg(s, dialogs) {}
  QtKontoDialogs dialogs;
  bf::TBfKontoReg reg;
};

class TBfKontoRegForm : private KontoRegParts, public eregui::TERegFormDlg {
 public:
  TBfKontoRegForm(bf::BfShared& s, QWidget* parent = nullptr);

  bf::TBfKontoReg& Register() { return reg; }
};

}  // namespace bfui
