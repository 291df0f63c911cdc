// A bfnolk command is never cut in half from outside. While a TerminationDeferral lives,
// SIGINT, SIGTERM and SIGHUP are only noted: the command runs to its end, the books are
// closed and the settings written, and then the destructor ends the process with the signal
// that came, as it would have ended at once. SIGPIPE is ignored for the whole run, so a
// reader that went away (bfnolk ... | head) makes a write fail instead of ending the
// process between two steps of its work.
//
// A question to a user at a terminal is asked before the work it is about, so a signal
// during it, or one that came before it, ends the process at once: nothing is half done.
//
// A command whose work can be dropped whole until a point of its own (books built aside
// before they are taken in) lets a signal press the Cancel of its progress window: it stops
// at its next step, and the process still ends with the signal when the command is over.
#pragma once

#include <csignal>
#include <memory>

#include "shell/ECountForm.h"
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

// While one lives, the console's progress windows are cancelled by a signal that came.
class SignalCancelsProgress : public ecountform::ProgressWindows {
 public:
  SignalCancelsProgress() : previous_(ecountform::InstallProgressWindows(this)) {}
  ~SignalCancelsProgress() override { ecountform::InstallProgressWindows(previous_); }
  SignalCancelsProgress(const SignalCancelsProgress&) = delete;
  SignalCancelsProgress& operator=(const SignalCancelsProgress&) = delete;
  std::unique_ptr<ecountform::ProgressWindow> Create(const ecountform::ProgressWindowSetup& setup) override;

 private:
  ecountform::ProgressWindows* previous_;
};

}  // namespace bfnolk
