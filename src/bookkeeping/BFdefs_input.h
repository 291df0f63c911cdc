// Typed input checked against the record field it is to go into: the rule the dialogs and
// bfnolk share, so that nothing a user types is cut or replaced on its way to the files.
//
// A text must be UTF-8 whose every character Windows-1252 holds, and no longer than its
// field's capacity in those characters. An amount is typed as 100, 100.5, 100.50 or 100,50
// (a leading minus where the field allows one) and must lie in the field's range. What a
// field cannot hold is refused with a message (Windows-1252) that names the field and its
// limit, or the character that cannot be stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "bookkeeping/BFdefs.h"
#include "common/TypedText.h"

namespace bf {

using typedtext::TextField;
using typedtext::FullFieldText;
using typedtext::TakeText;

inline constexpr TextField kBookkeepingNameField{"namn", BfDataBasRecord::kNameCapacity};
inline constexpr TextField kSumGroupField{"summagrupp", BfDataBasRecord::kGroupCapacity};
inline constexpr TextField kBackupDirField{"katalog", BfDataBasRecord::kBackupDirCapacity};
inline constexpr TextField kAccountNameField{"kontonamn", KontoRecord::kNameCapacity};
inline constexpr TextField kAccountReferenceField{"referens", KontoRecord::kReferenceCapacity};
inline constexpr TextField kVerificationNameField{"verifikatnamn", VerRecord::kNameCapacity};

struct AmountField {
  const char* name;  // as messages name it (UTF-8)
  int64_t lowCents;
  int64_t highCents;
};

// The account dialog's budget field; an opening balance and a verification row take the
// same ten characters, signed and unsigned (the side gives a row its sign).
inline constexpr AmountField kBudgetField{"budget", 0, 999999999};
inline constexpr AmountField kOpeningField{"ingående saldo", -999999999, 999999999};
inline constexpr AmountField kRowAmountField{"belopp", 0, 999999999};

// What an amount field takes, as its refusals say it: "endast numeriskt värde tillåtet
// mellan 0.00..9999999.99!".
std::string AmountRangeText(const AmountField& field);

// typed as an amount with at most two decimals. False, with value unchanged and the reason
// in message ("budget: endast numeriskt värde tillåtet mellan 0.00..9999999.99!"), for
// anything else or a value outside the field's range.
bool TakeAmount(const AmountField& field, std::string_view typed, double& value, std::string& message);

// A date as the books hold it: yyyy-mm-dd from 1900 on, with a month and day that exist
// (the date service's rule).
bool IsDate(const std::string& date);

}  // namespace bf
