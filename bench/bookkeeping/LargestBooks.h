// The largest bookkeeping the files number, for the benchmarks: 32 767 verifications of four
// rows (two debit, two credit, balanced) over the given accounts, made through the logic in
// a fresh data directory. The verifications are written as saved ones without journal and
// unposted; a rebuild then posts them, so the books are as if entered one by one.
#pragma once

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <utility>

#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFFiler.h"
#include "storage/Filer.h"

namespace bench {

constexpr int kLargestVerifications = INT16_MAX;
constexpr int kRowsPerVerification = 4;

// Verification v's date in the year 2020, spread over the year in order.
inline std::string LargestBooksDate(int v) {
  const int month = 1 + (v - 1) * 12 / kLargestVerifications;
  const int day = 1 + (v - 1) % 28;
  return "2020-" + std::string(month < 10 ? "0" : "") + std::to_string(month) + "-" + (day < 10 ? "0" : "") +
         std::to_string(day);
}

// Each row's account and amount from a generator seeded alike on every run.
inline bool MakeLargestBooks(bf::BfDatabase& db, std::span<const int> accounts) {
  if (!db.CreateBookkeepingList() || !db.BeginNewBookkeeping()) return false;
  bf::BfShared& s = db.shared();
  s.dataBas.name = "stor";
  s.dataBas.fromDate = "2020-01-01";
  s.dataBas.toDate = "2020-12-31";
  if (!db.FinishNewBookkeeping()) return false;
  for (const int a : accounts) {
    s.konto = bf::KontoRecord{};
    s.konto.number = bf::KontoKey(a);
    s.konto.name = "k" + std::to_string(a);
    int32_t recNo = 0;
    if (!bf::PutKonto(s, true, recNo)) return false;
  }
  // Without journal the records are written, not flushed one by one.
  isam::CloseFileBlock(s.verFile);
  isam::OpenFileBlock(s.verFile, bf::BfFileName(bf::kVerFile, s.current, db.dataDir()), false);
  std::mt19937 rng(32767);
  for (int v = 1; v <= kLargestVerifications; ++v) {
    s.ver = bf::FreshVerRecord(static_cast<int16_t>(v), LargestBooksDate(v), '+');
    s.ver.name = "verifikation " + std::to_string(v);
    const double x = static_cast<double>(1 + rng() % 200000) / 100, y = static_cast<double>(1 + rng() % 200000) / 100;
    const std::pair<char, double> rows[] = {{'+', x}, {'+', y}, {'-', x}, {'-', y}};
    for (size_t r = 1; r <= kRowsPerVerification; ++r) {
      s.ver.accounts[r] = static_cast<int16_t>(accounts[rng() % accounts.size()]);
      s.ver.sides[r] = rows[r - 1].first;
      s.ver.amounts[r] = *bf::Real6::FromDouble(rows[r - 1].second);
    }
    s.ver.accounts[0] = kRowsPerVerification;
    int32_t recNo = 0;
    if (!bf::PutVer(s, true, recNo)) return false;
  }
  s.dataBas.lastVerNr = kLargestVerifications;
  return db.RebuildBookkeeping();
}

}  // namespace bench
