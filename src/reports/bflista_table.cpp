#include "reports/bflista_table.h"

#include <initializer_list>
#include <utility>

#include "bookkeeping/BFMisc_amount.h"
#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"
#include "shell/GloDefs.h"
#include "storage/Filer.h"

namespace reports {

namespace {

constexpr int kAmountWidth = 10;

bool IsCredit(char side) { return side == '-' || side == 'K' || side == 'k'; }
bool IsDebit(char side) { return side == '+' || side == 'D' || side == 'd'; }

std::string Amount(double value) { return bf::AmountText(value, kAmountWidth); }

// The pieces joined, the text cut after each piece to the length given with it.
std::string CutSteps(std::initializer_list<std::pair<std::string, size_t>> steps) {
  std::string text;
  for (const auto& [piece, cut] : steps) text = esmall::Cut(text + piece, cut);
  return text;
}

bool EnoughData(bf::BfShared& s, bool needAccounts) {
  if ((needAccounts && isam::UsedRecs(s.kontoFile) < 1) || isam::UsedRecs(s.verFile) < 1) {
    eerror::EMsg(eerror::kStatusLine, A("Ej tillräckliga data!"));
    return false;
  }
  return true;
}

// The chosen account at recNo into the account buffer.
bool ReadChosenAccount(bf::BfShared& s, int32_t recNo) {
  bool found = false, atEnd = false;
  bf::BfAccess(s, bf::kKontoFile, bf::kAtRecord, "", recNo, found, atEnd);
  if (!found && bf::AccessFailed()) eerror::ReportIsamError();
  return found;
}

}  // namespace

std::string LedgerCaption(const bf::BfDataBasRecord& list, const bf::KontoRecord& account) {
  return CutSteps({{glodefs::ProgName + ": ", 12},
                   {"huvudbok: ", 22},
                   {list.name, 48},
                   {": ", 50},
                   {account.number, 54},
                   {" ", 55},
                   {account.name, 63}});
}

std::string JournalCaption(const bf::BfDataBasRecord& list, const bf::VerRecord& verification) {
  return CutSteps({{glodefs::ProgName + ": ", 12},
                   {"grundbok: ", 22},
                   {list.name, 48},
                   {": verifikation ", 63},
                   {esmall::BlankPadded(verification.number, 3), 95},
                   {" ", 96},
                   {verification.date, 106},
                   {" ", 107},
                   {verification.name, 132}});
}

bool ShowLedger(bf::BfShared& s, const RecordChooser& chooseAccount, egridform::TableRows& table,
                esmall::WindowHandle owner) {
  if (!EnoughData(s, true)) return false;
  int32_t accountRecNo = -1;
  if (!chooseAccount(accountRecNo) || accountRecNo < 1 || !ReadChosenAccount(s, accountRecNo)) return false;
  const bf::KontoRecord account = s.konto;
  if (!table.Open(owner, LedgerCaption(s.dataBas, account))) return false;
  for (const char* head : {"ver", "datum", "text", "debet"}) table.Cell(head);
  table.RowEnd("kredit");

  bool read = true;
  bf::VerRecord v;
  for (int32_t recNo = isam::FileLen(s.verFile) - 1; recNo >= 1; --recNo) {
    const bf::Lookup lookup = bf::ReadVerification(s, recNo, v);
    if (lookup == bf::Lookup::kAbsent) continue;
    if (lookup == bf::Lookup::kFailed) {
      read = false;
      break;
    }
    for (int i = 1; i <= v.RowCount(); ++i) {
      const auto row = static_cast<size_t>(i);
      if (bf::KontoKey(v.accounts[row]) != account.number) continue;
      table.Cell(esmall::BlankPadded(v.number, 3));
      table.Cell(v.date);
      table.Cell(v.name);
      if (IsCredit(v.sides[row])) table.Cell("");
      table.RowEnd(Amount(v.amounts[row].Value()));
    }
  }
  table.RowEnd();
  const auto foot = [&table](const char* label, std::initializer_list<double> amounts) {
    table.Cell("");
    table.Cell("");
    table.Cell(A(label));
    for (size_t i = 0; i + 1 < amounts.size(); ++i) table.Cell(Amount(amounts.begin()[i]));
    table.RowEnd(Amount(*(amounts.end() - 1)));
  };
  foot("Ingående balans:", {account.opening.Value()});
  foot("Omslutning:", {account.debit.Value(), account.credit.Value()});
  foot("Utgående balans:", {account.closing.Value()});
  foot("Budget:", {account.budget.Value()});
  table.Show();
  return read;
}

bool ShowJournal(bf::BfShared& s, const RecordChooser& chooseVerification, egridform::TableRows& table,
                 esmall::WindowHandle owner) {
  if (!EnoughData(s, false)) return false;
  int32_t recNo = -1;
  if (!chooseVerification(recNo) || recNo < 1) return false;
  bf::VerRecord v;
  if (bf::ReadVerification(s, recNo, v) != bf::Lookup::kFound) return false;
  s.ver = v;
  s.verRecNo = recNo;
  if (!table.Open(owner, JournalCaption(s.dataBas, v))) return false;
  for (const char* head : {"rad", "konto", "text", "debet"}) table.Cell(head);
  table.RowEnd("kredit");

  bool read = true;
  double debit = 0, credit = 0;
  for (int i = 1; i <= v.RowCount() && read; ++i) {
    const auto row = static_cast<size_t>(i);
    const double amount = v.amounts[row].Value();
    table.Cell(esmall::BlankPadded(i, 3));
    table.Cell(esmall::BlankPadded(v.accounts[row], 4));
    bf::KontoRecord account;
    int32_t accountRecNo = 0;
    const bf::Lookup lookup = bf::FindAccount(s, bf::KontoKey(v.accounts[row]), account, accountRecNo);
    read = lookup != bf::Lookup::kFailed;
    table.Cell(lookup == bf::Lookup::kFound ? account.name : "");
    if (IsCredit(v.sides[row])) {
      table.Cell("");
      credit += amount;
    } else if (IsDebit(v.sides[row])) {
      debit += amount;
    }
    table.RowEnd(Amount(amount));
  }
  for (int i = 0; i < 3; ++i) table.Cell("");
  table.Cell(Amount(debit));
  table.RowEnd(Amount(credit));
  table.Show();
  return read;
}

}  // namespace reports
