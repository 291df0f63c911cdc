// A termination signal ends the message loop the normal way: exec() returns, an open dialog
// is cancelled on the way, and afterwards the earlier handlers are back.
#include "shell/ui/TerminationSignals.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <csignal>

using namespace shellui;

namespace {

constexpr int kTimedOut = 99;

class RecordingDialog : public QDialog {
 public:
  bool cancelled = false;
  void reject() override {
    cancelled = true;
    QDialog::reject();
  }
};

// Runs the loop with a dialog open when number is raised; kTimedOut if nothing ended it.
int RunAndRaise(int number, RecordingDialog& dialog) {
  QTimer::singleShot(0, [&dialog, number] {
    QTimer::singleShot(0, [number] { std::raise(number); });
    dialog.exec();
  });
  QTimer::singleShot(10000, [] { QApplication::exit(kTimedOut); });
  return QApplication::exec();
}

void Counted(int) {}

}  // namespace

TEST(TerminationSignals, EachSignalQuitsTheLoopAndCancelsTheOpenDialog) {
  for (int number : {SIGTERM, SIGINT, SIGHUP}) {
    TerminationSignals guard;
    RecordingDialog dialog;
    EXPECT_EQ(RunAndRaise(number, dialog), 0) << number;
    EXPECT_EQ(guard.Received(), number);
    EXPECT_TRUE(dialog.cancelled) << number;
    EXPECT_FALSE(dialog.isVisible());
  }
}

TEST(TerminationSignals, ASignalDuringTheStartEndsTheLoopOnceItRuns) {
  TerminationSignals guard;
  std::raise(SIGTERM);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();  // as a splash window does
  EXPECT_EQ(guard.Received(), SIGTERM);
  QTimer::singleShot(10000, [] { QApplication::exit(kTimedOut); });
  EXPECT_EQ(QApplication::exec(), 0);
}

TEST(TerminationSignals, TheEarlierHandlerIsBackAfterwards) {
  struct sigaction mine {}, seen {}, before {};
  mine.sa_handler = Counted;
  sigemptyset(&mine.sa_mask);
  ASSERT_EQ(::sigaction(SIGHUP, &mine, &before), 0);
  {
    TerminationSignals guard;
    ::sigaction(SIGHUP, nullptr, &seen);
    EXPECT_NE(seen.sa_handler, &Counted);
    EXPECT_EQ(guard.Received(), 0);
  }
  ::sigaction(SIGHUP, nullptr, &seen);
  EXPECT_EQ(seen.sa_handler, &Counted);
  ::sigaction(SIGHUP, &before, nullptr);
}

TEST(TerminationSignals, OnlyOneAtATime) {
  TerminationSignals first;
  EXPECT_THROW(TerminationSignals second, std::logic_error);
}
