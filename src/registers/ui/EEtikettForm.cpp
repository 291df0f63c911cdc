#include "registers/ui/EEtikettForm.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "printing/ui/QtPrintCanvas.h"
#include "printing/ui/QtReportRun.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ui/QtText.h"
#include "shell/ui/StatusLine.h"
#include "shell/ui/emainform.h"

namespace eregui {

using shellui::FromAnsi;
using shellui::ToAnsi;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int kMaxCopies = 999;  // the box takes three digits
constexpr int kPictureWidth = 210;
constexpr int kMemoColumns = 34, kMemoLines = 8;
const char* const kPictureEndings[] = {"bmp", "png", "jpg", "jpeg"};

// The label's lines as the memo shows them.
QString MemoText(const std::string& text) {
  QString shown = FromAnsi(text);
  shown.replace(U("\r\n"), U("\n"));
  shown.replace(QChar('\r'), QChar('\n'));
  return shown;
}

esmall::WindowHandle Handle(QWidget* window) { return static_cast<esmall::WindowHandle>(window->winId()); }

}  // namespace

TEtikettDlg::TEtikettDlg(std::string& text, QWidget* parent) : QDialog(parent), text_(text) {
  setObjectName("EtikettDlg");
  setWindowTitle(U("etikett"));
  shellui::ScaleDialog(this);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  layout->addLayout(top, 1);

  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("etikettMemo");
  const printing::TFontRec mellan = ekonfig::CurEtikett.Printer().Font(printing::FontSlot::Mellan);
  memo_->setFont(printui::FontOf(mellan, mellan.size));
  memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);  // as the printer wraps it; no line breaks are added
  memo_->setTabChangesFocus(true);  // a label has no tabs; Tab goes on to the buttons
  memo_->setToolTip(U("etikettens text, högst 240 tecken; en första rad BITMAP och en sökväg gör den till en bild"));
  const QFontMetrics memoMetrics(memo_->font());
  memo_->setMinimumSize(memoMetrics.horizontalAdvance(QString(kMemoColumns, 'M')) + 2 * memo_->frameWidth() + 8,
                        memoMetrics.lineSpacing() * kMemoLines + 2 * memo_->frameWidth() + 8);
  memo_->setPlainText(MemoText(text));
  top->addWidget(memo_, 1);

  // The picture box has the proportions of the setting's label.
  const glodefs::TEtikettEnv::Geometry g = ekonfig::CurEtikett.GetGeometry();
  const double ratio = g.width > 0 && g.height > 0 ? static_cast<double>(g.height) / g.width : 37.0 / 70.0;
  picture_ = new QLabel(this);
  picture_->setObjectName("Image1");
  picture_->setToolTip(U("klicka för att välja bild för etikett"));
  picture_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setFixedSize(kPictureWidth, std::clamp(static_cast<int>(kPictureWidth * ratio), 40, 2 * kPictureWidth));
  picture_->setCursor(Qt::PointingHandCursor);
  QPalette grey = picture_->palette();
  grey.setColor(QPalette::WindowText, grey.color(QPalette::Disabled, QPalette::WindowText));
  picture_->setPalette(grey);
  picture_->installEventFilter(this);
  auto* side = new QVBoxLayout;
  side->addWidget(picture_);
  textButton_ = new QPushButton(U("&Text"), this);
  textButton_->setObjectName("TextBtn");
  textButton_->setToolTip(U("etiketten blir text igen, utan bild"));
  textButton_->setAutoDefault(false);
  connect(textButton_, &QPushButton::clicked, this, &TEtikettDlg::BackToText);
  side->addWidget(textButton_, 0, Qt::AlignLeft);
  side->addStretch(1);
  top->addLayout(side);

  auto* buttons = new QHBoxLayout;
  auto* copiesCaption = new QLabel(U("antal kopior"), this);
  copies_ = new QSpinBox(this);
  copies_->setObjectName("KopiorEdit");
  copies_->setRange(0, kMaxCopies);
  copies_->setValue(1);
  copies_->setToolTip(U("hur många gånger etiketten skrivs ut med Skriv"));
  copiesCaption->setBuddy(copies_);
  buttons->addWidget(copiesCaption);
  buttons->addWidget(copies_);
  buttons->addStretch(1);
  const struct {
    const char* name;
    const char* caption;
    const char* hint;
    void (TEtikettDlg::*command)();
  } commands[] = {{"SkrivBtn", "S&kriv", "skriv ut etiketten", &TEtikettDlg::PrintLabel},
                  {"OKBtn", "OK", "spara etiketten", &TEtikettDlg::accept},
                  {"CancelBtn", "Avbryt", "etiketten lämnas som den var", &TEtikettDlg::reject}};
  for (const auto& c : commands) {
    auto* button = new QPushButton(U(c.caption), this);
    button->setObjectName(c.name);
    button->setToolTip(U(c.hint));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, c.command);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
  status_ = new shellui::StatusLine(this);
  status_->setObjectName("StatusBar1");
  layout->addWidget(status_);

  std::string path;
  if (!ereg::IsPictureLabel(text, path)) textBefore_ = memo_->toPlainText();
  if (!ShowPicture()) Refuse("kan ej ladda filen \"" + path + "\"");
  connect(memo_, &QPlainTextEdit::textChanged, this, [this] { ShowPicture(); });
}

