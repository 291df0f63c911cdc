#include "app/bfnolk_print_selection.h"

#include <iostream>
#include <optional>
#include <sstream>

#include "app/bfnolk_arguments.h"

namespace bfnolk {

bool NumberList::Parse(const std::string& option, const std::string& text, long high) {
  std::vector<std::pair<long, long>> ranges;
  std::istringstream items(text);
  std::string item;
  bool ok = !text.empty() && text.back() != ',';
  while (ok && std::getline(items, item, ',')) {
    const size_t dash = item.find('-', 1);
    long low = 0, top = 0;
    ok = dash == std::string::npos ? ParseNumber(item, 0, high, low) && ParseNumber(item, 0, high, top)
                                   : ParseNumber(item.substr(0, dash), 0, high, low) &&
                                         ParseNumber(item.substr(dash + 1), 0, high, top) && low <= top;
    ranges.emplace_back(low, top);
  }
  if (!ok) {
    std::cerr << "bfnolk print: " << option << " " << text << ": ange nummer och intervall, t.ex. "
              << (high > 9999 ? "1-20,25" : "1000-1999,3010") << " (0.." << high << ")\n";
    return false;
  }
  all_ = false;
  ranges_ = std::move(ranges);
  return true;
}

bool NumberList::Has(long number) const {
  if (all_) return true;
  for (const auto& [low, high] : ranges_)
    if (number >= low && number <= high) return true;
  return false;
}

bool SelectionOf(bf::BfShared& s, const reports::Report& report, const NumberList& accounts, const NumberList& vers,
                 reports::Selection& selection) {
  if (report.choice == reports::Choice::kAccounts)
    return bf::ForEachAccount(s, [&](const bf::KontoRecord& k, int32_t) {
      // An account whose number is no number is only among all accounts.
      const std::optional<int> number = bf::RowAccount(k.number);
      if (number ? accounts.Has(*number) : accounts.All()) selection.accounts.push_back(k);
      return true;
    });
  if (report.choice == reports::Choice::kVerifications)
    return bf::ForEachVerification(s, [&](const bf::VerRecord& v, int32_t recNo) {
      if (vers.Has(v.number)) selection.verifications.push_back(recNo);
      return true;
    });
  return true;
}

}  // namespace bfnolk
