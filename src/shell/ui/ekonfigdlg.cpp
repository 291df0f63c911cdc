#include "shell/ui/ekonfigdlg.h"

#include "shell/ESmall.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ui/PrBildres.h"
#include "shell/ui/QtPrinterSystem.h"
#include "shell/ui/QtText.h"
#include "shell/ui/SettingTabs.h"
#include "shell/ui/StatusLine.h"
#include "shell/ui/emainform.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace shellui {

namespace {

using ekonfig::SettingKind;
using printing::FontSlot;
using printing::TFontRec;

constexpr FontSlot kSlots[3] = {FontSlot::Stor, FontSlot::Mellan, FontSlot::Liten};
constexpr const char* kSlotCaptions[3] = {"stor", "mellan", "liten"};
constexpr const char* kSlotNames[3] = {"Stor", "Mellan", "Liten"};
constexpr int kFontDisplayPoints = 12;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QFont FontOf(const TFontRec& font, double points) {
  QFont f(FromAnsi(font.name));
  f.setPointSizeF(points > 0 ? points : 10);
  f.setBold(font.style & TFontRec::kBold);
  f.setItalic(font.style & TFontRec::kItalic);
  f.setUnderline(font.style & TFontRec::kUnderline);
  f.setStrikeOut(font.style & TFontRec::kStrikeOut);
  f.setFixedPitch(font.pitch == TFontRec::kFixedPitch);
  return f;
}

uint8_t StyleOf(const QFont& f) {
  return (f.bold() ? TFontRec::kBold : 0) | (f.italic() ? TFontRec::kItalic : 0) |
         (f.underline() ? TFontRec::kUnderline : 0) | (f.strikeOut() ? TFontRec::kStrikeOut : 0);
}

QLineEdit* NewEdit(const char* objectName, int maxLength, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(U(objectName));
  edit->setMaxLength(maxLength);
  return edit;
}

SettingTabs* NewSettingTabs(const char* objectName, QWidget* parent) {
  auto* tabs = new SettingTabs(glodefs::kSettings, parent);
  tabs->setObjectName(U(objectName));
  return tabs;
}

QString SettingName(SettingKind kind, int n) {
  return FromAnsi(kind == SettingKind::kLabel ? ekonfig::Konfig.LabelName(n) : ekonfig::Konfig.ReportName(n));
}

}  // namespace

TEKonfigDlg::TEKonfigDlg(QWidget* parent) : QDialog(parent), lastShown_(eerror::StatusMsg) {
  setObjectName(U("EKonfigDlg"));
  setWindowTitle(U("inställningar"));
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, kClientWidth, kClientHeight);
  scale_ = WindowScale(area.width(), area.height(), kClientWidth, kClientHeight, ekonfig::Konfig.FormScale());
  QFont scaled = font();
  scaled.setPointSizeF(scaled.pointSizeF() * scale_ / 100.0);
  setFont(scaled);

  auto* nameRow = new QHBoxLayout;
  datornamn_ = NewEdit("datornamn", static_cast<int>(ekonfig::kComputerNameMax), this);
  datornamn_->setToolTip(U("datorns namn, visas på en del utskrifter och skapade filer"));
  nameRow->addWidget(new QLabel(U("datornamn"), this));
  nameRow->addWidget(datornamn_, 1);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(U("KonfigPageControl"));
  pages_->addTab(BuildReportPage(), U("rapporter"));
  pages_->addTab(BuildLabelPage(), U("etiketter"));

  auto* buttons = new QHBoxLayout;
  auto* cancel = new QPushButton(U("avbryt"), this);
  cancel->setObjectName(U("avbryt"));
  cancel->setToolTip(U("glöm ändringarna och återvänd"));
  auto* ok = new QPushButton(U("acceptera ändringarna och återvänd"), this);
  ok->setObjectName(U("OK"));
  ok->setDefault(true);
  connect(cancel, &QPushButton::clicked, this, &TEKonfigDlg::reject);
  connect(ok, &QPushButton::clicked, this, &TEKonfigDlg::accept);
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(ok);

  status_ = new StatusLine(this);
  status_->setObjectName(U("StatusBarEKonfig"));
  status_->showMessage(FromAnsi(eerror::StatusMsg));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(nameRow);
  layout->addWidget(pages_, 1);
  layout->addLayout(buttons);
  layout->addWidget(status_);

  datornamn_->setText(FromAnsi(ekonfig::Konfig.ComputerName()));
  for (SettingControls* c : {&report_, &label_}) {
    for (int n = 1; n <= glodefs::kSettings; ++n) c->tabs->setTabText(n - 1, SettingName(c->kind, n));
    const int current = c->kind == SettingKind::kLabel ? ekonfig::Konfig.CurrentLabelSetting()
                                                       : ekonfig::Konfig.CurrentReportSetting();
    c->tabs->setCurrentIndex(current - 1);
    c->tabs->onSwitch([this, c](int index) { ShowSetting(c->kind, index + 1); });
  }
  ShowPage(ekonfig::Konfig.DialogPage());
  LoadTab(SettingKind::kReport, ekonfig::Konfig.CurrentReportSetting());
  LoadTab(SettingKind::kLabel, ekonfig::Konfig.CurrentLabelSetting());
}

