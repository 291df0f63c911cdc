// The main window in its three states, the states made by bfnolk and seen by the window
// (both call the same logic), and the commands of the menus run through the window.
#include "bookkeeping_ui/bfmainw32.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <filesystem>
#include <map>
#include <sstream>

#include "ModalDialogs.h"
#include "WindowUser.h"
#include "ProgramRun.h"
#include "bookkeeping_ui/BfInfoForm.h"
#include "bookkeeping_ui/BfKontoReg.h"
#include "registers/ui/EEtikettForm.h"
#include "registers/ui/egiroreg32.h"
#include "registers/ui/epickForm32.h"
#include "shell/ui/ElidedPanel.h"
#include "bookkeeping/BFMenuState.h"
#include "bookkeeping/BFVerify.h"
#include "bookkeeping_ui/bfverform.h"
#include "bookkeeping_ui/bfgrafform.h"
#include "common/Ansi.h"
#include "exchange/EfileDlg.h"
#include "printing/ui/QtReportDialog.h"
#include "shell/ECountForm.h"
#include "shell/ETider.h"
#include "shell/EMsgTxt.h"
#include "shell/Eerror32.h"
#include "shell/Eerror32_MessageBoxes.h"
#include "shell/ekonfig32.h"
#include "shell/ui/QtCountForm.h"
#include "shell/ui/edirform.h"
#include "storage/Filer.h"
#include "tabledisplay/ui/Tgridform.h"

namespace fs = std::filesystem;
using bf::MenuNeed;

namespace {

// Every item the enabling table covers, by the window's names.
const char* const kTableItems[] = {
    "new",          "tbBackup",     "postgiroMenu", "plusgiroMenu",       "bankgiroMenu",  "etikettMenu",
    "change",       "copy",         "nolla",        "inmata",             "InmataVerifikation", "plan",
    "grafiskt",     "grafrapport",  "kontoreg",     "exportplan",         "importplanu",   "importplani",
    "visakontoplan", "kontoplan",   "datacopy",     "indexbygg",          "exportverif1",  "visahuvudbok",
    "visagrundbok", "huvudbok",     "grundbok",     "grafutskrift",       "resultatrapport", "saldorapport",
    "balansrapport"};

const std::vector<std::string> kNoArgs;

// The window with the backup folder answered by the test.
class TestMainForm : public bfui::TMainForm {
 public:
  using TMainForm::TMainForm;
  QString backupDir;
  QString askedFrom;
  // The pick lists' windows: the line beginning with pickedLine is chosen; none: cancelled.
  struct Picks : ereg::PickWindows {
    std::string pickedLine;
    std::vector<std::string> captions;
    bool ShowPick(ereg::TPickWindowState& state) override {
      captions.push_back(state.Caption());
      for (int i = 0; i < state.Count(); ++i)
        if (!pickedLine.empty() && state.Line(i).rfind(pickedLine, 0) == 0) state.SetSelected(i, true);
      return state.SelectedCount() > 0;
    }
  } picks;

 protected:
  QString ChooseBackupDir(const QString& start) override {
    askedFrom = start;
    return backupDir;
  }
  ereg::PickWindows& Picks() override { return picks; }
};

class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    static int run = 0;
    home = fs::temp_directory_path() / ("bfn-mainw-" + std::to_string(::getpid()) + "-" + std::to_string(++run));
    fs::create_directories(home);
    startDir = fs::current_path();
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_DOCUMENTS_DIR", (home / "Documents").c_str(), 1);
    ekonfig::SetKonfigPaths({});
    eerror::StatusMsg.clear();
    eerror::LastStatusMsg.clear();
  }
  void TearDown() override {
    fs::current_path(startDir);
    fs::remove_all(home);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DOCUMENTS_DIR");
  }

  // bfnolk on the same configuration and data directory as the window.
  std::string Bfnolk(const std::string& args) {
    const ProgramRun run = RunProgram(std::string(BFN_BIN_DIR) + "/bfnolk " + args);
    EXPECT_EQ(run.status, 0) << args << "\n" << run.out;
    return run.out;
  }
  void MakeBookkeepings(std::initializer_list<const char*> names) {
    Bfnolk("init --yes");
    for (const char* name : names) Bfnolk(std::string("new --name ") + name + " --from 2026-01-01 --to 2026-12-31");
  }
  void AddVerification() {
    Bfnolk("account add 1930 --name Bank --opening 500");
    Bfnolk("account add 3010 --name Intakt");
    Bfnolk("ver add --text Test --date 2026-03-01 1930:+:100.00 3010:-:100.00");
  }
  // A file of that name in any letter case, as the engine finds it.
  static bool HasFile(const fs::path& folder, const std::string& lowerName) {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      std::string name = entry.path().filename().string();
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (name == lowerName) return true;
    }
    return false;
  }
  fs::path DataDir() const { return home / "Documents" / "BFNOLKW64" / "data"; }

  static QString Caption(TestMainForm& form, const char* item) { return form.Item(item)->text(); }

  // Each item of the table is enabled exactly when the state allows what it needs.
  static void ExpectState(TestMainForm& form, MenuNeed allowed) {
    for (const char* name : kTableItems) {
      QAction* item = form.Item(name);
      ASSERT_NE(item, nullptr) << name;
      const MenuNeed need = bf::NeedOf(name);
      EXPECT_EQ(item->isEnabled(), allowed != MenuNeed::kNothing && need <= allowed) << name;
    }
    for (const char* always : {"initdata", "avsluta", "select", "delete"})
      EXPECT_TRUE(form.Item(always)->isEnabled()) << always;
  }
  static void ExpectSlot(TestMainForm& form, int n, const QString& caption, bool enabled, bool checked) {
    for (const QString menu : {"select", "delete"}) {
      QAction* item = form.Item(menu + QString::number(n));
      EXPECT_EQ(item->text(), caption) << menu.toStdString() << n;
      EXPECT_EQ(item->isEnabled(), enabled) << menu.toStdString() << n;
      EXPECT_EQ(item->isChecked(), checked) << menu.toStdString() << n;
    }
  }

  fs::path home, startDir;
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes{boxes};
  ecountform::RecordingProgressWindows progress;
  shellui::ScopedProgressWindows installedProgress{progress};
};

