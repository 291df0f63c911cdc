#include "bookkeeping_ui/bfverform.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "bookkeeping/BFdefs_input.h"
#include "bookkeeping_ui/bfpick32.h"
#include "common/Ansi.h"
#include "registers/ui/epickForm32.h"
#include "shell/Eerror32.h"
#include "shell/ui/QtText.h"
#include "shell/ui/StatusLine.h"

namespace bfui {

using shellui::FromAnsi;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

struct GridColumn {
  const char* title;
  int width;
};
constexpr GridColumn kColumns[] = {{"rad", 32}, {"konto", 51}, {"namn", 129}, {"ksaldo", 106}, {"+/-", 37}, {"vsumma", 91}};

}  // namespace

TbfverifikDlg::TbfverifikDlg(bf::BfShared& s, std::string dataDir, int scale, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      s_(s),
      dataDir_(std::move(dataDir)),
      scale_(scale),
      entry_(s) {
  setObjectName(U("bfverifikDlg"));
  setWindowTitle(U("inmating verifikation"));
  QFont scaled = font();
  scaled.setPointSizeF(scaled.pointSizeF() * scale_ / 100.0);
  setFont(scaled);

  auto* fields = new QGridLayout;
  fields->setHorizontalSpacing(6);
  fields->setVerticalSpacing(2);
  edverNr_ = AddEdit("edverNr", 48, true);
  edverdatum_ = AddEdit("edverdatum", 86, true);
  edverdatum_->setToolTip(U("dagens datum är verifikationsdatum"));
  vernamn_ = AddEdit("vernamn", 190, false);
  vernamn_->setMaxLength(static_cast<int>(bf::VerRecord::kNameCapacity));
  edverbalans_ = AddEdit("edverbalans", 100, true);
  edverbalans_->setToolTip(U("här ska det bli noll för att verifikationen ska balansera riktigt, det går inte "
                             "att avsluta förrän så sker"));
  kontobet_ = AddEdit("kontobet", 48, false);
  kontobet_->setMaxLength(static_cast<int>(bf::KontoRecord::kNumberCapacity));
  kontobet_->setToolTip(U("dubbelklicka för att välja konto ur kontoplanen"));
  kontotext_ = AddEdit("kontotext", 86, true);
  kontotext_->setMaxLength(static_cast<int>(bf::KontoRecord::kNameCapacity));
  edkontosaldo_ = AddEdit("edkontosaldo", 100, true);
  eddebkred_ = AddEdit("eddebkred", 32, false);
  eddebkred_->setMaxLength(1);
  edversumma_ = AddEdit("edversumma", 100, false);
  // Alt+K accepts the row from any field; the save button has the O.
  verOK_ = new QPushButton(U("o&k"), this);
  verOK_->setObjectName(U("verOK"));
  fields->addWidget(verOK_, 3, 5);
  // The captions above their fields; the name takes two columns.
  for (const auto& [edit, caption, col, row] :
       {std::tuple{edverNr_, "verNr", 0, 0}, {edverdatum_, "datum", 1, 0}, {vernamn_, "verifikatnamn", 2, 0},
        {edverbalans_, "verif.balans", 4, 0}, {kontobet_, "konto", 0, 2}, {kontotext_, "kontonamn", 1, 2},
        {edkontosaldo_, "kontosaldo", 2, 2}, {eddebkred_, "+/-/=", 3, 2}, {edversumma_, "summa", 4, 2}}) {
    auto* label = new QLabel(U(caption), this);
    label->setBuddy(edit);
    fields->addWidget(label, row, col);
    fields->addWidget(edit, row + 1, col, 1, edit == vernamn_ ? 2 : 1);
  }

  grid_ = new QTableWidget(kGridRows, static_cast<int>(std::size(kColumns)), this);
  grid_->setObjectName(U("StringGrid1"));
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setFocusPolicy(Qt::NoFocus);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
  int gridWidth = 0;
  for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
    grid_->setHorizontalHeaderItem(c, new QTableWidgetItem(U(kColumns[c].title)));
    const int width = kColumns[c].width * scale_ / 100;
    grid_->setColumnWidth(c, width);
    gridWidth += width;
  }
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->setFixedSize(gridWidth + 2 * grid_->frameWidth() + grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2,
                      grid_->verticalHeader()->defaultSectionSize() * 10 + grid_->horizontalHeader()->sizeHint().height() +
                          2 * grid_->frameWidth());

  auto* kplan = new QPushButton(U("k&plan"), this);
  kplan->setObjectName(U("kplanBtn"));
  kplan->setToolTip(U("visa kontoplanen"));
  auto* spela = new QPushButton(U("&spela"), this);
  spela->setObjectName(U("playverBtn"));
  spela->setToolTip(U("spela in en verifikationsmall (*.ver)"));
  auto* ok = new QPushButton(U("&OK"), this);
  ok->setObjectName(U("okBtn"));
  auto* cancel = new QPushButton(U("&Cancel"), this);
  cancel->setObjectName(U("cancelBtn"));
  // No default button: Enter presses only the button that has the focus (keyPressEvent).
  for (QPushButton* b : {verOK_, kplan, spela, ok, cancel}) b->setAutoDefault(false);
  connect(verOK_, &QPushButton::clicked, this, &TbfverifikDlg::verOKClick);
  connect(kplan, &QPushButton::clicked, this, &TbfverifikDlg::kplanBtnClick);
  connect(spela, &QPushButton::clicked, this, &TbfverifikDlg::playverBtnClick);
  connect(ok, &QPushButton::clicked, this, &TbfverifikDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &TbfverifikDlg::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(kplan);
  buttons->addWidget(spela);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);

  status_ = new shellui::StatusLine(this);
  status_->setObjectName(U("StatusBar1"));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(grid_);
  layout->addLayout(buttons);
  layout->addWidget(status_);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(vernamn_, &QLineEdit::textEdited, this, &TbfverifikDlg::NameEdited);
  connect(kontobet_, &QLineEdit::textEdited, this, [this](const QString& t) {
    entry_.AccountTyped(shellui::ToAnsi(t));
    ShowEntry();
  });
  connect(eddebkred_, &QLineEdit::textEdited, this, [this](const QString& t) {
    entry_.SideTyped(shellui::ToAnsi(t));
    ShowEntry();
  });
  connect(edversumma_, &QLineEdit::textEdited, this, [this](const QString& t) { entry_.AmountTyped(shellui::ToAnsi(t)); });
  for (QLineEdit* e : {vernamn_, kontobet_, eddebkred_, edversumma_}) e->installEventFilter(this);
  ShowEntry();
}

