#include "shell/Eerror32.h"
#include "shell/ui/about32.h"
#include "shell/ui/InstanceGuard.h"
#include "shell/ui/edirform.h"
#include "shell/ui/emainform.h"
#include "shell/ui/ElidedPanel.h"
#include "shell/ui/MessageHistory.h"
#include "shell/ui/StatusLine.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QAction>
#include <QApplication>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTreeView>

#include <unistd.h>

#include <vector>

using namespace shellui;

TEST(WindowScale, StoredInRangeWinsElseScreenThirds) {
  EXPECT_EQ(WindowScale(1920, 1080, 545, 312, 150), 150);
  EXPECT_EQ(WindowScale(1920, 1080, 545, 312, 1), 100);    // 3x3 fits: 1.0
  EXPECT_EQ(WindowScale(3840, 2160, 545, 312, 301), 200);  // 7 and 6: 6/3
  EXPECT_EQ(WindowScale(1000, 600, 545, 312, 0), 100);
}

TEST(HandbookLink, OpensTheHandbookPage) {
  TNolkMainForm form;
  QLabel* link = nullptr;
  for (QLabel* label : form.findChildren<QLabel*>())
    if (label->text().contains(">handbok<")) link = label;
  ASSERT_NE(link, nullptr);
  EXPECT_FALSE(link->text().contains("README"));

  // The system's opener stands in for a browser: what it is asked to open, it loads.
  QTextBrowser opened;
  QDesktopServices::setUrlHandler("file", &opened, "setSource");
  emit link->linkActivated("handbok");
  QDesktopServices::unsetUrlHandler("file");
  EXPECT_EQ(opened.source(), QUrl::fromLocalFile(HandbookPath()));
  EXPECT_EQ(opened.documentTitle(), QString::fromUtf8("bokföringsnolk – handbok"));
}

TEST(StatusHistory, PushesRightAndIgnoresRepeat) {
  TNolkMainForm form;
  eerror::LastStatusMsg.clear();
  eerror::StatusMsg = "first";
  form.xMyMsgUpdate();
  eerror::StatusMsg = "second";
  form.xMyMsgUpdate();
  form.xMyMsgUpdate();
  EXPECT_EQ(form.MessagePanel(0), "second");
  EXPECT_EQ(form.MessagePanel(1), "first");
  EXPECT_EQ(form.MessagePanel(2), "");
  form.doStatusBar("");
  EXPECT_EQ(form.MessagePanel(0), "second");
}

TEST(StatusHistory, NewestTakesTheRoomItNeedsFromTheOlderOnes) {
  using Widths = std::array<int, kMessagePanels>;
  EXPECT_EQ(MessageWidths(400, 100, 40), (Widths{200, 100, 100}));
  EXPECT_EQ(MessageWidths(403, 100, 40), (Widths{203, 100, 100}));  // the rest to the newest
  EXPECT_EQ(MessageWidths(400, 300, 40), (Widths{300, 50, 50}));
  EXPECT_EQ(MessageWidths(400, 301, 40), (Widths{302, 49, 49}));
  EXPECT_EQ(MessageWidths(400, 330, 40), (Widths{400, 0, 0}));  // older ones too narrow to read
  EXPECT_EQ(MessageWidths(400, 5000, 40), (Widths{400, 0, 0}));
  EXPECT_EQ(MessageWidths(0, 10, 40), (Widths{0, 0, 0}));
}

// A report's path must be readable where it ends: the file name.
// A new height goes from the panel through the status bar to the window, one event each.
namespace {
void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}
}  // namespace