TEST_F(MainWindow, WithoutAListEverySlotIsVacantAndNoCommandOfTheTableIsOffered) {
  TestMainForm form(kNoArgs);
  ASSERT_TRUE(form.Started());
  EXPECT_FALSE(form.Database().listOpen());
  for (int n = 1; n <= 8; ++n) ExpectSlot(form, n, "vakant", false, false);
  ExpectState(form, MenuNeed::kNothing);
  EXPECT_EQ(form.DataPanel()->text(), "<inga filer>");
  EXPECT_TRUE(form.windowTitle().startsWith("BFNOLKW64.2014 181009E"));
  EXPECT_TRUE(form.font().bold());
}

TEST_F(MainWindow, AFailedEngineStartIsShownAndLeavesTheWindowWithoutAList) {
  MakeBookkeepings({"Hem"});
  ASSERT_GT(isam::InitIsam(0, 16), 0);  // started already: the window's start is refused
  {
    TestMainForm form(kNoArgs);
    ASSERT_TRUE(form.Started());
    EXPECT_EQ(form.DataPanel()->text(), "<inga filer>");
    ExpectState(form, MenuNeed::kNothing);
    // The engine's own text, then the catalogue text of its error, each in a box.
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[0].kind, eerror::BoxKind::Warning);
    EXPECT_EQ(boxes.boxes[0].text.rfind("IsamDosError:   0 IsamError: 10450", 0), 0u) << boxes.boxes[0].text;
    EXPECT_EQ(boxes.boxes[1].text, emsgtxt::msgtext(isam::kErrAlreadyStarted));
  }
  isam::ExitIsam();
}

TEST_F(MainWindow, TheStatesBfnolkMakesAreTheStatesTheWindowShows) {
  MakeBookkeepings({"Hem", "Forening", "Klubb"});
  Bfnolk("delete 2 --yes");
  Bfnolk("select 3");
  {
    TestMainForm form(kNoArgs);
    ExpectSlot(form, 1, "Hem", true, false);
    ExpectSlot(form, 2, "raderad", false, false);
    ExpectSlot(form, 3, "Klubb", true, true);
    ExpectSlot(form, 4, "vakant", false, false);
    EXPECT_EQ(form.DataPanel()->text(), "Klubb");
    ExpectState(form, MenuNeed::kBookkeeping);  // no verifications yet
    EXPECT_TRUE(form.Item("kontoreg")->isEnabled());
    EXPECT_TRUE(form.Item("plan")->isEnabled());
    EXPECT_FALSE(form.Item("huvudbok")->isEnabled());
  }
  AddVerification();
  {
    TestMainForm form(kNoArgs);
    ExpectState(form, MenuNeed::kVerifications);
  }
  Bfnolk("delete 3 --yes");  // the selected one: none is selected after it
  {
    TestMainForm form(kNoArgs);
    ExpectSlot(form, 3, "raderad", false, false);
    EXPECT_EQ(form.DataPanel()->text(), "<bokföring ej vald>");
    ExpectState(form, MenuNeed::kList);
  }
}

