// The table window offscreen: built through the row-building operations, its cells, fixed
// head row and first column and widths, several windows at once, and each button's file.
#include "tabledisplay/ui/Tgridform.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <filesystem>

#include "../SampleTable.h"
#include "printing/PrinterSystem.h"
#include "printing/ui/QtReportDialog.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "exchange/EfileDlg.h"
#include "shell/ekonfig32.h"

namespace gridui {
namespace {

// A window of the sample table.
class TestGrid : public Tgridform {
 public:
  TestGrid() : Tgridform(nullptr, A("Prov: Räkor & <öl> (x)"), 100) {
    egridform::Table sample = SampleTable();
    for (int32_t r = 0; r + 1 < sample.RowCount(); ++r) {
      for (int32_t c = 0; c < sample.ColCount() && !sample.CellText(c, r).empty(); ++c) {
        const std::string cell = sample.CellText(c, r);
        Table().Cell(cell.substr(2, cell.size() - 6));
      }
      Table().RowEnd();
    }
    ShowTable();
  }
};

class TableWindow : public ::testing::Test {
 protected:
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (dynamic_cast<Tgridform*>(w) != nullptr) delete w;
  }
  static QString Cell(const QTableView* grid, int c, int r) {
    if (r == 0 && c == 0) return {};
    const QAbstractItemModel* m = grid->model();
    if (r == 0) return m->headerData(c - 1, Qt::Horizontal).toString();
    if (c == 0) return m->headerData(r - 1, Qt::Vertical).toString();
    return m->index(r - 1, c - 1).data().toString();
  }

  ScratchFolder folder_;
  eixport::GivenFileDialogs dialogs_;
  eixport::ScopedFileDialogs installedDialogs_{dialogs_};
  etider::SetClock clock_{2026, 3, 1, 12, 0, 0};
  etider::ScopedClock scoped_{clock_};
};

TEST_F(TableWindow, RowsGoToTheNewestWindowWhichShowsThemWithoutWaiting) {
  QWidget owner;
  GridRows rows(&owner, 150);
  ASSERT_TRUE(rows.Open(0, A("första")));
  Tgridform* first = Tgridform::Newest();
  rows.Cell("ver");
  rows.RowEnd("datum");
  rows.Cell("1");
  rows.RowEnd("2026-01-05");
  rows.Show();
  ASSERT_TRUE(first->isVisible());
  EXPECT_EQ(first->windowTitle(), QString::fromUtf8("första"));
  EXPECT_EQ(first->windowFlags() & Qt::Window, Qt::Window);
  const QTableView* grid = first->Grid();
  EXPECT_EQ(Cell(grid, 1, 0), "  datum    ");  // the head row
  EXPECT_EQ(Cell(grid, 0, 1), "  1    ");      // the first column
  EXPECT_EQ(Cell(grid, 1, 1), "  2026-01-05    ");
  // Five columns and rows as every table starts: the grid shows all but the fixed ones.
  EXPECT_EQ(grid->model()->columnCount(), 4);
  EXPECT_EQ(grid->model()->rowCount(), 4);
  // Widths from the grid's font at the table's scale (150 % → 120 %), never less.
  const QFontMetrics metrics(grid->font());
  EXPECT_EQ(grid->columnWidth(0), qRound(metrics.horizontalAdvance("  2026-01-05    ") * 1.2));
  EXPECT_EQ(grid->verticalHeader()->width(), qRound(metrics.horizontalAdvance("  ver    ") * 1.2));

  ASSERT_TRUE(rows.Open(0, "andra"));
  Tgridform* second = Tgridform::Newest();
  EXPECT_NE(second, first);
  rows.RowEnd("x");
  rows.Show();
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(Cell(first->Grid(), 0, 2), "");  // the first window got nothing more
  EXPECT_EQ(Cell(second->Grid(), 1, 0), "");
  EXPECT_EQ(second->Table().CellText(0, 0), "  x    ");
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // the cursor is back

  second->close();  // closing frees it; the first stays
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Tgridform::Newest(), nullptr);
  EXPECT_TRUE(first->isVisible());
}

