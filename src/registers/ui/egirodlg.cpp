#include "registers/ui/egirodlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextOption>
#include <QVBoxLayout>

#include "printing/ui/QtPrintCanvas.h"
#include "printing/ui/QtReportRun.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ui/QtText.h"
#include "shell/ui/StatusLine.h"
#include "shell/ui/emainform.h"

namespace eregui {

using ereg::GiroField;
using shellui::FromAnsi;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr GiroDlgKind kPlusgiroDlg{"plusgiroDlg", "plusgironummer", "till konto", nullptr};
constexpr GiroDlgKind kPostgiroDlg{"postgiroDlg", "postgironummer", "till konto", "nummer"};
constexpr GiroDlgKind kBankgiroDlg{"bankgiroDlg", "bankgironummer", "till konto", nullptr};

// The label setting's font in slot, for what the form prints in it; the dialog's own where
// the setting names none.
QFont LabelFont(const QWidget* dialog, printing::FontSlot slot) {
  const printing::TFontRec rec = ekonfig::CurEtikett.Printer().Font(slot);
  if (rec.name.empty() || rec.size <= 0) return dialog->font();
  return printui::FontOf(rec, rec.size);
}

// Wide enough for characters of the widest letter in font.
int WidthFor(const QFont& font, int characters) { return QFontMetrics(font).horizontalAdvance(QString(characters, 'M')); }

}  // namespace

TGiroDlg::TGiroDlg(ereg::TGiroEdit& edit, const GiroDlgKind& kind, QWidget* parent) : QDialog(parent), edit_(edit) {
  setObjectName(kind.objectName);
  setWindowTitle(FromAnsi(ereg::GiroCaption(edit.Kind())));
  shellui::ScaleDialog(this);
  const QFont big = LabelFont(this, printing::FontSlot::Stor);
  const QFont middle = LabelFont(this, printing::FontSlot::Mellan);

  const auto memo = [&](const char* name, GiroField field, bool centred) {
    auto* m = new QPlainTextEdit(this);
    m->setObjectName(name);
    m->setFont(middle);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    QTextOption option = m->document()->defaultTextOption();
    option.setAlignment(centred ? Qt::AlignHCenter : Qt::AlignLeft);
    m->document()->setDefaultTextOption(option);
    m->setPlainText(FromAnsi(ereg::FieldOf(edit.form, field)).replace("\r\n", "\n"));
    m->setTabChangesFocus(true);
    connect(m, &QPlainTextEdit::textChanged, this, [this, field] { CheckMemo(field); });
    return m;
  };
  const auto line = [&](const char* name, GiroField field, const QFont& font, int characters) {
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setFont(font);
    e->setMaxLength(static_cast<int>(ereg::GiroTextField(field).capacity));
    e->setMinimumWidth(WidthFor(font, characters));
    e->setText(FromAnsi(ereg::FieldOf(edit.form, field)));
    connect(e, &QLineEdit::inputRejected, this, [this, e, field] {
      Refuse(e, typedtext::FullFieldText(ereg::GiroTextField(field)));
    });
    edits_[static_cast<int>(field)] = e;
    return e;
  };

  message_ = memo("Memo2", GiroField::kMessage, false);
  message_->setMinimumSize(WidthFor(middle, 30), QFontMetrics(middle).height() * 8);
  sender_ = memo("Memo1", GiroField::kSender, true);
  sender_->setMinimumSize(WidthFor(middle, 26), QFontMetrics(middle).height() * 5);

  // The captions centred beside fields in the label fonts, which may be the bigger.
  auto* fields = new QGridLayout;
  const auto addRow = [&](const char* caption, QWidget* field, bool top = false) {
    const int row = fields->rowCount();
    fields->addWidget(new QLabel(U(caption), this), row, 0, Qt::AlignLeft | (top ? Qt::AlignTop : Qt::AlignVCenter));
    fields->addWidget(field, row, 1);
  };
  addRow("mottagare", line("Edit3", GiroField::kPayee, big, 16));
  addRow("littera", line("Edit5", GiroField::kLittera, big, 2));
  addRow(kind.account1, line("Edit2", GiroField::kAccount1, big, 12));
  addRow(kind.account2, line("Edit4", GiroField::kAccount2, middle, 16));
  QLineEdit* number3 = line("Edit1", GiroField::kNumber3, big, 12);
  if (kind.number3 != nullptr) addRow(kind.number3, number3);
  else number3->hide();  // kept, so that the form keeps what it holds
  amount_ = new QSpinBox(this);
  amount_->setObjectName("SpinEdit2");
  amount_->setFont(big);
  amount_->setRange(0, ereg::kMaxAmount);
  amount_->setSingleStep(5);
  amount_->setValue(ereg::GiroAmountValue(edit.form.amount));
  addRow("belopp", amount_);
  addRow("avsändare", sender_, true);
  fields->setRowStretch(fields->rowCount() - 1, 1);

  auto* messageColumn = new QVBoxLayout;
  messageColumn->addWidget(new QLabel(U("meddelande"), this));
  messageColumn->addWidget(message_, 1);
  auto* form = new QHBoxLayout;
  form->addLayout(messageColumn, 1);
  form->addLayout(fields, 1);

  auto* copiesBox = new QGroupBox(U("kopior"), this);
  auto* copiesLayout = new QHBoxLayout(copiesBox);
  copies_ = new QSpinBox(copiesBox);
  copies_->setObjectName("SpinEdit1");
  copies_->setRange(1, 99);
  copiesLayout->addWidget(copies_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copiesBox);
  buttons->addStretch(1);
  const struct {
    const char* name;
    const char* caption;
    const char* hint;
  } commands[] = {{"BitBtn1", "ok", "spara aktuell blankett i  registret och återvänd"},
                  {"BitBtn2", "avbryt", nullptr},
                  {"BitBtn3", "utskrift", nullptr}};
  for (const auto& c : commands) {
    auto* button = new QPushButton(U(c.caption), this);
    button->setObjectName(c.name);
    button->setAutoDefault(false);
    if (c.hint != nullptr) button->setToolTip(U(c.hint));
    buttons->addWidget(button);
  }
  findChild<QPushButton*>("BitBtn1")->setDefault(true);  // Return in a line field
  connect(findChild<QPushButton*>("BitBtn1"), &QPushButton::clicked, this, &TGiroDlg::accept);
  connect(findChild<QPushButton*>("BitBtn2"), &QPushButton::clicked, this, &TGiroDlg::reject);
  connect(findChild<QPushButton*>("BitBtn3"), &QPushButton::clicked, this, &TGiroDlg::Print);

  status_ = new shellui::StatusLine(this);
  status_->setObjectName("StatusBar1");
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form, 1);
  layout->addLayout(buttons);
  layout->addWidget(status_);
  edits_[static_cast<int>(GiroField::kPayee)]->setFocus();
}

