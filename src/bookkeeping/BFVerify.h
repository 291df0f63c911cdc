// The consistency check of an open bookkeeping: every rule the posting keeps, checked
// against the files, one finding a line (UTF-8 free: Windows-1252 like every text here).
//
// It reads only: the accounts (closing = opening + |debit| - |credit|; debit and credit the
// sums of the rows of the saved verifications), the list record's totals against the sums
// of the accounts, every verification (balanced, rows naming existing accounts, numbers
// unique and not above the last number), the month sums of the period against the group
// totals, and the storage engine's check of each of the three files.
#pragma once

#include <string>
#include <vector>

#include "bookkeeping/BFFiler.h"

namespace bf {

// The findings; empty when the bookkeeping is sound. The shared buffers are left as they
// were.
std::vector<std::string> VerifyBookkeeping(BfShared& s, const std::string& dataDir);

}  // namespace bf
