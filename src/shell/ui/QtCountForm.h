// The progress window on Qt. TCountForm is one window: the caller's caption, stay-on-top,
// centred on its owner, eight status lines countW1..countW8 of which the first shownLines
// are visible, and the Cancel button "avbryt" only when asked for. The outermost window
// disables its owner for its life and enables it again when it closes; a window without
// Cancel shows the hourglass while it is open. QtProgressWindows makes them for ECountForm,
// which keeps the nesting, the depth and the cancel flags.
#pragma once

#include "shell/ECountForm.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace shellui {

class TCountForm : public QDialog {
 public:
  // owner may be null: then the window is centred on the screen and disables nothing.
  TCountForm(QWidget* owner, const ecountform::ProgressWindowSetup& setup);
  ~TCountForm() override;

  void ShowLine(int line, const QString& text);
  QLabel* StatusLine(int line) const { return lines_[line - 1]; }
  QPushButton* CancelButton() const { return cancel_; }
  // The window closes only through its caller; Escape and the close box press Cancel.
  void reject() override;

 private:
  QLabel* lines_[ecountform::kStatusLines] = {};
  QPushButton* cancel_ = nullptr;
  QPointer<QWidget> disabledOwner_;
  bool waitCursor_ = false;
  std::function<void()> cancelAction_;
  bool withCancel_ = false;
};

class QtProgressWindows : public ecountform::ProgressWindows {
 public:
  std::unique_ptr<ecountform::ProgressWindow> Create(const ecountform::ProgressWindowSetup& setup) override;
};

// Makes windows current for the life of the guard, then puts back the one before.
class ScopedProgressWindows {
 public:
  explicit ScopedProgressWindows(ecountform::ProgressWindows& windows)
      : previous_(ecountform::InstallProgressWindows(&windows)) {}
  ~ScopedProgressWindows() { ecountform::InstallProgressWindows(previous_); }
  ScopedProgressWindows(const ScopedProgressWindows&) = delete;
  ScopedProgressWindows& operator=(const ScopedProgressWindows&) = delete;

 private:
  ecountform::ProgressWindows* previous_;
};

}  // namespace shellui
