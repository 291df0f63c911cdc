// The account register and the account dialog driven as a user drives them: new, change,
// cancel and delete through the register's buttons, and every field of the dialog given
// what it cannot hold.
#include "bookkeeping_ui/BfKontoReg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "../bookkeeping/BookkeepingFolder.h"
#include "ProgramRun.h"
#include "printing/ui/QtReportDialog.h"
#include "shell/ekonfig32.h"
#include "shell/ekonfig32_command.h"
#include "ModalDialogs.h"
#include "WindowUser.h"
#include "bookkeeping/BFVerify.h"
#include "bookkeeping_ui/BfKontoForm.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"

namespace {

using bf::KontoField;
using bfui::TkontoDlg;

class KontoWindows : public bf::BookkeepingFolder {
 protected:
  void SetUp() override {
    BookkeepingFolder::SetUp();
    eerror::StatusMsg.clear();
  }
  // Typed key by key over the field's text, letters beyond ASCII too.
  static void Type(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    if (text.isEmpty()) QTest::keyClick(field, Qt::Key_Delete);
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
  static QPoint At(QListWidget* list, int row) { return list->visualItemRect(list->item(row)).center(); }
  void Verified() {
    const std::vector<std::string> findings = bf::VerifyBookkeeping(s(), folder_.path());
    EXPECT_TRUE(findings.empty()) << findings.front();
  }
};

TEST_F(KontoWindows, AccountsAreAddedChangedCancelledAndDeletedThroughTheRegister) {
  NewAccount("1930", 100);
  NewAccount("3010", 0);
  bfui::TBfKontoRegForm form(s());
  form.show();
  EXPECT_EQ(form.windowTitle(), "kontoregister");
  QListWidget* list = form.List();
  EXPECT_TRUE(list->font().bold());
  EXPECT_EQ(MarkedLines(list), QStringList({"1930 \"konto...\"      100.00", "3010 \"konto...\"        0.00"}));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, At(list, 1));
  EXPECT_EQ(form.Status(), "   2 [   1]");

  WhenShown<TkontoDlg>([](TkontoDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "konto");
    EXPECT_TRUE(dialog.Field(KontoField::kNumber)->isEnabled());
    Type(dialog.Field(KontoField::kNumber), "1510");
    Type(dialog.Field(KontoField::kName), QString::fromUtf8("Kundförd"));
    Type(dialog.Field(KontoField::kSign), "-");
    Type(dialog.Field(KontoField::kOpening), "25.50");
    Press(dialog, "BitBtn1");
  });
  Press(form, "NyBtn");
  EXPECT_EQ(MarkedLines(list), QStringList({QString::fromUtf8("1510 \"Kundförd\"       25.50*"),
                                      "1930 \"konto...\"      100.00", "3010 \"konto...\"        0.00"}));
  EXPECT_EQ(Account("1510").sign, '-');

  // A double-click changes the line's account; its number cannot be changed.
  WhenShown<TkontoDlg>([](TkontoDlg& dialog) {
    EXPECT_FALSE(dialog.Field(KontoField::kNumber)->isEnabled());
    EXPECT_EQ(dialog.Field(KontoField::kOpening)->text(), "100.00");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("edutsaldo")->text(), "100.00");
    Type(dialog.Field(KontoField::kOpening), "150");
    Press(dialog, "BitBtn1");
  });
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, At(list, 1));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, At(list, 1));
  EXPECT_EQ(list->item(1)->text(), "1930 \"konto...\"      150.00");
  EXPECT_EQ(Account("1930").closing.Value(), 150);

  // Cancelled, a change leaves the account and its line.
  const bf::KontoRecord before = Account("1510");
  WhenShown<TkontoDlg>([](TkontoDlg& dialog) {
    Type(dialog.Field(KontoField::kName), "Annan");
    Type(dialog.Field(KontoField::kOpening), "999");
    Press(dialog, "BitBtn2");
  });
  list->clearSelection();
  list->item(0)->setSelected(true);
  Press(form, "AndraBtn");
  EXPECT_EQ(Account("1510"), before);
  EXPECT_EQ(list->item(0)->text(), QString::fromUtf8("1510 \"Kundförd\"       25.50"));
  Verified();

  // 1930 holds money and stays, deselected; 3010 goes.
  list->clearSelection();
  list->item(1)->setSelected(true);
  list->item(2)->setSelected(true);
  Press(form, "RaderaBtn");
  EXPECT_EQ(MarkedLines(list), QStringList({QString::fromUtf8("1510 \"Kundförd\"       25.50"),
                                      "1930 \"konto...\"      150.00"}));
  EXPECT_EQ(form.Status(), QString::fromUtf8("KontoRecord \"3010\", raderad..."));
  Verified();
}

