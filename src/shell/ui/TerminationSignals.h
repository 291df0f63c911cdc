// TerminationSignals: while one lives, SIGTERM, SIGINT and SIGHUP ask the application to quit
// instead of ending the process at once, so the program leaves through its normal exit order
// and the settings are written. The handler only writes the signal's number into a socket
// pair (all it may safely do); the main thread reads the other end through a
// QSocketNotifier and calls QApplication::quit, which closes the windows (an open dialog is
// cancelled) and ends exec(); a signal that comes before exec() runs ends it as soon as it
// starts. One at a time; the destructor puts the earlier handlers back.
#pragma once

#include <csignal>
#include <memory>

class QSocketNotifier;

namespace shellui {

class TerminationSignals {
 public:
  TerminationSignals();
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // The last signal that asked to quit; 0 while none has.
  int Received() const { return received_; }

 private:
  void Drain();
  void QuitWhenRunning();

  static constexpr int kSignals[3] = {SIGTERM, SIGINT, SIGHUP};
  static constexpr int kRetryMs = 20;
  int pair_[2] = {-1, -1};  // [0] read by the notifier, [1] written by the handler
  std::unique_ptr<QSocketNotifier> notifier_;
  struct sigaction previous_[3] = {};
  int received_ = 0;
};

}  // namespace shellui
