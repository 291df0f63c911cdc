#include "bookkeeping/BFdefs_groups.h"

#include <cctype>
#include <optional>

namespace bf {

namespace {

constexpr int kMaxBoundDigits = 4;

// The value of a bound's digits; nothing when it has more than four, since account
// numbers have four and a longer bound can only be a typing error: such an item matches
// no account rather than some number the user did not mean.
std::optional<int> BoundValue(std::string_view bound) {
  int value = 0;
  int digits = 0;
  for (const char c : bound) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) continue;
    if (++digits > kMaxBoundDigits) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool ItemHolds(std::string_view item, int account) {
  std::string_view low = item;
  std::string_view high = item;
  const size_t dots = item.find("..");
  if (dots != std::string_view::npos) {
    low = item.substr(0, dots);
    const size_t after = item.find_first_not_of('.', dots);
    high = after == std::string_view::npos ? std::string_view() : item.substr(after);
  }
  const auto lowValue = BoundValue(low);
  const auto highValue = BoundValue(high);
  return lowValue && highValue && *lowValue <= account && account <= *highValue;
}

bool EntryHolds(std::string_view entry, int account) {
  while (true) {
    const size_t comma = entry.find(',');
    if (ItemHolds(entry.substr(0, comma), account)) return true;
    if (comma == std::string_view::npos) return false;
    entry.remove_prefix(comma + 1);
  }
}

int NumericValue(std::string_view number) {
  if (number.empty()) return 0;
  int value = 0;
  for (const char c : number) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return 0;
    value = value * 10 + (c - '0');
    if (value > 99999) return 0;  // no account number; keeps the sum from overflowing
  }
  return value;
}

}  // namespace

int GroupOfAccount(const BfDataBasRecord& record, std::string_view accountNumber) {
  const int account = NumericValue(accountNumber);
  for (int g = 1; g < kGroupCount; ++g) {
    if (EntryHolds(record.sumGroups[g], account)) return g;
  }
  return 0;
}

}  // namespace bf
