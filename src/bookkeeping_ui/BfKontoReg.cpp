#include "bookkeeping_ui/BfKontoReg.h"

namespace bfui {

TBfKontoRegForm::TBfKontoRegForm(bf::BfShared& s, QWidget* parent)
    : KontoRegParts(s), TERegFormDlg(reg, QString::fromUtf8("kontoregister"), parent) {
  setObjectName("BfKontoRegForm");
  dialogs.SetOwner(this);
}

}  // namespace bfui
