// The label register and the label dialog driven as a user drives them, over a real label
// file: new, change, cancel and delete through the register's buttons, what the dialog
// refuses, the picture box, and printing on "PDF-fil".
#include "registers/ui/EEtikettForm.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <memory>

#include "ModalDialogs.h"
#include "WindowUser.h"
#include "../storage/TempFolder.h"
#include "ProgramRun.h"
#include "common/Ansi.h"
#include "printing/ui/QtReportDialog.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ekonfig32_command.h"
#include "storage/Filer.h"

namespace {

using eregui::TEEtikettRegForm;
using eregui::TEtikettDlg;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class LabelWindows : public testing::Test {
 protected:
  void SetUp() override {
    ekonfig::SetKonfigPaths({root + "/konfig", root});
    ASSERT_EQ(ekonfig::InitKonfig(ekonfig::kBookkeepingProgNr, true, ""), ekonfig::KonfigStart::kStarted);
    ekonfig::Konfig.SetDataDir(root);
    ekonfig::Konfig.SetExchangeDir(root);
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    file = std::make_unique<ereg::EtikettFile>(root);
    ASSERT_NE(file->Open(), nullptr);
    eerror::StatusMsg.clear();
  }
  void TearDown() override {
    file.reset();
    isam::ExitIsam();
    ekonfig::ExitKonfig();
  }
  static void Select(QListWidget* list, int row) {
    list->clearSelection();
    list->item(row)->setSelected(true);
  }
  // The label dialog, when it shows, given text and closed with button.
  static void Answer(const QString& text, const char* button) {
    WhenShown<TEtikettDlg>([text, button](TEtikettDlg& dialog) {
      dialog.Memo()->setPlainText(text);
      Press(dialog, button);
    });
  }
  // The stored text of the label with key.
  std::string Stored(TEEtikettRegForm& form, const std::string& key) {
    int32_t recNo = 0;
    return form.Register().FindByKey(key, recNo) ? form.Register().Text() : "(none)";
  }
  std::string Picture(const char* name) const {
    const std::string path = root + "/" + name;
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    EXPECT_TRUE(image.save(QString::fromStdString(path)));
    return path;
  }
  static std::string PdfText(const QString& status) {
    const QString prefix = U("Rapporten skrevs till ");
    EXPECT_TRUE(status.startsWith(prefix)) << status.toStdString();
    const ProgramRun text = RunProgram("pdftotext -layout '" + status.mid(prefix.size()).toStdString() + "' -");
    EXPECT_EQ(text.status, 0) << text.out;
    return text.out;
  }
  // Answers each open-picture dialog over owner with the next of files, and cancels any
  // beyond them; what is returned fills with the captions of the dialogs answered.
  static const QStringList& ChooseFiles(QWidget& owner, QStringList files) {
    static QStringList captions;
    captions.clear();
    auto* timer = new QTimer(&owner);
    QObject::connect(timer, &QTimer::timeout, [files]() mutable {
      auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (chooser == nullptr || !chooser->isVisible()) return;
      if (files.isEmpty()) {
        ADD_FAILURE() << "an open-picture dialog too many";
        chooser->reject();
        return;
      }
      captions << chooser->windowTitle();
      chooser->selectFile(files.takeFirst());
      static_cast<QDialog*>(chooser)->accept();  // as its Open button does
    });
    timer->start(10);
    return captions;
  }
  static size_t Count(const std::string& text, const std::string& word) {
    size_t n = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++n;
    return n;
  }

  TempFolder folder;
  const std::string root = folder.path();
  std::unique_ptr<ereg::EtikettFile> file;
  eerror::RecordingMessageBoxes boxes;
  eerror::ScopedMessageBoxes installedBoxes{boxes};
};

TEST_F(LabelWindows, LabelsAreAddedChangedCancelledAndDeletedThroughTheRegister) {
  TEEtikettRegForm form(file->Open());
  form.show();
  EXPECT_EQ(form.windowTitle(), "etikettregister");
  QListWidget* list = form.List();

  WhenShown<TEtikettDlg>([](TEtikettDlg& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "etikett");
    EXPECT_TRUE(dialog.Memo()->toPlainText().isEmpty());
    // The label setting's "mellan" font: Courier New, 12 points, bold.
    EXPECT_EQ(dialog.Memo()->font().pointSize(), 12);
    EXPECT_TRUE(dialog.Memo()->font().bold());
    EXPECT_EQ(dialog.Copies()->value(), 1);
    EXPECT_FALSE(dialog.Button("TextBtn")->isEnabled());
    EXPECT_EQ(dialog.Picture()->toolTip(), U("klicka för att välja bild för etikett"));
    dialog.Memo()->setPlainText(U("Årsmötet\nStorgatan 1\n123 45 Småby"));
    Press(dialog, "OKBtn");
  });
  Press(form, "NyBtn");
  Answer("", "OKBtn");  // an empty label is kept as XXX
  Press(form, "NyBtn");
  EXPECT_EQ(MarkedLines(list), QStringList({"XXX*", U("Årsmötet")}));
  EXPECT_EQ(Stored(form, A("Årsmötet")), A("Årsmötet\r\nStorgatan 1\r\n123 45 Småby"));

