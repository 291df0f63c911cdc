#include "bookkeeping_ui/bfmainw32.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>

#include <functional>

#include "bookkeeping/BFMenuState.h"
#include "bookkeeping_ui/toolbuttonlist.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"
#include "shell/GloDefs.h"
#include "shell/ekonfig32_command.h"
#include "shell/ui/QtText.h"
#include "shell/ui/edirform.h"

namespace bfui {

using shellui::FromAnsi;
using shellui::ToAnsi;

namespace {

constexpr int kFontPixels = 16;
// What both a menu item and a toolbar button open, in later versions.
constexpr const char* kVerificationEntry = "verifikationsinmatningen";
constexpr const char* kAccountList = "kontolistan";

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

struct TMainForm::MenuItem {
  const char* name;  // nullptr: a separator
  const char* caption;
  std::function<void()> command;
  const char* hint = nullptr;
};

TMainForm::TMainForm(const std::vector<std::string>& args, QWidget* parent) : TNolkMainForm(parent) {
  glodefs::ProgName = "BFNOLKW64";
  setWindowTitle(Text("BFNOLKW64.2014 181009E Linux/Qt"));
  if (!ProgramInit(ekonfig::kBookkeepingProgNr)) return;
  run_ = std::make_unique<bf::BookkeepingRun>(args);
  BuildMenus();
  BuildToolBar();
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
  const auto later = [this](const char* what) { return [this, what] { ShowLater(what); }; };
  const auto database = [this](DatabaseCommand command) { return [this, command] { RunDatabaseCommand(command); }; };

  QMenu* arkiv = AddMenu("arkiv", "&arkiv",
                         {{"new", "ny", later("formuläret för en ny bokföring")},
                          {"change", "&ändra", later("formuläret för bokföringens uppgifter")},
                          {nullptr, nullptr, {}},
                          {"copy", "&kopiera", database([](bf::BfDatabase& db) { db.CopyBookkeeping(bf::CopyMode::kCopy); })},
                          {"nolla", "n&ollställ", database([](bf::BfDatabase& db) { db.ResetBookkeeping(); })},
                          {nullptr, nullptr, {}},
                          {"initdata", "i&nitiera databas", database([](bf::BfDatabase& db) { db.CreateBookkeepingList(); })},
                          {"datacopy", "&säkerhetskopia", [this] { Backup(); }},
                          {"indexbygg", "&indexåterbygg", database([](bf::BfDatabase& db) { db.RebuildBookkeeping(); })},
                          {nullptr, nullptr, {}},
                          {"avsluta", "avsluta", [this] { close(); }}});
  arkiv->menuAction()->setToolTip(Text("databiblioteket för programmets filer och inställningar"));
  QAction* first = arkiv->actions().first();
  arkiv->insertMenu(first, AddSlotMenu(arkiv, "select", "välj", selectItems_,
                                       [](bf::BfDatabase& db, int n) { db.SelectBookkeeping(n); }));
  QAction* beforeDelete = arkiv->actions().at(arkiv->actions().indexOf(Item("nolla")) + 1);
  arkiv->insertMenu(beforeDelete, AddSlotMenu(arkiv, "delete", "&radera", deleteItems_,
                                              [](bf::BfDatabase& db, int n) { db.DeleteBookkeeping(n); }));

  AddMenu("verifikat1", "&verifikat",
          {{"inmata", "ny verifikation", later(kVerificationEntry)},
           {"exportverif1", "exportverif", later("exporten av verifikationer")},
           {nullptr, nullptr, {}},
           {"visahuvudbok", "visa huvudbok", later("huvudboken i tabellfönstret")},
           {"visagrundbok", "visa grundbok", later("grundboken i tabellfönstret")},
           {nullptr, nullptr, {}},
           {"huvudbok", "huvudbok", later("utskriften av huvudboken")},
           {"grundbok", "grundbok", later("utskriften av grundboken")}});
  AddMenu("sumgrupper1", "&sumgrupper",
          {{"grafiskt", "visa grafiskt", later("sumgrupperna som graf")},
           {"grafutskrift", "grafiskt", later("utskriften av sumgruppernas graf")},
           {"grafrapport", "rapport", later("sumgruppsrapporten")}});
  AddMenu("konton1", "&konton",
          {{"kontoreg", "register", later("kontoregistret")},
           {nullptr, nullptr, {}},
           {"exportplan", "exportplan", later("exporten av kontoplanen")},
           {"importplanu", "importplan ubalans", later("importen av kontoplaner"),
            "importera kontoplan använd importfilens utgående balans som ny inbalans"},
           {"importplani", "importplan ibalans", later("importen av kontoplaner"),
            "importera kontoplan använd importfilens ingående balans som ny inbalans"},
           {nullptr, nullptr, {}},
           {"visakontoplan", "visa kontoplan", later(kAccountList)},
           {"kontoplan", "kontoplan", later("kontoplansrapporten")},
           {"resultatrapport", "resultatrapport", later("resultatrapporten")},
           {"saldorapport", "saldorapport", later("saldorapporten")},
           {"balansrapport", "balansrapport", later("balansrapporten")}});

  for (const char* shellItem : {"postgiroMenu", "plusgiroMenu", "bankgiroMenu", "etikettMenu"})
    if (QAction* action = Item(Text(shellItem))) commands_.push_back(action);
}

QMenu* TMainForm::AddMenu(const char* name, const char* caption, const std::vector<MenuItem>& items) {
  auto* menu = new QMenu(Text(caption), this);
  menu->setObjectName(Text(name));
  menu->setToolTipsVisible(true);
  for (const MenuItem& item : items) {
    if (item.name == nullptr) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(Text(item.caption));
    action->setObjectName(Text(item.name));
    if (item.hint != nullptr) action->setToolTip(Text(item.hint));
    connect(action, &QAction::triggered, this, item.command);
    commands_.push_back(action);
  }
  // The shell's register menu stays last.
  const QList<QAction*> bar = menuBar()->actions();
  menuBar()->insertMenu(bar.isEmpty() ? nullptr : bar.last(), menu);
  return menu;
}

QMenu* TMainForm::AddSlotMenu(QMenu* parent, const char* name, const char* caption,
                              std::array<QAction*, bf::kMaxBookkeepings>& items, SlotCommand command) {
  auto* menu = new QMenu(Text(caption), parent);
  menu->menuAction()->setObjectName(Text(name));
  auto* group = new QActionGroup(menu);
  group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (int i = 1; i <= bf::kMaxBookkeepings; ++i) {
    QAction* action = menu->addAction(FromAnsi(bf::TwoDigits(i - 1)));
    action->setObjectName(Text(name) + QString::number(i));
    action->setCheckable(true);
    group->addAction(action);
    connect(action, &QAction::triggered, this,
            [this, command, i] { RunDatabaseCommand([command, i](bf::BfDatabase& db) { command(db, i); }); });
    items[i - 1] = action;
  }
  return menu;
}

void TMainForm::BuildToolBar() {
  QToolBar* toolBar = addToolBar(Text("ToolBar1"));
  toolBar->setObjectName(Text("ToolBar1"));
  toolBar->setMovable(false);
  toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  struct Button {
    const char* name;
    const char* caption;
    ToolImage image;
    const char* hint;
    std::function<void()> command;
  };
  const Button buttons[] = {
      {"InmataVerifikation", "ver", ToolImage::kVerification, "mata in ny verifikation",
       [this] { ShowLater(kVerificationEntry); }},
      {"plan", "plan", ToolImage::kAccountPlan, "visa kontoplan", [this] { ShowLater(kAccountList); }},
      {"tbBackup", "kopi", ToolImage::kBackup, "kopiera vald bokföring till vald mapp/floppy",
       [this] { Backup(); }},
  };
  for (const Button& button : buttons) {
    QAction* action = toolBar->addAction(ToolButtonImage(button.image), Text(button.caption));
    action->setObjectName(Text(button.name));
    action->setToolTip(Text(button.hint));
    connect(action, &QAction::triggered, this, button.command);
    commands_.push_back(action);
  }
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

void TMainForm::ShowLater(const char* what) {
  eerror::StatusMsg = A(what) + A(" kommer i en senare version");
  xMyMsgUpdate();
}

void TMainForm::RunDatabaseCommand(const DatabaseCommand& command) {
  command(run_->db());
  MenuRefresh();  // any of them can change what is open, or empty the verifications
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