TEST_F(TableWindow, TheExportGroupWritesEachDocument) {
  ekonfig::Konfig.SetExchangeDir(folder_.path());
  dialogs_.names = {folder_ / "t.htm"};
  TestGrid window;
  for (const char* name : {"skriv", "htm", "xml", "pdf", "jpg", "csv", "stang"})
    ASSERT_NE(window.Button(name), nullptr) << name;
  EXPECT_EQ(window.Button("pdf")->toolTip(),
            QString::fromUtf8("exportera till acrobat reader pdf filer för publicering på weben"));
  EXPECT_TRUE(window.Button("stang")->isDefault());

  window.Button("htm")->click();
  EXPECT_EQ(RunProgram("xmllint --html --noout '" + folder_ / "t.htm" + "'").status, 0);
  EXPECT_NE(folder_.Get("t.htm").find("R&auml;kor &amp; &lt;&ouml;l&gt; (x)"), std::string::npos);
  ASSERT_EQ(dialogs_.requests.size(), 1u);
  EXPECT_TRUE(dialogs_.requests[0].save);
  EXPECT_EQ(dialogs_.requests[0].defaultExt, "htm");
  EXPECT_NE(dialogs_.requests[0].filter.find("*.htm;*.html"), std::string::npos);
  EXPECT_EQ(folder_.Get("t.htm").substr(0, 8), "<HTML>\r\n");  // no heading line before it
  EXPECT_NE(window.Status().indexOf("Import/export av"), -1) << window.Status().toStdString();

  window.Button("htm")->click();  // cancelled: nothing written, nothing said amiss
  EXPECT_EQ(dialogs_.requests.size(), 2u);
}

TEST_F(TableWindow, TabLeavesTheGridForTheButtonsInTheirOrderAndEscCloses) {
  TestGrid window;
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  window.Grid()->setFocus();
  QStringList reached;
  for (int i = 0; i < 7; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    reached << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(reached, QStringList({"stang", "skriv", "htm", "xml", "pdf", "jpg", "csv"}));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // closes, from wherever the focus is
  EXPECT_FALSE(window.isVisible());
}

TEST_F(TableWindow, XmlPdfJpegAndCsvFiles) {
  for (const auto& [button, file] : std::vector<std::pair<const char*, std::string>>{
           {"xml", "t.xml"}, {"pdf", "t.pdf"}, {"jpg", "t.jpg"}, {"csv", "t.csv"}}) {
    dialogs_.names = {folder_ / file};
    TestGrid window;
    window.Button(button)->click();
    EXPECT_TRUE(std::filesystem::exists(folder_ / file)) << file;
  }
  EXPECT_EQ(RunProgram("cd '" + folder_.path() + "' && xsltproc t.xsl t.xml >/dev/null").status, 0);
  EXPECT_EQ(RunProgram("qpdf --check '" + folder_ / "t.pdf" + "'").status, 0);
  EXPECT_EQ(folder_.Get("t.jpg").substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(folder_.Get("t.csv").substr(0, 3), "\xEF\xBB\xBF");
}

TEST_F(TableWindow, SkrivPrintsOnPdfFilAndSaysWhere) {
  const std::string folder = folder_.path();
  ekonfig::Konfig.SetExchangeDir(folder);
  printing::TPrinterEnv block = ekonfig::CurRapport.Printer();
  const printing::Printer pdf = printing::PdfFilePrinter();
  block.SetNames(pdf.driver, pdf.device, pdf.port);
  ekonfig::CurRapport.SetPrinter(block);
  printui::QtReportDialogs dialogs;
  printui::ScopedReportDialogs installed{dialogs};
  TestGrid window;
  window.Button("skriv")->click();
  EXPECT_TRUE(window.Status().startsWith("Rapporten skrevs till ")) << window.Status().toStdString();
  const std::string file = window.Status().mid(22).toStdString();
  EXPECT_EQ(RunProgram("qpdf --check '" + file + "'").status, 0);
  const ProgramRun text = RunProgram("pdftotext -layout '" + file + "' -");
  EXPECT_NE(text.out.find("2026-01-05"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("Räkor & <öl> (x)"), std::string::npos) << text.out;
}

}  // namespace
}  // namespace gridui
