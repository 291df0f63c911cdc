#include "printing/ewrite32_dialog.h"

#include "common/Ansi.h"

#include <unistd.h>

#include <iostream>

namespace printing {
namespace {

ReportDialogs* current = nullptr;

// Within 79 columns, so the terminal never wraps the line being rewritten.
constexpr size_t kConsoleWidth = 79;

class ConsoleDialog : public ReportDialog {
 public:
  ConsoleDialog(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
  ~ConsoleDialog() override {
    if (terminal_) out_ << "\r\x1b[K" << std::flush;
  }
  void ShowLine(ReportLine line, const std::string& text) override {
    switch (line) {
      case ReportLine::Job: job_ = text; break;
      case ReportLine::Pages: page_ = text; break;
      case ReportLine::Count: count_ = text; break;
      default: return;  // the device and the caller's lines do not fit on one line
    }
    Show();
  }
  void ShowBar(int) override {}
  void ProcessEvents() override {}

 private:
  void Show() {
    if (!terminal_) return;
    std::string line = "rapport: " + job_;
    if (!page_.empty()) line += " sida " + page_;
    if (!count_.empty()) line += "  antal:" + count_;
    if (line.size() > kConsoleWidth) line.resize(kConsoleWidth);
    out_ << '\r' << ansi::ToUtf8(line) << "\x1b[K" << std::flush;
  }

  std::ostream& out_;
  bool terminal_;
  std::string job_, page_, count_;
};

class RecordedDialog : public ReportDialog {
 public:
  RecordedDialog(RecordingReportDialogs& owner, std::function<void()> cancel)
      : owner_(owner), cancel_(std::move(cancel)) {}
  ~RecordedDialog() override { ++owner_.closed; }
  void ShowLine(ReportLine line, const std::string& text) override {
    owner_.lines.push_back({line, text});
  }
  void ShowBar(int percent) override { owner_.bars.push_back(percent); }
  void ProcessEvents() override {
    if (++owner_.events == owner_.cancelAtEvent && cancel_) cancel_();
  }
  esmall::WindowHandle Handle() const override { return owner_.handle; }

 private:
  RecordingReportDialogs& owner_;
  std::function<void()> cancel_;
};

}  // namespace

ReportDialogs& CurrentReportDialogs() {
  return current != nullptr ? *current : ConsoleReportDialogs::Standard();
}

ReportDialogs* InstallReportDialogs(ReportDialogs* dialogs) {
  ReportDialogs* previous = current;
  current = dialogs;
  return previous;
}

ConsoleReportDialogs& ConsoleReportDialogs::Standard() {
  static ConsoleReportDialogs console(std::cerr, isatty(2) == 1);
  return console;
}

std::unique_ptr<ReportDialog> ConsoleReportDialogs::Create(const ReportDialogSetup&) {
  return std::make_unique<ConsoleDialog>(out_, terminal_);
}

std::unique_ptr<ReportDialog> RecordingReportDialogs::Create(const ReportDialogSetup& setup) {
  if (refuseCreate) return nullptr;
  ++created;
  return std::make_unique<RecordedDialog>(*this, setup.cancel);
}

std::string RecordingReportDialogs::Last(ReportLine line) const {
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (it->line == line) return it->text;
  }
  return {};
}

}  // namespace printing
