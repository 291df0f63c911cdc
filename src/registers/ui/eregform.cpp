#include "registers/ui/eregform.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "printing/ui/QtReportRun.h"
#include "registers/ui/ListFont.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ui/QtText.h"
#include "shell/ui/StatusLine.h"
#include "shell/ui/emainform.h"

namespace eregui {

using shellui::FromAnsi;
using shellui::ToAnsi;

TERegFormDlg::TERegFormDlg(ereg::TERegForm& reg, const QString& caption, QWidget* parent)
    : QDialog(parent), reg_(reg), lastShown_(eerror::StatusMsg) {
  setObjectName("ERegFormDlg");
  setWindowTitle(caption);
  shellui::ScaleDialog(this);
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName("ERegListBox");
  list_->setFont(ListFont(this, true));
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  layout->addWidget(list_, 1);

  auto* buttons = new QHBoxLayout;
  const struct {
    const char* name;
    const char* caption;
    void (TERegFormDlg::*command)();
  } commands[] = {{"NyBtn", "&Ny", &TERegFormDlg::NewEntry},
                  {"AndraBtn", "&Ändra", &TERegFormDlg::ChangeEntry},
                  {"RaderaBtn", "&Radera", &TERegFormDlg::EraseEntries},
                  {"SkrivBtn", "S&kriv", &TERegFormDlg::PrintEntries},
                  {"StangBtn", "&Stäng", nullptr}};
  for (const auto& c : commands) {
    auto* button = new QPushButton(QString::fromUtf8(c.caption), this);
    button->setObjectName(c.name);
    button->setAutoDefault(false);
    buttons->addWidget(button);
    if (c.command != nullptr) connect(button, &QPushButton::clicked, this, c.command);
    else connect(button, &QPushButton::clicked, this, &QDialog::accept);
  }
  layout->addLayout(buttons);
  status_ = new shellui::StatusLine(this);
  status_->setObjectName("StatusBar1");
  layout->addWidget(status_);

  connect(list_, &QListWidget::itemSelectionChanged, this, &TERegFormDlg::TakeSelection);
  connect(list_, &QListWidget::itemClicked, this, [this] { status_->showMessage(FromAnsi(reg_.ClickStatus())); });
  connect(list_, &QListWidget::itemDoubleClicked, this, &TERegFormDlg::ChangeEntry);

  setCursor(Qt::WaitCursor);
  reg_.Fill();
  unsetCursor();
  ShowList();
  list_->setMinimumWidth(list_->sizeHintForColumn(0) + 2 * list_->frameWidth() + 24);
}

QString TERegFormDlg::Status() const { return status_->currentMessage(); }

QPushButton* TERegFormDlg::Button(const char* name) const { return findChild<QPushButton*>(name); }

void TERegFormDlg::TakeSelection() {
  if (showing_) return;
  for (int i = 0; i < list_->count(); ++i) reg_.SetSelected(i, list_->item(i)->isSelected());
  reg_.SetCurrent(list_->currentRow());
}

void TERegFormDlg::ShowList() {
  showing_ = true;
  list_->clear();
  for (const ereg::TRegLine& line : reg_.Lines()) {
    auto* item = new QListWidgetItem(FromAnsi(line.text), list_);
    item->setSelected(line.selected);
  }
  if (reg_.Current() >= 0) {
    list_->setCurrentRow(reg_.Current(), QItemSelectionModel::NoUpdate);
    list_->scrollToItem(list_->item(reg_.Current()));
  }
  showing_ = false;
}

void TERegFormDlg::ShowStatusMsg() {
  if (eerror::StatusMsg == lastShown_) return;
  lastShown_ = eerror::StatusMsg;
  status_->showMessage(FromAnsi(lastShown_));
}

void TERegFormDlg::NewEntry() {
  TakeSelection();
  reg_.EditEntry(true);
  ShowList();
  ShowStatusMsg();
}

void TERegFormDlg::ChangeEntry() {
  TakeSelection();
  reg_.EditEntry(false);
  ShowList();
  ShowStatusMsg();
}

void TERegFormDlg::EraseEntries() {
  TakeSelection();
  reg_.EraseEntry();
  ShowList();
  ShowStatusMsg();
}

void TERegFormDlg::PrintEntries() {
  TakeSelection();
  PrintSelection();
  ShowStatusMsg();
}

void TERegFormDlg::PrintSelection() {
  const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  const std::string title = ToAnsi((owner != nullptr ? owner->windowTitle() + ": " : QString()) + windowTitle());
  const auto handle = static_cast<esmall::WindowHandle>(winId());
  printui::PrintReport([&](printing::PrintJob& job) {
    return reg_.PrintSelected(job, title, ekonfig::CurRapport, handle);
  });
}

}  // namespace eregui
