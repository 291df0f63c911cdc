// TEGiroRegForm ("plusgiroregister", "postgiroregister", "bankgiroregister"): the register
// window over the giro forms of one kind, each edited in the kind's form dialog. The
// register is opened with its file: OpenGiroRegister opens the kind's giro file (creating
// it), shows the window modally and closes the file after, also when the program is asked
// to end while the window is open.
#pragma once

#include "registers/egiroreg32.h"
#include "registers/ui/egirodlg.h"
#include "registers/ui/eregform.h"

namespace eregui {

// The register and its dialogs, made before the window that lists the register.
struct GiroRegParts {
  GiroRegParts(isam::FileBlock* fb, int kind) : reg(fb, kind, dialogs) {}
  QtGiroDialogs dialogs;
  ereg::TEGiroReg reg;
};

class TEGiroRegForm : private GiroRegParts, public TERegFormDlg {
 public:
  // fb: the kind's giro file, open.
  TEGiroRegForm(isam::FileBlock* fb, int kind, QWidget* parent = nullptr);

  ereg::TEGiroReg& Register() { return reg; }
};

// The window's caption for kind.
QString GiroRegisterCaption(int kind);

// The kind's register in the data directory, modal over owner. False when its file could be
// neither opened nor created ("fel med girofilerna" in the status line); nothing is shown.
bool OpenGiroRegister(int kind, QWidget* owner);

}  // namespace eregui