TEST_F(KontoWindows, SkrivPrintsTheSelectedLinesOnPdfFil) {
  const std::string root = folder_.path();
  ekonfig::SetKonfigPaths({root + "/konfig", root});
  ASSERT_EQ(ekonfig::InitKonfig(ekonfig::kBookkeepingProgNr, true, ""), ekonfig::KonfigStart::kStarted);
  ekonfig::Konfig.SetExchangeDir(root);
  printui::QtReportDialogs dialogs;
  printui::ScopedReportDialogs installedDialogs{dialogs};
  NewAccount("1930", 12500.5);
  NewAccount("3010", 0);
  NewAccount("5010", 0);
  bfui::TBfKontoRegForm form(s());
  form.show();
  form.List()->item(0)->setSelected(true);
  form.List()->item(2)->setSelected(true);
  Press(form, "SkrivBtn");
  const QString said = form.Status();
  ASSERT_TRUE(said.startsWith(QString::fromUtf8("Rapporten skrevs till "))) << said.toStdString();
  const std::string pdf = said.mid(22).toStdString();
  const ProgramRun text = RunProgram("pdftotext -layout '" + pdf + "' -");
  ASSERT_EQ(text.status, 0) << pdf;
  EXPECT_NE(text.out.find("kontoregister"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("12500.50"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("5010"), std::string::npos) << text.out;
  EXPECT_EQ(text.out.find("3010"), std::string::npos) << text.out;
  ekonfig::ExitKonfig();
}

TEST_F(KontoWindows, EveryFieldOfTheAccountDialogSaysWhatItCannotHoldAndNothingIsStored) {
  NewAccount("1930", 0);
  s().konto = bf::KontoRecord{};
  const bf::KontoRecord buffer = s().konto;
  bf::TkontoEdit edit(s(), true);
  TkontoDlg dialog(edit);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  const auto says = [&](const char* message) { EXPECT_EQ(dialog.Status().toStdString(), message); };

  Type(dialog.Field(KontoField::kNumber), "19x");
  says("endast numeriskt värde tillåtet mellan 0..9999!");
  Type(dialog.Field(KontoField::kNumber), "10000");
  says("endast numeriskt värde tillåtet mellan 0..9999!");
  // Left with a text that is no number, the field goes back to its last number.
  Type(dialog.Field(KontoField::kNumber), "");
  Type(dialog.Field(KontoField::kName), "Sparkonto");
  EXPECT_EQ(dialog.Field(KontoField::kNumber)->text(), "1000");
  says("kontonamn rymmer högst 8 tecken");
  EXPECT_EQ(dialog.Field(KontoField::kName)->text(), "Sparkont");
  Type(dialog.Field(KontoField::kReference), QString(24, 'r'));
  says("referens rymmer högst 23 tecken");
  Type(dialog.Field(KontoField::kSign), "x");
  says("endast plus (+), minus (-), ( ) mellanslag eller likamed (=) tillåtna!");
  Type(dialog.Field(KontoField::kSign), "+");
  EXPECT_EQ(dialog.Status(), "");
  Type(dialog.Field(KontoField::kBudget), "10000000");
  says("endast numeriskt värde tillåtet mellan 0.00..9999999.99!");
  EXPECT_TRUE(dialog.Field(KontoField::kBudget)->hasSelectedText());
  Type(dialog.Field(KontoField::kBudget), "12a");
  says("endast numeriskt värde tillåtet mellan 0.00..9999999.99!");
  Type(dialog.Field(KontoField::kBudget), "100");
  Type(dialog.Field(KontoField::kNumber), "0");

  // What the typing lets through, OK refuses.
  Press(dialog, "BitBtn1");
  says("Kontobeteckningen kan inte vara \"0000\"");
  EXPECT_TRUE(dialog.findChild<QWidget*>("kontonummer")->hasFocus());
  Type(dialog.Field(KontoField::kNumber), "1930");
  Press(dialog, "BitBtn1");
  says("Kontobeteckningen finns redan registrerad. \"1930\" Måste vara unik.");
  Type(dialog.Field(KontoField::kNumber), "1940");
  Type(dialog.Field(KontoField::kOpening), "tusen");
  Press(dialog, "BitBtn1");
  says("ingående saldo: endast numeriskt värde tillåtet mellan -9999999.99..9999999.99!");
  EXPECT_TRUE(dialog.Field(KontoField::kOpening)->hasFocus());
  Type(dialog.Field(KontoField::kOpening), "");
  Press(dialog, "BitBtn1");
  says("ingående saldo: endast numeriskt värde tillåtet mellan -9999999.99..9999999.99!");
  Type(dialog.Field(KontoField::kOpening), "-5");
  Type(dialog.Field(KontoField::kName), "");
  Press(dialog, "BitBtn1");
  says("ange ett namn på kontot");
  Type(dialog.Field(KontoField::kName), QString::fromUtf8("Spar☃"));
  Press(dialog, "BitBtn1");
  says("kontonamn kan inte lagra tecknet U+2603 (finns inte i Windows-1252)");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(s().konto, buffer);  // nothing taken yet

  Type(dialog.Field(KontoField::kName), "Spar");
  Press(dialog, "BitBtn1");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(s().konto.number, "1940");
  EXPECT_EQ(s().konto.opening.Value(), -5);
  EXPECT_EQ(s().konto.budget.Value(), 100);
}

TEST_F(KontoWindows, TheDialogShowsItsHintsAndEscapePutsTheBufferBack) {
  NewAccount("1930", 0);
  const bf::KontoRecord account = Account("1930");
  bf::TkontoEdit edit(s(), false);
  TkontoDlg dialog(edit);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_EQ(dialog.Status(), "kontonumret i text ");  // the focus starts on the name of a changed account
  EXPECT_EQ(dialog.Field(KontoField::kName)->toolTip(), "kontonumret i text ");
  EXPECT_EQ(dialog.findChild<QPushButton*>("BitBtn1")->toolTip(),
            QString::fromUtf8("spara aktuell blankett i  registret och återvänd"));
  dialog.Field(KontoField::kBudget)->setFocus();
  EXPECT_EQ(dialog.Status(), QString::fromUtf8("budget för perioden"));
  s().konto.name = "annat";
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(s().konto, account);
}

}  // namespace
