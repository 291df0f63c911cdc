// The entry dialog driven as a user drives it, offscreen: keys typed into the real edits, the
// key table's moves, the side field's sign and balancing, rows in the grid, save refused
// until the balance is 0.00, Esc taking the rows back, the account list on a double-click,
// a template played from the file dialog, every button's Alt letter, and the main window's "ver".
#include "bookkeeping_ui/bfverform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QKeySequence>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <fstream>

#include "../storage/TempFolder.h"
#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFMisc.h"
#include "common/Ansi.h"
#include "exchange/EfileDlg.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/Filer.h"

namespace bfui {
namespace {

// The dialog with the account list answered by the test.
class TestDialog : public TbfverifikDlg {
 public:
  using TbfverifikDlg::TbfverifikDlg;
  std::optional<int32_t> chosen;
  int asked = 0;

 protected:
  std::optional<int32_t> ChooseAccount() override {
    ++asked;
    return chosen;
  }
};

class EntryDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    ekonfig::Konfig.SetCurBase(0);
    db_ = std::make_unique<bf::BfDatabase>(folder_.path());
    ASSERT_TRUE(db_->CreateBookkeepingList());
    ASSERT_TRUE(db_->BeginNewBookkeeping());
    db_->shared().dataBas.name = "prov";
    ASSERT_TRUE(db_->FinishNewBookkeeping());
    for (const auto& [number, name, sign, opening] :
         {std::tuple{std::string("1930"), std::string("Bank"), '+', 1000.0}, {"2440", "Skuld", '-', 0.0}, {"3010", A("Intäkt"), '-', 0.0}}) {
      bf::KontoRecord k;
      k.number = number;
      k.name = name;
      k.sign = sign;
      k.opening = *bf::Real6::FromDouble(opening);
      int32_t recNo = 0;
      ASSERT_TRUE(bf::SaveAccount(db_->shared(), true, recNo, k));
    }
    dialog_ = std::make_unique<TestDialog>(db_->shared(), folder_.path(), 100);
    dialog_->show();
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  }
  void TearDown() override {
    dialog_.reset();
    db_.reset();
    isam::ExitIsam();
  }

  QLineEdit* Edit(const char* name) const { return dialog_->findChild<QLineEdit*>(name); }
  QPushButton* Button(const char* name) const { return dialog_->findChild<QPushButton*>(name); }
  static QString Focused() {
    QWidget* w = QApplication::focusWidget();
    return w != nullptr ? w->objectName() : QString();
  }
  QString Cell(int row, int column) const {
    const QTableWidgetItem* item = dialog_->Grid()->item(row, column);
    return item != nullptr ? item->text() : QString();
  }
  // Types into the focused widget; letters beyond ASCII as the key events a keyboard sends.
  static void Type(const char* text) {
    for (const QChar c : QString::fromUtf8(text)) {
      QWidget* w = QApplication::focusWidget();
      if (c.unicode() < 128) QTest::keyClick(w, static_cast<char>(c.unicode()));
      else QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
  static void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
  }
  // One row typed the way a user types it, from the account field.
  void Row(const char* account, const char* side, const char* amount) {
    Edit("kontobet")->setFocus();
    Edit("kontobet")->selectAll();
    Type(account);
    ASSERT_EQ(Focused(), "eddebkred") << account;
    Edit("eddebkred")->selectAll();
    Type(side);
    Key(Qt::Key_Return);
    Edit("edversumma")->selectAll();
    Type(amount);
    Key(Qt::Key_Return);
    ASSERT_EQ(Focused(), "verOK");
    Key(Qt::Key_Return);
  }
  bf::KontoRecord Account(const std::string& number) {
    bf::KontoRecord k;
    int32_t recNo = 0;
    EXPECT_EQ(bf::FindAccount(db_->shared(), number, k, recNo), bf::Lookup::kFound);
    return k;
  }

  TempFolder folder_;
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installed_{boxes_};
  etider::SetClock march_{2026, 3, 14, 9, 0, 0};
  etider::ScopedClock clock_{march_};
  std::unique_ptr<bf::BfDatabase> db_;
  std::unique_ptr<TestDialog> dialog_;
};

TEST_F(EntryDialog, TheFieldsCaptionsAndGridAreThoseOfTheForm) {
  EXPECT_EQ(dialog_->windowTitle(), QString::fromUtf8("inmating verifikation"));
  EXPECT_EQ(Edit("edverNr")->text(), "0001");
  EXPECT_EQ(Edit("edverdatum")->text(), "2026-03-14");
  EXPECT_EQ(Edit("edverdatum")->toolTip(), QString::fromUtf8("dagens datum är verifikationsdatum"));
  EXPECT_EQ(Edit("edverbalans")->text(), "0.00");
  EXPECT_EQ(Edit("edkontosaldo")->text(), "0.00");
  EXPECT_EQ(Edit("edversumma")->text(), "0.00");
  EXPECT_EQ(Focused(), "vernamn");
  const QStringList titles{"rad", "konto", "namn", "ksaldo", "+/-", "vsumma"};
  const int widths[] = {32, 51, 129, 106, 37, 91};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(dialog_->Grid()->horizontalHeaderItem(c)->text(), titles[c]);
    EXPECT_EQ(dialog_->Grid()->columnWidth(c), widths[c]);
  }
  for (const char* button : {"verOK", "okBtn", "cancelBtn", "kplanBtn", "playverBtn"})
    EXPECT_NE(Button(button), nullptr) << button;
}