QWidget* TEKonfigDlg::BuildSettingBlock(SettingControls& c, const char* prefix, const char* formatCaption) {
  const bool isLabel = c.kind == SettingKind::kLabel;
  auto* block = new QWidget(this);
  auto* grid = new QGridLayout(block);
  grid->setContentsMargins(0, 0, 0, 0);
  c.name = NewEdit(isLabel ? "etikettnamn" : "rapportnamn", static_cast<int>(ekonfig::kSettingNameMax), block);
  grid->addWidget(new QLabel(U(isLabel ? "etikettnamn" : "rapportnamn"), block), 0, 0);
  grid->addWidget(c.name, 0, 1, 1, 3);

  const QString p = U(prefix);
  c.printerName = NewEdit("", static_cast<int>(ekonfig::kPrinterNameShown), block);
  c.printerName->setObjectName(p + "Skrivarval");
  c.printerName->setReadOnly(true);
  auto* format = new QPushButton(U(formatCaption), block);
  format->setObjectName(p + "Utskriftsformat");
  format->setEnabled(false);
  auto* printer = new QPushButton(U("skrivare"), block);
  printer->setObjectName(p + "Skrivare");
  printer->setToolTip(U("välj skrivare för inställningen"));
  connect(printer, &QPushButton::clicked, this, [this, kind = c.kind] { ChoosePrinter(kind); });
  grid->addWidget(new QLabel(U("skrivarval"), block), 1, 0);
  grid->addWidget(c.printerName, 1, 1);
  grid->addWidget(printer, 1, 2);
  grid->addWidget(format, 1, 3);

  for (int i = 0; i < 3; ++i) {
    auto* button = new QPushButton(U(kSlotCaptions[i]), block);
    button->setObjectName(p + "BitBtn" + kSlotNames[i] + "Font");
    button->setToolTip(U("välj typsnitt"));
    c.fonts[i] = NewEdit("", static_cast<int>(ekonfig::kFontNameMax), block);
    c.fonts[i]->setObjectName(p + "Edit" + kSlotNames[i] + "Font");
    c.fonts[i]->setReadOnly(true);
    connect(button, &QPushButton::clicked, this, [this, kind = c.kind, i] { ChooseFont(kind, kSlots[i]); });
    grid->addWidget(button, 2 + i, 0);
    grid->addWidget(c.fonts[i], 2 + i, 1, 1, 3);
  }
  grid->setColumnStretch(1, 1);
  return block;
}

QSpinBox* TEKonfigDlg::AddSpin(const char* objectName, int min, int max) {
  auto* spin = new QSpinBox(this);
  spin->setObjectName(U(objectName));
  spin->setRange(min, max);
  return spin;
}

