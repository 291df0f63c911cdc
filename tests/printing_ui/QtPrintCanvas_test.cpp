// The Qt canvas on "PDF-fil": a job of the print engine into a PDF file of a temp folder,
// read back by tools that did not write it (pdftotext finds every word, qpdf --check
// passes); the pages, fonts and pictures as Qt measures them; Cancel leaves no file.
#include "printing/ui/QtPrintCanvas.h"

#include "ProgramRun.h"
#include "common/Ansi.h"
#include "printing/PrinterSystem.h"
#include "printing/ewrite32.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/Eerror32_MessageBoxes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <regex>

using namespace printing;
using printui::FontOf;
using printui::QtPrintCanvas;
namespace fs = std::filesystem;

namespace {

glodefs::TRapportEnv PdfSetting() {
  TPrinterEnv pdf;
  const Printer p = PdfFilePrinter();
  pdf.SetNames(p.driver, p.device, p.port);
  pdf.SetDeviceMode(p.device, p.mode);
  pdf.SetDefaultPageSetup(kPaperA4, kPortrait);
  pdf.SetValid(true);
  glodefs::TKonfigRec konfig;
  glodefs::TRapportEnv setting;
  setting.FillDefaults(1, pdf, konfig);
  for (int k = 0; k < glodefs::TRapportEnv::kPictures; ++k) setting.SetPicture(k, {"", false, 5});
  return setting;
}

class QtPrintCanvasTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "bfn-qtcanvas-XXXXXX").string();
    folder = ::mkdtemp(pattern.data());
  }
  void TearDown() override { fs::remove_all(folder); }

  std::vector<fs::path> Files() const {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
    return files;
  }
  static std::string PdfText(const std::string& file) {
    const ProgramRun run = RunProgram("pdftotext -layout '" + file + "' -");
    EXPECT_EQ(run.status, 0) << run.out;
    return run.out;
  }
  static void ExpectSound(const std::string& file) {
    const ProgramRun run = RunProgram("qpdf --check '" + file + "'");
    EXPECT_EQ(run.status, 0) << run.out;
  }

  std::string folder;
  etider::SetClock clock{2026, 3, 15, 10, 0, 0};
  etider::ScopedClock installedClock{clock};
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes{boxes};
  RecordingReportDialogs dialogs;
};

TEST_F(QtPrintCanvasTest, AJobOfSeveralPagesIsAPdfWhoseEveryWordCanBeFound) {
  glodefs::TRapportEnv setting = PdfSetting();
  setting.SetPicture(0, {"", true, 5});  // missing: the built-in picture
  QtPrintCanvas canvas(setting.Printer(), folder);
  ASSERT_TRUE(canvas.IsPdfFile());
  PrintJob job(canvas, dialogs);
  ASSERT_TRUE(job.printerinit(false, "prov", setting, 0));
  // A4 at 600 dpi less 5 mm each side; the fonts measured on the printer.
  EXPECT_EQ(canvas.Page().dpiX, 600);
  EXPECT_NEAR(canvas.Page().width, 4724, 4);
  EXPECT_NEAR(canvas.Page().height, 6780, 4);
  EXPECT_GT(job.LineHeight(), 11 * 600 / 72);
  job.Heading(A("Rubrik med åäö"));
  for (int i = 1; i <= 150; ++i) {
    job.Need("prov", 1);
    job.Tab(1);
    job.Write("rad" + std::to_string(i));
    job.Tab(40);
    job.WriteLn(std::to_string(i * 7) + ".00");
  }
  job.ClosingPictures();
  job.printerexit(false);

  const std::string file = canvas.PdfFile();
  EXPECT_EQ(file, folder + "/BFNOLKW64_prov 2026-03-15 10.00.00.pdf");
  ASSERT_EQ(Files().size(), 1u);
  ExpectSound(file);
  const std::string text = PdfText(file);
  EXPECT_NE(text.find("Rubrik med åäö"), std::string::npos) << text;
  for (int i = 1; i <= 150; ++i) {
    // The number stays on the line of its row, whatever the page.
    const std::string row = "rad" + std::to_string(i);
    const size_t at = text.find(row + " ");
    ASSERT_NE(at, std::string::npos) << row;
    const size_t end = text.find('\n', at);
    EXPECT_NE(text.substr(at, end - at).find(std::to_string(i * 7) + ".00"), std::string::npos) << row;
  }
  EXPECT_NE(text.find("\"prov\" forts..."), std::string::npos) << text;
  // The page number's leading blanks are as wide as the font makes them.
  EXPECT_TRUE(std::regex_search(text, std::regex(R"(forts\.\. "prov" sida: +2\n)"))) << text;
  EXPECT_NE(text.find("2026-03-15 10:00:00"), std::string::npos);
  const ProgramRun pages = RunProgram("pdfinfo '" + file + "' | grep Pages:");
  EXPECT_EQ(pages.out.substr(pages.out.find_last_of(' ') + 1), std::to_string(job.PageCount()) + "\n");
  EXPECT_GE(job.PageCount(), 3);
}

