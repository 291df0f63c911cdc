#include "bookkeeping_ui/bfpick32.h"

#include "bookkeeping/BFdefs_groups.h"
#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"

namespace bf {

namespace {

constexpr int kAmountWidth = 11;
constexpr size_t kGroupShown = 16;
constexpr size_t kGroupDefinitionLimit = 65;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

BfOperation AccessOf(ereg::FixtOp op) {
  switch (op) {
    case ereg::kFixtFind: return kFindKey;
    case ereg::kFixtNext: return kNext;
    case ereg::kFixtFirst: return kRewind;
    case ereg::kFixtAtRecord: return kAtRecord;
  }
  return kAtRecord;
}

std::string AccountLine(const KontoRecord& account) {
  return account.number + " " + Quoted(esmall::Pad(account.name, static_cast<int>(KontoRecord::kNameCapacity), '.')) +
         " " + esmall::Amount(account.closing.Value(), kAmountWidth);
}

TKontoPick::TKontoPick(ereg::PickWindows& owner, BfShared& s, std::string caption, bool multi, int group,
                       const BfDataBasRecord* groups)
    : TEPick(owner, std::move(caption), 0, multi, true), s_(s), group_(groups != nullptr ? group : 0),
      groups_(groups) {}

void TKontoPick::FormPickStr(std::string& line, int32_t& recNo) {
  line = AccountLine(s_.konto);
  if (group_ != 0 && GroupOfAccount(*groups_, s_.konto.number) == group_) recNo = -recNo;
}

void TKontoPick::FixtSelect(ereg::FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) {
  BfAccess(s_, kKontoFile, AccessOf(op), key, recNo, found, atEnd);
}

TGruppPick::TGruppPick(ereg::PickWindows& owner, BfShared& s, std::string caption, bool multi)
    : TEPick(owner, std::move(caption), 0, multi, false), s_(s) {}

void TGruppPick::InitTheListData() {
  for (int g = 0; g < kGroupCount; ++g) {
    const auto i = static_cast<size_t>(g);
    const std::string shown = esmall::ShowableText(esmall::Cut(s_.dataBas.sumGroups[i], kGroupShown));
    AddEntry(esmall::Pad(shown, static_cast<int>(kGroupShown), '.') + " " +
                 esmall::Amount(s_.dataBas.groupOpeningTotals[i], kAmountWidth) + " " +
                 esmall::Amount(s_.dataBas.groupTotals[i], kAmountWidth),
             g);
  }
}

void TGruppPick::FormPickStr(std::string& line, int32_t&) { line = "override no"; }

void TGruppPick::FixtSelect(ereg::FixtOp, const std::string&, int32_t&, bool& found, bool& atEnd) {
  found = true;
  atEnd = false;
}

TVerPick::TVerPick(ereg::PickWindows& owner, BfShared& s, std::string caption, bool multi)
    : TEPick(owner, std::move(caption), 0, multi, false), s_(s) {}

void TVerPick::FormPickStr(std::string& line, int32_t&) {
  line = esmall::ZeroPadded(s_.ver.number, 4) + " " + Quoted(s_.ver.name) + " ";
}

void TVerPick::FixtSelect(ereg::FixtOp op, const std::string& key, int32_t& recNo, bool& found, bool& atEnd) {
  BfAccess(s_, kVerFile, AccessOf(op), key, recNo, found, atEnd);
}

bool PickKonto(ereg::PickWindows& owner, BfShared& s, const std::string& caption, int32_t& recNo) {
  TKontoPick pick(owner, s, caption, false);
  pick.Run();
  recNo = pick.OkExec() ? pick.GetPickData(0) : -1;
  return pick.OkExec();
}

std::string GroupDefinition(const std::vector<std::string>& numbers, int& dropped) {
  std::string definition;
  dropped = 0;
  for (const std::string& number : numbers) {
    if (definition.size() + 5 >= kGroupDefinitionLimit) {
      ++dropped;
      continue;
    }
    if (!definition.empty()) definition += ",";
    definition += number;
  }
  return definition;
}

bool PickGroupAccounts(ereg::PickWindows& owner, BfShared& s, BfDataBasRecord& record, int g) {
  if (g < 1 || g >= kGroupCount) return false;
  TKontoPick pick(owner, s, A("välj konto(n)"), true, g, &record);
  pick.Run();
  if (!pick.Picked()) return false;
  std::vector<std::string> numbers;
  for (int i = 0; i < pick.Antal(); ++i)
    if (pick.GetPickData(i) > 0) numbers.push_back(s.konto.number);
  int dropped = 0;
  record.sumGroups[static_cast<size_t>(g)] = GroupDefinition(numbers, dropped);
  // The definition holds what fits; the user learns what did not.
  if (dropped > 0)
    eerror::EMsg(eerror::kStatusLine, A("summagruppen rymmer högst ") + std::to_string(kMaxGroupAccounts) +
                                          " konton, " + std::to_string(dropped) + " togs inte med");
  return true;
}

}  // namespace bf
