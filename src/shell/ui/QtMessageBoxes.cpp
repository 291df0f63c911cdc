#include "shell/ui/QtMessageBoxes.h"

#include "shell/ESmall_HandleStack.h"
#include "shell/ui/QtText.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QWidget>

#include <climits>

namespace shellui {

namespace {

QWidget* Owner() {
  QWidget* owner = QWidget::find(static_cast<WId>(esmall::OwnerWindows().Top()));
  return owner != nullptr ? owner : QApplication::activeWindow();
}

int ResultOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok: return eerror::kOk;
    case QMessageBox::Cancel: return eerror::kCancel;
    case QMessageBox::Abort: return eerror::kAbort;
    case QMessageBox::Retry: return eerror::kRetry;
    case QMessageBox::Ignore: return eerror::kIgnore;
    case QMessageBox::Yes: return eerror::kYes;
    case QMessageBox::No: return eerror::kNo;
    default: return eerror::kNoButton;
  }
}

}  // namespace

int QtMessageBoxes::Show(eerror::BoxKind kind, const std::string& caption, const std::string& text) {
  QMessageBox box(Owner());
  box.setWindowTitle(FromAnsi(caption));
  box.setText(FromAnsi(text));
  box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
  switch (kind) {
    case eerror::BoxKind::Question:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    case eerror::BoxKind::Warning:
      box.setIcon(QMessageBox::Warning);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case eerror::BoxKind::AbortRetryIgnore:
      box.setIcon(QMessageBox::Warning);
      box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
      break;
    case eerror::BoxKind::Error:
      box.setIcon(QMessageBox::Critical);
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  box.exec();
  return ResultOf(box.standardButton(box.clickedButton()));
}

void QtMessageBoxes::Beep() { QApplication::beep(); }

long QtMessageBoxes::AskNumber(const std::string& prompt, long number) {
  bool ok = false;
  const long clamped = number < INT_MIN ? INT_MIN : number > INT_MAX ? INT_MAX : number;
  const int entered = QInputDialog::getInt(Owner(), QString(), FromAnsi(prompt),
                                           static_cast<int>(clamped), INT_MIN, INT_MAX, 1, &ok);
  return ok ? entered : number;
}

}  // namespace shellui
