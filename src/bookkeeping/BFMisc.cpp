#include "bookkeeping/BFMisc.h"

#include <cmath>
#include <optional>
#include <string_view>

#include "bookkeeping/BFdefs_groups.h"
#include "shell/ETider.h"

namespace bf {

namespace {

double ClosingOf(const KontoRecord& k) {
  return k.opening.Value() + std::fabs(k.debit.Value()) - std::fabs(k.credit.Value());
}

bool DropsAtCarryForward(const std::string& accountNumber) {
  return std::string_view(accountNumber).substr(0, 2).compare("29") >= 0;
}

Real6 Negated(const Real6& r) { return *Real6::FromDouble(-r.Value()); }


}  // namespace

bool IsDebitSide(char side) { return side == '+' || side == 'D' || side == 'd' || side == ' '; }
bool IsCreditSide(char side) { return side == '-' || side == 'K' || side == 'k'; }

bool PostRow(BfShared& s, char side, int factor, int row) {
  if (row < 1 || row > kMaxRows) return false;
  KontoRecord konto = s.konto;
  const Real6 amount = s.ver.amounts[row];
  std::optional<Real6> sum;
  if (IsDebitSide(side)) {
    sum = Real6::FromMoney(konto.debit.Value() + amount.Value());
    if (sum) konto.debit = *sum;
  } else if (IsCreditSide(side)) {
    sum = Real6::FromMoney(konto.credit.Value() + amount.Value());
    if (sum) konto.credit = *sum;
    factor = -factor;
  } else {
    // A row that is neither debit nor credit would move the balance and the totals but
    // not the account; it is not booked at all.
    return false;
  }
  if (!sum || !UpdateClosing(konto)) return false;

  std::optional<Real6> delta = Real6::FromMoney(factor * amount.Value());
  if (!delta) return false;
  const auto balance = Real6::FromMoney(s.ver.amounts[0].Value() + delta->Value());
  if (!balance || !PostTotal(s, *delta, kPostRow)) return false;
  s.konto = konto;
  s.ver.amounts[0] = *balance;
  return true;
}

bool PostTotal(BfShared& s, Real6& amount, int kind) {
  const std::string& number = s.konto.number;
  const bool opening = (kind / 10) % 10 == 2;
  const bool carryForward = kind % 10 == 0;
  const int g = GroupOfAccount(s.dataBas, number);

  const bool dropped = carryForward && DropsAtCarryForward(number);
  const double value = dropped ? 0.0 : amount.Value();
  std::optional<Real6> pending;
  if (!opening) {
    const Real6& sum = value < 0 ? s.pendingSums.creditSums[g] : s.pendingSums.debitSums[g];
    pending = Real6::FromMoney(sum.Value() + value);
    if (!pending) return false;
  }

  BfDataBasRecord& d = s.dataBas;
  if (number == "1020") d.total1020 = WholeOre(d.total1020 + amount.Value());
  if (dropped) amount = Real6();
  d.grandTotal = WholeOre(d.grandTotal + value);
  if (opening) {
    d.groupOpeningTotals[g] = WholeOre(d.groupOpeningTotals[g] + value);
  } else {
    d.groupTotals[g] = WholeOre(d.groupTotals[g] + value);
    (value < 0 ? s.pendingSums.creditSums[g] : s.pendingSums.debitSums[g]) = *pending;
  }
  return true;
}

bool UpdateClosing(KontoRecord& konto) {
  const auto closing = Real6::FromMoney(ClosingOf(konto));
  if (!closing) return false;
  konto.closing = *closing;
  return true;
}

void TakeOpeningOut(BfShared& s) {
  Real6 amount = Negated(s.konto.opening);
  PostTotal(s, amount, kPostOpening);
}

void PutOpeningBack(BfShared& s) {
  Real6 amount = s.konto.opening;
  PostTotal(s, amount, kPostOpening);
}

void CarryForward(BfShared& s) {
  KontoRecord& k = s.konto;
  k.opening = k.closing;
  k.debit = Real6();
  k.credit = Real6();
  PostTotal(s, k.opening, kPostCarryForward);
  k.closing = k.opening;
}

bool TotalsFromAccounts(BfShared& s, BfDataBasRecord& record) {
  BfDataBasRecord totals = record;
  totals.grandTotal = totals.total1020 = 0;
  totals.groupTotals.fill(0);
  totals.groupOpeningTotals.fill(0);
  const bool read = ForEachAccount(s, [&](const KontoRecord& k, int32_t) {
    const double opening = k.opening.Value(), posted = k.debit.Value() - k.credit.Value();
    const auto g = static_cast<size_t>(GroupOfAccount(totals, k.number));
    totals.grandTotal += opening + posted;
    totals.groupOpeningTotals[g] += opening;
    totals.groupTotals[g] += posted;
    if (k.number == "1020") totals.total1020 += opening + posted;
    return true;
  });
  if (!read) return false;
  // Whole öre, as every posting leaves them.
  totals.grandTotal = WholeOre(totals.grandTotal);
  totals.total1020 = WholeOre(totals.total1020);
  for (double& t : totals.groupTotals) t = WholeOre(t);
  for (double& t : totals.groupOpeningTotals) t = WholeOre(t);
  record = totals;
  return true;
}

void ClearPendingSums(BfShared& s) {
  s.pendingSums.debitSums.fill(Real6());
  s.pendingSums.creditSums.fill(Real6());
}

bool FlushMonthSums(BfShared& s) {
  const std::string month = etider::Format(12);  // yyyy-mm
  int32_t recNo = 0;
  bool found = false, atEnd = false;
  BfAccess(s, kSumsFile, kFindKey, month, recNo, found, atEnd);
  // A month that could not be read is not a month without a record.
  if (!found && AccessFailed()) return false;
  if (!found) {
    s.sums = SumsRecord{};
    s.sums.month = month;
    if (!PutSums(s, true, recNo)) return false;
  }
  SumsRecord updated = s.sums;
  for (int g = 0; g < kGroupCount; ++g) {
    // A copy of the list's totals, which many accounts together can take past what a Real6
    // holds to the öre: then the nearest it holds.
    const auto balance =
        Real6::FromDouble(WholeOre(s.dataBas.groupTotals[g] + s.dataBas.groupOpeningTotals[g]));
    const auto debit = Real6::FromMoney(updated.debitSums[g].Value() + s.pendingSums.debitSums[g].Value());
    const auto credit = Real6::FromMoney(updated.creditSums[g].Value() + s.pendingSums.creditSums[g].Value());
    if (!balance || !debit || !credit) return false;
    updated.groupBalances[g] = *balance;
    updated.debitSums[g] = *debit;
    updated.creditSums[g] = *credit;
  }
  const SumsRecord before = s.sums;
  s.sums = updated;
  if (!PutSums(s, false, recNo)) {
    s.sums = before;
    return false;
  }
  ClearPendingSums(s);
  return true;
}

}  // namespace bf