QLineEdit* TGiroDlg::Edit(GiroField field) const { return edits_[static_cast<int>(field)]; }

QPlainTextEdit* TGiroDlg::Memo(GiroField field) const {
  return field == GiroField::kMessage ? message_ : field == GiroField::kSender ? sender_ : nullptr;
}

QString TGiroDlg::Status() const { return status_->currentMessage(); }

void TGiroDlg::Refuse(QWidget* field, const std::string& message) {
  eerror::Beep();
  field->setFocus();
  status_->showMessage(FromAnsi(message));
}

void TGiroDlg::CheckMemo(GiroField field) {
  ereg::GiroForm scratch;
  std::string message;
  if (!ereg::TakeGiroText(scratch, field, Memo(field)->toPlainText().toStdString(), message)) Refuse(Memo(field), message);
  else if (!Status().isEmpty()) status_->clearMessage();
}

bool TGiroDlg::TakeFields() {
  for (const GiroField field : ereg::kGiroFields) {
    if (field == GiroField::kAmount) continue;
    QWidget* control = Memo(field) != nullptr ? static_cast<QWidget*>(Memo(field)) : Edit(field);
    const QString text = Memo(field) != nullptr ? Memo(field)->toPlainText() : Edit(field)->text();
    std::string message;
    if (!ereg::TakeGiroText(edit_.form, field, text.toStdString(), message)) {
      Refuse(control->isVisible() ? control : this, message);
      return false;
    }
  }
  edit_.form.amount = std::to_string(amount_->value());
  return true;
}

void TGiroDlg::accept() {
  if (!TakeFields()) return;
  const std::string message = edit_.Ok();  // it beeps itself
  if (!message.empty()) {
    status_->showMessage(FromAnsi(message));
    return;
  }
  QDialog::accept();
}

void TGiroDlg::Print() {
  if (!TakeFields()) return;
  const int copies = copies_->value();
  const auto owner = static_cast<esmall::WindowHandle>(winId());
  eerror::StatusMsg.clear();
  printui::PrintOn(ekonfig::CurEtikett.Printer(), [&](printing::PrintJob& job, printing::PrintCanvas& canvas) {
    ereg::LabelPrinter printer(job, canvas, ekonfig::CurEtikett);
    return edit_.Print(printer, copies, owner);
  });
  status_->showMessage(FromAnsi(eerror::StatusMsg));
}

TplusgiroDlg::TplusgiroDlg(ereg::TGiroEdit& edit, QWidget* parent) : TGiroDlg(edit, kPlusgiroDlg, parent) {}
TpostgiroDlg::TpostgiroDlg(ereg::TGiroEdit& edit, QWidget* parent) : TGiroDlg(edit, kPostgiroDlg, parent) {}
TbankgiroDlg::TbankgiroDlg(ereg::TGiroEdit& edit, QWidget* parent) : TGiroDlg(edit, kBankgiroDlg, parent) {}

std::unique_ptr<TGiroDlg> MakeGiroDlg(ereg::TGiroEdit& edit, QWidget* parent) {
  switch (edit.Kind()) {
    case ereg::kPostgiro: return std::make_unique<TpostgiroDlg>(edit, parent);
    case ereg::kBankgiro:
    case ereg::kGiroKind4: return std::make_unique<TbankgiroDlg>(edit, parent);
    default: return std::make_unique<TplusgiroDlg>(edit, parent);
  }
}

bool QtGiroDialogs::RunGiroDialog(ereg::TGiroEdit& edit) {
  const std::unique_ptr<TGiroDlg> dialog = MakeGiroDlg(edit, owner_);
  return dialog->exec() == QDialog::Accepted;
}

}  // namespace eregui
