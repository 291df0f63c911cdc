// A bfnolk command is never cut in half from outside. While a TerminationDeferral lives,
// SIGINT, SIGTERM and SIGHUP are only noted: the command runs to its end, the books are
// closed and the settings written, and then the destructor ends the process with the signal
// that came, as it would have ended at once. SIGPIPE is ignored for the whole run, so a
// reader that went away (bfnolk ... | head) makes a write fail instead of ending the
// process between two steps of its work.
//
// A question to a user at a terminal is asked before the work it is about, so a signal
// during it, or one that came before it, ends the process at once: nothing is half done.
#pragma once

#include <csignal>

#include "shell/Eerror32_MessageBoxes.h"

namespace bfnolk {

class TerminationDeferral {
 public:
  TerminationDeferral();
  ~TerminationDeferral();
  TerminationDeferral(const TerminationDeferral&) = delete;
  TerminationDeferral& operator=(const TerminationDeferral&) = delete;

 private:
  static constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction previous_[3] = {};
  struct sigaction previousPipe_ = {};
};

// The boxes of a terminal, with the questions open to a signal.
class InterruptibleQuestions : public eerror::MessageBoxes {
 public:
  explicit InterruptibleQuestions(eerror::MessageBoxes& inner) : inner_(inner) {}
  int Show(eerror::BoxKind kind, const std::string& caption, const std::string& text) override;
  void Beep() override { inner_.Beep(); }
  long AskNumber(const std::string& prompt, long number) override;

 private:
  eerror::MessageBoxes& inner_;
};

}  // namespace bfnolk