// A button's Alt letter presses it after Qt's animated press.
void AltKey(Qt::Key key) {
  QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
  QTest::qWait(150);
}

TEST_F(EntryDialog, EachButtonHasAnAltLetterOfItsOwnAndEnterPressesOnlyTheFocusedButton) {
  QSet<QKeySequence> letters;
  for (const auto& [name, caption] : {std::pair{"verOK", "ok"}, {"okBtn", "OK"}, {"cancelBtn", "Cancel"},
                                      {"kplanBtn", "kplan"}, {"playverBtn", "spela"}}) {
    QString text = Button(name)->text();
    const QKeySequence letter = QKeySequence::mnemonic(text);
    EXPECT_FALSE(letter.isEmpty()) << name;
    EXPECT_FALSE(letters.contains(letter)) << name;
    letters.insert(letter);
    EXPECT_EQ(text.remove('&'), caption);
  }
  Type("kops");  // letters without Alt are text
  EXPECT_EQ(Edit("vernamn")->text(), "kops");
  EXPECT_EQ(dialog_->asked, 0);
  Edit("kontobet")->setFocus();
  Type("1930");
  Key(Qt::Key_Return);
  Type("100");
  AltKey(Qt::Key_K);  // the row, from the amount field
  EXPECT_EQ(dialog_->Entry().rows().size(), 1u);
  EXPECT_EQ(Focused(), "kontobet");
  AltKey(Qt::Key_P);
  EXPECT_EQ(dialog_->asked, 1);
  Button("kplanBtn")->setFocus();
  Key(Qt::Key_Return);
  EXPECT_EQ(dialog_->asked, 2);
  Row("3010", "-", "100");
  Key(Qt::Key_Return);  // balanced, but Enter in a field saves nothing
  EXPECT_TRUE(dialog_->isVisible());
  AltKey(Qt::Key_O);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(db_->shared().dataBas.lastVerNr, 1);
}

TEST_F(EntryDialog, AltCTakesTheRowsBackAsEscDoes) {
  const bf::KontoRecord bank = Account("1930");
  Row("1930", "+", "5");
  AltKey(Qt::Key_C);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(dialog_->result(), QDialog::Rejected);
  EXPECT_EQ(Account("1930"), bank);
}

TEST_F(EntryDialog, TheKeysMoveAsTheTableSaysAndADebitAccountBringsItsPlus) {
  Type("Lön");
  Key(Qt::Key_Return);  // swallowed by the field: no button is pressed
  EXPECT_EQ(Focused(), "kontobet");
  EXPECT_TRUE(dialog_->isVisible());
  Key(Qt::Key_Left);
  EXPECT_EQ(Focused(), "vernamn");
  Key(Qt::Key_Down);
  EXPECT_EQ(Focused(), "kontobet");
  Type("1930");
  EXPECT_EQ(Focused(), "eddebkred");
  EXPECT_EQ(Edit("eddebkred")->text(), "+");
  EXPECT_EQ(Edit("kontotext")->text(), "Bank");
  EXPECT_EQ(Edit("edkontosaldo")->text(), "1000.00");
  Key(Qt::Key_Minus, Qt::KeypadModifier);  // the pad's minus: the side, and on to the amount
  EXPECT_EQ(Edit("eddebkred")->text(), "-");
  EXPECT_EQ(Focused(), "edversumma");
  Key(Qt::Key_Up);
  EXPECT_EQ(Focused(), "vernamn");
}

