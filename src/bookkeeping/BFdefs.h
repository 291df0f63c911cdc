// The four records of a bookkeeping, as held in memory and as stored, byte for byte.
//
// Every record starts with the engine's 32-bit deleted-chain word (0 in a live record).
// Texts are Windows-1252 and stored as a length byte and a fixed number of bytes; a text
// longer than its capacity is cut when stored, and a stored length byte above the capacity
// (a damaged record) is read as the capacity. Money in the account, verification and sums
// records is Real6; the running totals of the list record are doubles. All fields are
// encoded explicitly little-endian, so the layout does not depend on the compiler.
//
// Decode never reads outside the record and never yields a value the program cannot use:
// a damaged field is clamped (a text to its capacity, a verification's row count to
// 0..100, a total that is not a finite number to 0) and Decode then returns false.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "bookkeeping/BFdefs_Real6.h"

namespace bf {

constexpr int kGroupCount = 9;  // sum group 0 (all the rest) and groups 1..8
constexpr int kMaxRows = 100;   // rows of a verification
constexpr int kMaxAccounts = 254;  // accounts in use in one bookkeeping

// The list of bookkeepings holds one of these per bookkeeping (BfNolk, 3552 bytes).
struct BfDataBasRecord {
  static constexpr int kLength = 3552;
  static constexpr size_t kNumberCapacity = 2;
  static constexpr size_t kNameCapacity = 26;
  static constexpr size_t kDateCapacity = 10;
  static constexpr size_t kGroupCapacity = 255;
  static constexpr size_t kBackupDirCapacity = 1024;  // stored zero-terminated in 1025 bytes

  int32_t chain = 0;
  std::string number;  // the record number as two digits
  std::string name;
  std::string fromDate;
  std::string toDate;
  double total1020 = 0;
  double grandTotal = 0;
  std::array<double, kGroupCount> groupTotals{};
  std::array<double, kGroupCount> groupOpeningTotals{};
  int32_t lastVerNr = 0;
  std::array<std::string, kGroupCount> sumGroups;  // 0: name of the rest; 1..8: definitions
  std::string backupDir;

  friend bool operator==(const BfDataBasRecord&, const BfDataBasRecord&) = default;
};

// One account (KontoNN, 73 bytes). closing = opening + |debit| - |credit| is kept by posting.
struct KontoRecord {
  static constexpr int kLength = 73;
  static constexpr size_t kNumberCapacity = 4;
  static constexpr size_t kNameCapacity = 8;
  static constexpr size_t kReferenceCapacity = 23;

  int32_t chain = 0;
  std::string number;  // four digits, zero-padded
  std::string name;
  std::string reference;
  char sign = ' ';  // '+' debit account, '-' credit account, ' ' neither ('=' accepted)
  Real6 budget;
  Real6 opening;
  Real6 closing;
  Real6 debit;
  Real6 credit;

  friend bool operator==(const KontoRecord&, const KontoRecord&) = default;
};

// One verification (BfNN, 952 bytes). Slot 0 of the accounts is the row count, slot 0 of
// the amounts the balance; rows are 1..row count.
struct VerRecord {
  static constexpr int kLength = 952;
  static constexpr size_t kNameCapacity = 25;
  static constexpr size_t kDateCapacity = 10;

  int32_t chain = 0;
  int16_t number = 0;
  std::string name;
  std::string date;
  std::array<int16_t, kMaxRows + 1> accounts{};
  std::array<Real6, kMaxRows + 1> amounts{};
  std::array<char, kMaxRows + 1> sides{};

  int RowCount() const { return accounts[0]; }
  const Real6& Balance() const { return amounts[0]; }

  friend bool operator==(const VerRecord&, const VerRecord&) = default;
};

// The sums of one month (BfSumsNN, 174 bytes), per sum group.
struct SumsRecord {
  static constexpr int kLength = 174;
  static constexpr size_t kMonthCapacity = 7;

  int32_t chain = 0;
  std::string month;  // yyyy-mm
  std::array<Real6, kGroupCount> debitSums{};
  std::array<Real6, kGroupCount> creditSums{};
  std::array<Real6, kGroupCount> groupBalances{};

  friend bool operator==(const SumsRecord&, const SumsRecord&) = default;
};

using BfDataBasBytes = std::array<uint8_t, BfDataBasRecord::kLength>;
using KontoBytes = std::array<uint8_t, KontoRecord::kLength>;
using VerBytes = std::array<uint8_t, VerRecord::kLength>;
using SumsBytes = std::array<uint8_t, SumsRecord::kLength>;

void Encode(const BfDataBasRecord& record, BfDataBasBytes& bytes);
void Encode(const KontoRecord& record, KontoBytes& bytes);
void Encode(const VerRecord& record, VerBytes& bytes);
void Encode(const SumsRecord& record, SumsBytes& bytes);

// False when the record was damaged and a field had to be clamped.
bool Decode(const BfDataBasBytes& bytes, BfDataBasRecord& record);
bool Decode(const KontoBytes& bytes, KontoRecord& record);
bool Decode(const VerBytes& bytes, VerRecord& record);
bool Decode(const SumsBytes& bytes, SumsRecord& record);

// The list record of a new bookkeeping: texts and totals empty, group 0 "Övriga" in its
// stored (code page 850) form, groups 1..8 the thousands 1000..1999 to 8000..8999.
BfDataBasRecord FreshDataBasRecord();

// A new verification: the number, the date, no rows, every side set to side.
VerRecord FreshVerRecord(int16_t number, const std::string& date, char side);

// The stored text of an account number that was typed empty.
inline constexpr char kEmptyAccountNumber[] = "XXXX";

}  // namespace bf
