// What the exchange fuzzers feed to the readers of the files a user may hand over, shared by
// the libFuzzer programs (fuzz/) and the exchange tests, which run every seed and every input
// a fuzzer once found through the same code. Whatever the bytes, a reader either names a
// fault or gives what the bookkeeping can take whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/BFImport.h"
#include "exchange/BFSie.h"

namespace fuzz {

inline void Check(bool holds) {
  if (!holds) std::abort();
}

inline bool FourDigits(const std::string& number) {
  return number.size() == 4 && number.find_first_not_of("0123456789") == std::string::npos;
}

inline void RunSieTarget(const uint8_t* data, size_t size) {
  bfsie::SieBooks books;
  std::vector<std::string> faults;
  bfsie::ReadSie(std::string_view(reinterpret_cast<const char*>(data), size), books, faults);
  if (!faults.empty()) return;
  for (const auto& [number, account] : books.accounts) {
    Check(FourDigits(number));
    Check(bf::Real6::FromMoney(account.opening).has_value());
  }
  for (const bfsie::SieBooks::Verification& v : books.verifications) {
    Check(!v.rows.empty() && v.rows.size() <= static_cast<size_t>(bf::kMaxRows));
    Check(v.date.size() == 10);
    for (const bfsie::SieBooks::Row& row : v.rows)
      Check(row.account >= 0 && row.account <= 9999 && books.accounts.count(bf::KontoKey(row.account)) == 1);
  }
}

// Every line of the bytes as the plan import reads it (cut to a line's length).
inline void RunBfrTarget(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  int lineNo = 0;
  while (start < bytes.size()) {
    const size_t end = std::min(bytes.find('\n', start), bytes.size());
    const std::string line(bytes.substr(start, std::min<size_t>(end - start, eixport::kMaxLine)));
    start = end + 1;
    std::string fault;
    for (bfimport::Balance balance : {bfimport::Balance::kOpening, bfimport::Balance::kClosing}) {
      const auto account = bfimport::ReadPlanLine(line, ++lineNo, balance, fault);
      if (account) Check(FourDigits(account->number) && account->name.size() <= 30 && account->reference.size() <= 30);
      else Check(!fault.empty());
    }
  }
}

}  // namespace fuzz