TEST_F(QtPrintCanvasTest, FiguresSetAtNeighbouringColumnsNeverTouchInAProportionalFont) {
  // The report head's dates and amounts, each as wide as the gap to the next column, in a
  // font whose average character is narrower than its digits.
  glodefs::TRapportEnv setting = PdfSetting();
  TPrinterEnv printer = setting.Printer();
  for (const FontSlot slot : {FontSlot::Stor, FontSlot::Mellan, FontSlot::Liten}) {
    TFontRec font = printer.Font(slot);
    font.name = "DejaVu Sans";
    printer.SetFont(slot, font);
  }
  setting.SetPrinter(printer);
  QtPrintCanvas canvas(printer, folder);
  PrintJob job(canvas, dialogs);
  ASSERT_TRUE(job.printerinit(false, "prov", setting, 0));
  job.Tab(32);
  job.Write("2026-01-01");
  job.Tab(43);
  job.Write("2026-12-31");
  job.Tab(54);
  job.WriteLn("8888888.88");
  job.printerexit(false);
  const std::string text = PdfText(canvas.PdfFile());
  EXPECT_TRUE(std::regex_search(text, std::regex("2026-01-01 +2026-12-31 +8888888.88"))) << text;
}

TEST_F(QtPrintCanvasTest, PicturesAreReadByQtAndTheBuiltInOnesStandInForMissingFiles) {
  QImage red(40, 20, QImage::Format_RGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(QString::fromStdString(folder + "/bild.png")));
  QtPrintCanvas canvas(PdfSetting().Printer(), folder);
  const auto png = canvas.LoadPicture(folder + "/bild.png");
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->Width(), 40);
  EXPECT_EQ(png->Height(), 20);
  EXPECT_EQ(canvas.LoadPicture(folder + "/saknas.png"), nullptr);
  std::ofstream(folder + "/trasig.png") << "ingen bild";
  EXPECT_EQ(canvas.LoadPicture(folder + "/trasig.png"), nullptr);
  EXPECT_NE(eerror::StatusMsg.find("trasig.png kan inte"), std::string::npos) << eerror::StatusMsg;

  // JPEG files go to the program's own decoder, in any letter case of their name.
  ASSERT_TRUE(red.save(QString::fromStdString(folder + "/logga.JPG"), "JPG"));
  const auto jpeg = canvas.LoadPicture(folder + "/logga.jpg");
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(jpeg->Width(), 40);
  EXPECT_EQ(jpeg->Height(), 20);
  std::ofstream(folder + "/trasig.jpeg") << "ingen bild";
  EXPECT_EQ(canvas.LoadPicture(folder + "/trasig.jpeg"), nullptr);
  EXPECT_NE(eerror::StatusMsg.find("ingen JPEG-bild"), std::string::npos) << eerror::StatusMsg;
  for (int k = 0; k < 5; ++k) {
    const auto builtin = canvas.BuiltinPicture(k);
    ASSERT_NE(builtin, nullptr);
    EXPECT_EQ(builtin->Width(), 160);
    EXPECT_EQ(builtin->Height(), 120);
  }
}

TEST_F(QtPrintCanvasTest, CancelEndsTheJobAndLeavesNoFile) {
  QtPrintCanvas canvas(PdfSetting().Printer(), folder);
  PrintJob job(canvas, dialogs);
  dialogs.cancelAtEvent = 3;
  ASSERT_TRUE(job.printerinit(false, "prov", PdfSetting(), 0));
  for (int i = 0; i < 100; ++i) job.WriteLn("rad");
  EXPECT_TRUE(job.Aborted());
  job.printerexit(false);
  EXPECT_FALSE(job.IsOpen());
  EXPECT_EQ(dialogs.closed, 1);
  EXPECT_EQ(canvas.PdfFile(), "");
  EXPECT_TRUE(Files().empty());
}

TEST_F(QtPrintCanvasTest, AJobThatCannotStartSaysWhyAndWritesNothing) {
  {
    QtPrintCanvas canvas(PdfSetting().Printer(), folder + "/saknas");
    PrintJob job(canvas, dialogs);
    EXPECT_FALSE(job.printerinit(false, "prov", PdfSetting(), 0));
    EXPECT_EQ(canvas.Failure(), A("PDF-fil: mappen finns inte: ") + folder + "/saknas");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, A("Kan ej skapa vald skrivare enligt inställningar"));
  }
  glodefs::TRapportEnv gone = PdfSetting();
  TPrinterEnv block = gone.Printer();
  block.SetNames("CUPS", "borttagen-skrivare", "CUPS");
  gone.SetPrinter(block);
  QtPrintCanvas canvas(block, folder);
  PrintJob job(canvas, dialogs);
  EXPECT_FALSE(job.printerinit(false, "prov", gone, 0));
  EXPECT_EQ(canvas.Failure(), "Skrivaren finns inte: borttagen-skrivare");
  EXPECT_TRUE(Files().empty());
  EXPECT_EQ(dialogs.created, 0);
}

TEST(QtPrintFont, TheFontRecordGivesFamilySizeAndStyle) {
  TFontRec rec;
  rec.name = "DejaVu Sans Mono";
  rec.style = TFontRec::kBold | TFontRec::kUnderline;
  rec.pitch = TFontRec::kFixedPitch;
  const QFont font = FontOf(rec, 7);
  EXPECT_EQ(font.family(), "DejaVu Sans Mono");
  EXPECT_EQ(font.pointSize(), 7);
  EXPECT_TRUE(font.bold());
  EXPECT_FALSE(font.italic());
  EXPECT_TRUE(font.underline());
  EXPECT_TRUE(font.fixedPitch());
}

}  // namespace
