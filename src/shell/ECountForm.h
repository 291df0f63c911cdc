// The progress window of long operations: open, a line per step, ask Aborted, close. Up to
// 4 windows nest; a deeper open only counts, and its lines and close do nothing but keep
// the depth. Each window has eight status lines; line n of the caller goes to status line
// ((n − 2) mod 8) + 1, lines below 2 to line 1. Cancel sets the window's own flag and the
// global one; both are cleared when a window opens. Writing a line lets the window side run
// its pending events, which is when a Cancel press is seen.
//
// The window side implements ProgressWindows (stay-on-top, centred on the main window, the
// hidden Cancel button "avbryt"; the outermost window also disables its owner and saves the
// cursor, showing the hourglass when there is no Cancel). bfnolk uses the console one.
#pragma once

#include "shell/ESmall_HandleStack.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace ecountform {

constexpr int kMaxDepth = 4;
constexpr int kStatusLines = 8;

// Where caller line n is shown.
int StatusLineOf(int n);

class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;  // closes the window
  // Line 1..8, Windows-1252, already converted from DOS letters.
  virtual void ShowLine(int line, const std::string& text) = 0;
  // Lets pending user events run; a Cancel press calls the window's cancel action.
  virtual void ProcessEvents() = 0;
};

struct ProgressWindowSetup {
  esmall::WindowHandle owner = 0;
  bool withCancel = false;
  int shownLines = 0;  // 0..8; the window is made shorter by the lines not shown
  std::string caption;
  bool outermost = false;
  std::function<void()> cancel;  // what the Cancel button does
};

class ProgressWindows {
 public:
  virtual ~ProgressWindows() = default;
  // The new window, or nullptr when it could not be created.
  virtual std::unique_ptr<ProgressWindow> Create(const ProgressWindowSetup& setup) = 0;
};

ProgressWindows& CurrentProgressWindows();
// Makes windows current (nullptr: the console one) and returns the one it replaces.
ProgressWindows* InstallProgressWindows(ProgressWindows* windows);

// A single line on standard error rewritten in place ("caption: text"), cleared when the
// outermost window closes. Nothing at all when the output is not a terminal.
class ConsoleProgressWindows : public ProgressWindows {
 public:
  ConsoleProgressWindows(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
  static ConsoleProgressWindows& Standard();
  std::unique_ptr<ProgressWindow> Create(const ProgressWindowSetup& setup) override;

 private:
  std::ostream& out_;
  bool terminal_;
};

// Records windows and lines; can refuse to create, or press Cancel during the events that
// follow a given line.
class RecordingProgressWindows : public ProgressWindows {
 public:
  struct Line {
    int window;  // index into setups
    int line;
    std::string text;
  };
  std::vector<ProgressWindowSetup> setups;
  std::vector<Line> lines;
  int closed = 0;
  bool refuseCreate = false;
  int cancelAfterLines = -1;  // press Cancel once this many lines were shown

  std::unique_ptr<ProgressWindow> Create(const ProgressWindowSetup& setup) override;
};

// Opens a progress window of lines status lines (two of them the caller's own margin:
// min(lines − 2, 8) are shown). False when no window is shown: too deep, or creation failed
// (then the status message "Kan ej skapa dialog").
bool Open(esmall::WindowHandle owner, bool withCancel, int lines, const std::string& caption);
// Shows text on the window at the depth, unless it was cancelled, then runs pending events.
void Line(int n, const std::string& text);
// True when the window at the depth, or any window (the global flag), was cancelled.
bool Aborted();
void Close();
int Depth();

// Open for the life of the object, Close at its end, so every way out of a long
// operation closes its window.
class ScopedCountForm {
 public:
  ScopedCountForm(esmall::WindowHandle owner, bool withCancel, int lines, const std::string& caption) {
    Open(owner, withCancel, lines, caption);
  }
  ~ScopedCountForm() { Close(); }
  ScopedCountForm(const ScopedCountForm&) = delete;
  ScopedCountForm& operator=(const ScopedCountForm&) = delete;
  void Line(int n, const std::string& text) { ecountform::Line(n, text); }
  bool Aborted() const { return ecountform::Aborted(); }
};

}  // namespace ecountform
