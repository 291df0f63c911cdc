#include "bookkeeping/BFdefs.h"

#include <bit>
#include <cmath>

#include "common/ESmall_Bytes.h"
#include "shell/ESmall.h"

namespace bf {

namespace {

// Offsets of the fields, as the files hold them.
namespace list {
constexpr size_t kNumber = 4, kName = 7, kFromDate = 34, kToDate = 45, kTotal1020 = 56,
                 kGrandTotal = 64, kGroupTotals = 72, kGroupOpeningTotals = 144,
                 kLastVerNr = 216, kSumGroups = 220, kBackupDir = 2524;
constexpr size_t kBackupDirBytes = BfDataBasRecord::kBackupDirCapacity + 1;
}  // namespace list
namespace konto {
constexpr size_t kNumber = 4, kName = 9, kReference = 18, kSign = 42, kBudget = 43,
                 kOpening = 49, kClosing = 55, kDebit = 61, kCredit = 67;
}
namespace ver {
constexpr size_t kNumber = 4, kName = 6, kDate = 32, kAccounts = 43, kAmounts = 245,
                 kSides = 851;
}
namespace sums {
constexpr size_t kMonth = 4, kDebitSums = 12, kCreditSums = 66, kGroupBalances = 120;
}

// The record's fields over common/ESmall_Bytes. The record is cleared first and every Put
// writes all bytes of its field (unused text bytes as 0), so encoding is total.
template <size_t N>
class Writer {
 public:
  explicit Writer(std::array<uint8_t, N>& bytes) : bytes_(bytes) { bytes_.fill(0); }

  void I32(size_t at, int32_t v) { esmall::PutI32(bytes_, at, v); }
  void I16(size_t at, int16_t v) { esmall::PutI16(bytes_, at, v); }
  void Double(size_t at, double v) { esmall::PutU64(bytes_, at, std::bit_cast<uint64_t>(v)); }
  void Money(size_t at, const Real6& v) { v.ToBytes(&bytes_[at]); }
  void Char(size_t at, char c) { bytes_[at] = static_cast<uint8_t>(c); }
  void Text(size_t at, size_t capacity, const std::string& text) { esmall::PutPString(bytes_, at, capacity, text); }
  // capacity characters and the zero after them.
  void ZeroTerminated(size_t at, size_t capacity, const std::string& text) {
    esmall::PutZString(bytes_, at, capacity + 1, text);
  }

 private:
  std::array<uint8_t, N>& bytes_;
};

// Every Get reads only inside its field; a clamped field clears sound().
template <size_t N>
class Reader {
 public:
  explicit Reader(const std::array<uint8_t, N>& bytes) : bytes_(bytes) {}

  bool sound() const { return sound_; }

  int32_t I32(size_t at) const { return esmall::GetI32(bytes_, at); }
  int16_t I16(size_t at) const { return esmall::GetI16(bytes_, at); }
  double Double(size_t at) {
    const double v = std::bit_cast<double>(esmall::GetU64(bytes_, at));
    if (std::isfinite(v)) return v;
    sound_ = false;
    return 0;
  }
  Real6 Money(size_t at) const { return Real6::FromBytes(&bytes_[at]); }
  char Char(size_t at) const { return static_cast<char>(bytes_[at]); }
  std::string Text(size_t at, size_t capacity) {
    if (bytes_[at] > capacity) sound_ = false;
    return esmall::GetPString(bytes_, at, capacity);
  }
  std::string ZeroTerminated(size_t at, size_t capacity) {
    std::string text = esmall::GetZString(bytes_, at, capacity + 1);
    if (text.size() == capacity && bytes_[at + capacity] != 0) sound_ = false;  // no zero at all
    return text;
  }

