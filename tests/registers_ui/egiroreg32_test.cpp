// The giro registers and their form dialogs driven as a user drives them, on a real giro
// file: new forms refused for a bad account number or a taken payee and littera, a change,
// fields given more than they hold, cancel, delete, and a form printed through "PDF-fil".
#include "registers/ui/egiroreg32.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

#include "../storage/TempFolder.h"
#include "ModalDialogs.h"
#include "ProgramRun.h"
#include "WindowUser.h"
#include "common/Ansi.h"
#include "printing/PrinterSystem.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/Filer.h"

using ereg::GiroField;
using eregui::TGiroDlg;

namespace {

void Type(QWidget* field, const QString& text) {
  field->setFocus();
  if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
  else QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(field, Qt::Key_Delete);
  for (const QChar c : text)
    if (c == '\n') QTest::keyClick(field, Qt::Key_Return);
    else QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The line of the form with key.
int Row(const QListWidget* list, const QString& key) {
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->text().endsWith(" " + key)) return i;
  return -1;
}

// Whether folder holds the fileblock name (its data file).
bool HasFileBlock(const std::string& folder, const std::string& name) {
  return std::filesystem::exists(std::filesystem::path(folder) / (name + ".DAT"));
}

QStringList Lines(const QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  return lines;
}

// The fields of a new plusgiro form, then "ok".
void Fill(TGiroDlg& d, const QString& payee, const QString& littera, const QString& account) {
  Type(d.Edit(GiroField::kPayee), payee);
  Type(d.Edit(GiroField::kLittera), littera);
  Type(d.Edit(GiroField::kAccount1), account);
  Press(d, "BitBtn1");
}

// Forms stored straight into the file, before a window lists it.
void Store(isam::FileBlock* fb, int kind, const std::vector<ereg::GiroForm>& forms) {
  struct NoDialog : ereg::GiroDialogs {
    bool RunGiroDialog(ereg::TGiroEdit&) override { return false; }
  } none;
  ereg::TEGiroReg reg(fb, kind, none);
  for (const ereg::GiroForm& f : forms) {
    ereg::WriteGiroForm(reg.Record(), f);
    ASSERT_NE(reg.AddRecord(), 0);
  }
}

class GiroWindows : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    ekonfig::Konfig.SetDataDir(folder.path());
    ekonfig::Konfig.SetExchangeDir(folder.path());
    eerror::StatusMsg.clear();
  }
  void TearDown() override { isam::ExitIsam(); }

  // The stored form with key, read through the register.
  static ereg::GiroForm Stored(eregui::TEGiroRegForm& form, const std::string& key) {
    int32_t recNo = 0;
    EXPECT_TRUE(form.Register().FindByKey(key, recNo)) << key;
    return form.Register().Form();
  }
  void Select(eregui::TEGiroRegForm& form, int row) {
    form.List()->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
  }

  TempFolder folder;
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes{boxes};
};

TEST_F(GiroWindows, FormsAreAddedCheckedChangedAndDeletedThroughThePlusgiroRegister) {
  const ereg::GiroFile file(folder.path(), ereg::kPlusgiro);
  ASSERT_TRUE(file.ok());
  eregui::TEGiroRegForm form(file.fb(), ereg::kPlusgiro);
  form.show();
  EXPECT_EQ(form.windowTitle(), "plusgiroregister");

  WhenShown<TGiroDlg>([](TGiroDlg& d) {
    EXPECT_EQ(d.windowTitle(), "plusgiroblankett");
    EXPECT_EQ(d.objectName(), "plusgiroDlg");
    Fill(d, "Elverket", "", "19");
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Status(), QString::fromUtf8("fel på gironummer"));
    Type(d.Edit(GiroField::kAccount1), "18");
    d.Amount()->setValue(250);
    Type(d.Memo(GiroField::kMessage), QString::fromUtf8("Faktura 12\nmars"));
    Press(d, "BitBtn1");
    EXPECT_FALSE(d.isVisible());
  });
  Press(form, "NyBtn");
  WhenShown<TGiroDlg>([](TGiroDlg& d) { Fill(d, "Elverket", "A", "1-8"); });
  Press(form, "NyBtn");
  EXPECT_EQ(Lines(form.List()), QStringList({"1-8............. Elverket_A", "18.............. Elverket"}));
  ereg::GiroForm stored = Stored(form, "Elverket");
  EXPECT_EQ(stored.amount, "250");
  EXPECT_EQ(stored.message, "Faktura 12\r\nmars");

  // A third form for a payee and littera taken is refused, and nothing is stored.
  WhenShown<TGiroDlg>([](TGiroDlg& d) {
    Fill(d, "Elverket", "A", "18");
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Status(), QString::fromUtf8("Mottagare och littera finns redan registrerad. \"Elverket_A\" Måste vara unik."));
    Press(d, "BitBtn2");
  });
  Press(form, "NyBtn");
  EXPECT_EQ(form.List()->count(), 2);

  // A change that keeps payee and littera is no clash with itself.
  Select(form, Row(form.List(), "Elverket_A"));
  WhenShown<TGiroDlg>([](TGiroDlg& d) {
    EXPECT_EQ(d.Edit(GiroField::kAccount1)->text(), "1-8");
    d.Amount()->setValue(95);
    Press(d, "BitBtn1");
    EXPECT_FALSE(d.isVisible()) << d.Status().toStdString();
  });
  Press(form, "AndraBtn");
  EXPECT_EQ(Stored(form, "Elverket_A").amount, "95");

  // Cancelled: the form, its key and its line as they were.
  Select(form, Row(form.List(), "Elverket_A"));
  WhenShown<TGiroDlg>([](TGiroDlg& d) {
    Type(d.Edit(GiroField::kPayee), "Vattnet");
    d.Amount()->setValue(5);
    Press(d, "BitBtn2");
  });
  Press(form, "AndraBtn");
  EXPECT_EQ(Lines(form.List()), QStringList({"1-8............. Elverket_A", "18.............. Elverket"}));
  EXPECT_EQ(Stored(form, "Elverket_A").amount, "95");

  Select(form, Row(form.List(), "Elverket"));
  Press(form, "RaderaBtn");
  EXPECT_EQ(form.Status(), QString::fromUtf8("Girot \"Elverket\", raderad..."));
  EXPECT_EQ(Lines(form.List()), QStringList({"1-8............. Elverket_A"}));
  int32_t recNo = 0;
  EXPECT_FALSE(form.Register().FindByKey("Elverket", recNo));
}

