// The message interface on Qt: a modal QMessageBox above every window of the program (the
// stay-on-top progress windows included), owned by the top of the owner-window stack.
#pragma once

#include "shell/Eerror32_MessageBoxes.h"

namespace shellui {

class QtMessageBoxes : public eerror::MessageBoxes {
 public:
  int Show(eerror::BoxKind kind, const std::string& caption, const std::string& text) override;
  void Beep() override;
  long AskNumber(const std::string& prompt, long number) override;
};

}  // namespace shellui
