#include "bookkeeping_ui/BfInfoForm_rules.h"

#include "bookkeeping/BFdefs_input.h"
#include "bookkeeping_ui/bfpick32.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"

namespace bf {

bool TakeBookkeepingInfo(const InfoTexts& typed, BfDataBasRecord& record, InfoField& field, std::string& message) {
  const auto refuse = [&](InfoField f, std::string text) {
    field = f;
    message = std::move(text);
    return false;
  };
  std::string name;
  if (!TakeText(kBookkeepingNameField, typed.name, name, message)) return refuse(InfoField::kName, message);
  if (name.find_first_not_of(' ') == std::string::npos) return refuse(InfoField::kName, A("ange ett namn på bokföringen"));
  for (const auto& [f, date] : {std::pair{InfoField::kFromDate, &typed.fromDate}, {InfoField::kToDate, &typed.toDate}})
    if (!IsDate(*date)) return refuse(f, ansi::FromUtf8(*date) + A(" är inget datum (åååå-mm-dd)"));
  if (typed.toDate < typed.fromDate) return refuse(InfoField::kToDate, A("perioden slutar före sin början"));
  record.name = name;
  record.fromDate = typed.fromDate;
  record.toDate = typed.toDate;
  return true;
}

std::string RejectedText(InfoField field) {
  return field == InfoField::kName ? FullFieldText(kBookkeepingNameField) : A("datum skrivs med siffror: åååå-mm-dd");
}

TInputIEdit::TInputIEdit(BfDatabase& db, bool isNew)
    : db_(db), isNew_(isNew), started_(!isNew || db.BeginNewBookkeeping()), record_(db.shared().dataBas) {}

InfoTexts TInputIEdit::Shown() const {
  return {ansi::ToUtf8(record_.name), ansi::ToUtf8(record_.fromDate), ansi::ToUtf8(record_.toDate)};
}

void TInputIEdit::ChooseGroup(ereg::PickWindows& windows, int g) { PickGroupAccounts(windows, db_.shared(), record_, g); }

bool TInputIEdit::Ok(const InfoTexts& typed, InfoField& field, std::string& message) {
  if (!TakeBookkeepingInfo(typed, record_, field, message)) return false;
  BfShared& s = db_.shared();
  const BfDataBasRecord before = s.dataBas;
  s.dataBas.name = record_.name;
  s.dataBas.fromDate = record_.fromDate;
  s.dataBas.toDate = record_.toDate;
  s.dataBas.sumGroups = record_.sumGroups;
  if (isNew_ ? db_.FinishNewBookkeeping() : db_.FinishChangeBookkeeping()) return true;
  s.dataBas = before;
  field = InfoField::kName;
  message = eerror::StatusMsg;
  return false;
}

void TInputIEdit::Cancel() { db_.CancelBookkeepingForm(); }

}  // namespace bf
