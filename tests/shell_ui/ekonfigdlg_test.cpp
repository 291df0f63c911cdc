#include "common/Ansi.h"
#include "printing/PrinterSelect.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ekonfig32_edit.h"
#include "shell/ui/QtPrinterSystem.h"
#include "shell/ui/ekonfigdlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;
using namespace shellui;
using ekonfig::SettingKind;

namespace {

using Bytes = std::vector<unsigned char>;
constexpr size_t kLabel = 60352, kLabelSize = 9776, kReport = 158112, kReportSize = 16016;

int32_t I32(const Bytes& b, size_t at) {
  return static_cast<int32_t>(b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) |
                              (static_cast<uint32_t>(b.at(at + 3)) << 24));
}
int16_t I16(const Bytes& b, size_t at) { return static_cast<int16_t>(b.at(at) | (b.at(at + 1) << 8)); }
std::string P(const Bytes& b, size_t at) { return std::string(reinterpret_cast<const char*>(&b.at(at + 1)), b.at(at)); }
std::string Z(const Bytes& b, size_t at) { return reinterpret_cast<const char*>(&b.at(at)); }
size_t LabelAt(int n) { return kLabel + (n - 1) * kLabelSize; }
size_t ReportAt(int n) { return kReport + (n - 1) * kReportSize; }

// The dialog with its Qt dialogs answered by the test.
class AnsweredDlg : public TEKonfigDlg {
 public:
  std::optional<QFont> font;
  std::optional<printing::Printer> printer;
  std::optional<printing::Printer> printerStart;
  QString picture;
  QString pictureStart;

 protected:
  std::optional<QFont> RunFontDialog(const QFont&) override { return font; }
  std::optional<printing::Printer> RunPrinterDialog(const printing::Printer& start) override {
    printerStart = start;
    return printer;
  }
  QString RunPictureDialog(const QString& start) override {
    pictureStart = start;
    return picture;
  }
};

class KonfigDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ekonfigdlg_testXXXXXX";
    root_ = mkdtemp(pattern);
    cwd_ = fs::current_path();
    ekonfig::SetKonfigPaths({root_ + "/config", root_ + "/data"});
    previousPrinters_ = printing::InstallPrinterSystem(&printers_);
    eerror::StatusMsg.clear();
    ASSERT_EQ(ekonfig::InitKonfig(20, true, ""), ekonfig::KonfigStart::kStarted);
  }
  void TearDown() override {
    printing::InstallPrinterSystem(previousPrinters_);
    ekonfig::SetKonfigPaths({});
    fs::current_path(cwd_);
    fs::remove_all(root_);
  }
  Bytes File() const {
    std::ifstream in(ekonfig::KonfigFilePath(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  void Patch(size_t at, std::initializer_list<unsigned char> bytes) {
    std::fstream io(ekonfig::KonfigFilePath(), std::ios::binary | std::ios::in | std::ios::out);
    io.seekp(static_cast<std::streamoff>(at));
    for (unsigned char b : bytes) io.put(static_cast<char>(b));
  }
  template <class T>
  static T* Child(QWidget& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }

  std::string root_;
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installed_{boxes_};
  printing::PrinterList printers_{{printing::Printer{"CUPS", "Laser", "CUPS", {}}}, "Laser"};

 private:
  fs::path cwd_;
  printing::PrinterSystem* previousPrinters_ = nullptr;
};

TEST_F(KonfigDlgTest, OpensOnTheStoredTabsAndPage) {
  ekonfig::Konfig.SetDialogPage(TEKonfigDlg::kLabelPage);
  ekonfig::LoadLabelSetting(4);
  ekonfig::LoadReportSetting(2);
  TEKonfigDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("inställningar"));
  EXPECT_EQ(Child<QTabWidget>(dialog, "KonfigPageControl")->currentIndex(), 1);
  EXPECT_EQ(dialog.ShownSetting(SettingKind::kLabel), 4);
  EXPECT_EQ(dialog.ShownSetting(SettingKind::kReport), 2);
  EXPECT_EQ(Child<QLineEdit>(dialog, "etikettnamn")->text(), QString::fromUtf8("Löpande 2x12 I"));
  EXPECT_EQ(Child<QLineEdit>(dialog, "rapportnamn")->text(), QString::fromUtf8("arial.liggande"));
  EXPECT_EQ(Child<QLineEdit>(dialog, "EtEditStorFont")->text(), "Courier 5cpi 15");
  EXPECT_EQ(Child<QLineEdit>(dialog, "RaEditLitenFont")->text(), "Arial 8");
  EXPECT_EQ(Child<QLineEdit>(dialog, "RaSkrivarval")->text(), "Laser");
  EXPECT_FALSE(Child<QPushButton>(dialog, "RaUtskriftsformat")->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(dialog, "EtUtskriftsformat")->isEnabled());
  EXPECT_EQ(Child<QPushButton>(dialog, "EtUtskriftsformat")->text(), "utskriftformat");
  EXPECT_EQ(Child<QSpinBox>(dialog, "EtXn")->value(), 2);
  EXPECT_EQ(Child<QSpinBox>(dialog, "EtYn")->value(), 11);
}

TEST_F(KonfigDlgTest, LeavingLabelTabThreeWritesItBeforeFiveIsRead) {
  TEKonfigDlg dialog;
  dialog.ShowSetting(SettingKind::kLabel, 3);
  Child<QSpinBox>(dialog, "Etcopies")->setValue(7);
  Child<QLineEdit>(dialog, "etikettnamn")->setText("mina etiketter");
  dialog.ShowSetting(SettingKind::kLabel, 5);

  const Bytes b = File();
  EXPECT_EQ(I32(b, LabelAt(3) + 9640), 7);
  EXPECT_EQ(I32(b, LabelAt(3)), -30);    // setting 3's own margin, not setting 5's
  EXPECT_EQ(I32(b, LabelAt(5)), -100);
  EXPECT_EQ(I32(b, LabelAt(5) + 9640), 1);
  EXPECT_EQ(b[8], 1);  // the main record waits for the end of the run
  EXPECT_EQ(ekonfig::Konfig.CurrentLabelSetting(), 5);
  EXPECT_EQ(ekonfig::Konfig.LabelName(3), "mina etiketter");
  EXPECT_EQ(Child<QSpinBox>(dialog, "EtXmarg")->value(), -100);
  EXPECT_EQ(Child<QSpinBox>(dialog, "Etcopies")->value(), 1);

  dialog.ShowSetting(SettingKind::kLabel, 3);
  EXPECT_EQ(Child<QSpinBox>(dialog, "Etcopies")->value(), 7);
}

TEST_F(KonfigDlgTest, AClickedTabSavesTheShownSettingAndKeepsTheFullNameAsHint) {
  TEKonfigDlg dialog;
  dialog.ShowPage(TEKonfigDlg::kLabelPage);
  dialog.show();
  QWidget* tabs = Child<QWidget>(dialog, "EtikettTabControl");
  const QList<QToolButton*> buttons = tabs->findChildren<QToolButton*>();
  ASSERT_EQ(buttons.size(), 10);
  dialog.ShowSetting(SettingKind::kLabel, 3);
  EXPECT_TRUE(buttons[2]->isChecked());
  EXPECT_TRUE(buttons[2]->font().bold());
  const QString longName(40, QChar('n'));
  Child<QLineEdit>(dialog, "etikettnamn")->setText(longName);
  Child<QSpinBox>(dialog, "Etcopies")->setValue(4);

  QTest::mouseClick(buttons[4], Qt::LeftButton);
  EXPECT_EQ(dialog.ShownSetting(SettingKind::kLabel), 5);
  EXPECT_TRUE(buttons[4]->isChecked());
  EXPECT_FALSE(buttons[2]->font().bold());
  EXPECT_EQ(I32(File(), LabelAt(3) + 9640), 4);
  EXPECT_EQ(buttons[2]->toolTip(), longName);
  EXPECT_TRUE(buttons[2]->text().endsWith(QChar(0x2026))) << buttons[2]->text().toStdString();

  Child<QSpinBox>(dialog, "Etcopies")->setValue(6);
  QTest::mouseClick(buttons[4], Qt::LeftButton);  // the shown tab again: no save, no reload
  EXPECT_EQ(dialog.ShownSetting(SettingKind::kLabel), 5);
  EXPECT_EQ(I32(File(), LabelAt(5) + 9640), 1);
  EXPECT_EQ(Child<QSpinBox>(dialog, "Etcopies")->value(), 6);
  EXPECT_TRUE(buttons[4]->isChecked());
}

TEST_F(KonfigDlgTest, ComputerNameTakesAtMostThirtyOneCharacters) {
  TEKonfigDlg dialog;
  QLineEdit* name = Child<QLineEdit>(dialog, "datornamn");
  EXPECT_EQ(name->text(), "vimledator.DatorID.ejdef");
  name->clear();
  QTest::keyClicks(name, QString(32, 'x'));
  EXPECT_EQ(name->text(), QString(31, 'x'));
  dialog.accept();
  EXPECT_EQ(ekonfig::Konfig.ComputerName(), std::string(31, 'x'));
}

TEST_F(KonfigDlgTest, EveryNumberStaysWithinItsLimits) {
  TEKonfigDlg dialog;
  struct Limit {
    const char* name;
    int min, max;
  };
  const Limit limits[] = {{"EtXmarg", -999, 9999}, {"EtYh", -999, 9999},   {"EtYdeln", -999, 9999},
                          {"EtXdeln", -999, 9999}, {"EtXw", -999, 9999},   {"EtYmarg", -999, 9999},
                          {"EtXn", 1, 9},          {"EtYn", 1, 99},        {"Etcopies", 1, 99},
                          {"RaKolumnEdit", 1, 9},  {"storlek1", 1, 99},    {"storlek4", 1, 99}};
  for (const Limit& limit : limits) {
    QSpinBox* spin = Child<QSpinBox>(dialog, limit.name);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->minimum(), limit.min) << limit.name;
    EXPECT_EQ(spin->maximum(), limit.max) << limit.name;
  }
  const struct {
    const char* name;
    int max;
  } texts[] = {{"rapportnamn", 40}, {"etikettnamn", 40}, {"fottext", 64}, {"RaSkrivarval", 63},
               {"EtEditMellanFont", 80}};
  for (const auto& text : texts) EXPECT_EQ(Child<QLineEdit>(dialog, text.name)->maxLength(), text.max) << text.name;

  // Typing past a limit keeps the last value that fits.
  QSpinBox* rows = Child<QSpinBox>(dialog, "EtYn");
  rows->selectAll();
  QTest::keyClicks(rows, "123");
  EXPECT_EQ(rows->value(), 12);
}

