// The general ledger "Huvudbok": for each chosen account, in the order chosen, every row of
// the verifications that names it (oldest record first), then its opening balance,
// turnovers, closing balance and budget; at the end the turnovers of all chosen accounts.
//
// A row names an account when its account number, written as four digits with leading
// zeros, is the account's number text. The content is made in one walk of the verification
// file, whatever the number of accounts; a verification's date and text are kept once
// however many of its rows are listed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bookkeeping/BFFiler.h"
#include "printing/ewrite32.h"
#include "reports/BFPrint.h"

namespace reports {

// A row on the account: its verification (an index into Ledger::verifications), side and
// amount.
struct LedgerRow {
  int32_t verification = 0;
  char side = ' ';
  double amount = 0;
};

struct LedgerAccount {
  bf::KontoRecord account;
  std::vector<LedgerRow> rows;
};

struct Ledger {
  std::vector<VerificationHead> verifications;
  std::vector<LedgerAccount> accounts;
  double debit = 0;   // the chosen accounts' debit turnovers
  double credit = 0;  // and credit turnovers
};

// The ledger of accounts; nothing when the verification file could not be read (reported).
std::optional<Ledger> LedgerOf(bf::BfShared& s, const std::vector<bf::KontoRecord>& accounts);

// The head and every account, until the job is cancelled: then the account in
// progress ends with its foot and the report with its own.
void LayOutLedger(printing::PrintJob& job, const bf::BfDataBasRecord& list, const Ledger& ledger);

}  // namespace reports