  // A change shows the label's lines and moves its line to where its new key sorts.
  Select(list, 1);
  WhenShown<TEtikettDlg>([](TEtikettDlg& dialog) {
    EXPECT_EQ(dialog.Memo()->toPlainText(), U("Årsmötet\nStorgatan 1\n123 45 Småby"));
    dialog.Memo()->setPlainText(U("Arbetsutskottet\nStorgatan 1"));
    Press(dialog, "OKBtn");
  });
  Press(form, "AndraBtn");
  EXPECT_EQ(MarkedLines(list), QStringList({"Arbetsutskottet*", "XXX"}));

  // Cancel leaves the label and its line as they were.
  Answer("Styrelsen", "CancelBtn");
  Press(form, "AndraBtn");
  EXPECT_EQ(MarkedLines(list), QStringList({"Arbetsutskottet*", "XXX"}));
  EXPECT_EQ(Stored(form, "Arbetsutskottet"), "Arbetsutskottet\r\nStorgatan 1");

  Select(list, 1);
  Press(form, "RaderaBtn");
  EXPECT_EQ(MarkedLines(list), QStringList({"Arbetsutskottet"}));
  EXPECT_EQ(form.Status(), U("Etikett \"XXX\", raderad..."));
  EXPECT_EQ(Stored(form, "XXX"), "(none)");
}

TEST_F(LabelWindows, TheDialogRefusesWhatALabelCannotHoldAndKeepsTheText) {
  std::string text = "Kvar";
  TEtikettDlg dialog(text);
  dialog.show();
  const auto refused = [&](const QString& typed, const char* message) {
    const int beeps = boxes.beeps;
    dialog.Memo()->setPlainText(typed);
    Press(dialog, "OKBtn");
    EXPECT_TRUE(dialog.isVisible()) << typed.toStdString();
    EXPECT_EQ(dialog.Status(), U(message));
    EXPECT_EQ(boxes.beeps, beeps + 1);
    EXPECT_EQ(text, "Kvar");
  };
  refused(QString(241, 'a'), "etiketten får ha högst 240 tecken, den har 241");
  // A line break is stored as CR LF, two characters of the 240.
  refused(QString(120, 'a') + "\n" + QString(119, 'b'), "etiketten får ha högst 240 tecken, den har 241");
  refused(U("Pil → här"), "etiketten kan inte lagra tecknet U+2192 (finns inte i Windows-1252)");
  refused(U("BITMAP/finns/inte.png"), "kan ej ladda filen \"/finns/inte.png\"");

  // A picture that is not there, or is no picture, is refused and the memo stays.
  dialog.Memo()->setPlainText("Adress");
  std::ofstream(root + "/brev.png") << "inte en bild";
  for (const std::string& path : {std::string("/finns/inte.png"), root + "/brev.png"}) {
    dialog.TakePicture(QString::fromStdString(path));
    EXPECT_EQ(dialog.Status().toStdString(), "kan ej ladda filen \"" + path + "\"");
    EXPECT_EQ(dialog.Memo()->toPlainText(), "Adress");
    EXPECT_TRUE(dialog.Picture()->pixmap().isNull());
  }

  // A picture is shown and named in the memo; "&Text" goes back to the text.
  const std::string logo = Picture("logo.png");
  dialog.TakePicture(QString::fromStdString(logo));
  EXPECT_EQ(dialog.Memo()->toPlainText().toStdString(), "BITMAP" + logo);
  EXPECT_FALSE(dialog.Picture()->pixmap().isNull());
  EXPECT_TRUE(dialog.Button("TextBtn")->isEnabled());
  Press(dialog, "TextBtn");
  EXPECT_EQ(dialog.Memo()->toPlainText(), "Adress");
  EXPECT_TRUE(dialog.Picture()->pixmap().isNull());
  EXPECT_FALSE(dialog.Button("TextBtn")->isEnabled());

  dialog.Memo()->setPlainText(QString(240, 'a'));
  Press(dialog, "OKBtn");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(text, std::string(240, 'a'));
}