TEST_F(KonfigDlgTest, DamagedNumbersAreShownAndStoredWithinLimits) {
  Patch(LabelAt(1) + 18, {0, 0});                 // labels per row 0
  Patch(LabelAt(1) + 9640, {0xF4, 0x01, 0, 0});   // 500 copies
  Patch(LabelAt(1) + 4, {0x10, 0x27});            // height 10000
  Patch(ReportAt(1) + 1096 + 9592, {0, 0, 0, 0}); // no columns
  Patch(ReportAt(1) + 10720 + 1032 + 1028, {0, 0, 0, 0});  // picture 1 divisor 0
  TEKonfigDlg dialog;
  EXPECT_EQ(Child<QSpinBox>(dialog, "EtXn")->value(), 1);
  EXPECT_EQ(Child<QSpinBox>(dialog, "Etcopies")->value(), 99);
  EXPECT_EQ(Child<QSpinBox>(dialog, "EtYh")->value(), 9999);
  EXPECT_EQ(Child<QSpinBox>(dialog, "RaKolumnEdit")->value(), 1);
  EXPECT_EQ(Child<QSpinBox>(dialog, "storlek1")->value(), 1);
  dialog.accept();
  const Bytes b = File();
  EXPECT_EQ(I16(b, LabelAt(1) + 18), 1);
  EXPECT_EQ(I32(b, LabelAt(1) + 9640), 99);
  EXPECT_EQ(I32(b, ReportAt(1) + 1096 + 9592), 1);
  EXPECT_EQ(I32(b, ReportAt(1) + 10720 + 1032 + 1028), 1);
}

