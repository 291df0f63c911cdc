#include "app/bfnolk_signals.h"

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

namespace bfnolk {

namespace {

volatile sig_atomic_t noted = 0;        // the signal that came, 0: none
volatile sig_atomic_t atQuestion = 0;   // the user is being asked

void EndNow(int number) {
  ::signal(number, SIG_DFL);
  ::raise(number);
}

void OnSignal(int number) {
  if (atQuestion) EndNow(number);
  else noted = number;
}

// While one lives, a signal ends the process at once.
class QuestionScope {
 public:
  QuestionScope() {
    atQuestion = 1;
    if (noted != 0) EndNow(noted);
  }
  ~QuestionScope() { atQuestion = 0; }
  QuestionScope(const QuestionScope&) = delete;
  QuestionScope& operator=(const QuestionScope&) = delete;
};

class SignalCancelledWindow : public ecountform::ProgressWindow {
 public:
  SignalCancelledWindow(std::unique_ptr<ecountform::ProgressWindow> inner, std::function<void()> cancel)
      : inner_(std::move(inner)), cancel_(std::move(cancel)) {}
  void ShowLine(int line, const std::string& text) override { inner_->ShowLine(line, text); }
  void ProcessEvents() override {
    inner_->ProcessEvents();
    if (noted != 0 && cancel_) cancel_();
  }

 private:
  std::unique_ptr<ecountform::ProgressWindow> inner_;
  std::function<void()> cancel_;
};

}  // namespace

TerminationDeferral::TerminationDeferral() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // Restarted calls: no file call of the engine ever sees EINTR because of us.
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &action, &previous_[i]);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGPIPE, &ignore, &previousPipe_);
}

TerminationDeferral::~TerminationDeferral() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  const int number = noted;
  ::sigaction(SIGPIPE, &previousPipe_, nullptr);
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &previous_[i], nullptr);
  if (number != 0) EndNow(number);
}

int InterruptibleQuestions::Show(eerror::BoxKind kind, const std::string& caption, const std::string& text) {
  if (kind != eerror::BoxKind::Question) return inner_.Show(kind, caption, text);
  const QuestionScope asking;
  return inner_.Show(kind, caption, text);
}

long InterruptibleQuestions::AskNumber(const std::string& prompt, long number) {
  const QuestionScope asking;
  return inner_.AskNumber(prompt, number);
}

std::unique_ptr<ecountform::ProgressWindow> SignalCancelsProgress::Create(const ecountform::ProgressWindowSetup& setup) {
  ecountform::ProgressWindows& inner = previous_ != nullptr ? *previous_ : ecountform::ConsoleProgressWindows::Standard();
  std::unique_ptr<ecountform::ProgressWindow> window = inner.Create(setup);
  if (!window) return nullptr;
  return std::make_unique<SignalCancelledWindow>(std::move(window), setup.withCancel ? setup.cancel : nullptr);
}

}  // namespace bfnolk
