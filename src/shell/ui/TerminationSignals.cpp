#include "shell/ui/TerminationSignals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <stdexcept>

namespace shellui {

namespace {

volatile sig_atomic_t writeEnd = -1;

void OnSignal(int number) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  // A full pipe means a quit is already on its way; nothing is lost by dropping this one.
  [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
  errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals() {
  if (writeEnd != -1) throw std::logic_error("TerminationSignals: one at a time");
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair_) != 0)
    throw std::runtime_error("TerminationSignals: no socket pair");
  writeEnd = pair_[1];
  notifier_ = std::make_unique<QSocketNotifier>(pair_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &action, &previous_[i]);
}

TerminationSignals::~TerminationSignals() {
  for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &previous_[i], nullptr);
  notifier_.reset();
  writeEnd = -1;
  ::close(pair_[0]);
  ::close(pair_[1]);
}

void TerminationSignals::Drain() {
  unsigned char byte = 0;
  bool any = false;
  while (::read(pair_[0], &byte, 1) == 1) {
    received_ = byte;
    any = true;
  }
  if (any) QuitWhenRunning();
}

void TerminationSignals::QuitWhenRunning() {
  // quit() does nothing while no loop runs, as during the start's own event handling; the
  // request waits for exec() then instead of being lost.
  if (QThread::currentThread()->loopLevel() > 0) {
    QApplication::quit();
    return;
  }
  QTimer::singleShot(kRetryMs, notifier_.get(), [this] { QuitWhenRunning(); });
}

}  // namespace shellui
