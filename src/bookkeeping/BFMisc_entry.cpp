#include "bookkeeping/BFMisc_entry.h"

#include <cfenv>
#include <cmath>
#include <cstdint>

#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFMisc_amount.h"
#include "bookkeeping/BFMisc_rowlog.h"
#include "common/Ansi.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"

namespace bf {

namespace {

// What a posting may change in memory, so a refused operation can leave it as it was.
struct PostingState {
  explicit PostingState(const BfShared& s) : konto(s.konto), ver(s.ver), dataBas(s.dataBas), pending(s.pendingSums) {}
  void Restore(BfShared& s) const {
    s.konto = konto;
    s.ver = ver;
    s.dataBas = dataBas;
    s.pendingSums = pending;
  }
  KontoRecord konto;
  VerRecord ver;
  BfDataBasRecord dataBas;
  SumsRecord pending;
};

// The account with key into the account buffer, where posting takes it.
bool LoadAccount(BfShared& s, const std::string& key, int32_t& recNo) {
  KontoRecord account;
  if (FindAccount(s, key, account, recNo) != Lookup::kFound) return false;
  s.konto = account;
  return true;
}

double RoundedToWhole(double v) {
  const int mode = std::fegetround();
  std::fesetround(FE_TONEAREST);  // ties to even
  const double r = std::nearbyint(v);
  std::fesetround(mode);
  return r;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// An account that goes takes what it holds out of the totals: its opening balance, and its
// postings as an opposite posting, as every reversal is one in the month sums. The totals
// then are those a rebuild computes from the accounts that remain.
void TakeOutOfTotals(BfShared& s) {
  TakeOpeningOut(s);
  const KontoRecord& k = s.konto;
  if (auto net = Real6::FromDouble(std::fabs(k.credit.Value()) - std::fabs(k.debit.Value()))) PostTotal(s, *net, kPostRow);
}

}  // namespace

bool HasPostings(BfShared& s, const KontoRecord& k) {
  if (k.debit.Value() != 0 || k.credit.Value() != 0) return true;
  const std::optional<int> account = RowAccount(k.number);
  if (!account) return false;
  bool rows = false;
  const bool read = ForEachVerification(s, [&](const VerRecord& v, int32_t) {
    for (int r = 1; r <= v.RowCount() && !rows; ++r) rows = v.accounts[static_cast<size_t>(r)] == *account;
    return !rows;
  });
  return rows || !read;
}

void PrepareFreshVerification(BfShared& s) {
  s.ver = FreshVerRecord(static_cast<int16_t>(s.dataBas.lastVerNr + 1), etider::Format(18), s.konto.sign);
}

bool VerificationNumberLeft(const BfShared& s) {
  // The number is stored in 16 bits: one more would wrap onto numbers already in use.
  if (s.dataBas.lastVerNr < INT16_MAX) return true;
  eerror::EMsg(eerror::kStatusLine, A("verifikationsnumren är slut (högst ") + std::to_string(INT16_MAX) + ")");
  return false;
}

bool IsBalanced(const VerRecord& v) {
  const std::string shown = AmountText(v.Balance().Value(), 0);
  return shown == "0.00" || shown == "-0.00";
}

RowResult AddVerificationRow(BfShared& s, int account, char side, double amount) {
  const int row = s.ver.RowCount() + 1;
  if (row > kMaxRows) return RowResult::kFull;
  const auto value = Real6::FromDouble(RoundedToCents(amount));
  if (!value) return RowResult::kNotPosted;
  const PostingState before(s);
  int32_t recNo = 0;
  if (!LoadAccount(s, KontoKey(account), recNo)) {
    before.Restore(s);
    return RowResult::kNoAccount;
  }
  const KontoRecord loaded = s.konto;
  const auto r = static_cast<size_t>(row);
  s.ver.accounts[r] = static_cast<int16_t>(account);
  s.ver.amounts[r] = *value;
  s.ver.sides[r] = side;
  s.ver.accounts[0] = static_cast<int16_t>(row);
  if (!KeepAccountBeforeRow(s, recNo) || !PostRow(s, side, 1, row)) {
    before.Restore(s);
    return RowResult::kNotPosted;
  }
  if (!RewriteKonto(s, recNo)) {
    // The rewrite may have reached the file: the account goes back to what it held.
    const isam::ErrorKeeper keep;
    s.konto = loaded;
    RewriteKonto(s, recNo);
    before.Restore(s);
    return RowResult::kNotPosted;
  }
  return RowResult::kPosted;
}

SaveResult SaveVerification(BfShared& s, const std::string& name, const std::string& date) {
  if (s.ver.RowCount() < 1) return SaveResult::kNoRows;
  if (!IsBalanced(s.ver)) {
    eerror::EMsg(eerror::kStatusLine, "verifikationen ej balanserad");
    eerror::Beep();
    return SaveResult::kUnbalanced;
  }
  if (!VerificationNumberLeft(s)) return SaveResult::kFailed;
  const VerRecord before = s.ver;
  ++s.dataBas.lastVerNr;
  // The number it is saved under is the list's, also when the buffer was prepared before
  // another verification took the number it showed.
  s.ver.number = static_cast<int16_t>(s.dataBas.lastVerNr);
  s.ver.name = name;
  s.ver.date = date;
  int32_t recNo = 0;
  if (!KeepListBeforeSave(s, s.ver.number) || !PutVer(s, true, recNo)) {
    --s.dataBas.lastVerNr;
    s.ver = before;
    return SaveResult::kFailed;
  }
  // The number and the totals go to the list at once: a process that ends after this point
  // leaves no saved verification that the list does not count. Should this write fail, the
  // verification stays saved and the next open reconciles the list with the files.
  int32_t listRecNo = s.current;
  if (s.current != 0 && !PutDataBas(s, false, listRecNo)) eerror::ReportIsamError();
  EndVerificationLog(s);
  return SaveResult::kSaved;
}

bool CancelVerification(BfShared& s) {
  // From the last row back, so a failure leaves rows 1..r still posted and in the buffer.
  for (int r = s.ver.RowCount(); r >= 1; --r) {
    const auto i = static_cast<size_t>(r);
    int32_t recNo = 0;
    if (LoadAccount(s, KontoKey(s.ver.accounts[i]), recNo)) {
      const PostingState before(s);
      s.ver.amounts[i] = *Real6::FromDouble(-s.ver.amounts[i].Value());
      if (!PostRow(s, s.ver.sides[i], 1, r) || !RewriteKonto(s, recNo)) {
        before.Restore(s);
        return false;
      }
    }
    s.ver.accounts[0] = static_cast<int16_t>(r - 1);
  }
  EndVerificationLog(s);
  PrepareFreshVerification(s);
  return true;
}

bool PutAccountBack(BfShared& s, bool isNew, int32_t& recNo) {
  KontoRecord account = s.konto;
  if (isNew) account.debit = account.credit = Real6{};
  if (!UpdateClosing(account)) return false;
  const KontoRecord before = s.konto;
  s.konto = account;
  if (!PutKonto(s, isNew, recNo)) {
    s.konto = before;
    return false;
  }
  PutOpeningBack(s);
  return true;
}

bool SaveAccount(BfShared& s, bool isNew, int32_t& recNo, const KontoRecord& edited) {
  const PostingState before(s);
  const std::string number = edited.number.substr(0, KontoRecord::kNumberCapacity);
  int32_t existing = 0;
  const bool taken = !number.empty() && LoadAccount(s, number, existing) && (isNew || existing != recNo);
  before.Restore(s);
  if (taken) {
    eerror::EMsg(eerror::kStatusLine, DuplicateAccountText(number));
    eerror::Beep();
    return false;
  }

  KontoRecord kept;  // debit and credit of a changed account
  if (!isNew) {
    bool found = false, atEnd = false;
    int32_t at = recNo;
    BfAccess(s, kKontoFile, kAtRecord, "", at, found, atEnd);
    if (!found) {
      before.Restore(s);
      return false;
    }
    kept = s.konto;
    // The rows of the verifications name the account by its number, and they stay.
    if (number != kept.number && HasPostings(s, kept)) {
      before.Restore(s);
      eerror::EMsg(eerror::kStatusLine, PostedAccountText(kept.number));
      eerror::Beep();
      return false;
    }
    TakeOpeningOut(s);
    if (!DeleteKonto(s, kAtRecord, "", recNo, false)) {
      before.Restore(s);
      return false;
    }
  }
  s.konto = edited;
  s.konto.debit = kept.debit;
  s.konto.credit = kept.credit;
  if (!PutAccountBack(s, isNew, recNo)) {
    if (!isNew) {  // the old record and key come back
      s.konto = kept;
      int32_t at = recNo;
      PutKonto(s, false, at);
    }
    before.Restore(s);
    return false;
  }
  return true;
}

std::string DuplicateAccountText(const std::string& number) {
  return A("Kontobeteckningen finns redan registrerad. ") + Quoted(number) + A(" Måste vara unik.");
}

std::string PostedAccountText(const std::string& number) {
  return "Konto " + Quoted(number) + A(" har bokförda rader, numret kan inte ändras!");
}

bool DeleteKonto(BfShared& s, BfOperation operation, const std::string& key, int32_t recNo, bool deleteRecord) {
  if (operation == kFindKey && !LoadAccount(s, key, recNo)) recNo = 0;
  if (recNo <= 0 || recNo >= isam::FileLen(s.kontoFile)) return false;
  bool found = false, atEnd = false;
  int32_t at = recNo;
  BfAccess(s, kKontoFile, kAtRecord, "", at, found, atEnd);
  if (!found) return false;
  const std::string number = s.konto.number;
  isam::DeleteKey(s.kontoFile, 1, recNo, number.substr(0, LayoutOf(kKontoFile).keyChars));
  if (!isam::IsamSuccess) return false;
  if (!deleteRecord) return true;
  const KontoRecord& k = s.konto;
  // Magnitudes, so that a credit and the negative closing balance it made cannot cancel out
  // and let an account with money on it go.
  if (RoundedToWhole(std::fabs(k.debit.Value()) + std::fabs(k.credit.Value()) + std::fabs(k.closing.Value())) != 0) {
    isam::AddKey(s.kontoFile, 1, recNo, number.substr(0, LayoutOf(kKontoFile).keyChars));
    eerror::EMsg(eerror::kStatusLine, "Konto " + Quoted(number) + A(" ej nollställd! ") + AmountText(k.credit.Value(), 0) +
                        " " + AmountText(k.debit.Value(), 0) + " " + AmountText(k.closing.Value(), 0));
    return false;
  }
  isam::DeleteRec(s.kontoFile, recNo);
  if (!isam::IsamSuccess) {
    isam::AddKey(s.kontoFile, 1, recNo, number.substr(0, LayoutOf(kKontoFile).keyChars));
    return false;
  }
  TakeOutOfTotals(s);
  s.kontoRecNo = 0;
  eerror::EMsg(eerror::kStatusLine, "KontoRecord " + Quoted(number) + ", raderad...");
  return true;
}

}  // namespace bf