QWidget* TEKonfigDlg::BuildReportPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  report_.tabs = NewSettingTabs("RapportTabControl", page);
  layout->addWidget(report_.tabs);

  auto* body = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(BuildSettingBlock(report_, "Ra", "utskriftsformat"));
  auto* rows = new QGridLayout;
  fottext_ = NewEdit("fottext", static_cast<int>(ekonfig::kFooterMax), page);
  fottext_->setToolTip(U("skrivs längst ned på rapportens sidor"));
  columns_ = AddSpin("RaKolumnEdit", ekonfig::kColumnsMin, ekonfig::kColumnsMax);
  columns_->setToolTip(U("antal spalter som en rapportsida delas i"));
  rows->addWidget(new QLabel(U("fottext"), page), 0, 0);
  rows->addWidget(fottext_, 0, 1, 1, 2);
  rows->addWidget(new QLabel(U("kolumner"), page), 1, 0);
  rows->addWidget(columns_, 1, 1);
  rows->setColumnStretch(2, 1);
  left->addLayout(rows);
  left->addStretch(1);
  body->addLayout(left, 1);

  auto* pictures = new QTabWidget(page);
  pictures->setObjectName(U("BildPageControl"));
  pictures->setUsesScrollButtons(false);  // all five pages in view
  for (int k = 0; k < glodefs::TRapportEnv::kPictures; ++k) {
    auto* tab = new QWidget(pictures);
    auto* grid = new QGridLayout(tab);
    PictureControls& pc = pictures_[k];
    const QSize box(kPrBildWidth, kPrBildHeight);
    if (k == 0) {
      pc.shown = new QLabel(tab);
      pc.shown->setFixedSize(box);
      pc.shown->setAlignment(Qt::AlignCenter);
      grid->addWidget(pc.shown, 0, 0, 1, 2);
    } else {
      pc.button = new QToolButton(tab);
      pc.button->setObjectName(QStringLiteral("bild%1").arg(k));
      pc.button->setIconSize(box);
      pc.button->setToolTip(U("klicka för att välja bildfil, avbryt tar bort bilden"));
      connect(pc.button, &QToolButton::clicked, this, [this, k] { ChoosePicture(k); });
      grid->addWidget(pc.button, 0, 0, 1, 2);
      pc.active = new QCheckBox(U("aktiv"), tab);
      pc.active->setObjectName(QStringLiteral("aktiv%1").arg(k));
      pc.active->setToolTip(U("skriv ut bilden sist i rapporten"));
      pc.divisor = AddSpin("", ekonfig::kDivisorMin, ekonfig::kDivisorMax);
      pc.divisor->setObjectName(QStringLiteral("storlek%1").arg(k));
      pc.divisor->setPrefix(QStringLiteral("1/"));
      pc.divisor->setToolTip(U("bildens del av rapportens bredd"));
      grid->addWidget(pc.active, 1, 0);
      auto* size = new QHBoxLayout;
      size->addWidget(new QLabel(U("storlek"), tab));
      size->addWidget(pc.divisor);
      grid->addLayout(size, 1, 1);
    }
    grid->setRowStretch(2, 1);
    pictures->addTab(tab, QStringLiteral("bild%1").arg(k));
  }
  body->addWidget(pictures);
  layout->addLayout(body, 1);
  return page;
}

QWidget* TEKonfigDlg::BuildLabelPage() {
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  label_.tabs = NewSettingTabs("EtikettTabControl", page);
  layout->addWidget(label_.tabs);
  layout->addWidget(BuildSettingBlock(label_, "Et", "utskriftformat"));

  struct Spin {
    const char* name;
    const char* caption;
    int min, max;
  };
  using namespace ekonfig;
  static constexpr Spin kSpins[9] = {
      {"EtXmarg", "vänstermarg", kLengthMin, kLengthMax},  {"EtYh", "etiketthöjd", kLengthMin, kLengthMax},
      {"EtYdeln", "raddelning", kLengthMin, kLengthMax},   {"EtXdeln", "kolumndeln", kLengthMin, kLengthMax},
      {"EtXw", "etikettbredd", kLengthMin, kLengthMax},    {"EtYmarg", "topmarginal", kLengthMin, kLengthMax},
      {"EtXn", "antal kolumn", kPerRowMin, kPerRowMax},    {"EtYn", "antal rader", kRowsMin, kRowsMax},
      {"Etcopies", "antal kopior", kCopiesMin, kCopiesMax}};
  auto* grid = new QGridLayout;
  for (int i = 0; i < 9; ++i) {
    labelSpins_[i] = AddSpin(kSpins[i].name, kSpins[i].min, kSpins[i].max);
    if (i < 6) labelSpins_[i]->setToolTip(U("tiondels millimeter"));
    grid->addWidget(new QLabel(U(kSpins[i].caption), page), i / 3, (i % 3) * 2);
    grid->addWidget(labelSpins_[i], i / 3, (i % 3) * 2 + 1);
  }
  layout->addLayout(grid);
  layout->addStretch(1);
  return page;
}

