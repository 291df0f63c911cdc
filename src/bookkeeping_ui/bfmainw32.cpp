#include "bookkeeping_ui/bfmainw32.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>

#include <algorithm>
#include <functional>
#include <map>
#include <string_view>

#include "bookkeeping/BFMenuState.h"
#include "bookkeeping_ui/BfInfoForm.h"
#include "bookkeeping_ui/BfKontoReg.h"
#include "bookkeeping_ui/bfgrafform.h"
#include "bookkeeping_ui/bfpick32.h"
#include "bookkeeping_ui/bfverform.h"
#include "bookkeeping_ui/toolbuttonlist.h"
#include "common/Ansi.h"
#include "exchange/BFImport.h"
#include "exchange/BFSie.h"
#include "exchange/Eixport.h"
#include "printing/ui/QtReportRun.h"
#include "registers/ui/EEtikettForm.h"
#include "registers/ui/egiroreg32.h"
#include "registers/ui/epickForm32.h"
#include "reports/BFPrint_pick.h"
#include "reports/bflista_table.h"
#include "shell/Eerror32.h"
#include "shell/GloDefs.h"
#include "shell/ekonfig32.h"
#include "shell/ekonfig32_command.h"
#include "shell/ui/ElidedPanel.h"
#include "shell/ui/QtText.h"
#include "shell/ui/edirform.h"
#include "tabledisplay/ui/Tgridform.h"

