#include "registers/ui/epickForm32.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "registers/ui/ListFont.h"
#include "shell/ui/QtText.h"
#include "shell/ui/StatusLine.h"
#include "shell/ui/emainform.h"

namespace eregui {

using shellui::FromAnsi;

TEPickForm::TEPickForm(ereg::TPickWindowState& state, QWidget* parent) : QDialog(parent), state_(state) {
  setObjectName("EPickForm");
  setWindowTitle(FromAnsi(state.Caption()));
  shellui::ScaleDialog(this);
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName("EPickListBox");
  list_->setFont(ListFont(this, false));
  list_->setSelectionMode(state.Multi() ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
  for (int i = 0; i < state.Count(); ++i) list_->addItem(FromAnsi(state.Line(i)));
  layout->addWidget(list_, 1);

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QString::fromUtf8("OK"), this);
  ok->setObjectName("OKBtn");
  ok->setDefault(true);
  all_ = new QPushButton(this);
  all_->setObjectName("AllaBtn");
  all_->setToolTip(QString::fromUtf8("väljer alla respektive ingen"));
  all_->setEnabled(state.AllEnabled());
  auto* cancel = new QPushButton(QString::fromUtf8("Avbryt"), this);
  cancel->setObjectName("CancelBtn");
  buttons->addWidget(ok);
  buttons->addWidget(all_);
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  status_ = new shellui::StatusLine(this);
  status_->setObjectName("StatusBar1");
  layout->addWidget(status_);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(all_, &QPushButton::clicked, this, &TEPickForm::PressAll);
  connect(list_, &QListWidget::itemSelectionChanged, this, &TEPickForm::TakeSelection);
  connect(list_, &QListWidget::itemDoubleClicked, this, &TEPickForm::DoubleClicked);
  ShowState();
  // A single choice starts on the first line when none is chosen, so that Enter picks the
  // line the list shows as current.
  if (state_.DoubleClickPicks() && list_->selectedItems().isEmpty() && list_->count() > 0) {
    list_->setCurrentRow(0);
    list_->item(0)->setSelected(true);
  }
  // The width of the widest line, so that the amounts at the end are seen.
  list_->setMinimumWidth(list_->sizeHintForColumn(0) + 2 * list_->frameWidth() + 24);
  if (const QListWidgetItem* first = list_->selectedItems().value(0)) list_->scrollToItem(first);
}

QString TEPickForm::Status() const { return status_->currentMessage(); }

void TEPickForm::TakeSelection() {
  if (showing_) return;
  for (int i = 0; i < list_->count(); ++i) state_.SetSelected(i, list_->item(i)->isSelected());
  ShowState();
}

void TEPickForm::ShowState() {
  showing_ = true;
  for (int i = 0; i < list_->count(); ++i) list_->item(i)->setSelected(state_.Selected(i));
  showing_ = false;
  all_->setText(FromAnsi(state_.AllCaption()));
  status_->showMessage(FromAnsi(state_.Status()));
}

void TEPickForm::PressAll() {
  state_.PressAll();
  ShowState();
}

void TEPickForm::DoubleClicked() {
  ShowState();
  if (state_.DoubleClickPicks()) accept();
}

bool QtPickWindows::ShowPick(ereg::TPickWindowState& state) {
  TEPickForm form(state, owner_);
  return form.exec() == QDialog::Accepted;
}

}  // namespace eregui