TEKonfigDlg::SettingControls& TEKonfigDlg::Controls(SettingKind kind) {
  return kind == SettingKind::kLabel ? label_ : report_;
}

int TEKonfigDlg::ShownSetting(SettingKind kind) const {
  return kind == SettingKind::kLabel ? label_.shown : report_.shown;
}

void TEKonfigDlg::ShowSetting(SettingKind kind, int n) {
  if (n >= 1 && n <= glodefs::kSettings && n != Controls(kind).shown) SwitchTab(kind, n);
}

void TEKonfigDlg::SwitchTab(SettingKind kind, int n) {
  SaveTab(kind);
  LoadTab(kind, n);
}

void TEKonfigDlg::ShowPage(int page) {
  pages_->setCurrentIndex(page == kLabelPage ? 1 : 0);
}

void TEKonfigDlg::CopyToSetting(SettingKind kind) {
  SettingControls& c = Controls(kind);
  if (kind == SettingKind::kLabel) {
    auto v = [this](int i) { return labelSpins_[i]->value(); };
    edit_.SetLabel({ToAnsi(c.name->text()), v(0), v(1), v(2), v(3), v(4), v(5), v(6), v(7), v(8)});
  } else {
    ekonfig::ReportFields fields = edit_.Report();
    fields.name = ToAnsi(c.name->text());
    fields.footer = ToAnsi(fottext_->text());
    fields.columns = columns_->value();
    for (int k = 1; k < glodefs::TRapportEnv::kPictures; ++k)
      fields.pictures[k] = {"", pictures_[k].active->isChecked(), pictures_[k].divisor->value()};
    edit_.SetReport(fields);
  }
  c.tabs->setTabText(c.shown - 1, SettingName(kind, c.shown));
}

void TEKonfigDlg::SaveTab(SettingKind kind) {
  CopyToSetting(kind);
  edit_.Save(kind, Controls(kind).shown);
}

void TEKonfigDlg::LoadTab(SettingKind kind, int n) {
  SettingControls& c = Controls(kind);
  edit_.Load(kind, n);
  c.shown = n;
  c.tabs->setCurrentIndex(n - 1);
  const printing::TPrinterEnv printer = edit_.Printer(kind);
  c.printerName->setText(FromAnsi(esmall::Cut(printer.DeviceName(), ekonfig::kPrinterNameShown)));
  for (int i = 0; i < 3; ++i) {
    const TFontRec font = printer.Font(kSlots[i]);
    c.fonts[i]->setText(FromAnsi(ekonfig::FontCaption(font)));
    c.fonts[i]->setFont(FontOf(font, kFontDisplayPoints * scale_ / 100.0));
    c.fonts[i]->setCursorPosition(0);
  }
  if (kind == SettingKind::kLabel) {
    const ekonfig::LabelFields f = edit_.Label();
    c.name->setText(FromAnsi(f.name));
    const int values[9] = {f.leftMargin, f.height, f.rowPitch, f.columnPitch, f.width,
                           f.topMargin,  f.perRow, f.rows,     f.copies};
    for (int i = 0; i < 9; ++i) labelSpins_[i]->setValue(values[i]);
  } else {
    const ekonfig::ReportFields f = edit_.Report();
    c.name->setText(FromAnsi(f.name));
    fottext_->setText(FromAnsi(f.footer));
    columns_->setValue(f.columns);
    for (int k = 1; k < glodefs::TRapportEnv::kPictures; ++k) {
      pictures_[k].active->setChecked(f.pictures[k].active);
      pictures_[k].divisor->setValue(f.pictures[k].divisor);
    }
    FillPictures();
  }
  c.tabs->setTabText(n - 1, SettingName(kind, n));
  ShowStatus();
}