TEST_F(EntryDialog, RowsGoIntoTheGridAndTheEqualsSignBalances) {
  Row("1930", "+", "12,5");
  EXPECT_EQ(Cell(0, 0), "01");
  EXPECT_EQ(Cell(0, 1), "1930");
  EXPECT_EQ(Cell(0, 2), "Bank");
  EXPECT_EQ(Cell(0, 3), "1012.50");
  EXPECT_EQ(Cell(0, 4), "+");
  EXPECT_EQ(Cell(0, 5), "12.50");
  EXPECT_EQ(Edit("edverbalans")->text(), "12.50");
  EXPECT_EQ(Edit("edversumma")->text(), "0.00");
  EXPECT_EQ(Focused(), "kontobet");
  Row("1930", "+", "87.50");
  Row("3010", "-", "60.00");
  Edit("kontobet")->selectAll();
  Type("2440");
  Edit("eddebkred")->selectAll();
  Type("=");
  EXPECT_EQ(Edit("edversumma")->text(), "40.00");
  EXPECT_EQ(Edit("eddebkred")->text(), "-");
  EXPECT_EQ(Focused(), "verOK");
  Key(Qt::Key_Return);
  EXPECT_EQ(Edit("edverbalans")->text(), "0.00");
  EXPECT_EQ(Cell(3, 2), QString::fromUtf8("Skuld"));
  Edit("vernamn")->setText("");
  Edit("vernamn")->setFocus();
  Type("Försäljning");
  Button("okBtn")->click();
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_EQ(db_->shared().dataBas.lastVerNr, 1);
  EXPECT_DOUBLE_EQ(Account("1930").debit.Value(), 100.0);
}

TEST_F(EntryDialog, SaveAtABalanceOfOneOreIsRefusedAndEscTakesTheRowsBack) {
  const bf::KontoRecord bank = Account("1930");
  Row("1930", "+", "100.01");
  Row("3010", "-", "100.00");
  Button("okBtn")->click();
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(dialog_->Status(), "verifikationen ej balanserad");
  EXPECT_EQ(Edit("edverbalans")->text(), "0.01");
  Edit("eddebkred")->setFocus();
  Edit("eddebkred")->selectAll();
  Type("x");
  EXPECT_EQ(dialog_->Status(), "tillåtna tecken endast (\"+\",\"-\",\"=\")");
  EXPECT_EQ(Focused(), "eddebkred");
  QTest::keyClick(dialog_.get(), Qt::Key_Escape);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(dialog_->result(), QDialog::Rejected);
  EXPECT_EQ(Account("1930"), bank);
}

TEST_F(EntryDialog, ADoubleClickOnTheAccountFieldShowsTheAccountChosen) {
  int32_t recNo = 0;
  bf::KontoRecord k;
  ASSERT_EQ(bf::FindAccount(db_->shared(), "2440", k, recNo), bf::Lookup::kFound);
  dialog_->chosen = recNo;
  QTest::mouseDClick(Edit("kontobet"), Qt::LeftButton);
  EXPECT_EQ(dialog_->asked, 1);
  EXPECT_EQ(Edit("kontobet")->text(), "2440");
  EXPECT_EQ(Edit("eddebkred")->text(), "-");
  EXPECT_EQ(Focused(), "eddebkred");
  Button("kplanBtn")->click();  // for information: the choice changes nothing
  EXPECT_EQ(dialog_->asked, 2);
  EXPECT_EQ(Edit("kontobet")->text(), "2440");
}

TEST_F(EntryDialog, TheGridScrollsSoTheNewRowIsSeen) {
  for (int r = 0; r < 14; ++r) {
    Row("1930", "+", "1");
    ASSERT_FALSE(HasFatalFailure());
  }
  QTableWidget* grid = dialog_->Grid();
  const int y = grid->rowViewportPosition(13);
  EXPECT_GE(y, 0);
  EXPECT_LE(y + grid->rowHeight(13), grid->viewport()->height());
  EXPECT_EQ(grid->currentRow(), 13);
}

TEST_F(EntryDialog, ATemplatePlaysIntoTheFields) {
  {
    std::ofstream(folder_ / "lon.ver", std::ios::binary) << A("Lön #month\r\n; bekräfta lönen\r\n3010,25000,-\r\n1930,0,+\r\n");
  }
  eixport::GivenFileDialogs files(folder_ / "lon.ver");
  const eixport::ScopedFileDialogs installed(files);
  AltKey(Qt::Key_S);
  EXPECT_EQ(Edit("vernamn")->text(), QString::fromUtf8("Lön Mars"));
  EXPECT_EQ(Edit("kontobet")->text(), "3010");
  EXPECT_EQ(Edit("edversumma")->text(), "25000.00");
  EXPECT_EQ(dialog_->Status(), QString::fromUtf8("bekräfta lönen"));
  EXPECT_EQ(Focused(), "verOK");
  Key(Qt::Key_Return);
  EXPECT_EQ(Edit("kontobet")->text(), "1930");
  EXPECT_EQ(Focused(), "edversumma");
  Type("25000");
  Key(Qt::Key_Return);
  Key(Qt::Key_Return);
  EXPECT_FALSE(dialog_->Entry().Playing());
  EXPECT_EQ(Edit("edverbalans")->text(), "0.00");
  Button("okBtn")->click();
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
}

}  // namespace
}  // namespace bfui
