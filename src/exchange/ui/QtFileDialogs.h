// The exchange file's dialog on Qt: QFileDialog, modal over the top of the owner-window
// stack, in the form the logic asks for (EfileDlg.h).
#pragma once

#include "exchange/EfileDlg.h"

namespace exchangeui {

class QtFileDialogs : public eixport::FileDialogs {
 public:
  // A chosen name that Windows-1252 cannot spell is refused with a warning, as if cancelled:
  // the program keeps every name in that code page.
  std::optional<std::string> Choose(const eixport::FileDialogRequest& request) override;
};

}  // namespace exchangeui