TEST_F(KonfigDlgTest, OkKeepsWhatWasEditedAndStoresPageAndName) {
  TEKonfigDlg dialog;
  Child<QLineEdit>(dialog, "fottext")->setText("## egen ##");
  dialog.ShowSetting(SettingKind::kReport, 2);
  Child<QLineEdit>(dialog, "rapportnamn")->setText("bred");
  Child<QSpinBox>(dialog, "RaKolumnEdit")->setValue(2);
  Child<QCheckBox>(dialog, "aktiv3")->setChecked(true);
  Child<QLineEdit>(dialog, "datornamn")->setText("kassan");
  dialog.ShowPage(TEKonfigDlg::kLabelPage);
  Child<QSpinBox>(dialog, "EtXmarg")->setValue(-12);
  dialog.accept();

  const Bytes b = File();
  EXPECT_EQ(P(b, ReportAt(1) + 1027), "## egen ##");
  EXPECT_EQ(I32(b, ReportAt(2) + 1096 + 9592), 2);
  EXPECT_EQ(b[ReportAt(2) + 10720 + 3 * 1032 + 1025], 1);
  EXPECT_EQ(I32(b, LabelAt(1)), -12);
  EXPECT_EQ(ekonfig::Konfig.ReportName(2), "bred");
  EXPECT_EQ(ekonfig::Konfig.CurrentReportSetting(), 2);
  EXPECT_EQ(ekonfig::Konfig.ComputerName(), "kassan");
  EXPECT_EQ(ekonfig::Konfig.DialogPage(), TEKonfigDlg::kLabelPage);
  EXPECT_EQ(ekonfig::CurRapport.Printer().Columns(), 2);

  ekonfig::ExitKonfig();
  const Bytes after = File();
  EXPECT_EQ(P(after, 59769 + 2 * 41), "bred");
  EXPECT_EQ(P(after, 3085), "kassan");
  EXPECT_EQ(I32(after, 60220), 2);
  EXPECT_EQ(after[9], 2);
}

TEST_F(KonfigDlgTest, CancelPutsEverySettingAndTheMainRecordBack) {
  const Bytes before = File();
  const glodefs::TKonfigRec konfig = ekonfig::Konfig;
  const glodefs::TRapportEnv rapport = ekonfig::CurRapport;
  {
    TEKonfigDlg dialog;
    Child<QLineEdit>(dialog, "fottext")->setText("## egen ##");
    Child<QLineEdit>(dialog, "rapportnamn")->setText("ny");
    dialog.ShowSetting(SettingKind::kReport, 3);  // writes setting 1
    dialog.ShowSetting(SettingKind::kLabel, 6);   // writes label setting 1
    Child<QLineEdit>(dialog, "datornamn")->setText("kassan");
    EXPECT_EQ(P(File(), ReportAt(1) + 1027), "## egen ##");
    dialog.reject();
  }
  EXPECT_EQ(File(), before);
  EXPECT_EQ(ekonfig::Konfig.bytes, konfig.bytes);
  EXPECT_EQ(ekonfig::CurRapport.bytes, rapport.bytes);
  EXPECT_EQ(ekonfig::Konfig.CurrentReportSetting(), 1);
  EXPECT_EQ(ekonfig::Konfig.ReportName(1), A("arial.stående"));
}

TEST_F(KonfigDlgTest, ChosenFontIsStoredAndShown) {
  AnsweredDlg dialog;
  dialog.ShowSetting(SettingKind::kReport, 3);
  Child<QLineEdit>(dialog, "fottext")->setText("kvar");  // the save before the font dialog keeps it
  QFont chosen("Courier New", 20);
  chosen.setItalic(true);
  dialog.font = chosen;
  dialog.ChooseFont(SettingKind::kReport, printing::FontSlot::Mellan);
  EXPECT_EQ(Child<QLineEdit>(dialog, "RaEditMellanFont")->text(), "Courier New 20");
  const Bytes b = File();
  const size_t font = ReportAt(3) + 1096 + 344;
  EXPECT_EQ(P(b, font + 16), "Courier New");
  EXPECT_EQ(I32(b, font + 12), 20);
  EXPECT_EQ(I32(b, font + 8), -27);
  EXPECT_EQ(b[font + 98], printing::TFontRec::kItalic);
  EXPECT_EQ(P(b, ReportAt(3) + 1027), "kvar");

  dialog.font.reset();  // cancelled: the font stays
  dialog.ChooseFont(SettingKind::kReport, printing::FontSlot::Mellan);
  EXPECT_EQ(I32(File(), font + 12), 20);
}

