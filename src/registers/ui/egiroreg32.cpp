#include "registers/ui/egiroreg32.h"

#include "shell/ekonfig32.h"

namespace eregui {

QString GiroRegisterCaption(int kind) {
  switch (kind) {
    case ereg::kPlusgiro: return QString::fromUtf8("plusgiroregister");
    case ereg::kPostgiro: return QString::fromUtf8("postgiroregister");
    case ereg::kBankgiro: return QString::fromUtf8("bankgiroregister");
    default: return QString::fromUtf8("giroregister %1").arg(kind);
  }
}

TEGiroRegForm::TEGiroRegForm(isam::FileBlock* fb, int kind, QWidget* parent)
    : GiroRegParts(fb, kind), TERegFormDlg(reg, GiroRegisterCaption(kind), parent) {
  setObjectName("EGiroRegForm");
  dialogs.SetOwner(this);
}

bool OpenGiroRegister(int kind, QWidget* owner) {
  const ereg::GiroFile file(ekonfig::Konfig.DataDir(), kind);
  if (!file.ok()) return false;
  TEGiroRegForm form(file.fb(), kind, owner);
  form.exec();
  return true;
}

}  // namespace eregui