namespace bfui {

using shellui::FromAnsi;
using shellui::ToAnsi;

namespace {

constexpr int kFontPixels = 16;

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

ToolImage ImageOf(std::string_view button) {
  if (button == "InmataVerifikation") return ToolImage::kVerification;
  if (button == "plan") return ToolImage::kAccountPlan;
  return ToolImage::kBackup;
}

}  // namespace

TMainForm::TMainForm(const std::vector<std::string>& args, QWidget* parent) : TNolkMainForm(parent) {
  glodefs::ProgName = "BFNOLKW64";
  setWindowTitle(Text("BFNOLKW64.2014 181009E Linux/Qt"));
  eixport::SetMainCaption(ToAnsi(windowTitle()));  // the heading line of the exchange files
  if (!ProgramInit(ekonfig::kBookkeepingProgNr)) return;
  run_ = std::make_unique<bf::BookkeepingRun>(args);
  BuildMenus();
  MenuRefresh();
  NolkFormCreate();

  QFont bold = font();
  bold.setBold(true);
  bold.setPixelSize(kFontPixels * Scale() / 100);
  setFont(bold);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TMainForm::~TMainForm() {
  if (!run_) return;
  run_.reset();  // the bookkeeping and the list closed, the engine stopped
  ProgramExit();
}

void TMainForm::BuildMenus() {
  std::map<bf::CommandPlace, QMenu*> menus;
  for (const bf::MainMenu& m : bf::MainMenus()) {
    auto* menu = new QMenu(Text(m.caption), this);
    menu->setObjectName(Text(m.name));
    menu->setToolTipsVisible(true);
    if (m.hint != nullptr) menu->menuAction()->setToolTip(Text(m.hint));
    // The shell's register menu stays last.
    const QList<QAction*> bar = menuBar()->actions();
    menuBar()->insertMenu(bar.isEmpty() ? nullptr : bar.last(), menu);
    menus[m.place] = menu;
  }
  QToolBar* toolBar = addToolBar(Text("ToolBar1"));
  toolBar->setObjectName(Text("ToolBar1"));
  toolBar->setMovable(false);
  toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

  for (const bf::MainCommand& c : bf::MainCommands()) {
    if (c.place == bf::CommandPlace::kToolBar) {
      QAction* action = toolBar->addAction(ToolButtonImage(ImageOf(c.name)), Text(c.caption));
      AddCommand(action, c);
      continue;
    }
    QMenu* menu = menus.at(c.place);
    if (c.name == nullptr) {
      menu->addSeparator();
    } else if (c.runSlot != nullptr) {
      menu->addMenu(AddSlotMenu(menu, c));
    } else {
      AddCommand(menu->addAction(Text(c.caption)), c);
    }
  }
  for (const std::string_view shellMenu : bf::ShellMenus())
    if (QAction* action = Item(QString::fromUtf8(shellMenu.data(), static_cast<qsizetype>(shellMenu.size()))))
      commands_.push_back(action);
}

void TMainForm::AddCommand(QAction* action, const bf::MainCommand& c) {
  action->setObjectName(Text(c.name));
  if (c.hint != nullptr) action->setToolTip(Text(c.hint));
  connect(action, &QAction::triggered, this, Handler(c));
  commands_.push_back(action);
}

std::function<void()> TMainForm::Handler(const bf::MainCommand& c) {
  if (c.run != nullptr) return [this, run = c.run] { RunDatabaseCommand(run); };
  const std::string name = c.name;
  if (name == "inmata" || name == "InmataVerifikation") return [this] { EnterVerification(); };
  if (name == "datacopy" || name == "tbBackup") return [this] { Backup(); };
  if (name == "aterstall") return [this] { Restore(); };
  if (name == "new" || name == "change") return [this, isNew = name == "new"] { BookkeepingForm(isNew); };
  if (name == "kontoreg") return [this] { AccountRegister(); };
  if (name == "visakontoplan" || name == "plan") return [this] { ShowAccountPlan(); };
  if (name == "visahuvudbok") return [this] { ShowLedger(); };
  if (name == "visagrundbok") return [this] { ShowJournal(); };
  // The printing commands by the key words of their reports.
  static const std::map<std::string, const char*> kPrinted = {
      {"huvudbok", "huvudbok"},          {"grundbok", "grundbok"},         {"kontoplan", "kontoplan"},
      {"saldorapport", "saldolista"},    {"resultatrapport", "resultat"},  {"balansrapport", "balans"},
      {"grafrapport", "summagrupper"},   {"grafutskrift", "grafiskt"}};
  if (const auto printed = kPrinted.find(name); printed != kPrinted.end())
    return [this, word = printed->second] { PrintReport(word); };
  if (name == "grafiskt") return [this] { ShowGroupChart(); };
  if (name == "exportplan" || name == "exportverif1") return [this, plan = name == "exportplan"] { ExportBfr(plan); };
  if (name == "importplanu" || name == "importplani")
    return [this, closing = name == "importplanu"] {
      ImportPlan(closing ? bfimport::Balance::kClosing : bfimport::Balance::kOpening);
    };
  if (name == "exportsie") return [this] { ExportSie(); };
  if (name == "importsie") return [this] { ImportSie(); };
  if (name == "avsluta") return [this] { close(); };
  return [] {};
}

QMenu* TMainForm::AddSlotMenu(QMenu* parent, const bf::MainCommand& c) {
  auto* menu = new QMenu(Text(c.caption), parent);
  menu->menuAction()->setObjectName(Text(c.name));
  auto* group = new QActionGroup(menu);
  group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  auto& items = std::string_view(c.name) == "select" ? selectItems_ : deleteItems_;
  for (int i = 1; i <= bf::kMaxBookkeepings; ++i) {
    QAction* action = menu->addAction(FromAnsi(bf::TwoDigits(i - 1)));
    action->setObjectName(Text(c.name) + QString::number(i));
    action->setCheckable(true);
    group->addAction(action);
    connect(action, &QAction::triggered, this,
            [this, run = c.runSlot, i] { RunDatabaseCommand([run, i](bf::BfDatabase& db) { run(db, i); }); });
    items[i - 1] = action;
  }
  return menu;
}

QAction* TMainForm::Item(const QString& name) const { return findChild<QAction*>(name); }

void TMainForm::MenuRefresh() {
  const bf::MenuState state = bf::RefreshMenuState(run_->db());
  for (int i = 0; i < bf::kMaxBookkeepings; ++i) {
    const bf::BookkeepingSlot& slot = state.bookkeepings[i];
    for (QAction* item : {selectItems_[i], deleteItems_[i]}) {
      item->setText(FromAnsi(slot.caption));
      item->setEnabled(slot.enabled);
      item->setChecked(slot.checked);
    }
  }
  for (QAction* command : commands_)
    command->setEnabled(state.Allows(bf::NeedOf(command->objectName().toStdString())));
  DataPanel()->setText(FromAnsi(state.dataPanel));
  xMyMsgUpdate();
}

void TMainForm::RunDatabaseCommand(const DatabaseCommand& command) {
  command(run_->db());
  MenuRefresh();  // any of them can change what is open, or empty the verifications
}

void TMainForm::EnterVerification() {
  bf::BfDatabase& db = run_->db();
  if (db.bookkeepingOpen() && bf::VerificationNumberLeft(db.shared())) {
    TbfverifikDlg dialog(db.shared(), db.dataDir(), Scale(), this);
    dialog.exec();
  }
  MenuRefresh();
}

void TMainForm::Backup() {
  bf::BfDatabase& db = run_->db();
  if (db.bookkeepingOpen()) {
    const QString target = ChooseBackupDir(FromAnsi(db.shared().dataBas.backupDir));
    if (target.isEmpty()) return;  // cancelled: the stored backup folder stays
    db.CopyBookkeeping(bf::CopyMode::kBackup, ToAnsi(target));
  } else {
    db.CopyBookkeeping(bf::CopyMode::kBackup);  // says that no bookkeeping is open
  }
  MenuRefresh();
}

void TMainForm::Restore() {
  bf::BfDatabase& db = run_->db();
  const QString folder = ChooseBackupDir(FromAnsi(db.shared().dataBas.backupDir));
  if (folder.isEmpty()) return;
  const std::string dir = ToAnsi(folder);
  const std::vector<int> there = bf::BookkeepingsIn(dir);
  int from = 0;
  if (there.size() > 1) {
    from = static_cast<int>(eerror::NumberEntry(A("Vilken bokföring i kopian (nummer)?"), there.front()));
  }
  const bool registers =
      !there.empty() && eerror::EMsg(eerror::kQuestion, A("Ersätta betalningsregistren med kopians?")) == eerror::kYes;
  db.RestoreBookkeeping(dir, from, registers);
  MenuRefresh();
}

void TMainForm::PrintReport(const char* word) {
  eregui::QtPickWindows picks(this);
  printui::PrintReport([this, word, &picks](printing::PrintJob& job) {
    return reports::RunReport(picks, job, run_->db().shared(), *reports::FindReport(word), ekonfig::CurRapport,
                              static_cast<esmall::WindowHandle>(winId()));
  });
  xMyMsgUpdate();
}

void TMainForm::BookkeepingForm(bool isNew) {
  bf::TInputIEdit edit(run_->db(), isNew);
  if (edit.Started()) {
    TInputIForm form(edit, this);
    form.exec();
  }
  MenuRefresh();
}

void TMainForm::AccountRegister() {
  TBfKontoRegForm reg(run_->db().shared(), this);
  reg.exec();
  MenuRefresh();
}

bool TMainForm::OpenRegister(RegisterEntry entry) {
  switch (entry) {
    case RegisterEntry::kPlusgiro: eregui::OpenGiroRegister(0, this); return true;
    case RegisterEntry::kPostgiro: eregui::OpenGiroRegister(1, this); return true;
    case RegisterEntry::kBankgiro: eregui::OpenGiroRegister(3, this); return true;
    case RegisterEntry::kEtikett: eregui::ShowEtikettRegister(this); return true;
  }
  return TNolkMainForm::OpenRegister(entry);
}

void TMainForm::ExportBfr(bool plan) {
  eixport::IxportFile file;
  bfimport::OpenWithDialog(static_cast<esmall::WindowHandle>(winId()), file, eixport::Mode::kCreate);
  if (plan) bfimport::ExportPlan(run_->db(), file);
  else bfimport::ExportVerifications(run_->db(), file);
  xMyMsgUpdate();
}

void TMainForm::ImportPlan(bfimport::Balance balance) {
  eixport::IxportFile file;
  bfimport::OpenWithDialog(static_cast<esmall::WindowHandle>(winId()), file, eixport::Mode::kOpen);
  bfimport::ImportPlan(run_->db(), file, balance);
  MenuRefresh();
}

void TMainForm::ExportSie() {
  eixport::IxportFile file(eixport::Content::kDocument);
  bfimport::OpenWithDialog(static_cast<esmall::WindowHandle>(winId()), file, eixport::Mode::kCreate, ";*.se;*.si",
                           "se");
  bfsie::ExportSie(run_->db(), file, true);  // every SIE 4 reader takes #KSUMMA, and it shows a damaged file
  xMyMsgUpdate();
}

void TMainForm::ImportSie() {
  eixport::IxportFile file(eixport::Content::kDocument);
  bfimport::OpenWithDialog(static_cast<esmall::WindowHandle>(winId()), file, eixport::Mode::kOpen, ";*.se;*.si",
                           "se");
  bfsie::ImportSie(run_->db(), file, true);
  MenuRefresh();
}

void TMainForm::ShowAccountPlan() {
  int32_t recNo = 0;
  bf::PickKonto(Picks(), run_->db().shared(), A("visar konton"), recNo);
  xMyMsgUpdate();
}

void TMainForm::ShowLedger() {
  bf::BfShared& s = run_->db().shared();
  gridui::GridRows table(this, Scale());
  reports::ShowLedger(s, [&](int32_t& recNo) { return bf::PickKonto(Picks(), s, A("Välj konto"), recNo); }, table,
                      static_cast<esmall::WindowHandle>(winId()));
  xMyMsgUpdate();
}

void TMainForm::ShowJournal() {
  bf::BfShared& s = run_->db().shared();
  gridui::GridRows table(this, Scale());
  const auto pick = [&](int32_t& recNo) {
    bf::TVerPick verifications(Picks(), s, A("Välj verifikation"), false);
    verifications.Run();
    recNo = verifications.OkExec() ? verifications.GetPickData(0) : -1;
    return recNo > 0;
  };
  reports::ShowJournal(s, pick, table, static_cast<esmall::WindowHandle>(winId()));
  xMyMsgUpdate();
}

QRect TMainForm::BesidePickList(const QRect& screen) const {
  constexpr int kClear = 200, kLeast = 420, kWidth = 760, kHeight = 720, kEdge = 40;
  const int width = std::clamp(screen.right() - (frameGeometry().center().x() + kClear), kLeast, kWidth);
  const int height = std::min(kHeight, screen.height() - kEdge);
  const int left = std::min(frameGeometry().center().x() + kClear, screen.right() - width);
  return {left, screen.top() + (screen.height() - height) / 2, width, height};
}

void TMainForm::ShowGroupChart() {
  eregui::QtPickWindows picks(this);
  reports::ShowGroups(picks, run_->db().shared(), [this](const reports::GroupChart& chart) {
    auto* window = new TGrafForm(chart, this);
    window->show();
    // Beside the pick list, which opens over the middle of the main window.
    if (const QScreen* screen = this->screen()) window->setGeometry(BesidePickList(screen->availableGeometry()));
  });
  xMyMsgUpdate();
}

QString TMainForm::ChooseBackupDir(const QString& start) {
  return shellui::Tedatadir::Choose(Text("Kopia till.."), start, this);
}

void TMainForm::ChooseDataDir() {
  run_->LeaveDataDir();
  xMyMsgUpdate();
  TNolkMainForm::ChooseDataDir();
  run_->EnterDataDir();
  MenuRefresh();
}

void TMainForm::ShowInfo() {
  TNolkMainForm::ShowInfo();
  eerror::StatusMsg = bf::RecordSizesText();
  xMyMsgUpdate();
}

}  // namespace bfui