TEST_F(KonfigDlgTest, PrinterButtonStartsFromTheStoredPrinterAndStoresTheChosenOne) {
  AnsweredDlg dialog;
  printing::Printer pdf = printing::PdfFilePrinter();
  pdf.mode.orientation = printing::kLandscape;
  pdf.mode.paperSize = printing::kPaperDL;
  dialog.printer = pdf;
  dialog.ChoosePrinter(SettingKind::kLabel);
  ASSERT_TRUE(dialog.printerStart.has_value());
  EXPECT_EQ(dialog.printerStart->device, "Laser");
  EXPECT_EQ(Child<QLineEdit>(dialog, "EtSkrivarval")->text(), "PDF-fil");
  const Bytes b = File();
  const size_t block = LabelAt(1) + 40;
  EXPECT_EQ(Z(b, block + 81), "PDF-fil");
  EXPECT_EQ(b[block + 544], 1);
  EXPECT_EQ(I16(b, block + 552 + 76), printing::kLandscape);
  EXPECT_EQ(I16(b, block + 552 + 78), printing::kPaperDL);
  EXPECT_EQ(I16(b, block + 9096 + 6), 0);  // not the default printer
  EXPECT_EQ(printers_.Selected().device, "PDF-fil");

  // A stored printer the system no longer has: the dialog starts at what the system can take.
  printing::PrinterList gone;
  printing::PrinterSystem* previous = printing::InstallPrinterSystem(&gone);
  dialog.printer.reset();
  dialog.ChoosePrinter(SettingKind::kReport);
  EXPECT_EQ(dialog.printerStart->device, "PDF-fil");
  printing::InstallPrinterSystem(previous);
}

TEST_F(KonfigDlgTest, PictureCancelRemovesItAndAnUnreadableFileIsReported) {
  const std::string jpeg = root_ + "/logo.jpg";
  std::ofstream(jpeg) << "no picture in here";
  AnsweredDlg dialog;
  dialog.picture = QString::fromStdString(jpeg);
  dialog.ChoosePicture(2);
  EXPECT_EQ(Z(File(), ReportAt(1) + 10720 + 2 * 1032), jpeg);
  EXPECT_EQ(eerror::StatusMsg, "kan ej ladda filen " + jpeg + "\"");
  EXPECT_EQ(Child<QStatusBar>(dialog, "StatusBarEKonfig")->currentMessage(),
            QString::fromStdString(eerror::StatusMsg));
  EXPECT_EQ(boxes_.beeps, 1);

  dialog.picture.clear();
  dialog.ChoosePicture(2);
  EXPECT_EQ(dialog.pictureStart, QString::fromStdString(jpeg));
  EXPECT_EQ(Z(File(), ReportAt(1) + 10720 + 2 * 1032), "");
  EXPECT_EQ(boxes_.beeps, 1);  // the same message is not shown again
}

TEST(QtPrinterSystem, PdfFileIsAlwaysThereAndMapsBothWays) {
  QtPrinterSystem system;
  const std::vector<printing::Printer> all = printing::AllPrinters(system);
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.back().device, "PDF-fil");
  EXPECT_TRUE(system.Select(printing::PdfFilePrinter()));
  EXPECT_FALSE(system.Select(printing::Printer{"CUPS", "ingen sådan skrivare", "CUPS", {}}));
  EXPECT_EQ(system.Selected().device, "PDF-fil");

  printing::Printer pdf = printing::PdfFilePrinter();
  pdf.mode.orientation = printing::kLandscape;
  pdf.mode.paperSize = printing::kPaperFanfold;
  pdf.mode.copies = 3;
  QPrinter qprinter;
  ConfigurePrinter(qprinter, pdf);
  EXPECT_EQ(qprinter.outputFormat(), QPrinter::PdfFormat);
  const printing::Printer back = PrinterOf(qprinter);
  EXPECT_EQ(back.device, "PDF-fil");
  EXPECT_EQ(back.mode.orientation, printing::kLandscape);
  EXPECT_EQ(back.mode.paperSize, printing::kPaperFanfold);
  EXPECT_EQ(back.mode.copies, 3);
  // The stored print resolution survives a QPrinter that starts at the screen's.
  EXPECT_EQ(back.mode.printQuality, 600);
  EXPECT_EQ(back.mode.yResolution, 600);
}

}  // namespace
