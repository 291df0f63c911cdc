#include "shell/ui/about32.h"

#include "common/Ansi.h"
#include "shell/ekonfig32.h"
#include "shell/ui/QtText.h"
#include "shell/ui/emainform.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

namespace shellui {

namespace {

const char* const kWhat =
    "Bokföring för privatpersoner, hushåll, föreningar och enskilda firmor. Upp till åtta "
    "bokföringar i ett databibliotek; verifikationer som sparas först när de balanserar; "
    "huvudbok, grundbok, balanslistor och bokslut.";
// No licence has been chosen for the program yet; the box says so rather than guess one.
const char* const kLicence = "Ingen licens är angiven för den här utgåvan.";

QString DataDir() { return FromAnsi(ekonfig::Konfig.DataDir()); }
QString SettingsFile() { return QString::fromStdString(ekonfig::KonfigFilePath()); }

QLabel* AddText(QVBoxLayout* layout, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse);
  layout->addWidget(label);
  return label;
}

void AddOk(QVBoxLayout* layout, QDialog* box) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, box);
  QObject::connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
  layout->addWidget(buttons);
}

void SetUp(QDialog* box) {
  box->setWindowTitle(QString::fromUtf8("info"));
  box->setMinimumWidth(420);
}

}  // namespace

std::string BuildStamp() { return "bfnolkw64, byggd " __DATE__ " " __TIME__; }

QString HandbookPath(const QString& programDir) {
  // Installed beside the program; run from a build tree, the handbook of the sources it was built from.
  const QString installed = QDir::cleanPath(programDir + "/" + QString::fromUtf8(BFN_INSTALLED_HANDBOOK));
  return QFileInfo::exists(installed) ? installed : QString::fromUtf8(BFN_SOURCE_HANDBOOK);
}

QString HandbookPath() { return HandbookPath(QApplication::applicationDirPath()); }

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
  SetUp(this);
  auto* layout = new QVBoxLayout(this);
  text_ = AddText(layout,
                  QString::fromUtf8("bokföringsnolk\n\n%1\n\nVersion: %2\nLicens: %3\n\n"
                                    "Databibliotek: %4\nInställningar: %5")
                      .arg(QString::fromUtf8(kWhat), FromAnsi(BuildStamp()), QString::fromUtf8(kLicence),
                           DataDir(), SettingsFile()),
                  this);
  text_->setTextFormat(Qt::PlainText);
  AddOk(layout, this);
}

QString TAboutBox::Text() const { return text_->text(); }

TAboutLinksBox::TAboutLinksBox(QWidget* parent) : QDialog(parent) {
  SetUp(this);
  auto* layout = new QVBoxLayout(this);
  text_ = AddText(layout,
                  QString::fromUtf8("<p><b>bokföringsnolk</b></p><p>%1</p><p>Version: %2<br>Licens: %3</p>")
                      .arg(QString::fromUtf8(kWhat).toHtmlEscaped(), FromAnsi(BuildStamp()).toHtmlEscaped(),
                           QString::fromUtf8(kLicence).toHtmlEscaped()),
                  this);
  const struct {
    const char* name;
    QString path;
  } links[] = {{"handbok", HandbookPath()},
               {"databibliotek", DataDir()},
               {"inställningar", QFileInfo(SettingsFile()).absolutePath()}};
  for (const auto& link : links) {
    const QString target = QUrl::fromLocalFile(link.path).toString();
    links_ << target;
    QLabel* label = AddText(layout,
                            QString("<a href=\"%1\" style=\"color:navy\">%2</a>: %3")
                                .arg(target.toHtmlEscaped(), QString::fromUtf8(link.name),
                                     link.path.toHtmlEscaped()),
                            this);
    connect(label, &QLabel::linkActivated, this, [](const QString& url) { TNolkMainForm::doTheClick(url); });
  }
  AddOk(layout, this);
}

QString TAboutLinksBox::Text() const { return text_->text(); }
QStringList TAboutLinksBox::Links() const { return links_; }

void ShowAboutBox(int which, QWidget* parent) {
  if (which == 0) {
    TAboutBox(parent).exec();
  } else {
    TAboutLinksBox(parent).exec();
  }
}

}  // namespace shellui
