#include "bookkeeping_ui/BfKontoForm.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include "shell/Eerror32.h"
#include "shell/ui/QtText.h"
#include "shell/ui/StatusLine.h"
#include "shell/ui/emainform.h"

namespace bfui {

using bf::KontoField;
using shellui::FromAnsi;

// The account number: a spin edit 0..9999 in which any six characters may be typed, so that
// the dialog can say what is wrong with a text that is not a number. Such a text goes back to
// the last good value when the field is left.
class NumberSpin : public QSpinBox {
 public:
  explicit NumberSpin(QWidget* parent) : QSpinBox(parent) {
    setRange(0, bf::TkontoEdit::kMaxNumber);
    lineEdit()->setMaxLength(bf::TkontoEdit::kNumberChars);
  }
  QLineEdit* Edit() const { return lineEdit(); }

 protected:
  QValidator::State validate(QString& input, int& pos) const override {
    if (QSpinBox::validate(input, pos) == QValidator::Acceptable) return QValidator::Acceptable;
    return input.size() <= bf::TkontoEdit::kNumberChars ? QValidator::Intermediate : QValidator::Invalid;
  }
};

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The digits a money field shows at most.
constexpr int kMoneyWidth = bf::TkontoEdit::kMoneyChars;
constexpr int kStatusChars = 76;

}  // namespace

TkontoDlg::TkontoDlg(bf::TkontoEdit& edit, QWidget* parent) : QDialog(parent), edit_(edit) {
  setObjectName("kontoDlg");
  setWindowTitle(U("konto"));
  shellui::ScaleDialog(this);
  auto* layout = new QVBoxLayout(this);
  fields_ = new QFormLayout;
  layout->addLayout(fields_);

  number_ = new NumberSpin(this);
  number_->setObjectName("kontonummer");
  number_->setMinimumWidth(fontMetrics().horizontalAdvance(QString(kMoneyWidth + 6, '0')));
  number_->setToolTip(U("ange kontnumret i siffror"));
  number_->installEventFilter(this);
  number_->Edit()->installEventFilter(this);
  fields_->addRow(U("kontonummer"), number_);
  name_ = AddEdit("kontotext", "kontotext", "kontonumret i text ", bf::KontoRecord::kNameCapacity);
  reference_ = AddEdit("secrettext", "referens", "kontonumrets banknummer eller liknande",
                       bf::KontoRecord::kReferenceCapacity);
  sign_ = AddEdit("debetkredit", "+/-", nullptr, bf::TkontoEdit::kSignChars);
  budget_ = AddEdit("edbudget", "budget", "budget för perioden", bf::TkontoEdit::kMoneyChars);
  opening_ = AddEdit("edinsaldo", "ingående saldo", "ingående saldo för kontot", bf::TkontoEdit::kMoneyChars);
  const struct {
    const char* name;
    const char* caption;
    const char* hint;
    std::string shown;
  } sums[] = {{"eddebet", "debet", "debet för kontot", edit.ShownDebit()},
              {"edkredit", "kredit", "kredit för kontot", edit.ShownCredit()},
              {"edutsaldo", "utgående saldo", "utgående saldo för kontot", edit.ShownClosing()}};
  for (const auto& sum : sums) {
    QLineEdit* field = AddEdit(sum.name, sum.caption, sum.hint, 0);
    field->setText(FromAnsi(sum.shown));
    field->setReadOnly(true);
    field->setEnabled(false);
  }

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(U("ok"), this);
  ok->setObjectName("BitBtn1");
  ok->setDefault(true);
  ok->setToolTip(U("spara aktuell blankett i  registret och återvänd"));
  ok->installEventFilter(this);
  auto* cancel = new QPushButton(U("avbryt"), this);
  cancel->setObjectName("BitBtn2");
  cancel->setAutoDefault(false);
  buttons->addWidget(ok);
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  status_ = new shellui::StatusLine(this);
  status_->setObjectName("StatusBar1");
  layout->addWidget(status_);
  // Wide enough for the longest message on the status line.
  setMinimumWidth(fontMetrics().averageCharWidth() * kStatusChars);
  connect(ok, &QPushButton::clicked, this, &TkontoDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &TkontoDlg::reject);

  const bf::KontoTexts shown = edit.Shown();
  number_->Edit()->setText(QString::fromStdString(shown.number));
  name_->setText(QString::fromStdString(shown.name));
  reference_->setText(QString::fromStdString(shown.reference));
  sign_->setText(QString::fromStdString(shown.sign));
  budget_->setText(QString::fromStdString(shown.budget));
  opening_->setText(QString::fromStdString(shown.opening));
  // A changed account keeps its number: the field shows it on the info background.
  number_->setEnabled(edit.IsNew());
  QPalette palette = number_->palette();
  palette.setColor(QPalette::Base, palette.color(edit.IsNew() ? QPalette::Base : QPalette::ToolTipBase));
  number_->setPalette(palette);
  (edit.IsNew() ? static_cast<QWidget*>(number_) : name_)->setFocus();

  for (const KontoField field : {KontoField::kNumber, KontoField::kName, KontoField::kReference, KontoField::kSign,
                                 KontoField::kBudget, KontoField::kOpening})
    connect(Field(field), &QLineEdit::inputRejected, this, [this, field] { Refuse(field, edit_.RejectedText(field)); });
  connect(number_->Edit(), &QLineEdit::textEdited, this, [this] { CheckTyped(KontoField::kNumber); });
  connect(sign_, &QLineEdit::textEdited, this, [this] { CheckTyped(KontoField::kSign); });
  connect(budget_, &QLineEdit::textEdited, this, [this] { CheckTyped(KontoField::kBudget); });
}