TEST_F(MainWindow, ChoosingFromTheMenuOpensItAndIsRememberedAcrossARestart) {
  MakeBookkeepings({"Hem", "Forening"});
  Bfnolk("select 1");
  {
    TestMainForm form(kNoArgs);
    ExpectSlot(form, 1, "Hem", true, true);
    form.Item("select2")->trigger();
    EXPECT_EQ(form.Database().current(), 2);
    EXPECT_TRUE(form.Database().bookkeepingOpen());
    ExpectSlot(form, 1, "Hem", true, false);
    ExpectSlot(form, 2, "Forening", true, true);
    EXPECT_EQ(form.DataPanel()->text(), "Forening");
  }
  // The configuration file holds it: bfnolk reads it, and so does the next window.
  EXPECT_NE(Bfnolk("list").find("Forening                    2026-01-01  2026-12-31       0  vald"),
            std::string::npos);
  TestMainForm form(kNoArgs);
  ExpectSlot(form, 2, "Forening", true, true);
  EXPECT_EQ(form.Database().current(), 2);
}

TEST_F(MainWindow, DeleteAndNewListFromTheMenusAskFirst) {
  MakeBookkeepings({"Hem", "Forening"});
  TestMainForm form(kNoArgs);
  boxes.answers = {eerror::kNo};
  form.Item("delete1")->trigger();
  ExpectSlot(form, 1, "Hem", true, false);
  boxes.answers = {eerror::kYes};
  form.Item("delete1")->trigger();
  ExpectSlot(form, 1, "raderad", false, false);
  ExpectSlot(form, 2, "Forening", true, true);  // the open one stays open
  EXPECT_FALSE(fs::exists(DataDir() / "Konto01.DAT"));

  boxes.answers = {eerror::kYes};
  form.Item("initdata")->trigger();
  EXPECT_EQ(boxes.boxes.back().text, A("Befintliga datafiler kommer att förstöras OK?"));
  for (int n = 1; n <= 8; ++n) ExpectSlot(form, n, "vakant", false, false);
  EXPECT_EQ(form.DataPanel()->text(), "<bokföring ej vald>");
  ExpectState(form, MenuNeed::kList);
}

TEST_F(MainWindow, CopyBackupYearEndAndRebuildRunFromTheMenus) {
  MakeBookkeepings({"Hem"});
  AddVerification();
  TestMainForm form(kNoArgs);
  ExpectState(form, MenuNeed::kVerifications);

  form.Item("copy")->trigger();
  ExpectSlot(form, 2, "Hem", true, true);  // the copy is opened

  const fs::path target = home / "kopia";
  fs::create_directories(target);
  form.backupDir.clear();  // cancelled: nothing copied
  form.Item("tbBackup")->trigger();
  EXPECT_TRUE(fs::is_empty(target));
  form.backupDir = QString::fromStdString(target.string());
  form.Item("tbBackup")->trigger();
  EXPECT_TRUE(HasFile(target, "konto02.dat"));
  EXPECT_TRUE(HasFile(target, "bfnolk.dat"));
  EXPECT_NE(form.MessagePanel(0).indexOf("lyckad kopiering"), -1);
  form.Item("datacopy")->trigger();  // the stored folder is offered next time
  EXPECT_EQ(form.askedFrom, QString::fromStdString(target.string()));

  boxes.answers = {eerror::kNo};  // the payee registers stay
  form.Item("aterstall")->trigger();
  ExpectSlot(form, 3, "Hem", true, true);  // the backup comes back beside the two
  EXPECT_NE(form.MessagePanel(0).indexOf(QString::fromUtf8("återställd som nr.03")), -1) << form.MessagePanel(0).toStdString();

  form.Item("indexbygg")->trigger();
  ExpectState(form, MenuNeed::kVerifications);

  boxes.answers = {eerror::kYes};
  form.Item("nolla")->trigger();
  ExpectState(form, MenuNeed::kBookkeeping);  // the verifications are gone, so are their reports
  EXPECT_EQ(form.DataPanel()->text(), "Hem");
}

TEST_F(MainWindow, BackupWithoutAnOpenBookkeepingSaysSo) {
  MakeBookkeepings({"Hem"});
  Bfnolk("delete 1 --yes");
  TestMainForm form(kNoArgs);
  form.backupDir = QString::fromStdString(home.string());
  ASSERT_TRUE(form.Item("tbBackup")->isEnabled());
  form.Item("tbBackup")->trigger();
  EXPECT_EQ(form.MessagePanel(0), "Databas ej vald/ datafiler saknas!");
  EXPECT_TRUE(form.askedFrom.isNull());
}

TEST_F(MainWindow, InfoShowsTheRecordSizes) {
  MakeBookkeepings({"Hem"});
  TestMainForm form(kNoArgs);
  QTimer::singleShot(0, [] {
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
  });
  form.ShowInfo();
  EXPECT_EQ(form.MessagePanel(0), "1=3552 2= 73 3=174 4=952 5=909 6=808 7=16004 8=48012 9= 20");
}

