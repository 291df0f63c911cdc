#include "shell/ECountForm.h"

#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace ecountform {
namespace {

struct Level {
  std::unique_ptr<ProgressWindow> window;
  bool cancelled = false;
};

Level levels[kMaxDepth];
int depth = 0;
bool globalCancel = false;
ProgressWindows* current = nullptr;

Level* CurrentLevel() {
  return depth >= 1 && depth <= kMaxDepth && levels[depth - 1].window ? &levels[depth - 1] : nullptr;
}

// Console lines stay within 79 columns, so the terminal never wraps the line being rewritten.
constexpr size_t kConsoleWidth = 79;

class ConsoleWindow : public ProgressWindow {
 public:
  ConsoleWindow(std::ostream& out, bool terminal, std::string caption, bool outermost)
      : out_(out), terminal_(terminal), caption_(std::move(caption)), outermost_(outermost) {}
  ~ConsoleWindow() override {
    if (terminal_ && outermost_) out_ << "\r\x1b[K" << std::flush;
  }
  void ShowLine(int, const std::string& text) override {
    if (!terminal_) return;
    const std::string line = caption_.empty() ? text : caption_ + ": " + text;
    out_ << '\r' << ansi::ToUtf8(esmall::Cut(line, kConsoleWidth)) << "\x1b[K" << std::flush;
  }
  void ProcessEvents() override {}

 private:
  std::ostream& out_;
  bool terminal_;
  std::string caption_;
  bool outermost_;
};

class RecordedWindow : public ProgressWindow {
 public:
  RecordedWindow(RecordingProgressWindows& owner, int index) : owner_(owner), index_(index) {}
  ~RecordedWindow() override { ++owner_.closed; }
  void ShowLine(int line, const std::string& text) override {
    owner_.lines.push_back({index_, line, text});
  }
  void ProcessEvents() override {
    if (owner_.cancelAfterLines >= 0 && static_cast<int>(owner_.lines.size()) >= owner_.cancelAfterLines) {
      owner_.cancelAfterLines = -1;
      owner_.setups[index_].cancel();
    }
  }

 private:
  RecordingProgressWindows& owner_;
  int index_;
};

}  // namespace

int StatusLineOf(int n) {
  if (n < 2) return 1;
  return (n - 2) % kStatusLines + 1;
}

ProgressWindows& CurrentProgressWindows() {
  return current != nullptr ? *current : ConsoleProgressWindows::Standard();
}

ProgressWindows* InstallProgressWindows(ProgressWindows* windows) {
  ProgressWindows* previous = current;
  current = windows;
  return previous;
}

ConsoleProgressWindows& ConsoleProgressWindows::Standard() {
  static ConsoleProgressWindows console(std::cerr, isatty(2) == 1);
  return console;
}

std::unique_ptr<ProgressWindow> ConsoleProgressWindows::Create(const ProgressWindowSetup& setup) {
  return std::make_unique<ConsoleWindow>(out_, terminal_, setup.caption, setup.outermost);
}

std::unique_ptr<ProgressWindow> RecordingProgressWindows::Create(const ProgressWindowSetup& setup) {
  if (refuseCreate) return nullptr;
  setups.push_back(setup);
  return std::make_unique<RecordedWindow>(*this, static_cast<int>(setups.size()) - 1);
}

bool Open(esmall::WindowHandle owner, bool withCancel, int lines, const std::string& caption) {
  ++depth;
  if (depth > kMaxDepth) return false;
  Level& level = levels[depth - 1];
  level.cancelled = false;
  globalCancel = false;
  ProgressWindowSetup setup;
  setup.owner = owner;
  setup.withCancel = withCancel;
  setup.shownLines = std::clamp(lines - 2, 0, kStatusLines);
  setup.caption = caption;
  setup.outermost = depth == 1;
  setup.cancel = [&level] {
    level.cancelled = true;
    globalCancel = true;
  };
  level.window = CurrentProgressWindows().Create(setup);
  if (!level.window) {
    eerror::EMsg(eerror::kStatusLine, "Kan ej skapa dialog");
    return false;
  }
  return true;
}

void Line(int n, const std::string& text) {
  Level* level = CurrentLevel();
  if (level == nullptr || Aborted()) return;
  level->window->ShowLine(StatusLineOf(n), esmall::ShowableText(text));
  level->window->ProcessEvents();
}

bool Aborted() {
  const Level* level = CurrentLevel();
  return globalCancel || (level != nullptr && level->cancelled);
}

void Close() {
  if (depth <= 0) return;
  if (depth <= kMaxDepth) levels[depth - 1].window.reset();
  --depth;
}

int Depth() { return depth; }

}  // namespace ecountform