TEST_F(GiroWindows, AFieldTakesNoMoreThanItsPlaceHolds) {
  const ereg::GiroFile file(folder.path(), ereg::kPlusgiro);
  eregui::TEGiroRegForm form(file.fb(), ereg::kPlusgiro);
  form.show();
  WhenShown<TGiroDlg>([](TGiroDlg& d) {
    Type(d.Edit(GiroField::kPayee), QString(31, 'p'));
    EXPECT_EQ(d.Edit(GiroField::kPayee)->text(), QString(30, 'p'));
    EXPECT_EQ(d.Status(), QString::fromUtf8("mottagare rymmer högst 30 tecken"));
    Type(d.Edit(GiroField::kLittera), "ABC");
    EXPECT_EQ(d.Edit(GiroField::kLittera)->text(), "AB");
    EXPECT_EQ(d.Status(), QString::fromUtf8("littera rymmer högst 2 tecken"));

    // A memo is told at once and refused on "ok"; each line break takes two characters.
    d.Memo(GiroField::kSender)->setPlainText(QString(300, 's') + "\n" + QString(15, 's'));
    EXPECT_EQ(d.Status(), QString::fromUtf8("avsändare rymmer högst 316 tecken, texten har 317"));
    Press(d, "BitBtn1");
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.focusWidget(), d.Memo(GiroField::kSender));
    d.Memo(GiroField::kSender)->setPlainText(QString(300, 's') + "\n" + QString(14, 's'));
    EXPECT_EQ(d.Status(), "");

    // What Windows-1252 lacks is named, never replaced.
    Type(d.Edit(GiroField::kPayee), QString::fromUtf8("El → verket"));
    Press(d, "BitBtn1");
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Status(), "mottagare kan inte lagra tecknet U+2192 (finns inte i Windows-1252)");

    EXPECT_EQ(d.Amount()->maximum(), 9999);
    EXPECT_EQ(d.Amount()->singleStep(), 5);
    EXPECT_EQ(d.Copies()->minimum(), 1);
    EXPECT_EQ(d.Copies()->maximum(), 99);
    Type(d.Edit(GiroField::kPayee), QString::fromUtf8("Elverket ÅÄÖ"));
    Press(d, "BitBtn1");
    EXPECT_FALSE(d.isVisible());
  });
  Press(form, "NyBtn");
  const ereg::GiroForm stored = Stored(form, A("Elverket ÅÄÖ_AB"));
  EXPECT_EQ(stored.sender.size(), 316u);
  EXPECT_EQ(form.List()->count(), 1);
}

