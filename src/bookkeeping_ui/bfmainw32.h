// TMainForm: the bookkeeping main window on the shell window. It starts the bookkeeping
// layer with the window and stops it with it, carries the bookkeeping menus and the
// toolbar, and keeps them in step with what is open. Every command calls one operation of
// the database; what the menus offer is computed by RefreshMenuState, never here.
//
// Invariant: after every command that can change what is open, the select and delete
// items, the enabled commands and the data panel show the database as it now is.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFMenuState.h"
#include "bookkeeping/BFRun.h"
#include "exchange/BFImport.h"
#include "registers/ui/epickForm32.h"
#include "shell/ui/emainform.h"

class QAction;
class QMenu;

namespace bfui {

class TMainForm : public shellui::TNolkMainForm {
 public:
  // args: the program's arguments; "/NET" in any of them, in any letter case, starts the
  // storage engine in network mode.
  explicit TMainForm(const std::vector<std::string>& args, QWidget* parent = nullptr);
  ~TMainForm() override;

  // False when the shell's start failed for want of memory; the program then ends.
  bool Started() const { return run_ != nullptr; }

  void MenuRefresh();

  // A menu item or toolbar button by its name ("select3", "indexbygg", "tbBackup").
  QAction* Item(const QString& name) const;
  bf::BfDatabase& Database() { return run_->db(); }

  void ChooseDataDir() override;
  void ShowInfo() override;
  void GiroRegister(int kind) override;

 protected:
  // The folder a backup goes to or is restored from, starting in start; empty when cancelled.
  virtual QString ChooseBackupDir(const QString& start);
  // Where the pick lists of the commands show their windows.
  virtual ereg::PickWindows& Picks() { return picks_; }

 private:
  using DatabaseCommand = std::function<void(bf::BfDatabase&)>;

  // The menus and the toolbar, from the declared commands.
  void BuildMenus();
  void AddCommand(QAction* action, const bf::MainCommand& c);
  std::function<void()> Handler(const bf::MainCommand& c);
  QMenu* AddSlotMenu(QMenu* parent, const bf::MainCommand& c);

  void RunDatabaseCommand(const DatabaseCommand& command);
  // "ny verifikation" and the toolbar's "ver": the entry dialog, unless the numbers are used
  // up (the status line says so); the menus follow what it saved.
  void EnterVerification();
  void Backup();
  void Restore();
  // The printed report of that key word on the report setting's printer, the choice taken
  // in the pick lists; the status line says where a "PDF-fil" job went.
  void PrintReport(const char* word);
  // "visa grafiskt": the chart window beside the group pick list.
  void ShowGroupChart();
  // Where the chart window goes on screen: right of the pick list, which opens over the
  // middle of the main window, as wide as there is room for.
  QRect BesidePickList(const QRect& screen) const;
  // The info form of a new bookkeeping or of the open one.
  void BookkeepingForm(bool isNew);
  void AccountRegister();
  // The account list "visar konton", for information.
  // The .bfr exchange: the account plan or the verifications written, an account plan read
  // with the file's opening or closing balances as the new opening balances.
  void ExportBfr(bool plan);
  void ImportPlan(bfimport::Balance balance);
  // SIE 4: the open bookkeeping written; a file read into a new bookkeeping of its own.
  void ExportSie();
  void ImportSie();
  void ShowAccountPlan();
  // The ledger of an account and the journal of a verification in a new table window.
  void ShowLedger();
  void ShowJournal();

  std::unique_ptr<bf::BookkeepingRun> run_;
  eregui::QtPickWindows picks_{this};
  std::vector<QAction*> commands_;  // every item the enabling rule covers
  std::array<QAction*, bf::kMaxBookkeepings> selectItems_{};
  std::array<QAction*, bf::kMaxBookkeepings> deleteItems_{};
};

}  // namespace bfui
