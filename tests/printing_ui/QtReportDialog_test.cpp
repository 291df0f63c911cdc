// The progress window of a print job: its lines as the engine fills them, the owner disabled
// while it is open, and Cancel, which stops the drawing while the job still ends.
#include "printing/ui/QtReportDialog.h"

#include "RecordingCanvas.h"
#include "common/Ansi.h"
#include "printing/ewrite32.h"
#include "shell/Eerror32_MessageBoxes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace printing;
using printui::TrapportDlg;

namespace {

TrapportDlg* OpenDialog() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = dynamic_cast<TrapportDlg*>(w); d != nullptr && d->isVisible()) return d;
  return nullptr;
}

glodefs::TRapportEnv Setting() {
  TPrinterEnv block;
  block.SetNames("PDF", "PDF-fil", "FILE:");
  block.SetDefaultPageSetup(kPaperA4, kPortrait);
  glodefs::TKonfigRec konfig;
  glodefs::TRapportEnv setting;
  setting.FillDefaults(1, block, konfig);
  return setting;
}

class QtReportDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    owner.resize(545, 312);
    owner.show();
  }
  esmall::WindowHandle Owner() { return static_cast<esmall::WindowHandle>(owner.winId()); }
  static QString Text(TrapportDlg* d, ReportLine line) { return d->Line(line)->text(); }

  QMainWindow owner;
  printui::QtReportDialogs dialogs;
  RecordingCanvas canvas;
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes{boxes};
};

TEST_F(QtReportDialogTest, TheWindowShowsDeviceJobPageCounterBarAndStatusWhileTheOwnerWaits) {
  PrintJob job(canvas, dialogs);
  ASSERT_TRUE(job.printerinit(false, A("Årsrapport"), Setting(), Owner()));
  TrapportDlg* d = OpenDialog();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->windowTitle(), "rapport");
  EXPECT_EQ(d->parentWidget(), &owner);
  EXPECT_FALSE(owner.isEnabled());
  EXPECT_TRUE(d->isEnabled());
  EXPECT_EQ(Text(d, ReportLine::Device), "PDF-fil,PDF,FILE:");
  EXPECT_EQ(Text(d, ReportLine::Job), QString::fromUtf8("BFNOLKW64:Årsrapport"));
  EXPECT_EQ(Text(d, ReportLine::Pages), "sida:  1");
  EXPECT_EQ(d->CountCaption()->text(), "  antal:");
  EXPECT_EQ(d->CancelButton()->text(), "avbryt");
  // Its names, as the lines are known by.
  for (const char* name : {"sbSkrivarDevice", "sbSkrivarJobb", "sbRapportSidor", "sbAntal", "StatusBar1",
                           "StatusBar2", "StatusBar3"})
    EXPECT_NE(d->findChild<QLabel*>(name), nullptr) << name;

  job.Progress(3, 10);
  EXPECT_EQ(Text(d, ReportLine::Count), "    3[   10]");
  EXPECT_EQ(d->Bar()->value(), 30);
  job.StatusLine(1, A("Summagrupper"));
  job.StatusLine(3, A("grupp 8 klar"));
  EXPECT_EQ(Text(d, ReportLine::Status1), "Summagrupper");
  EXPECT_EQ(Text(d, ReportLine::Status3), "grupp 8 klar");
  job.NextColumn("t");  // one page column: a new page
  EXPECT_EQ(Text(d, ReportLine::Pages), "sida:  2");

  job.printerexit(false);
  EXPECT_EQ(OpenDialog(), nullptr);
  EXPECT_TRUE(owner.isEnabled());
}

TEST_F(QtReportDialogTest, CancelStopsTheDrawingButTheJobRunsToItsEnd) {
  PrintJob job(canvas, dialogs);
  ASSERT_TRUE(job.printerinit(false, "lang", Setting(), Owner()));
  TrapportDlg* d = OpenDialog();
  ASSERT_NE(d, nullptr);
  for (int i = 0; i < 5; ++i) job.WriteLn("rad");
  QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
  EXPECT_FALSE(d->CancelButton()->isEnabled());
  EXPECT_TRUE(job.Aborted());
  const size_t drawn = canvas.ops.size();
  ASSERT_EQ(canvas.ops.back().kind, "abort");
  for (int i = 0; i < 200; ++i) job.WriteLn("rad");  // beyond a page: nothing more drawn
  job.Progress(200, 200);
  job.printerexit(false);
  EXPECT_EQ(canvas.ops.size(), drawn);
  EXPECT_FALSE(job.IsOpen());
  EXPECT_EQ(OpenDialog(), nullptr);
  EXPECT_TRUE(owner.isEnabled());
}

TEST_F(QtReportDialogTest, EscapeCancelsOnceAndTheWindowStaysUntilTheJobEnds) {
  int cancels = 0;
  {
    TrapportDlg d(&owner, [&cancels] { ++cancels; });
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_TRUE(d.isVisible());
    d.reject();
    QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancels, 1);
    d.ShowBar(250);
    EXPECT_EQ(d.Bar()->value(), 100);
  }
  EXPECT_TRUE(owner.isEnabled());
}

}  // namespace