TEST_F(GiroWindows, EachKindHasItsDialogAndTheHiddenNumberIsKept) {
  for (const int kind : {ereg::kPlusgiro, ereg::kPostgiro, ereg::kBankgiro}) {
    const std::string dir = folder.path() + "/" + std::to_string(kind);
    std::filesystem::create_directory(dir);
    const ereg::GiroFile file(dir, kind);
    ereg::GiroForm f;
    f.payee = "Skatt";
    f.number3 = "77";
    Store(file.fb(), kind, {f});
    eregui::TEGiroRegForm form(file.fb(), kind);
    form.show();
    Select(form, 0);
    WhenShown<TGiroDlg>([kind](TGiroDlg& d) {
      const char* names[] = {"plusgiroDlg", "postgiroDlg", "", "bankgiroDlg"};
      EXPECT_EQ(d.objectName(), names[kind]);
      EXPECT_EQ(d.windowTitle().toStdString(), ereg::GiroCaption(kind));
      // The third number has a box on the postgiro form alone.
      EXPECT_EQ(d.Edit(GiroField::kNumber3)->isVisible(), kind == ereg::kPostgiro);
      EXPECT_EQ(d.Edit(GiroField::kNumber3)->text(), "77");
      Type(d.Edit(GiroField::kAccount2), "18");
      Press(d, "BitBtn1");
    });
    Press(form, "AndraBtn");
    EXPECT_EQ(Stored(form, "Skatt").number3, "77");
    EXPECT_EQ(Stored(form, "Skatt").account2, "18");
  }
  EXPECT_TRUE(HasFileBlock(folder.path() + "/1", "giroP"));
  EXPECT_TRUE(HasFileBlock(folder.path() + "/3", "giroB"));
  EXPECT_FALSE(HasFileBlock(folder.path() + "/3", "giroP"));
}

TEST_F(GiroWindows, AFormIsPrintedInCopiesThroughPdfFil) {
  printing::TPrinterEnv pdf;
  const printing::Printer p = printing::PdfFilePrinter();
  pdf.SetNames(p.driver, p.device, p.port);
  pdf.SetDeviceMode(p.device, p.mode);
  pdf.SetDefaultPageSetup(printing::kPaperA4, printing::kPortrait);
  pdf.SetValid(true);
  glodefs::TKonfigRec konfig;
  const glodefs::TEtikettEnv kept = ekonfig::CurEtikett;
  ekonfig::CurEtikett.FillDefaults(10, pdf, konfig);  // "Giroblanketter", a form a page

  const ereg::GiroFile file(folder.path(), ereg::kPlusgiro);
  eregui::TEGiroRegForm form(file.fb(), ereg::kPlusgiro);
  form.show();
  WhenShown<TGiroDlg>([](TGiroDlg& d) {
    Type(d.Edit(GiroField::kPayee), "Elverket");
    Type(d.Edit(GiroField::kAccount1), "18");
    d.Amount()->setValue(250);
    d.Copies()->setValue(3);
    Press(d, "BitBtn3");
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.Status().contains(".pdf")) << d.Status().toStdString();
    Press(d, "BitBtn2");
  });
  Press(form, "NyBtn");
  EXPECT_EQ(form.List()->count(), 0);  // printed, then cancelled: nothing stored
  ekonfig::CurEtikett = kept;

  std::string pdfFile;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    if (entry.path().extension() == ".pdf") pdfFile = entry.path().string();
  ASSERT_FALSE(pdfFile.empty());
  EXPECT_NE(std::filesystem::path(pdfFile).filename().string().find("giroblanketter "), std::string::npos) << pdfFile;
  const ProgramRun pages = RunProgram("pdfinfo '" + pdfFile + "' | grep Pages:");
  EXPECT_EQ(pages.out.substr(pages.out.find_last_of(' ') + 1), "3\n");
  const ProgramRun text = RunProgram("pdftotext -f 1 -l 1 '" + pdfFile + "' -");
  EXPECT_NE(text.out.find("Elverket"), std::string::npos) << text.out;
}

TEST_F(GiroWindows, AGiroFileThatCannotBeMadeShowsNoRegister) {
  ekonfig::Konfig.SetDataDir(folder.path() + "/saknas");
  EXPECT_FALSE(eregui::OpenGiroRegister(ereg::kPlusgiro, nullptr));
  EXPECT_EQ(eerror::StatusMsg, "fel med girofilerna");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(GiroWindows, TheRegisterIsFullAt199Forms) {
  const ereg::GiroFile file(folder.path(), ereg::kBankgiro);
  std::vector<ereg::GiroForm> forms(ereg::kMaxGiros);
  for (int i = 0; i < ereg::kMaxGiros; ++i) forms[static_cast<size_t>(i)].payee = "Mottagare " + std::to_string(i);
  Store(file.fb(), ereg::kBankgiro, forms);
  eregui::TEGiroRegForm form(file.fb(), ereg::kBankgiro);
  form.show();
  Press(form, "NyBtn");  // no dialog: a dialog would wait here
  EXPECT_EQ(form.Status(), QString::fromUtf8("maxantalet uppnått kan ej addera registerpost!"));
  EXPECT_EQ(form.List()->count(), ereg::kMaxGiros);
}

}  // namespace
