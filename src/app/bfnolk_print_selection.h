// What bfnolk print reports on: --accounts and --vers, lists of numbers and ranges
// separated by commas ("1000-1999,3010", "1-20"); every account or verification when the
// option is not given. Accounts come in key order, verifications in file order, as the pick
// lists list them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "reports/BFPrint_report.h"

namespace bfnolk {

class NumberList {
 public:
  // Every number.
  NumberList() = default;
  // The numbers of text, each in 0..high; false, with the reason on standard error naming
  // option, when text is no such list.
  bool Parse(const std::string& option, const std::string& text, long high);
  bool Has(long number) const;
  bool All() const { return all_; }

 private:
  bool all_ = true;
  std::vector<std::pair<long, long>> ranges_;
};

// The accounts or verifications of the report's choice in the lists. False when a file
// could not be read (the reason is reported).
bool SelectionOf(bf::BfShared& s, const reports::Report& report, const NumberList& accounts, const NumberList& vers,
                 reports::Selection& selection);

}  // namespace bfnolk
