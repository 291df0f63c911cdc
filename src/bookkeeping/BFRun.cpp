#include "bookkeeping/BFRun.h"

#include "bookkeeping/BFMisc_entry.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "shell/ekonfig32_command.h"
#include "storage/Filer.h"

namespace bf {

BookkeepingRun::BookkeepingRun(const std::vector<std::string>& args, Access access) : access_(access) {
  // The window program and bfnolk remember the same data directory and bookkeeping: the
  // entries of the bookkeeping program's number.
  ekonfig::Konfig.SetDataDir(ekonfig::Konfig.ProgDataDir(ekonfig::kBookkeepingProgNr));
  ekonfig::Konfig.SetCurBase(ekonfig::Konfig.ProgBase(ekonfig::kBookkeepingProgNr));
  engine_ = isam::StartIsam(args, [](const std::string& text) { eerror::EMsg(eerror::kCommonWarning, text); });
  if (!engine_) eerror::ReportIsamError();
  EnterDataDir();
}

BookkeepingRun::~BookkeepingRun() {
  db_.reset();  // the bookkeeping, then the list
  if (engine_) isam::ExitIsam();
  ekonfig::Konfig.SetProgDataDir(ekonfig::kBookkeepingProgNr, ekonfig::Konfig.DataDir());
  ekonfig::Konfig.SetProgBase(ekonfig::kBookkeepingProgNr, ekonfig::Konfig.CurBase());
}

void BookkeepingRun::LeaveDataDir() {
  db_->CloseBookkeeping();
  db_->CloseBookkeepingList();
}

void BookkeepingRun::EnterDataDir() {
  db_.reset();
  db_ = std::make_unique<BfDatabase>(ekonfig::Konfig.DataDir(), access_);
  BfShared& s = db_->shared();
  s.dataBas = FreshDataBasRecord();
  s.konto = KontoRecord{};
  PrepareFreshVerification(s);
  s.sums = SumsRecord{};
  s.sums.month = etider::Format(12);
  if (engine_) {
    db_->OpenBookkeepingList();
    db_->SelectRemembered();
  }
}

}  // namespace bf
