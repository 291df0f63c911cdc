// The sum-group rule: which of the nine sum groups an account belongs to.
//
// Entry g (1..8) of the list record is a list of items separated by ","; an item is one
// account number or a range low..high (two or more dots between the bounds). Within a bound
// only the digits count; a bound without digits is 0. Groups are tried from 1 to 8 and the
// first whose entry holds the account wins; an account in no group is in group 0.
#pragma once

#include <string_view>

#include "bookkeeping/BFdefs.h"

namespace bf {

// The group (0..8) of the account with the given number text. The number's value is that
// of its digits when it is all digits, otherwise 0.
int GroupOfAccount(const BfDataBasRecord& record, std::string_view accountNumber);

}  // namespace bf
