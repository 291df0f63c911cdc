// The progress window of a print job on Qt, TrapportDlg: caption "rapport", the device line
// sbSkrivarDevice, the job line sbSkrivarJobb, the page line sbRapportSidor, the counter line
// sbAntal ("  antal:" and the counter), a progress bar, three status lines and Cancel. It
// disables its owner while it is open and enables it again when it closes. Cancel, Escape
// and the close box run the job's cancel action once; the window stays until the job ends.
#pragma once

#include "printing/ewrite32_dialog.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace printui {

class TrapportDlg : public QDialog {
 public:
  // owner may be null: then the window is centred on the screen and disables nothing.
  TrapportDlg(QWidget* owner, std::function<void()> cancel);
  ~TrapportDlg() override;

  void ShowLine(printing::ReportLine line, const QString& text);
  void ShowBar(int percent);
  QLabel* Line(printing::ReportLine line) const;
  QLabel* CountCaption() const { return countCaption_; }
  QProgressBar* Bar() const { return bar_; }
  QPushButton* CancelButton() const { return cancelButton_; }
  void reject() override;

 private:
  void Cancel();

  QLabel* device_ = nullptr;
  QLabel* job_ = nullptr;
  QLabel* pages_ = nullptr;
  QLabel* countCaption_ = nullptr;
  QLabel* count_ = nullptr;
  QLabel* status_[3] = {};
  QProgressBar* bar_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPointer<QWidget> disabledOwner_;
  std::function<void()> cancel_;
};

class QtReportDialogs : public printing::ReportDialogs {
 public:
  std::unique_ptr<printing::ReportDialog> Create(const printing::ReportDialogSetup& setup) override;
};

// Makes dialogs current for the life of the guard, then puts back the one before.
class ScopedReportDialogs {
 public:
  explicit ScopedReportDialogs(printing::ReportDialogs& dialogs)
      : previous_(printing::InstallReportDialogs(&dialogs)) {}
  ~ScopedReportDialogs() { printing::InstallReportDialogs(previous_); }
  ScopedReportDialogs(const ScopedReportDialogs&) = delete;
  ScopedReportDialogs& operator=(const ScopedReportDialogs&) = delete;

 private:
  printing::ReportDialogs* previous_;
};

}  // namespace printui