// Typed key by key over the field's text (a masked field takes its digits).
void Type(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  if (text.isEmpty()) QTest::keyClick(field, Qt::Key_Delete);
  for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

TEST_F(MainWindow, NyMakesANewBookkeepingThroughTheFormAndRefusesAPeriodThatIsNoPeriod) {
  MakeBookkeepings({"Hem"});
  TestMainForm form(kNoArgs);
  WhenShown<bfui::TInputIForm>([](bfui::TInputIForm& info) {
    EXPECT_EQ(info.windowTitle(), QString::fromUtf8("bokföring"));
    EXPECT_EQ(info.GroupField(1)->text(), "1000..1999");  // a fresh record's groups
    EXPECT_EQ(info.GroupButton(3)->text(), " 3");
    EXPECT_TRUE(info.GroupField(8)->isReadOnly());
    info.activateWindow();
    Type(info.Field(bf::InfoField::kName), QString::fromUtf8("Föreningen"));
    Type(info.Field(bf::InfoField::kFromDate), "20260230");
    Type(info.Field(bf::InfoField::kToDate), "20261231");
    Press(info, "okBitBtn");
    EXPECT_EQ(info.Status(), QString::fromUtf8("2026-02-30 är inget datum (åååå-mm-dd)"));
    Type(info.Field(bf::InfoField::kFromDate), "20270101");
    Press(info, "okBitBtn");
    EXPECT_EQ(info.Status(), QString::fromUtf8("perioden slutar före sin början"));
    Type(info.Field(bf::InfoField::kFromDate), "2026x");
    EXPECT_EQ(info.Status(), QString::fromUtf8("datum skrivs med siffror: åååå-mm-dd"));
    Type(info.Field(bf::InfoField::kName), QString(27, 'n'));
    EXPECT_EQ(info.Status(), QString::fromUtf8("namn rymmer högst 26 tecken"));
    Type(info.Field(bf::InfoField::kName), "");
    Type(info.Field(bf::InfoField::kFromDate), "20260101");
    Press(info, "okBitBtn");
    EXPECT_EQ(info.Status(), QString::fromUtf8("ange ett namn på bokföringen"));
    EXPECT_TRUE(info.isVisible());
    Type(info.Field(bf::InfoField::kName), QString::fromUtf8("Föreningen"));
    Press(info, "okBitBtn");
    EXPECT_FALSE(info.isVisible());
  });
  form.Item("new")->trigger();
  ExpectSlot(form, 2, QString::fromUtf8("Föreningen"), true, true);
  EXPECT_EQ(form.DataPanel()->text(), QString::fromUtf8("Föreningen"));
  const bf::BfDataBasRecord& made = form.Database().shared().dataBas;
  EXPECT_EQ(made.name, A("Föreningen"));
  EXPECT_EQ(made.fromDate, "2026-01-01");
  EXPECT_EQ(made.toDate, "2026-12-31");
  EXPECT_TRUE(fs::exists(DataDir() / "Konto02.DAT"));

  // Cancelled, the form leaves the bookkeeping that was open.
  WhenShown<bfui::TInputIForm>([](bfui::TInputIForm& info) { Press(info, "cancelBitBtn"); });
  form.Item("new")->trigger();
  EXPECT_EQ(form.Database().current(), 2);
  EXPECT_TRUE(form.Database().bookkeepingOpen());
  ExpectSlot(form, 3, "vakant", false, false);
}

TEST_F(MainWindow, AndraChoosesAGroupThroughItsButtonInTheAccountList) {
  MakeBookkeepings({"Hem"});
  for (const char* number : {"1930", "3010", "3040"}) Bfnolk(std::string("account add ") + number + " --name K");
  TestMainForm form(kNoArgs);
  WhenShown<bfui::TInputIForm>([](bfui::TInputIForm& info) {
    EXPECT_EQ(info.Field(bf::InfoField::kName)->text(), "Hem");
    EXPECT_EQ(info.Field(bf::InfoField::kFromDate)->text(), "2026-01-01");
    // Tab goes from the period to the group buttons, past the fields that can only be read.
    info.Field(bf::InfoField::kToDate)->setFocus();
    QTest::keyClick(info.Field(bf::InfoField::kToDate), Qt::Key_Tab);
    ASSERT_EQ(info.focusWidget(), info.GroupButton(1));
    QTest::keyClick(info.GroupButton(1), Qt::Key_Tab);
    EXPECT_EQ(info.focusWidget(), info.GroupButton(2));
    WhenShown<eregui::TEPickForm>([](eregui::TEPickForm& pick) {
      EXPECT_EQ(pick.windowTitle(), QString::fromUtf8("välj konto(n)"));
      QListWidget* list = pick.List();
      ASSERT_EQ(list->count(), 3);
      EXPECT_FALSE(list->item(0)->isSelected());  // 1930 is in group 1
      EXPECT_TRUE(list->item(1)->isSelected());
      EXPECT_TRUE(list->item(2)->isSelected());
      EXPECT_EQ(pick.Status(), "  2 [  3]");
      list->item(2)->setSelected(false);
      Press(pick, "OKBtn");
    });
    Press(info, "Button3");
    EXPECT_EQ(info.GroupField(3)->text(), "3010");
    Press(info, "okBitBtn");
  });
  form.Item("change")->trigger();
  EXPECT_EQ(form.Database().shared().dataBas.sumGroups[3], "3010");
  EXPECT_TRUE(bf::VerifyBookkeeping(form.Database().shared(), form.Database().dataDir()).empty());
}

TEST_F(MainWindow, RegisterAndVisaKontoplanOpenTheAccountRegisterAndTheAccountList) {
  MakeBookkeepings({"Hem"});
  Bfnolk("account add 1930 --name Bank --opening 500");
  TestMainForm form(kNoArgs);
  WhenShown<bfui::TBfKontoRegForm>([](bfui::TBfKontoRegForm& reg) {
    EXPECT_EQ(reg.windowTitle(), "kontoregister");
    ASSERT_EQ(reg.List()->count(), 1);
    EXPECT_EQ(reg.List()->item(0)->text(), "1930 \"Bank....\"      500.00");
    Press(reg, "StangBtn");
  });
  form.Item("kontoreg")->trigger();
  for (const char* item : {"visakontoplan", "plan"}) {
    WhenShown<eregui::TEPickForm>([](eregui::TEPickForm& pick) {
      EXPECT_EQ(pick.windowTitle(), "visar konton");
      EXPECT_FALSE(pick.AllButton()->isEnabled());
      EXPECT_EQ(pick.List()->count(), 1);
      Press(pick, "CancelBtn");
    });
    form.Item(item)->trigger();
  }
}

TEST_F(MainWindow, EtikettregisterOpensTheLabelRegisterAndClosesItsFileAfter) {
  MakeBookkeepings({"Hem"});
  Bfnolk("label add --line 'Arbetsutskottet' --line 'Storgatan 1'");
  TestMainForm form(kNoArgs);
  QAction* entry = form.Item("etikettMenu");
  ASSERT_TRUE(entry->isEnabled());
  WhenShown<eregui::TEEtikettRegForm>([](eregui::TEEtikettRegForm& reg) {
    EXPECT_EQ(reg.windowTitle(), "etikettregister");
    ASSERT_EQ(reg.List()->count(), 1);
    EXPECT_EQ(reg.List()->item(0)->text(), "Arbetsutskottet");
    reg.List()->item(0)->setSelected(true);
    Press(reg, "RaderaBtn");
    Press(reg, "StangBtn");
  });
  entry->trigger();
  // What the register said reaches the status bar; the file is closed, so it opens again.
  EXPECT_EQ(form.MessagePanel(0), QString::fromUtf8("Etikett \"Arbetsutskottet\", raderad..."));
  {
    const ereg::EtikettFile closed(DataDir().string());
    ASSERT_NE(closed.Open(), nullptr);
    EXPECT_EQ(isam::UsedRecs(closed.Open()), 0);
  }

  // A label file that can be neither opened nor made: said, and no window.
  fs::remove(DataDir() / "Etikett.DAT");
  fs::remove(DataDir() / "Etikett.IX");
  fs::create_directory(DataDir() / "Etikett.DAT");
  entry->trigger();
  EXPECT_EQ(form.MessagePanel(0), "fel med Etikettfilerna");
}

// The lines of text without their blanks, so that a line printed in proportional fonts and
// read back by pdftotext compares with the same line of the text device. (A proportional
// font's blanks are narrower than its columns, so pdftotext counts fewer of them.)
std::vector<std::string> Squeezed(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::erase(line, ' ');
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

TEST_F(MainWindow, TheSumGroupReportPrintsOnPdfFilIntoTheExchangeDirectoryAndSaysWhere) {
  Bfnolk("init --yes");
  Bfnolk("new --name Föreningen --from 2026-01-01 --to 2026-12-31 --group 1=1000..1999 --group 3=3000..3999");
  Bfnolk("account add 1930 --name Bank --opening 1000.00");
  Bfnolk("account add 3010 --name Avgift");
  Bfnolk("ver add --text avgift 1930:+:250.50 3010:-:250.50");
  // The page as the text device prints it, down to the last group line.
  std::vector<std::string> page = Squeezed(Bfnolk("--now '2026-03-15 10:00:00' print summagrupper"));
  page.resize(15);
  ASSERT_EQ(page.back(), "#88000..89990.00");

  etider::SetClock clock{2026, 3, 15, 10, 0, 0};
  etider::ScopedClock installedClock{clock};
  printui::QtReportDialogs dialogs;
  printui::ScopedReportDialogs installedDialogs{dialogs};
  TestMainForm form(kNoArgs);
  const fs::path exchange = home / "utbyte";
  fs::create_directories(exchange);
  ekonfig::Konfig.SetExchangeDir(exchange.string());
  ASSERT_TRUE(form.Item("grafrapport")->isEnabled());
  form.Item("grafrapport")->trigger();

  // The report names its job "BFNOLKW64:summagrupper", the engine puts the program before it.
  const fs::path pdf = exchange / "BFNOLKW64_summagrupper 2026-03-15 10.00.00.pdf";
  EXPECT_EQ(form.MessagePanel(0).toStdString(), "Rapporten skrevs till " + pdf.string());
  EXPECT_TRUE(form.isEnabled());
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_EQ(RunProgram("qpdf --check '" + pdf.string() + "'").status, 0);
  const ProgramRun text = RunProgram("pdftotext -layout '" + pdf.string() + "' -");
  ASSERT_EQ(text.status, 0);
  const std::vector<std::string> printed = Squeezed(text.out);
  EXPECT_EQ(page.front(), "Summagrupper");
  for (const std::string& line : page) {
    if (line.find_first_not_of('-') == std::string::npos) continue;  // the rule is a line
    EXPECT_NE(std::find(printed.begin(), printed.end(), line), printed.end()) << line << "\n" << text.out;
  }
  EXPECT_NE(text.out.find("## bokföringsnolk ## 2026-03-15 10:00:00"), std::string::npos);

  form.Item("grafrapport")->trigger();  // the same second: a file of its own
  EXPECT_TRUE(fs::exists(exchange / "BFNOLKW64_summagrupper 2026-03-15 10.00.00 (2).pdf"));
  EXPECT_TRUE(form.MessagePanel(0).endsWith(" (2).pdf"));
}

TEST_F(MainWindow, TheDataDirectoryDialogClosesTheBooksAndOpensThoseOfTheNewFolder) {
  MakeBookkeepings({"Hem"});
  TestMainForm form(kNoArgs);
  const fs::path other = home / "annan";
  fs::create_directories(other);
  QTimer::singleShot(0, [&other] {
    auto* dialog = dynamic_cast<shellui::Tedatadir*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->SetCurrent(QString::fromStdString(other.string()));
    dialog->accept();
  });
  form.ChooseDataDir();
  EXPECT_EQ(form.EnvPanel(0), QString::fromStdString(other.string()));
  EXPECT_EQ(form.DataPanel()->text(), "<inga filer>");
  ExpectState(form, MenuNeed::kNothing);
  EXPECT_TRUE(fs::exists(DataDir() / "Konto01.DAT"));  // the old books are untouched
}

TEST_F(MainWindow, EveryMenuHasItsOwnAcceleratorAndOpensFromTheKeyboard) {
  TestMainForm form(kNoArgs);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  std::map<QChar, QString> seen;
  for (QAction* menu : form.menuBar()->actions()) {
    const QString title = menu->text();
    const int amp = title.indexOf('&');
    ASSERT_GE(amp, 0) << title.toStdString();
    const QChar key = title.at(amp + 1).toLower();
    EXPECT_TRUE(seen.emplace(key, title).second) << title.toStdString();
  }
  // The hint of a menu shows over its title.
  QAction* arkivTitle = form.findChild<QMenu*>("arkiv")->menuAction();
  const QPoint centre = form.menuBar()->actionGeometry(arkivTitle).center();
  QHelpEvent hint(QEvent::ToolTip, centre, form.menuBar()->mapToGlobal(centre));
  QApplication::sendEvent(form.menuBar(), &hint);
  EXPECT_EQ(QToolTip::text(), "databiblioteket för programmets filer och inställningar");

  form.activateWindow();
  QTest::keyClick(&form, Qt::Key_A, Qt::AltModifier);
  auto* arkiv = form.findChild<QMenu*>("arkiv");
  EXPECT_TRUE(QTest::qWaitFor([arkiv] { return arkiv->isVisible(); }, 2000));
  arkiv->close();

  form.Item("avsluta")->trigger();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(MainWindow, TheLedgerAndTheJournalOpenTableWindowsOfTheirOwn) {
  Bfnolk("init --yes");
  Bfnolk("new --name Föreningen --from 2026-01-01 --to 2026-12-31");
  Bfnolk("account add 1930 --name Bank --opening 1000.00");
  Bfnolk("account add 3010 --name Avgift");
  Bfnolk("ver add --date 2026-01-05 --text avgift 1930:+:250.50 3010:-:250.50");
  Bfnolk("ver add --date 2026-01-06 --text retur 1930:-:50.00 3010:+:50.00");
  TestMainForm form(kNoArgs);
  ASSERT_TRUE(form.Item("visahuvudbok")->isEnabled());

  form.Item("visahuvudbok")->trigger();  // nothing picked: no window
  EXPECT_EQ(gridui::Tgridform::Newest(), nullptr);
  EXPECT_EQ(form.picks.captions, std::vector<std::string>{A("Välj konto")});

  form.picks.pickedLine = "1930";
  form.Item("visahuvudbok")->trigger();
  gridui::Tgridform* ledger = gridui::Tgridform::Newest();
  ASSERT_NE(ledger, nullptr);
  EXPECT_EQ(ledger->windowTitle().toStdString(), "BFNOLKW64: huvudbok: Föreningen: 1930 Bank");
  EXPECT_TRUE(ledger->isVisible());
  EXPECT_EQ(ledger->Table().CellText(2, 1), "  retur    ");  // the newest verification first
  EXPECT_EQ(ledger->Table().CellText(2, 2), "  avgift    ");

  form.picks.pickedLine = "0002";  // the second verification
  form.Item("visagrundbok")->trigger();
  EXPECT_EQ(form.picks.captions.back(), A("Välj verifikation"));
  gridui::Tgridform* journal = gridui::Tgridform::Newest();
  ASSERT_NE(journal, ledger);
  EXPECT_EQ(journal->windowTitle().toStdString(),
            "BFNOLKW64: grundbok: Föreningen: verifikation   2 2026-01-06 retur");
  EXPECT_EQ(journal->Table().CellText(2, 2), "  Avgift    ");
  EXPECT_TRUE(ledger->isVisible());  // both stay open
  delete journal;
  delete ledger;
}

// "ver" and "ny verifikation" open the entry dialog; with every number used up the status
// line says so and no dialog opens.
TEST_F(MainWindow, VerOpensTheEntryDialogUnlessTheNumbersAreUsedUp) {
  MakeBookkeepings({"Hem"});
  TestMainForm form(kNoArgs);
  int dialogs = 0;
  const auto closeWhenShown = [&dialogs] {
    QTimer::singleShot(0, [&dialogs] {
      if (auto* dialog = dynamic_cast<bfui::TbfverifikDlg*>(QApplication::activeModalWidget())) {
        ++dialogs;
        EXPECT_EQ(dialog->Entry().number(), "0001");
        dialog->reject();
      }
    });
  };
  closeWhenShown();
  form.Item("InmataVerifikation")->trigger();
  EXPECT_EQ(dialogs, 1);
  closeWhenShown();
  form.Item("inmata")->trigger();
  EXPECT_EQ(dialogs, 2);
  form.Database().shared().dataBas.lastVerNr = 32767;
  closeWhenShown();
  form.Item("inmata")->trigger();
  EXPECT_EQ(dialogs, 2);
  EXPECT_EQ(form.MessagePanel(0), QString::fromUtf8("verifikationsnumren är slut (högst 32767)"));
}

// The pick window the next command opens, answered as a user would: its caption noted, every
// line chosen with "&Alla" and OK pressed (or, with choose false, Avbryt).
void AnswerPick(QString& caption, int& lines, bool choose) {
  QTimer::singleShot(0, [&caption, &lines, choose] {
    auto* pick = dynamic_cast<eregui::TEPickForm*>(QApplication::activeModalWidget());
    ASSERT_NE(pick, nullptr);
    caption = pick->windowTitle();
    lines = pick->List()->count();
    if (!choose) return pick->reject();
    pick->AllButton()->click();
    pick->accept();
  });
}

TEST_F(MainWindow, TheLedgerPrintsTheAccountsChosenOnPdfFil) {
  MakeBookkeepings({"Hem"});
  AddVerification();
  etider::SetClock clock{2026, 3, 15, 10, 0, 0};
  etider::ScopedClock installedClock{clock};
  printui::QtReportDialogs dialogs;
  printui::ScopedReportDialogs installedDialogs{dialogs};
  TestMainForm form(kNoArgs);
  const fs::path exchange = home / "utbyte";
  fs::create_directories(exchange);
  ekonfig::Konfig.SetExchangeDir(exchange.string());

  QString caption;
  int lines = 0;
  AnswerPick(caption, lines, false);
  form.Item("huvudbok")->trigger();  // cancelled: nothing printed
  EXPECT_EQ(caption, "Välj konto(n)");
  EXPECT_EQ(lines, 2);
  EXPECT_TRUE(fs::is_empty(exchange));

  AnswerPick(caption, lines, true);
  form.Item("huvudbok")->trigger();
  const fs::path pdf = exchange / "BFNOLKW64_huvudbok 2026-03-15 10.00.00.pdf";
  EXPECT_EQ(form.MessagePanel(0).toStdString(), "Rapporten skrevs till " + pdf.string());
  const ProgramRun text = RunProgram("pdftotext -layout '" + pdf.string() + "' -");
  ASSERT_EQ(text.status, 0) << text.out;
  const std::vector<std::string> printed = Squeezed(text.out);
  for (const char* line : {"Huvudbok", "Konto:1930Bank", "12026-03-01Test100.00", "Konto:3010Intakt",
                           "Omslutning:******100.00100.00"})
    EXPECT_NE(std::find(printed.begin(), printed.end(), line), printed.end()) << line << "\n" << text.out;

  AnswerPick(caption, lines, true);
  form.Item("grundbok")->trigger();
  EXPECT_EQ(caption, "Välj verifikation(er)");
  EXPECT_EQ(lines, 1);
  EXPECT_TRUE(fs::exists(exchange / "BFNOLKW64_grundbok 2026-03-15 10.00.00.pdf"));
}

TEST_F(MainWindow, VisaGrafisktShowsTheChartBesideTheGroupPickList) {
  MakeBookkeepings({"Hem"});
  AddVerification();  // the runs of bfnolk file their month sums
  TestMainForm form(kNoArgs);
  QString caption;
  int lines = 0;
  AnswerPick(caption, lines, true);
  form.Item("grafiskt")->trigger();
  EXPECT_EQ(caption, "Välj grupp");
  EXPECT_EQ(lines, 9);
  auto* chart = form.findChild<bfui::TGrafForm*>("TGrafForm");
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(chart->isVisible());
  // Group 1's bar (1930: 600.00) in its colour.
  const QImage picture = chart->grab().toImage();
  const QColor blue = QColor::fromRgb(reports::GroupColour(1));
  bool found = false;
  for (int y = 0; y < picture.height() && !found; ++y)
    for (int x = 0; x < picture.width() && !found; ++x) found = picture.pixelColor(x, y) == blue;
  EXPECT_TRUE(found);
  chart->close();
}

TEST_F(MainWindow, ThePlanGoesOutAndComesBackWithItsClosingBalancesThroughTheFileDialog) {
  MakeBookkeepings({"Hem"});
  AddVerification();
  TestMainForm form(kNoArgs);
  eixport::GivenFileDialogs dialogs;
  const eixport::ScopedFileDialogs installed(dialogs);
  const std::string plan = (home / "plan.bfr").string(), ver = (home / "ver.bfr").string();
  dialogs.names = {plan, ver, plan};
  form.Item("exportplan")->trigger();
  form.Item("exportverif1")->trigger();
  ASSERT_EQ(dialogs.requests.size(), 2u);
  EXPECT_TRUE(dialogs.requests[0].save);
  EXPECT_EQ(dialogs.requests[0].defaultExt, "bfr");
  EXPECT_NE(RunProgram("cat " + ver).out.find("*nr,  2,3010,-,100.00"), std::string::npos);

  form.Item("importplanu")->trigger();
  EXPECT_FALSE(dialogs.requests.back().save);
  EXPECT_TRUE(progress.setups.back().caption.find("plan.bfr") != std::string::npos);
  EXPECT_EQ(form.MessagePanel(0), "Import klar!! Antal rader:     6");
  bf::KontoRecord bank;
  int32_t recNo = 0;
  ASSERT_EQ(bf::FindAccount(form.Database().shared(), "1930", bank, recNo), bf::Lookup::kFound);
  EXPECT_DOUBLE_EQ(bank.opening.Value(), 600);  // the old closing balance
  EXPECT_EQ(bf::VerifyBookkeeping(form.Database().shared(), form.Database().dataDir()), std::vector<std::string>{});
  form.Item("importplani")->trigger();  // cancelled: nothing read, the framework reports
  EXPECT_EQ(form.MessagePanel(0), "Import/export av    0 rader    0");

  const std::string sie = (home / "bok.se").string();
  dialogs.names = {sie, sie};
  form.Item("exportsie")->trigger();
  form.Item("importsie")->trigger();
  EXPECT_EQ(form.MessagePanel(0), "SIE-import klar: 1 verifikationer");
  ExpectSlot(form, 2, "Hem", true, true);  // the SIE file made a bookkeeping of its own
  EXPECT_EQ(bf::VerifyBookkeeping(form.Database().shared(), form.Database().dataDir()), std::vector<std::string>{});
}

TEST_F(MainWindow, TheGiroEntriesOfXregisterOpenTheRegisterOfTheirKind) {
  MakeBookkeepings({"Hem"});
  TestMainForm form(kNoArgs);
  const struct {
    const char* item;
    const char* caption;
    const char* file;
  } entries[] = {{"plusgiroMenu", "plusgiroregister", "girop.dat"},
                 {"postgiroMenu", "postgiroregister", "girop.dat"},
                 {"bankgiroMenu", "bankgiroregister", "girob.dat"}};
  for (const auto& entry : entries) {
    WhenShown<eregui::TEGiroRegForm>([&entry](eregui::TEGiroRegForm& reg) {
      EXPECT_EQ(reg.windowTitle(), entry.caption);
      EXPECT_EQ(reg.Register().Kind(), std::string(entry.item) == "plusgiroMenu"   ? ereg::kPlusgiro
                                       : std::string(entry.item) == "postgiroMenu" ? ereg::kPostgiro
                                                                                     : ereg::kBankgiro);
      Press(reg, "StangBtn");
    });
    form.Item(entry.item)->trigger();
    EXPECT_TRUE(HasFile(DataDir(), entry.file)) << entry.file;
  }
  // The file is closed with the window: it opens again (a second open would be refused).
  EXPECT_TRUE(ereg::GiroFile(DataDir().string(), ereg::kBankgiro).ok());
}

}  // namespace