TEST(StatusHistory, ALongMessageTakesTheBarThenASecondLineAndKeepsItsEnd) {
  TNolkMainForm form;
  form.resize(800, kClientHeight);
  form.show();
  const MessageHistory& messages = *form.Messages();
  const auto panelsFillTheBar = [&] {
    int right = 0;
    for (int i = 0; i < kMessagePanels; ++i) right += messages.PanelGeometry(i).width();
    EXPECT_EQ(right, messages.width());
    EXPECT_LE(messages.geometry().right(), form.MessageBar()->width());
  };
  form.doStatusBar("first");
  form.doStatusBar("second");
  Settle();
  EXPECT_EQ(form.width(), 800);
  panelsFillTheBar();
  EXPECT_NEAR(messages.PanelGeometry(0).width(), 2 * messages.PanelGeometry(1).width(), 4);
  EXPECT_EQ(messages.Shown(1), "first");

  const std::string report = "Rapporten skrevs till /home/kassor/Dokument/BFNOLKW64/huvudbok_1930.pdf";
  form.doStatusBar(report);
  Settle();
  panelsFillTheBar();
  EXPECT_EQ(messages.Shown(0).toStdString(), report);
  EXPECT_EQ(messages.Text(1), "second");

  // Longer than the bar: more lines, broken after a slash, and the rest shortened in the middle;
  // the window grows rather than squeezing what is above.
  const int oneLine = messages.height();
  const int windowHeight = form.height();
  const int centralHeight = form.centralWidget()->height();
  const std::string deep = "Rapporten skrevs till /home/kassor/" + std::string(200, 'm') + "/huvudbok_1930.pdf";
  form.doStatusBar(deep);
  Settle();
  panelsFillTheBar();
  EXPECT_GT(messages.height(), oneLine);
  EXPECT_EQ(form.height(), windowHeight + messages.height() - oneLine);
  EXPECT_EQ(form.centralWidget()->height(), centralHeight);
  EXPECT_EQ(messages.PanelGeometry(0).width(), messages.width());
  EXPECT_EQ(messages.Shown(1), "");
  const QStringList lines = messages.Shown(0).split('\n');
  ASSERT_EQ(lines.size(), 3) << messages.Shown(0).toStdString();
  EXPECT_EQ(lines[0], "Rapporten skrevs till /home/kassor/");
  EXPECT_TRUE(lines[2].endsWith("huvudbok_1930.pdf")) << lines[2].toStdString();
  EXPECT_EQ(form.MessagePanel(0).toStdString(), deep);
  EXPECT_EQ(form.MessagePanel(1).toStdString(), report);  // history keeps whole texts

  form.doStatusBar("kort");  // back to one line
  Settle();
  EXPECT_EQ(messages.height(), oneLine);
  EXPECT_EQ(messages.Shown(0), "kort");
}

TEST(StatusHistory, FitTextBreaksAfterABlankOrASlashAndNeverLosesTheEnd) {
  const QFontMetrics metrics(QApplication::font());
  const QString text = "Verifikationerna nollställda för Hemmet 2026-01-01--2026-12-31";
  EXPECT_EQ(FitText(text, metrics, 10000, 2), text);
  const int half = metrics.horizontalAdvance(text) * 2 / 3;
  const QString two = FitText(text, metrics, half, 2);
  EXPECT_EQ(two.split('\n').size(), 2);
  EXPECT_EQ(QString(two).replace('\n', ' '), text);  // broken at a blank, nothing lost
  const QString one = FitText(text, metrics, half, 1);
  EXPECT_TRUE(one.startsWith("Verifikationerna")) << one.toStdString();
  EXPECT_TRUE(one.endsWith("2026-12-31")) << one.toStdString();
  // No blank to break at: broken where the line is full.
  const QString word(80, 'x');
  const QStringList parts = FitText(word, metrics, metrics.horizontalAdvance(QString(50, 'x')) + 1, 2).split('\n');
  ASSERT_EQ(parts.size(), 2);
  EXPECT_EQ(parts[0].size(), 50);
  EXPECT_EQ(parts[1], QString(30, 'x'));
  EXPECT_EQ(FitText("", metrics, 100, 2), "");
}

TEST(StatusLine, LongMessageKeepsItsStartAndItsFileName) {
  QWidget dialog;
  dialog.resize(300, 40);
  auto* line = new StatusLine(&dialog);
  line->setGeometry(0, 0, 300, 20);
  dialog.show();
  const QString message = "Rapporten skrevs till /home/kassor/Dokument/BFNOLKW64/giro/plusgiro_2026.pdf";
  line->showMessage(message);
  EXPECT_TRUE(line->Shown().startsWith("Rapporten")) << line->Shown().toStdString();
  EXPECT_TRUE(line->Shown().endsWith("plusgiro_2026.pdf")) << line->Shown().toStdString();
  EXPECT_LT(line->Shown().size(), message.size());
  EXPECT_EQ(line->toolTip(), message);
  line->showMessage("kort");
  EXPECT_EQ(line->Shown(), "kort");
}

// The register menu opens what the window knows of and says the rest comes later.
TEST(RegisterMenu, EntriesTheWindowHasNoRegisterForComeInALaterVersion) {
  class LabelsOnly : public TNolkMainForm {
   public:
    std::vector<RegisterEntry> opened;

   protected:
    bool OpenRegister(RegisterEntry entry) override {
      if (entry != RegisterEntry::kEtikett) return TNolkMainForm::OpenRegister(entry);
      opened.push_back(entry);
      eerror::StatusMsg = "etiketter visade";
      return true;
    }
  } form;
  eerror::LastStatusMsg.clear();
  const auto trigger = [&](const char* name) { form.findChild<QAction*>(name)->trigger(); };
  trigger("etikettMenu");
  EXPECT_EQ(form.opened, std::vector{TNolkMainForm::RegisterEntry::kEtikett});
  EXPECT_EQ(form.MessagePanel(0), "etiketter visade");
  trigger("bankgiroMenu");
  EXPECT_EQ(form.opened.size(), 1u);
  EXPECT_EQ(form.MessagePanel(0), "registret bankgiro kommer i en senare version");
}