QLineEdit* TbfverifikDlg::AddEdit(const char* name, int width, bool readOnly) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(U(name));
  edit->setFixedWidth(width * scale_ / 100);
  edit->setReadOnly(readOnly);
  if (readOnly) edit->setFocusPolicy(Qt::NoFocus);
  return edit;
}

QString TbfverifikDlg::Status() const { return status_->currentMessage(); }

QLineEdit* TbfverifikDlg::EditOf(bf::EntryField field) const {
  switch (field) {
    case bf::EntryField::kName: return vernamn_;
    case bf::EntryField::kAccount: return kontobet_;
    case bf::EntryField::kSide: return eddebkred_;
    case bf::EntryField::kAmount: return edversumma_;
    case bf::EntryField::kRowOk: return nullptr;
  }
  return nullptr;
}

void TbfverifikDlg::Focus(bf::EntryField field, bool select) {
  QLineEdit* edit = EditOf(field);
  if (edit == nullptr) {
    verOK_->setFocus();
    return;
  }
  edit->setFocus();
  if (select) edit->selectAll();
}

void TbfverifikDlg::ShowEntry() {
  const bf::VerificationEntry& e = entry_;
  const auto set = [](QLineEdit* edit, const std::string& text) {
    const QString shown = FromAnsi(text);
    if (edit->text() != shown) edit->setText(shown);
  };
  set(edverNr_, e.number());
  set(edverdatum_, e.date());
  set(vernamn_, e.name());
  set(edverbalans_, e.balance());
  set(kontobet_, e.account());
  set(kontotext_, e.accountName());
  set(edkontosaldo_, e.accountBalance());
  set(eddebkred_, e.side());
  set(edversumma_, e.amount());
  const int rows = static_cast<int>(e.rows().size());
  for (int r = shownRows_; r < rows && r < kGridRows; ++r) {
    const bf::EntryRow& row = e.rows()[static_cast<size_t>(r)];
    int c = 0;
    for (const std::string* text : {&row.row, &row.account, &row.name, &row.balance, &row.side, &row.amount}) {
      auto* item = new QTableWidgetItem(FromAnsi(*text));
      if (c != 1 && c != 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grid_->setItem(r, c++, item);
    }
  }
  if (rows > shownRows_ && rows >= 1) {
    grid_->selectRow(rows - 1);
    grid_->scrollToItem(grid_->item(rows - 1, 0), QAbstractItemView::EnsureVisible);
  }
  shownRows_ = rows;
  if (e.status().empty()) status_->clearMessage();
  else status_->showMessage(FromAnsi(e.status()));
  Focus(e.focus(), e.selectFocused());
}

void TbfverifikDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget())) button->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool TbfverifikDlg::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit == nullptr) return QDialog::eventFilter(watched, event);
  if (event->type() == QEvent::MouseButtonDblClick && edit == kontobet_) {
    kontobetDoubleClick();
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    return KeyPressed(edit, key->key(), key->modifiers() & Qt::KeypadModifier);
  }
  return QDialog::eventFilter(watched, event);
}

