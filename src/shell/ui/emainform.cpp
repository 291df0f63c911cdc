#include "shell/ui/emainform.h"

#include "shell/ESmall_HandleStack.h"
#include "shell/Eerror32.h"
#include "shell/GloDefs.h"
#include "shell/ekonfig32.h"
#include "shell/emainform_editor.h"
#include "shell/ui/ElidedPanel.h"
#include "shell/ui/MenuBarHints.h"
#include "shell/ui/MessageHistory.h"
#include "shell/ui/QtPrinterSystem.h"
#include "shell/ui/QtText.h"
#include "shell/ui/about32.h"
#include "shell/ui/edirform.h"
#include "shell/ui/ekonfigdlg.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace shellui {

namespace {

const QColor kWindowColour(0xA6, 0xCC, 0xF0);  // 15780518 as BGR

// A panel of two parts: its name and its value, which may be a long path.
ElidedPanel* AddPanel(QVBoxLayout* layout, const char* name, QWidget* parent) {
  auto* row = new QHBoxLayout;
  auto* title = new QLabel(QString::fromUtf8(name), parent);
  title->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  title->setAlignment(Qt::AlignCenter);
  title->setFixedWidth(200);
  auto* value = new ElidedPanel(QFrame::Sunken, Qt::AlignHCenter, parent);
  value->setMinimumWidth(50);
  row->addWidget(title);
  row->addWidget(value, 1);
  layout->addLayout(row);
  return value;
}

QPushButton* AddButton(QHBoxLayout* row, const char* text, const char* hint, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setToolTip(QString::fromUtf8(hint));
  row->addWidget(button);
  return button;
}

}  // namespace

int WindowScale(int screenWidth, int screenHeight, int clientWidth, int clientHeight, int stored) {
  if (stored >= kMinScale && stored <= kMaxScale) return stored;
  const int a = screenWidth / std::max(1, clientWidth);
  const int b = screenHeight / std::max(1, clientHeight);
  return static_cast<int>(std::lround(std::max(1.0, std::min(a, b) / 3.0) * 100));
}

void ScaleDialog(QWidget* dialog) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, kClientWidth, kClientHeight);
  const int scale = WindowScale(area.width(), area.height(), kClientWidth, kClientHeight, ekonfig::Konfig.FormScale());
  QFont font = dialog->font();
  font.setPointSizeF(font.pointSizeF() * scale / 100.0);
  dialog->setFont(font);
}

// Eleven landscapes from one scheme: sky, a sun or moon, hills and water, each with its own
// colours and shapes so no two look alike.
QPixmap BackgroundPicture(int r, QSize size) {
  static const QColor skies[kBackgrounds] = {
      {0xDD, 0xEE, 0xFF}, {0xFF, 0xE8, 0xCC}, {0xE8, 0xF4, 0xE0}, {0xF0, 0xE4, 0xF4},
      {0xFF, 0xF6, 0xD8}, {0xD8, 0xE8, 0xF0}, {0xF4, 0xEC, 0xE0}, {0xE0, 0xF0, 0xF0},
      {0xF8, 0xE0, 0xE0}, {0xE6, 0xE6, 0xF6}, {0xEC, 0xF6, 0xD8}};
  const int i = std::clamp(r, 1, kBackgrounds) - 1;
  QPixmap picture(size);
  picture.fill(skies[i]);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  const int w = size.width(), h = size.height();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor::fromHsv((i * 37 + 40) % 360, 90, 250));
  const int sun = h / 6 + i * 2;
  p.drawEllipse(QPoint(w * (2 + i % 7) / 10, h / 5 + (i % 3) * h / 20), sun / 2, sun / 2);
  for (int layer = 0; layer < 3; ++layer) {
    QPainterPath hills;
    hills.moveTo(0, h);
    const int peaks = 2 + (i + layer) % 4;
    for (int k = 0; k <= peaks; ++k) {
      const double x = w * k / double(peaks);
      const double y = h * (0.55 + 0.1 * layer) - h * 0.12 * std::sin((k + i) * 1.3 + layer);
      hills.lineTo(x, y);
    }
    hills.lineTo(w, h);
    hills.closeSubpath();
    p.setBrush(QColor::fromHsv((i * 29 + 90 + layer * 15) % 360, 60 + layer * 30, 200 - layer * 35));
    p.drawPath(hills);
  }
  if (i % 2 == 0) {
    p.setBrush(QColor(0x70, 0xA0, 0xD0, 160));
    p.drawRect(0, h * 9 / 10, w, h / 10);
  }
  return picture;
}