TEST_F(LabelWindows, ThePictureBoxChoosesAPictureFileAndAMissingOneIsSaidOnOpening) {
  const std::string logo = Picture("logo.png");
  std::ofstream(root + "/notes.txt") << "text";
  std::string text = "Adress";
  TEtikettDlg dialog(text);
  dialog.show();
  // A file of another kind shows the dialog again; the picture then fills the box.
  const QStringList& chosen = ChooseFiles(dialog, {QString::fromStdString(root + "/notes.txt"),
                                                   QString::fromStdString(logo)});
  QTest::mouseClick(dialog.Picture(), Qt::LeftButton);
  EXPECT_EQ(chosen, QStringList({U("välj bild för etikett"), U("välj bild för etikett")}));
  EXPECT_EQ(dialog.Memo()->toPlainText().toStdString(), "BITMAP" + logo);
  EXPECT_FALSE(dialog.Picture()->pixmap().isNull());
  Press(dialog, "OKBtn");
  EXPECT_EQ(text, "BITMAP" + logo);

  std::string missing = "BITMAP/finns/inte.bmp\r\nrad 2";
  const int beeps = boxes.beeps;
  TEtikettDlg opened(missing);
  EXPECT_EQ(opened.Status(), U("kan ej ladda filen \"/finns/inte.bmp\""));
  EXPECT_EQ(boxes.beeps, beeps + 1);
  EXPECT_EQ(opened.Memo()->toPlainText(), U("BITMAP/finns/inte.bmp\nrad 2"));
}

TEST_F(LabelWindows, SkrivPrintsLabelsOnPdfFilFromTheDialogAndTheRegister) {
  printui::QtReportDialogs dialogs;
  printui::ScopedReportDialogs installedDialogs{dialogs};
  TEEtikettRegForm form(file->Open());
  form.show();
  Answer("Arbetsutskottet\nStorgatan 1", "OKBtn");
  Press(form, "NyBtn");
  WhenShown<TEtikettDlg>([](TEtikettDlg& dialog) {
    dialog.Memo()->setPlainText("Styrelsen\nTorget 2");
    dialog.Copies()->setValue(3);
    Press(dialog, "SkrivBtn");
    const std::string printed = PdfText(dialog.Status());
    EXPECT_EQ(Count(printed, "Torget 2"), 3u) << printed;
    Press(dialog, "OKBtn");
  });
  Press(form, "NyBtn");
  ASSERT_EQ(form.List()->count(), 2);

  form.List()->selectAll();
  Press(form, "SkrivBtn");
  const std::string printed = PdfText(form.Status());
  EXPECT_EQ(Count(printed, "Storgatan 1"), 1u) << printed;
  EXPECT_EQ(Count(printed, "Torget 2"), 1u) << printed;
  EXPECT_EQ(ekonfig::CurEtikett.Copies(), 1);
}

}  // namespace