// The key table of the four edits; true when the key was taken (Enter always is, so that no
// button and no beep follows it).
bool TbfverifikDlg::KeyPressed(QLineEdit* edit, int key, bool keypad) {
  const bf::EntryField field = edit == vernamn_    ? bf::EntryField::kName
                               : edit == kontobet_ ? bf::EntryField::kAccount
                               : edit == eddebkred_ ? bf::EntryField::kSide
                                                    : bf::EntryField::kAmount;
  bf::EntryKey k;
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: k = bf::EntryKey::kEnter; break;
    case Qt::Key_Right: k = bf::EntryKey::kRight; break;
    case Qt::Key_Left: k = bf::EntryKey::kLeft; break;
    case Qt::Key_Up: k = bf::EntryKey::kUp; break;
    case Qt::Key_Down: k = bf::EntryKey::kDown; break;
    case Qt::Key_Plus:
      if (!keypad) return false;
      k = bf::EntryKey::kPadPlus;
      break;
    case Qt::Key_Minus:
      if (!keypad) return false;
      k = bf::EntryKey::kPadMinus;
      break;
    default: return false;
  }
  const bool atStart = edit->cursorPosition() == 0 && !edit->hasSelectedText();
  const bool atEnd = edit->cursorPosition() == edit->text().size();
  const std::optional<bf::EntryField> next = bf::FocusAfterKey(field, k, atStart, atEnd);
  if (!next) return k == bf::EntryKey::kEnter;
  if (k == bf::EntryKey::kPadPlus || k == bf::EntryKey::kPadMinus) {
    entry_.SideTyped(k == bf::EntryKey::kPadPlus ? "+" : "-");
    ShowEntry();
  }
  Focus(*next, true);
  return true;
}

void TbfverifikDlg::NameEdited(const QString& text) {
  std::string name, message;
  if (bf::TakeText(bf::kVerificationNameField, text.toStdString(), name, message)) {
    entry_.SetName(name);
    return;
  }
  eerror::Beep();
  status_->showMessage(FromAnsi(message));
  vernamn_->setText(FromAnsi(entry_.name()));
}

void TbfverifikDlg::verOKClick() {
  entry_.AcceptRow();
  ShowEntry();
}

void TbfverifikDlg::kplanBtnClick() { ChooseAccount(); }

void TbfverifikDlg::kontobetDoubleClick() {
  if (const std::optional<int32_t> recNo = ChooseAccount()) entry_.AccountPicked(*recNo);
  ShowEntry();
}

void TbfverifikDlg::playverBtnClick() {
  entry_.StartTemplate(static_cast<esmall::WindowHandle>(winId()), dataDir_);
  ShowEntry();
}

std::optional<int32_t> TbfverifikDlg::ChooseAccount() {
  eregui::QtPickWindows windows(this);
  int32_t recNo = -1;
  if (!bf::PickKonto(windows, s_, A("visar konton"), recNo) || recNo < 1) return std::nullopt;
  return recNo;
}

void TbfverifikDlg::accept() {
  if (entry_.Save() == bf::SaveResult::kSaved) {
    QDialog::accept();
    return;
  }
  ShowEntry();
}

void TbfverifikDlg::reject() {
  if (entry_.Cancel()) {
    QDialog::reject();
    return;
  }
  ShowEntry();
}

}  // namespace bfui