TNolkMainForm::TNolkMainForm(QWidget* parent) : QMainWindow(parent) {
  setMinimumSize(kClientWidth, kClientHeight);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kWindowColour);
  setPalette(palette);
  BuildControls();
  BuildMenu();
}

TNolkMainForm::~TNolkMainForm() {
  if (ownerPushed_) esmall::OwnerWindows().Pop();
}

void TNolkMainForm::BuildControls() {
  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->addStretch(1);
  auto* links = new QLabel(client);
  links->setText(QString::fromUtf8("<a href=\"handbok\" style=\"color:navy\">handbok</a>"));
  links->setToolTip(QString::fromUtf8("programmets egen dokumentation"));
  connect(links, &QLabel::linkActivated, this, [] {
    doTheClick(QUrl::fromLocalFile(HandbookPath()).toString());
  });
  layout->addWidget(links);
  envValues_[0] = AddPanel(layout, "databibliotek", client);
  envValues_[1] = AddPanel(layout, "rapportinställningar", client);
  envValues_[2] = AddPanel(layout, "etikettinställningar", client);
  envValues_[3] = AddPanel(layout, "aktuella data", client);

  auto* buttons = new QHBoxLayout;
  connect(AddButton(buttons, "datadir", "byt till mappen där datafilerna ska skapas eller finns", client),
          &QPushButton::clicked, this, &TNolkMainForm::ChooseDataDir);
  connect(AddButton(buttons, "konfig", "inställningar", client), &QPushButton::clicked, this, [this] {
    InstallQtPrinterSystem();
    TEKonfigDlg dialog(this);
    dialog.exec();
    doEnvStatus();
    xMyMsgUpdate();
  });
  connect(AddButton(buttons, "editor", "starta en enkel texteditor för export och importfiler", client),
          &QPushButton::clicked, this, &TNolkMainForm::StartEditor);
  connect(AddButton(buttons, "info", "om programmet", client), &QPushButton::clicked, this,
          &TNolkMainForm::ShowInfo);
  scaleBox_ = new QSpinBox(client);
  scaleBox_->setRange(kMinScale, kMaxScale);
  scaleBox_->setSingleStep(10);
  scaleBox_->setValue(kMinScale);
  scaleBox_->setToolTip(QString::fromUtf8(
      "skala för fönsterstorlek 100 är normalskalan, omstart krävs för ändringen att utföras"));
  buttons->addWidget(scaleBox_);
  connect(AddButton(buttons, "avsluta", "avsluta programmet", client), &QPushButton::clicked, this,
          &QWidget::close);
  layout->addLayout(buttons);
  setCentralWidget(client);

  messageBar_ = new QStatusBar(this);
  messages_ = new MessageHistory(messageBar_);
  messageBar_->addWidget(messages_, 1);
  setStatusBar(messageBar_);
}

void TNolkMainForm::BuildMenu() {
  registerMenu_ = new QMenu(QString::fromUtf8("&xregister"), this);
  registerMenu_->menuAction()->setToolTip(QString::fromUtf8("register för etikett- och giro- utskrifter"));
  registerMenu_->setToolTipsVisible(true);
  struct Entry {
    const char* caption;
    const char* name;  // what the bookkeeping window enables them by
    RegisterEntry entry;
  };
  const Entry entries[] = {{"plusgiro", "plusgiroMenu", RegisterEntry::kPlusgiro},
                           {"postgiro", "postgiroMenu", RegisterEntry::kPostgiro},
                           {"bankgiro", "bankgiroMenu", RegisterEntry::kBankgiro},
                           {nullptr, nullptr, {}},
                           {"etikettregister", "etikettMenu", RegisterEntry::kEtikett}};
  for (const Entry& entry : entries) {
    if (entry.caption == nullptr) {
      registerMenu_->addSeparator();
      continue;
    }
    const QString caption = QString::fromUtf8(entry.caption);
    QAction* action = registerMenu_->addAction(caption, this, [this, caption, register_ = entry.entry] {
      if (!OpenRegister(register_))
        eerror::StatusMsg = A("registret ") + ToAnsi(caption) + A(" kommer i en senare version");
      xMyMsgUpdate();
    });
    action->setObjectName(QString::fromUtf8(entry.name));
  }
  menuBar()->addMenu(registerMenu_);
  ShowMenuBarHints(menuBar());
}

bool TNolkMainForm::OpenRegister(RegisterEntry) { return false; }

void TNolkMainForm::AttachMenu(QMenu* menu) {
  for (QAction* action : registerMenu_->actions()) menu->addAction(action);
}

