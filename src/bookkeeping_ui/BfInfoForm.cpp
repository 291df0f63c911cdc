#include "bookkeeping_ui/BfInfoForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "registers/ui/epickForm32.h"
#include "shell/Eerror32.h"
#include "shell/ui/QtText.h"
#include "shell/ui/StatusLine.h"
#include "shell/ui/emainform.h"

namespace bfui {

using bf::InfoField;
using shellui::FromAnsi;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr char kDateMask[] = "9999-99-99;_";
// The buttons' captions, blanks and all.
constexpr const char* kGroupButtons[bf::kGroupCount] = {"", " 1 ", " 2 ", " 3", " 4 ", " 5", " 6", " 7", "8"};

QLineEdit* DateEdit(const char* name, const char* hint, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setInputMask(U(kDateMask));
  edit->setToolTip(U(hint));
  return edit;
}

}  // namespace

TInputIForm::TInputIForm(bf::TInputIEdit& edit, QWidget* parent) : QDialog(parent), edit_(edit) {
  setObjectName("InputIForm");
  setWindowTitle(U("bokföring"));
  shellui::ScaleDialog(this);
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  layout->addLayout(grid);

  name_ = new QLineEdit(this);
  name_->setObjectName("editName");
  name_->setMaxLength(static_cast<int>(bf::BfDataBasRecord::kNameCapacity));
  name_->setToolTip(U("namn eller företag för bokföringsbasen"));
  grid->addWidget(new QLabel(U("företag/namn"), this), 0, 0);
  grid->addWidget(name_, 0, 1, 1, 2);
  from_ = DateEdit("frDatum", "starta bokföringen  from och med detta datum yyyy-mm-dd", this);
  to_ = DateEdit("toDatum", "sluta bokföringen detta datum yyyy-mm-dd", this);
  auto* period = new QHBoxLayout;
  period->addWidget(from_);
  period->addWidget(new QLabel(U("--"), this));
  period->addWidget(to_);
  period->addStretch(1);
  grid->addWidget(new QLabel(U("period"), this), 1, 0);
  grid->addLayout(period, 1, 1, 1, 2);

  for (int g = 1; g < bf::kGroupCount; ++g) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString("etSummaGrupp%1").arg(g));
    field->setMaxLength(static_cast<int>(bf::BfDataBasRecord::kGroupCapacity));
    field->setReadOnly(true);
    // Tab goes from button to button: the field can only be read (a click still selects
    // its text for copying).
    field->setFocusPolicy(Qt::ClickFocus);
    field->setToolTip(U("valda konton i summagruppen"));
    // Chosen with the button, not typed: shown on the window's background.
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
    auto* button = new QPushButton(U(kGroupButtons[g]), this);
    button->setObjectName(QString("Button%1").arg(g));
    button->setAutoDefault(false);
    grid->addWidget(button, g + 1, 0);
    grid->addWidget(field, g + 1, 1, 1, 2);
    groups_[static_cast<size_t>(g)] = field;
    buttons_[static_cast<size_t>(g)] = button;
    connect(button, &QPushButton::clicked, this, [this, g] { ChooseGroup(g); });
  }
  grid->setColumnStretch(2, 1);

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(U("OK"), this);
  ok->setObjectName("okBitBtn");
  ok->setDefault(true);
  auto* cancel = new QPushButton(U("Avbryt"), this);
  cancel->setObjectName("cancelBitBtn");
  cancel->setAutoDefault(false);
  buttons->addWidget(ok);
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  status_ = new shellui::StatusLine(this);
  status_->setObjectName("StatusBar1");
  layout->addWidget(status_);
  connect(ok, &QPushButton::clicked, this, &TInputIForm::accept);
  connect(cancel, &QPushButton::clicked, this, &TInputIForm::reject);

  for (const InfoField field : {InfoField::kName, InfoField::kFromDate, InfoField::kToDate})
    connect(Field(field), &QLineEdit::inputRejected, this, [this, field] { Refuse(field, bf::RejectedText(field)); });
  const bf::InfoTexts shown = edit.Shown();
  name_->setText(QString::fromStdString(shown.name));
  from_->setText(QString::fromStdString(shown.fromDate));
  to_->setText(QString::fromStdString(shown.toDate));
  for (int g = 1; g < bf::kGroupCount; ++g) ShowGroup(g);
  resize(sizeHint().width() * 3 / 2, sizeHint().height());
}

QLineEdit* TInputIForm::Field(InfoField field) const {
  switch (field) {
    case InfoField::kName: return name_;
    case InfoField::kFromDate: return from_;
    case InfoField::kToDate: return to_;
  }
  return nullptr;
}

QString TInputIForm::Status() const { return status_->currentMessage(); }

void TInputIForm::ShowGroup(int g) {
  groups_[static_cast<size_t>(g)]->setText(FromAnsi(edit_.Record().sumGroups[static_cast<size_t>(g)]));
}

void TInputIForm::ChooseGroup(int g) {
  eregui::QtPickWindows windows(this);
  const std::string before = eerror::StatusMsg;
  edit_.ChooseGroup(windows, g);
  ShowGroup(g);
  if (eerror::StatusMsg != before) status_->showMessage(FromAnsi(eerror::StatusMsg));
}

void TInputIForm::Refuse(InfoField field, const std::string& message) {
  eerror::Beep();
  QLineEdit* edit = Field(field);
  edit->setFocus();
  edit->selectAll();
  status_->showMessage(FromAnsi(message));
}

void TInputIForm::accept() {
  InfoField field = InfoField::kName;
  std::string message;
  if (!edit_.Ok({name_->text().toStdString(), from_->text().toStdString(), to_->text().toStdString()}, field,
                message)) {
    Refuse(field, message);
    return;
  }
  QDialog::accept();
}

void TInputIForm::reject() {
  edit_.Cancel();
  QDialog::reject();
}

}  // namespace bfui
