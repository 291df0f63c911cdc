#include "shell/ui/QtCountForm.h"

#include "shell/ui/CentredWindow.h"
#include "shell/ui/QtText.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace shellui {

namespace {

constexpr int kWidth = 420;

class QtProgressWindow : public ecountform::ProgressWindow {
 public:
  QtProgressWindow(QWidget* owner, const ecountform::ProgressWindowSetup& setup) : form_(owner, setup) {}
  void ShowLine(int line, const std::string& text) override { form_.ShowLine(line, FromAnsi(text)); }
  void ProcessEvents() override { QApplication::processEvents(); }

 private:
  TCountForm form_;
};

}  // namespace

TCountForm::TCountForm(QWidget* owner, const ecountform::ProgressWindowSetup& setup)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint),
      cancelAction_(setup.cancel),
      withCancel_(setup.withCancel) {
  setObjectName("CountForm");
  setWindowTitle(FromAnsi(setup.caption));
  if (owner != nullptr) setFont(owner->font());  // the shell window's scale
  auto* layout = new QVBoxLayout(this);
  for (int i = 0; i < ecountform::kStatusLines; ++i) {
    lines_[i] = new QLabel(this);
    lines_[i]->setObjectName(QString("countW%1").arg(i + 1));
    lines_[i]->setVisible(i < setup.shownLines);
    layout->addWidget(lines_[i]);
  }
  cancel_ = new QPushButton(QString::fromUtf8("avbryt"), this);
  cancel_->setVisible(setup.withCancel);
  layout->addWidget(cancel_, 0, Qt::AlignHCenter);
  connect(cancel_, &QPushButton::clicked, this, [this] {
    if (cancelAction_) cancelAction_();
  });
  const double scale = font().pointSizeF() / std::max(1.0, QApplication::font().pointSizeF());
  setFixedWidth(static_cast<int>(kWidth * std::max(1.0, scale)));
  adjustSize();  // hidden lines take no room: the window is shorter by them

  if (setup.outermost && owner != nullptr && owner->isEnabled()) {
    owner->setEnabled(false);
    disabledOwner_ = owner;
  }
  setEnabled(true);  // a window of a disabled owner would start disabled too
  if (!setup.withCancel) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
  }
  MoveCentred(this, owner);
  show();
  if (setup.withCancel) {
    cancel_->setEnabled(true);
    cancel_->setFocus();
  }
  QApplication::processEvents();
}

TCountForm::~TCountForm() {
  if (waitCursor_) QApplication::restoreOverrideCursor();
  if (disabledOwner_) disabledOwner_->setEnabled(true);
}

void TCountForm::ShowLine(int line, const QString& text) {
  if (line >= 1 && line <= ecountform::kStatusLines) lines_[line - 1]->setText(text);
}

void TCountForm::reject() {
  if (withCancel_ && cancelAction_) cancelAction_();
}

std::unique_ptr<ecountform::ProgressWindow> QtProgressWindows::Create(const ecountform::ProgressWindowSetup& setup) {
  QWidget* owner = QWidget::find(static_cast<WId>(setup.owner));
  if (owner == nullptr) owner = QApplication::activeWindow();
  if (owner != nullptr) owner = owner->window();
  return std::make_unique<QtProgressWindow>(owner, setup);
}

}  // namespace shellui