 private:
  const std::array<uint8_t, N>& bytes_;
  bool sound_ = true;
};

std::string GroupRange(int g) {
  return esmall::ZeroPadded(g * 1000, 4) + ".." + esmall::ZeroPadded((g + 1) * 1000 - 1, 4);
}

}  // namespace

void Encode(const BfDataBasRecord& r, BfDataBasBytes& bytes) {
  Writer w(bytes);
  w.I32(0, r.chain);
  w.Text(list::kNumber, r.kNumberCapacity, r.number);
  w.Text(list::kName, r.kNameCapacity, r.name);
  w.Text(list::kFromDate, r.kDateCapacity, r.fromDate);
  w.Text(list::kToDate, r.kDateCapacity, r.toDate);
  w.Double(list::kTotal1020, r.total1020);
  w.Double(list::kGrandTotal, r.grandTotal);
  for (int g = 0; g < kGroupCount; ++g) {
    w.Double(list::kGroupTotals + 8 * g, r.groupTotals[g]);
    w.Double(list::kGroupOpeningTotals + 8 * g, r.groupOpeningTotals[g]);
    w.Text(list::kSumGroups + (r.kGroupCapacity + 1) * g, r.kGroupCapacity, r.sumGroups[g]);
  }
  w.I32(list::kLastVerNr, r.lastVerNr);
  w.ZeroTerminated(list::kBackupDir, r.kBackupDirCapacity, r.backupDir);
}

bool Decode(const BfDataBasBytes& bytes, BfDataBasRecord& r) {
  Reader in(bytes);
  r.chain = in.I32(0);
  r.number = in.Text(list::kNumber, r.kNumberCapacity);
  r.name = in.Text(list::kName, r.kNameCapacity);
  r.fromDate = in.Text(list::kFromDate, r.kDateCapacity);
  r.toDate = in.Text(list::kToDate, r.kDateCapacity);
  r.total1020 = in.Double(list::kTotal1020);
  r.grandTotal = in.Double(list::kGrandTotal);
  for (int g = 0; g < kGroupCount; ++g) {
    r.groupTotals[g] = in.Double(list::kGroupTotals + 8 * g);
    r.groupOpeningTotals[g] = in.Double(list::kGroupOpeningTotals + 8 * g);
    r.sumGroups[g] = in.Text(list::kSumGroups + (r.kGroupCapacity + 1) * g, r.kGroupCapacity);
  }
  r.lastVerNr = in.I32(list::kLastVerNr);
  r.backupDir = in.ZeroTerminated(list::kBackupDir, r.kBackupDirCapacity);
  static_assert(list::kBackupDir + list::kBackupDirBytes + 3 == BfDataBasRecord::kLength);
  return in.sound();
}

void Encode(const KontoRecord& r, KontoBytes& bytes) {
  Writer w(bytes);
  w.I32(0, r.chain);
  w.Text(konto::kNumber, r.kNumberCapacity, r.number);
  w.Text(konto::kName, r.kNameCapacity, r.name);
  w.Text(konto::kReference, r.kReferenceCapacity, r.reference);
  w.Char(konto::kSign, r.sign);
  w.Money(konto::kBudget, r.budget);
  w.Money(konto::kOpening, r.opening);
  w.Money(konto::kClosing, r.closing);
  w.Money(konto::kDebit, r.debit);
  w.Money(konto::kCredit, r.credit);
}

bool Decode(const KontoBytes& bytes, KontoRecord& r) {
  Reader in(bytes);
  r.chain = in.I32(0);
  r.number = in.Text(konto::kNumber, r.kNumberCapacity);
  r.name = in.Text(konto::kName, r.kNameCapacity);
  r.reference = in.Text(konto::kReference, r.kReferenceCapacity);
  r.sign = in.Char(konto::kSign);
  r.budget = in.Money(konto::kBudget);
  r.opening = in.Money(konto::kOpening);
  r.closing = in.Money(konto::kClosing);
  r.debit = in.Money(konto::kDebit);
  r.credit = in.Money(konto::kCredit);
  static_assert(konto::kCredit + Real6::kSize == KontoRecord::kLength);
  return in.sound();
}

void Encode(const VerRecord& r, VerBytes& bytes) {
  Writer w(bytes);
  w.I32(0, r.chain);
  w.I16(ver::kNumber, r.number);
  w.Text(ver::kName, r.kNameCapacity, r.name);
  w.Text(ver::kDate, r.kDateCapacity, r.date);
  for (int i = 0; i <= kMaxRows; ++i) {
    w.I16(ver::kAccounts + 2 * i, r.accounts[i]);
    w.Money(ver::kAmounts + Real6::kSize * i, r.amounts[i]);
    w.Char(ver::kSides + i, r.sides[i]);
  }
}

bool Decode(const VerBytes& bytes, VerRecord& r) {
  Reader in(bytes);
  r.chain = in.I32(0);
  r.number = in.I16(ver::kNumber);
  r.name = in.Text(ver::kName, r.kNameCapacity);
  r.date = in.Text(ver::kDate, r.kDateCapacity);
  for (int i = 0; i <= kMaxRows; ++i) {
    r.accounts[i] = in.I16(ver::kAccounts + 2 * i);
    r.amounts[i] = in.Money(ver::kAmounts + Real6::kSize * i);
    r.sides[i] = in.Char(ver::kSides + i);
  }
  static_assert(ver::kSides + kMaxRows + 1 == VerRecord::kLength);
  // Every loop over the rows trusts the row count, so it must name real slots.
  const int16_t rows = r.accounts[0];
  if (rows < 0 || rows > kMaxRows) {
    r.accounts[0] = rows < 0 ? 0 : kMaxRows;
    return false;
  }
  return in.sound();
}

void Encode(const SumsRecord& r, SumsBytes& bytes) {
  Writer w(bytes);
  w.I32(0, r.chain);
  w.Text(sums::kMonth, r.kMonthCapacity, r.month);
  for (int g = 0; g < kGroupCount; ++g) {
    w.Money(sums::kDebitSums + Real6::kSize * g, r.debitSums[g]);
    w.Money(sums::kCreditSums + Real6::kSize * g, r.creditSums[g]);
    w.Money(sums::kGroupBalances + Real6::kSize * g, r.groupBalances[g]);
  }
}

bool Decode(const SumsBytes& bytes, SumsRecord& r) {
  Reader in(bytes);
  r.chain = in.I32(0);
  r.month = in.Text(sums::kMonth, r.kMonthCapacity);
  for (int g = 0; g < kGroupCount; ++g) {
    r.debitSums[g] = in.Money(sums::kDebitSums + Real6::kSize * g);
    r.creditSums[g] = in.Money(sums::kCreditSums + Real6::kSize * g);
    r.groupBalances[g] = in.Money(sums::kGroupBalances + Real6::kSize * g);
  }
  static_assert(sums::kGroupBalances + Real6::kSize * kGroupCount == SumsRecord::kLength);
  return in.sound();
}

BfDataBasRecord FreshDataBasRecord() {
  BfDataBasRecord r;
  r.sumGroups[0] = "\x99vriga";  // "Övriga" in code page 850, which reads back either way
  for (int g = 1; g < kGroupCount; ++g) r.sumGroups[g] = GroupRange(g);
  return r;
}

VerRecord FreshVerRecord(int16_t number, const std::string& date, char side) {
  VerRecord r;
  r.number = number;
  r.date = date;
  r.sides.fill(side);
  return r;
}

}  // namespace bf
