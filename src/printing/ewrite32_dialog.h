// The progress window of a print job (TrapportDlg, caption "rapport"): the device line
// (printer, driver and port), the job title, the page number, the counter line whose first
// panel reads "  antal:", a progress bar, five plain status lines (the engine uses three)
// and Cancel. The engine declares it; the window side implements it (owner disabled while
// it is shown), bfnolk uses the console one, tests the recording one.
#pragma once

#include "shell/ESmall_HandleStack.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace printing {

enum class ReportLine { Device, Job, Pages, Count, Status1, Status2, Status3 };

class ReportDialog {
 public:
  virtual ~ReportDialog() = default;  // closes the dialog and enables its owner
  virtual void ShowLine(ReportLine line, const std::string& text) = 0;
  virtual void ShowBar(int percent) = 0;
  // Lets pending user events run; a Cancel press calls the dialog's cancel action.
  virtual void ProcessEvents() = 0;
  // The dialog as owner of boxes shown while it is open (0: none).
  virtual esmall::WindowHandle Handle() const { return 0; }
};

struct ReportDialogSetup {
  esmall::WindowHandle owner = 0;
  std::function<void()> cancel;
};

class ReportDialogs {
 public:
  virtual ~ReportDialogs() = default;
  // The new dialog, or nullptr when none can be shown (the job prints without one).
  virtual std::unique_ptr<ReportDialog> Create(const ReportDialogSetup& setup) = 0;
};

ReportDialogs& CurrentReportDialogs();
// Makes dialogs current (nullptr: the console one) and returns the one it replaces.
ReportDialogs* InstallReportDialogs(ReportDialogs* dialogs);

// One line on standard error rewritten in place ("rapport: job sida   2  antal:   12[  100]"),
// cleared when the dialog closes; nothing at all when the output is not a terminal.
class ConsoleReportDialogs : public ReportDialogs {
 public:
  ConsoleReportDialogs(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}
  static ConsoleReportDialogs& Standard();
  std::unique_ptr<ReportDialog> Create(const ReportDialogSetup& setup) override;

 private:
  std::ostream& out_;
  bool terminal_;
};

// Records dialogs, lines and bars; can refuse to create, or press Cancel during the events
// that follow a given number of ProcessEvents calls.
class RecordingReportDialogs : public ReportDialogs {
 public:
  struct Line {
    ReportLine line;
    std::string text;
  };
  std::vector<Line> lines;
  std::vector<int> bars;
  int created = 0;
  int closed = 0;
  int events = 0;
  bool refuseCreate = false;
  int cancelAtEvent = -1;  // press Cancel during this ProcessEvents call (1-based)
  esmall::WindowHandle handle = 0;

  std::unique_ptr<ReportDialog> Create(const ReportDialogSetup& setup) override;
  // The last text shown on line; empty when none.
  std::string Last(ReportLine line) const;
};

}  // namespace printing