void TEKonfigDlg::FillPictures() {
  const ekonfig::ReportFields f = edit_.Report();
  for (int k = 0; k < glodefs::TRapportEnv::kPictures; ++k) {
    const std::string& path = f.pictures[k].path;
    const QString file = FromAnsi(path);
    QPixmap picture;
    if (!path.empty() && QFileInfo(file).isFile() && !picture.load(file)) ekonfig::ReportUnreadablePicture(path);
    if (picture.isNull()) picture = PrBildres(k);
    picture = picture.scaled(kPrBildWidth, kPrBildHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (pictures_[k].shown != nullptr) pictures_[k].shown->setPixmap(picture);
    if (pictures_[k].button != nullptr) pictures_[k].button->setIcon(QIcon(picture));
    const QString tip = path.empty() ? QStringLiteral("PrBildres%1").arg(k) : file;
    (k == 0 ? static_cast<QWidget*>(pictures_[k].shown) : pictures_[k].button)->setStatusTip(tip);
  }
}

void TEKonfigDlg::ShowStatus() {
  if (eerror::StatusMsg == lastShown_) return;
  lastShown_ = eerror::StatusMsg;
  status_->showMessage(FromAnsi(lastShown_));
  eerror::Beep();
}

void TEKonfigDlg::ChooseFont(SettingKind kind, FontSlot slot) {
  SaveTab(kind);
  const TFontRec before = edit_.Printer(kind).Font(slot);
  if (const std::optional<QFont> chosen = RunFontDialog(FontOf(before, before.size))) {
    const int points = chosen->pointSize() > 0 ? chosen->pointSize() : before.size;
    edit_.SetFont(kind, slot,
                  ekonfig::ChosenFont(before, ToAnsi(chosen->family()), points, StyleOf(*chosen),
                                      QFontInfo(*chosen).fixedPitch()));
  }
  SaveTab(kind);
  LoadTab(kind, Controls(kind).shown);
}

void TEKonfigDlg::ChoosePrinter(SettingKind kind) {
  SaveTab(kind);
  const printing::Printer start = edit_.BeginPrinterSetup(kind);
  if (const std::optional<printing::Printer> chosen = RunPrinterDialog(start))
    edit_.EndPrinterSetup(kind, *chosen);
  SaveTab(kind);
  LoadTab(kind, Controls(kind).shown);
}

void TEKonfigDlg::ChoosePicture(int k) {
  if (k < 1 || k >= glodefs::TRapportEnv::kPictures) return;
  SaveTab(SettingKind::kReport);
  const QString chosen = RunPictureDialog(FromAnsi(edit_.Report().pictures[k].path));
  edit_.SetPicturePath(k, ToAnsi(chosen));
  SaveTab(SettingKind::kReport);
  LoadTab(SettingKind::kReport, report_.shown);
}

std::optional<QFont> TEKonfigDlg::RunFontDialog(const QFont& start) {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, start, this, U("typsnitt"));
  return ok ? std::optional<QFont>(chosen) : std::nullopt;
}

std::optional<printing::Printer> TEKonfigDlg::RunPrinterDialog(const printing::Printer& start) {
  QPrinter printer;
  ConfigurePrinter(printer, start);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(U("skrivare"));
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  // It only chooses the printer here; nothing is printed on OK.
  if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
    if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return PrinterOf(printer);
}

QString TEKonfigDlg::RunPictureDialog(const QString& start) {
  QStringList patterns;
  for (const QByteArray& format : QImageReader::supportedImageFormats()) patterns << "*." + QString::fromLatin1(format);
  QString from = start;
  for (;;) {
    QFileDialog dialog(this, U("välj bild"), from, U("Bilder (%1)").arg(patterns.join(' ')));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().first();
    // Only a picture kind we can read is taken; anything else asks again.
    if (patterns.contains("*." + QFileInfo(chosen).suffix().toLower())) return chosen;
    from = chosen;
  }
}

void TEKonfigDlg::accept() {
  SaveTab(SettingKind::kReport);
  SaveTab(SettingKind::kLabel);
  edit_.Accept(pages_->currentIndex() + 1, ToAnsi(datornamn_->text()));
  QDialog::accept();
}

void TEKonfigDlg::reject() {
  edit_.Cancel();
  QDialog::reject();
}

}  // namespace shellui