QLineEdit* TkontoDlg::AddEdit(const char* name, const char* caption, const char* hint, int maxLength) {
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  if (maxLength > 0) field->setMaxLength(maxLength);
  // Wide enough for what it holds, the reference's 23 characters the widest.
  field->setMinimumWidth(fontMetrics().horizontalAdvance(QString(std::max(maxLength, kMoneyWidth) + 2, '0')));
  if (hint != nullptr) field->setToolTip(U(hint));
  field->installEventFilter(this);
  fields_->addRow(U(caption), field);
  return field;
}

QLineEdit* TkontoDlg::Field(KontoField field) const {
  switch (field) {
    case KontoField::kNumber: return number_->Edit();
    case KontoField::kName: return name_;
    case KontoField::kReference: return reference_;
    case KontoField::kSign: return sign_;
    case KontoField::kBudget: return budget_;
    case KontoField::kOpening: return opening_;
  }
  return nullptr;
}

QString TkontoDlg::Status() const { return status_->currentMessage(); }

bool TkontoDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn)
    if (auto* widget = qobject_cast<QWidget*>(watched); widget != nullptr && !widget->toolTip().isEmpty())
      status_->showMessage(widget->toolTip());
  return QDialog::eventFilter(watched, event);
}

bf::KontoTexts TkontoDlg::Typed() const {
  return {number_->Edit()->text().toStdString(), name_->text().toStdString(), reference_->text().toStdString(),
          sign_->text().toStdString(), budget_->text().toStdString(), opening_->text().toStdString()};
}

void TkontoDlg::Refuse(KontoField field, const std::string& message) {
  eerror::Beep();
  // The number's text is in its spin box, which takes the focus for it.
  QWidget* focus = field == KontoField::kNumber ? static_cast<QWidget*>(number_) : Field(field);
  focus->setFocus();
  Field(field)->selectAll();
  status_->showMessage(FromAnsi(message));  // over the hint the focus showed
}

void TkontoDlg::CheckTyped(KontoField field) {
  const std::string message = edit_.CheckTyped(field, Field(field)->text().toStdString());
  if (message.empty()) status_->clearMessage();
  else Refuse(field, message);
}

void TkontoDlg::accept() {
  bf::KontoRefusal refusal;
  if (!edit_.Ok(Typed(), refusal)) {
    Refuse(refusal.field, refusal.message);
    return;
  }
  QDialog::accept();
}

void TkontoDlg::reject() {
  edit_.Cancel();
  QDialog::reject();
}

bool QtKontoDialogs::RunKontoDialog(bf::TkontoEdit& edit) {
  TkontoDlg dialog(edit, owner_);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace bfui
