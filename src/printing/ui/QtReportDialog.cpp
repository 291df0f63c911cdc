#include "printing/ui/QtReportDialog.h"

#include "shell/ui/CentredWindow.h"
#include "shell/ui/QtText.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace printui {

namespace {

constexpr int kWidth = 460;

class QtReportDialog : public printing::ReportDialog {
 public:
  QtReportDialog(QWidget* owner, std::function<void()> cancel) : dialog_(owner, std::move(cancel)) {}
  void ShowLine(printing::ReportLine line, const std::string& text) override {
    dialog_.ShowLine(line, shellui::FromAnsi(text));
  }
  void ShowBar(int percent) override { dialog_.ShowBar(percent); }
  void ProcessEvents() override { QApplication::processEvents(); }
  esmall::WindowHandle Handle() const override {
    return static_cast<esmall::WindowHandle>(const_cast<TrapportDlg&>(dialog_).winId());
  }

 private:
  TrapportDlg dialog_;
};

QLabel* Panel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setTextInteractionFlags(Qt::NoTextInteraction);
  return label;
}

}  // namespace

TrapportDlg::TrapportDlg(QWidget* owner, std::function<void()> cancel)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint), cancel_(std::move(cancel)) {
  setObjectName("rapportdlg");
  setWindowTitle(QString::fromUtf8("rapport"));
  if (owner != nullptr) setFont(owner->font());
  auto* layout = new QVBoxLayout(this);
  device_ = Panel(this, "sbSkrivarDevice");
  job_ = Panel(this, "sbSkrivarJobb");
  pages_ = Panel(this, "sbRapportSidor");
  pages_->setText(QString::fromUtf8("sida:  1"));  // the engine names the pages after the first
  layout->addWidget(device_);
  layout->addWidget(job_);
  layout->addWidget(pages_);

  auto* counter = new QHBoxLayout;
  countCaption_ = Panel(this, "sbAntalText");
  countCaption_->setText(QString::fromUtf8("  antal:"));
  count_ = Panel(this, "sbAntal");
  counter->addWidget(countCaption_);
  counter->addWidget(count_, 1);
  layout->addLayout(counter);

  bar_ = new QProgressBar(this);
  bar_->setObjectName("ProgressBar1");
  bar_->setRange(0, 100);
  bar_->setValue(0);
  layout->addWidget(bar_);
  for (int i = 0; i < 3; ++i) {
    status_[i] = new QLabel(this);
    status_[i]->setObjectName(QString("StatusBar%1").arg(i + 1));
    layout->addWidget(status_[i]);
  }
  cancelButton_ = new QPushButton(QString::fromUtf8("avbryt"), this);  // as the progress window says it
  cancelButton_->setObjectName("CancelBtn");
  layout->addWidget(cancelButton_, 0, Qt::AlignHCenter);
  connect(cancelButton_, &QPushButton::clicked, this, [this] { Cancel(); });

  setFixedWidth(kWidth);
  adjustSize();
  if (owner != nullptr && owner->isEnabled()) {
    owner->setEnabled(false);
    disabledOwner_ = owner;
  }
  setEnabled(true);  // a window of a disabled owner would start disabled too
  shellui::MoveCentred(this, owner);
  show();
  cancelButton_->setFocus();
  QApplication::processEvents();
}

TrapportDlg::~TrapportDlg() {
  if (disabledOwner_) {
    disabledOwner_->setEnabled(true);
    disabledOwner_->raise();
    disabledOwner_->activateWindow();
  }
}

QLabel* TrapportDlg::Line(printing::ReportLine line) const {
  using enum printing::ReportLine;
  switch (line) {
    case Device: return device_;
    case Job: return job_;
    case Pages: return pages_;
    case Count: return count_;
    case Status1: return status_[0];
    case Status2: return status_[1];
    case Status3: return status_[2];
  }
  return nullptr;
}

void TrapportDlg::ShowLine(printing::ReportLine line, const QString& text) {
  if (QLabel* label = Line(line)) label->setText(line == printing::ReportLine::Pages ? "sida:" + text : text);
}

void TrapportDlg::ShowBar(int percent) { bar_->setValue(std::clamp(percent, 0, 100)); }

void TrapportDlg::reject() { Cancel(); }

void TrapportDlg::Cancel() {
  if (!cancelButton_->isEnabled()) return;
  cancelButton_->setEnabled(false);  // the job is ending; once is enough
  if (cancel_) cancel_();
}

std::unique_ptr<printing::ReportDialog> QtReportDialogs::Create(const printing::ReportDialogSetup& setup) {
  QWidget* owner = QWidget::find(static_cast<WId>(setup.owner));
  if (owner == nullptr) owner = QApplication::activeWindow();
  if (owner != nullptr) owner = owner->window();
  return std::make_unique<QtReportDialog>(owner, setup.cancel);
}

}  // namespace printui