QPushButton* TEtikettDlg::Button(const char* name) const { return findChild<QPushButton*>(name); }

QString TEtikettDlg::Status() const { return status_->currentMessage(); }

void TEtikettDlg::Say(const std::string& message) {
  status_->showMessage(FromAnsi(message));
}

void TEtikettDlg::Refuse(const std::string& message) {
  eerror::Beep();
  Say(message);
}

bool TEtikettDlg::Taken(std::string& text) {
  std::vector<std::string> lines;
  for (const QString& line : memo_->toPlainText().split(QChar('\n'))) lines.push_back(line.toStdString());
  std::string message;
  if (ereg::TakeEtikettText(lines, text, message)) return true;
  Refuse(message);
  return false;
}

void TEtikettDlg::accept() {
  std::string text;
  if (!Taken(text)) return;
  text_ = text;
  QDialog::accept();
}

bool TEtikettDlg::ShowPicture() {
  std::string path;
  const bool isPicture = ereg::IsPictureLabel(ToAnsi(memo_->toPlainText().section(QChar('\n'), 0, 0)), path);
  textButton_->setEnabled(isPicture);
  if (shownPath_ && *shownPath_ == path) return pictureRead_;  // typing elsewhere in the memo
  shownPath_ = path;
  picture_->setText(isPicture ? U("kan ej ladda bilden") : U("klicka för bild"));
  pictureRead_ = !isPicture;
  if (!isPicture || !ereg::EtikettPictureFault(path).empty()) return pictureRead_;
  const QImage image = printui::ReadPicture(path);
  pictureRead_ = !image.isNull();
  if (pictureRead_)
    picture_->setPixmap(QPixmap::fromImage(image).scaled(picture_->contentsRect().size(), Qt::KeepAspectRatio,
                                                          Qt::SmoothTransformation));
  return pictureRead_;
}

QString TEtikettDlg::ChoosePictureFile() {
  QString folder = shownPath_ && !shownPath_->empty() ? QFileInfo(FromAnsi(*shownPath_)).absolutePath() : QString();
  for (;;) {
    QFileDialog dialog(this, U("välj bild för etikett"), folder);
    dialog.setObjectName("OpenPictureDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(U("bilder (*.bmp *.png *.jpg *.jpeg)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().front();
    const QString ending = QFileInfo(chosen).suffix().toLower();
    if (std::any_of(std::begin(kPictureEndings), std::end(kPictureEndings),
                    [&](const char* e) { return ending == QLatin1String(e); }))
      return chosen;
    folder = QFileInfo(chosen).absolutePath();  // another kind of file: asked again, where it was
  }
}

bool TEtikettDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picture_ && event->type() == QEvent::MouseButtonRelease) {
    const QString chosen = ChoosePictureFile();
    if (!chosen.isEmpty()) TakePicture(chosen);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TEtikettDlg::TakePicture(const QString& path) {
  std::string text, message;
  if (!ereg::TakeEtikettText({"BITMAP" + path.toStdString()}, text, message)) {
    Refuse(message);
    return;
  }
  std::string shown;
  if (!ereg::IsPictureLabel(ToAnsi(memo_->toPlainText()), shown)) textBefore_ = memo_->toPlainText();
  memo_->setPlainText(FromAnsi(text));
  Say("");
}

void TEtikettDlg::BackToText() {
  memo_->setPlainText(textBefore_);
  Say("");
}

void TEtikettDlg::PrintLabel() {
  std::string text;
  if (!Taken(text)) return;
  const int n = copies_->value();
  const esmall::WindowHandle owner = Handle(this);
  const std::string before = eerror::StatusMsg;
  printui::PrintOn(ekonfig::CurEtikett.Printer(), [&](printing::PrintJob& job, printing::PrintCanvas& canvas) {
    ereg::LabelPrinter printer(job, canvas, ekonfig::CurEtikett);
    return ereg::PrintLabelTimes(printer, text, n, owner);
  });
  if (eerror::StatusMsg != before) Say(eerror::StatusMsg);
}

bool QtEtikettDialogs::RunEtikettDialog(std::string& text) {
  TEtikettDlg dialog(text, owner_);
  return dialog.exec() == QDialog::Accepted;
}

TEEtikettRegForm::TEEtikettRegForm(isam::FileBlock* fb, QWidget* parent)
    : EtikettRegParts(fb), TERegFormDlg(reg, U("etikettregister"), parent) {
  setObjectName("EEtikettRegForm");
  dialogs.SetOwner(this);
}

void TEEtikettRegForm::PrintSelection() {
  const esmall::WindowHandle owner = Handle(this);
  printui::PrintOn(ekonfig::CurEtikett.Printer(), [&](printing::PrintJob& job, printing::PrintCanvas& canvas) {
    ereg::LabelPrinter printer(job, canvas, ekonfig::CurEtikett);
    return reg.PrintSelectedLabels(printer, owner);
  });
}

void ShowEtikettRegister(QWidget* parent) {
  const ereg::EtikettFile file(ekonfig::Konfig.DataDir());
  if (file.Open() == nullptr) return;
  TEEtikettRegForm form(file.Open(), parent);
  form.exec();
}

}  // namespace eregui