TEST(DataDirDialog, TrailingSlashRemovedAndCancelKeepsStart) {
  EXPECT_EQ(StoredDataDir("/home/a/data/"), "/home/a/data");
  EXPECT_EQ(StoredDataDir("C:\\data\\"), "C:\\data");
  EXPECT_EQ(StoredDataDir("/"), "/");
  Tedatadir dialog("/tmp");
  dialog.SetCurrent("/");
  dialog.reject();
  EXPECT_EQ(dialog.Result(), "/tmp");
  Tedatadir missing("/no/such/folder/here");
  EXPECT_EQ(missing.Result(), "");
  // With no start (a first backup) the tree opens at home rather than folded at "/".
  EXPECT_EQ(missing.Current(), QDir::homePath());
  EXPECT_EQ(missing.findChild<QLineEdit*>("mapp")->text(), QDir::homePath());
  missing.reject();
  EXPECT_EQ(missing.Result(), "");
}

TEST(DataDirDialog, OpensTheTreeDownToTheStartFolder) {
  char pattern[] = "/tmp/edirform_testXXXXXX";
  const QString start = QString::fromUtf8(::mkdtemp(pattern)) + "/a/b/data";
  ASSERT_TRUE(QDir().mkpath(start));
  Tedatadir dialog(start);
  dialog.show();
  auto* view = dialog.findChild<QTreeView*>();
  auto* model = qobject_cast<QFileSystemModel*>(view->model());
  EXPECT_TRUE(QTest::qWaitFor([&] { return view->isExpanded(model->index(QDir::cleanPath(start + "/.."))); }, 10000));
  EXPECT_EQ(model->filePath(view->currentIndex()), start);
  EXPECT_TRUE(view->visualRect(view->currentIndex()).intersects(view->viewport()->rect()));

  // A folder read again puts the start back until the user moves; after that it stays put.
  view->setCurrentIndex(model->index(QDir::cleanPath(start + "/..")));
  emit model->directoryLoaded(QDir::cleanPath(start + "/.."));
  EXPECT_EQ(model->filePath(view->currentIndex()), start);
  QTest::keyClick(view, Qt::Key_Left);
  const QString moved = model->filePath(view->currentIndex());
  EXPECT_NE(moved, start);
  emit model->directoryLoaded(QDir::cleanPath(start + "/.."));
  EXPECT_EQ(model->filePath(view->currentIndex()), moved);
  dialog.reject();
  QDir(QString::fromUtf8(pattern)).removeRecursively();
}

TEST(DataDirDialog, ATypedPathIsTakenAndOneThatIsNoFolderRefused) {
  char pattern[] = "/tmp/edirform_testXXXXXX";
  const QString root = QString::fromUtf8(::mkdtemp(pattern));
  ASSERT_TRUE(QDir().mkpath(root + "/far/away"));
  Tedatadir dialog("/");
  dialog.show();
  auto* path = dialog.findChild<QLineEdit*>("mapp");
  ASSERT_NE(path, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_TRUE(path->hasFocus());
  EXPECT_EQ(path->selectedText(), "/");  // typing replaces the start

  QTest::keyClicks(path, root + "/far/nowhere");
  QTest::keyClick(path, Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.findChild<QStatusBar*>()->currentMessage(), "mappen finns inte: " + root + "/far/nowhere");

  path->selectAll();
  QTest::keyClicks(path, root + "/far/away/");
  QTest::keyClick(path, Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.Result(), root + "/far/away");
  QDir(root).removeRecursively();
}

TEST(DataDirDialog, AMoveInTheTreeReplacesATypedPath) {
  Tedatadir dialog("/tmp");
  auto* path = dialog.findChild<QLineEdit*>("mapp");
  path->setText("/no/such/folder");
  path->setModified(true);
  dialog.SetCurrent("/");
  EXPECT_EQ(path->text(), "/");
  dialog.accept();
  EXPECT_EQ(dialog.Result(), "/");
}

TEST(InstanceGuard, SecondHolderRefusedUntilFirstEnds) {
  const std::string name = "bfnolk-test-" + std::to_string(::getpid());
  {
    InstanceGuard first(name);
    ASSERT_TRUE(first.Held());
    InstanceGuard second(name);
    EXPECT_FALSE(second.Held());
  }
  InstanceGuard again(name);
  EXPECT_TRUE(again.Held());
  ::unlink(again.Path().c_str());
}
