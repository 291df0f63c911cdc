// The consistency check of an open bookkeeping: every rule the posting keeps, checked
// against the files, one finding a line (UTF-8 free: Windows-1252 like every text here).
//
// It reads only: the accounts (closing = opening + |debit| - |credit|; debit and credit the
// sums of the rows of the saved verifications), the list record's totals against the sums
// of the accounts, every verification (balanced, rows naming existing accounts, numbers
// unique and not above the last number), every month sums record (one month, filed once,
// debit sums not below zero, credit sums not above), the storage engine's check of each of
// the three files, and that no row log of an unsaved verification waits to be played back. The month sums are not held to the list's totals: they stay filed
// under the month and the sum groups of their postings, also across a year-end.
#pragma once

#include <string>
#include <vector>

#include "bookkeeping/BFFiler.h"

namespace bf {

// The findings; empty when the bookkeeping is sound. The shared buffers are left as they
// were.
std::vector<std::string> VerifyBookkeeping(BfShared& s, const std::string& dataDir);

}  // namespace bf
