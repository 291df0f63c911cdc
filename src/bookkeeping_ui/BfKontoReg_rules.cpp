#include "bookkeeping_ui/BfKontoReg_rules.h"

#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFMisc_entry.h"
#include "bookkeeping_ui/bfpick32.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"
#include "storage/Filer.h"

namespace bf {

int TBfKontoReg::LineOf(const std::string& number) {
  KontoRecord account;
  int32_t recNo = 0;
  if (FindAccount(s_, number, account, recNo) != Lookup::kFound) return -1;
  for (int i = 0; i < Count(); ++i)
    if (Lines()[static_cast<size_t>(i)].rec.recNo == recNo) return i;
  return -1;
}

void TBfKontoReg::FormRegStr(std::string& line) { line = AccountLine(s_.konto); }

void TBfKontoReg::FixtSelect(ereg::FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) {
  BfAccess(s_, kKontoFile, AccessOf(op), key, recNo, found, atEnd);
}

bool TBfKontoReg::CheckBeforeAdding() {
  s_.konto = KontoRecord{};
  return isam::UsedRecs(s_.kontoFile) >= kMaxAccounts;
}

void TBfKontoReg::DoTheDialog(bool isNew, int index, int32_t recNo) {
  unchanged_ = s_.konto;
  DialogFrame(isNew, index, recNo, [&] {
    if (!isNew) TakeOpeningOut(s_);
    TkontoEdit edit(s_, isNew);
    return dialogs_.RunKontoDialog(edit);
  });
}

bool TBfKontoReg::AddRecSelect(bool isNew, int32_t& recNo, bool) {
  if (PutAccountBack(s_, isNew, recNo)) return true;
  if (!isam::IsamSuccess) eerror::ReportIsamError();
  else eerror::EMsg(eerror::kStatusLine, A("kontots utgående saldo ryms inte, kontot sparades inte"));
  if (!isNew) {
    s_.konto = unchanged_;
    PutAccountBack(s_, false, recNo);
  }
  return false;
}

bool TBfKontoReg::PutRecSelect() { return RewriteKonto(s_, s_.kontoRecNo); }

bool TBfKontoReg::DelRecSelect(ereg::FixtOp op, const std::string& key, int32_t recNo, bool deleteRecord) {
  return DeleteKonto(s_, AccessOf(op), key, recNo, deleteRecord);
}

}  // namespace bf
