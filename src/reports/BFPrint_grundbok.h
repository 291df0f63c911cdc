// The journal "Grundbok": each chosen verification, in the order chosen, with its rows (the
// account's name where the account exists) and its debit and credit sums; at the end the
// sums of them all. A verification is kept together on a page where it fits (at most 42
// rows ask for that), and its rows go on under "vernr: " and its number where it does not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bookkeeping/BFFiler.h"
#include "printing/ewrite32.h"
#include "reports/BFPrint.h"

namespace reports {

struct JournalRow {
  int16_t account = 0;
  std::optional<std::string> name;  // none: no account has that number
  char side = ' ';
  double amount = 0;
};

struct JournalVerification {
  VerificationHead head;
  std::vector<JournalRow> rows;  // row i + 1 of the verification
  double debit = 0;
  double credit = 0;
};

struct Journal {
  std::vector<JournalVerification> verifications;
  double debit = 0;
  double credit = 0;
};

// The journal of the verifications at recNos, until one cannot be read (it went since it
// was chosen); nothing when a file could not be read (reported).
std::optional<Journal> JournalOf(bf::BfShared& s, const std::vector<int32_t>& recNos);

// The head and every verification, until the job is cancelled: the report's foot is
// written still.
void LayOutJournal(printing::PrintJob& job, const bf::BfDataBasRecord& list, const Journal& journal);

}  // namespace reports
