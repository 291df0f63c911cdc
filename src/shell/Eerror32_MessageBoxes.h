// The message interface: how EMsg reaches the user. The window program installs one that
// shows QMessageBox and beeps through the application; bfnolk and isamtool use the console
// one; tests install the recording one. Exactly one is current at any time (the console one
// until another is installed). Captions and texts handed over are Windows-1252, already cut
// and converted by EMsg.
#pragma once

#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

namespace eerror {

// The four kinds of box; the numbers are EMsg's code div 100.
enum class BoxKind { Question = 1, Warning = 2, AbortRetryIgnore = 3, Error = 4 };

// Buttons, numbered as message boxes have always numbered them: EMsgCode's result rule
// and every caller that compares with a result rely on these values.
enum ButtonResult : int {
  kNoButton = 0, kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7
};

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A modal box above every other window of the program, stay-on-top progress windows
  // included: Question has Yes/No, Warning an exclamation icon and OK, AbortRetryIgnore
  // its three buttons, Error OK. Returns the ButtonResult pressed.
  virtual int Show(BoxKind kind, const std::string& caption, const std::string& text) = 0;
  // A short tone (440 Hz, 100 ms where the platform can choose).
  virtual void Beep() = 0;
  // The small number dialog: prompt and a number field that starts with number; returns the
  // entered number on OK and number itself on Cancel.
  virtual long AskNumber(const std::string& prompt, long number) = 0;
};

// The current implementation.
MessageBoxes& CurrentMessageBoxes();
// Makes boxes current (nullptr: the console one) and returns the one it replaces. The
// caller keeps ownership and keeps boxes alive while it is current.
MessageBoxes* InstallMessageBoxes(MessageBoxes* boxes);

// Installs boxes for the life of the guard, then puts back the one before.
class ScopedMessageBoxes {
 public:
  explicit ScopedMessageBoxes(MessageBoxes& boxes) : previous_(InstallMessageBoxes(&boxes)) {}
  ~ScopedMessageBoxes() { InstallMessageBoxes(previous_); }
  ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
  ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;

 private:
  MessageBoxes* previous_;
};

// Boxes as lines of UTF-8 text ("error: ..."). When interactive, a question or an
// abort/retry/ignore box reads its answer from in; otherwise no one can answer, and the
// box takes the cautious button: No, Abort, OK.
class ConsoleMessageBoxes : public MessageBoxes {
 public:
  ConsoleMessageBoxes(std::istream& in, std::ostream& out, bool interactive)
      : in_(in), out_(out), interactive_(interactive) {}
  // Standard input and standard error; interactive when both are terminals.
  static ConsoleMessageBoxes& Standard();

  int Show(BoxKind kind, const std::string& caption, const std::string& text) override;
  void Beep() override;
  long AskNumber(const std::string& prompt, long number) override;

 private:
  std::string ReadAnswer();

  std::istream& in_;
  std::ostream& out_;
  bool interactive_;
};

// Records every box and answers from a preset list, then with defaultAnswer.
class RecordingMessageBoxes : public MessageBoxes {
 public:
  struct Box {
    BoxKind kind;
    std::string caption;
    std::string text;
  };
  std::vector<Box> boxes;
  std::deque<int> answers;
  int defaultAnswer = kOk;
  int beeps = 0;
  std::vector<std::string> numberPrompts;
  std::deque<long> numberAnswers;  // empty: the number dialog is cancelled

  int Show(BoxKind kind, const std::string& caption, const std::string& text) override;
  void Beep() override { ++beeps; }
  long AskNumber(const std::string& prompt, long number) override;
};

}  // namespace eerror
