// The file dialog on Qt, answered by the test as a user would: it shows the title, filter,
// folder and file name the request asks for, adds the default extension, gives back the
// chosen name, and refuses a name the program cannot spell.
#include "exchange/ui/QtFileDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <fstream>
#include <functional>

#include "../storage/TempFolder.h"
#include "common/Ansi.h"
#include "exchange/EFileDlgAction.h"
#include "shell/Eerror32.h"

namespace exchangeui {
namespace {

// Runs answer on the dialog once it shows.
void WhenShown(std::function<void(QFileDialog&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    answer(*dialog);
  });
}

class QtDialogs : public ::testing::Test {
 protected:
  TempFolder folder_;
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installed_{boxes_};
  QtFileDialogs dialogs_;
};

TEST_F(QtDialogs, ASaveDialogStartsInTheRememberedFolderAndAddsTheExtension) {
  folder_.MakeFolder("ut");
  const eixport::FileDialogRequest request = eixport::DialogRequest(0, true, ";*.bfr", "bfr", folder_ / "ut");
  WhenShown([&](QFileDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Spara fil som...");
    EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(d.directory().absolutePath(), QString::fromStdString(folder_ / "ut"));
    EXPECT_EQ(d.nameFilters(),
              QStringList{"import/export (*.txt *.exp *.ixp *.imp *.vpx *.txx *.exx *.bfr)"});
    d.selectFile("plan");
    static_cast<QDialog&>(d).accept();
  });
  EXPECT_EQ(dialogs_.Choose(request), folder_ / "ut/plan.bfr");
}

TEST_F(QtDialogs, AnOpenDialogOffersTheSuggestedFileAndCancelChoosesNothing) {
  std::ofstream(folder_ / "lon.ver") << "Lön\n";
  const eixport::FileDialogRequest request = eixport::DialogRequest(0, false, "*.ver", "ver", folder_ / "lon.ver");
  WhenShown([&](QFileDialog& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Välj filnamn"));
    EXPECT_EQ(d.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(d.nameFilters(), QStringList{"import/export (*.ver)"});
    static_cast<QDialog&>(d).accept();
  });
  EXPECT_EQ(dialogs_.Choose(request), folder_ / "lon.ver");
  WhenShown([](QFileDialog& d) { d.reject(); });
  EXPECT_EQ(dialogs_.Choose(request), std::nullopt);
}

TEST_F(QtDialogs, ANameTheProgramCannotSpellIsRefused) {
  const eixport::FileDialogRequest request = eixport::DialogRequest(0, true, "", "txt", folder_.path());
  WhenShown([](QFileDialog& d) {
    d.selectFile(QString::fromUtf8("pil→.txt"));
    static_cast<QDialog&>(d).accept();
  });
  EXPECT_EQ(dialogs_.Choose(request), std::nullopt);
  ASSERT_EQ(boxes_.boxes.size(), 1u);
  EXPECT_EQ(boxes_.boxes[0].text.rfind(A("Filnamnet går inte att använda i programmet: "), 0), 0u);
}

}  // namespace
}  // namespace exchangeui