bool TNolkMainForm::ProgramInit(int progNr) {
  progNr_ = progNr;
  eerror::StatusMsg = BuildStamp();
  if (ekonfig::InitKonfig(progNr, true, glodefs::ProgName) == ekonfig::KonfigStart::kOutOfMemory) return false;
  ekonfig::Konfig.SetDataDir(ekonfig::Konfig.ProgDataDir(progNr));
  ekonfig::Konfig.SetCurBase(ekonfig::Konfig.ProgBase(progNr));
  xMyMsgUpdate();
  doEnvStatus();
  return true;
}

void TNolkMainForm::NolkFormCreate() {
  const QRect screen = QGuiApplication::primaryScreen() != nullptr
                           ? QGuiApplication::primaryScreen()->geometry()
                           : QRect(0, 0, kClientWidth, kClientHeight);
  const int scale = WindowScale(screen.width(), screen.height(), kClientWidth, kClientHeight,
                                ekonfig::Konfig.FormScale());
  scaleBox_->setValue(scale);
  QFont font = this->font();
  font.setPointSizeF(font.pointSizeF() * scale / 100.0);
  setFont(font);
  resize(kClientWidth * scale / 100, kClientHeight * scale / 100);
  background_ = static_cast<int>(QRandomGenerator::global()->bounded(1, kBackgrounds + 1));
  esmall::OwnerWindows().Push(static_cast<esmall::WindowHandle>(winId()));
  ownerPushed_ = true;
}

void TNolkMainForm::ProgramExit() {
  ekonfig::Konfig.SetProgDataDir(progNr_, ekonfig::Konfig.DataDir());
  ekonfig::Konfig.SetProgBase(progNr_, ekonfig::Konfig.CurBase());
  ekonfig::Konfig.SetFormScale(static_cast<int16_t>(scaleBox_->value()));
  ekonfig::ExitKonfig();
}

void TNolkMainForm::doStatusBar(const std::string& text) {
  if (text.empty()) return;
  messages_->Push(FromAnsi(text));
  // A message on more lines makes the window taller rather than squeezing its panels.
  const int taller = messages_->sizeHint().height() - messages_->height();
  if (taller > 0 && isVisible() && !isMaximized() && !isFullScreen()) resize(width(), height() + taller);
  messageBar_->setToolTip(FromAnsi(text));
}

void TNolkMainForm::xMyMsgUpdate() {
  if (eerror::StatusMsg != eerror::LastStatusMsg) {
    eerror::LastStatusMsg = eerror::StatusMsg;
    doStatusBar(eerror::StatusMsg);
  }
}

void TNolkMainForm::doEnvStatus() {
  const glodefs::TKonfigRec& konfig = ekonfig::Konfig;
  envValues_[0]->setText(FromAnsi(konfig.DataDir()));
  envValues_[1]->setText(FromAnsi(konfig.ReportName(konfig.CurrentReportSetting())));
  envValues_[2]->setText(FromAnsi(konfig.LabelName(konfig.CurrentLabelSetting())));
}

QString TNolkMainForm::MessagePanel(int i) const { return messages_->Text(i); }
QString TNolkMainForm::EnvPanel(int bar) const { return envValues_[bar]->text(); }
int TNolkMainForm::Scale() const { return scaleBox_->value(); }

void TNolkMainForm::doTheClick(const QString& target) {
  if (!QDesktopServices::openUrl(QUrl(target))) QApplication::beep();
}

void TNolkMainForm::ChooseDataDir() {
  Tedatadir dialog(FromAnsi(ekonfig::Konfig.DataDir()), this);
  if (dialog.exec() != QDialog::Accepted || dialog.Result().isEmpty()) return;
  std::string dir = StoredDataDir(ToAnsi(dialog.Result()));
  if (dir.size() > glodefs::kMaxPath) dir.resize(glodefs::kMaxPath);
  ekonfig::Konfig.SetDataDir(dir);
  doEnvStatus();
}

void TNolkMainForm::StartEditor() {
  const std::string failure = emainform::StartTextEditor(emainform::EditorEnvironment::FromProcess());
  if (!failure.empty()) {
    eerror::Beep();
    doStatusBar(failure);
  }
  xMyMsgUpdate();
}

void TNolkMainForm::ShowInfo() { ShowAboutBox(static_cast<int>(QRandomGenerator::global()->bounded(2)), this); }

void TNolkMainForm::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  p.drawPixmap(rect(), BackgroundPicture(background_, size()));
  QMainWindow::paintEvent(event);
}

}  // namespace shellui
