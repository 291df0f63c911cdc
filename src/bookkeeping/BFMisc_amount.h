// The amount field in which money is shown, typed back and put into messages.
#pragma once

#include <string>

namespace bf {

// The absolute value with two decimals and a point, filled with blanks on the left to
// width. A negative value has its minus in the first position of the field ("-      12.50"
// in width 12), or directly before the digits when they fill the width or the width is 0.
// The field is never cut.
std::string AmountText(double value, int width);

// value rounded to two decimals as AmountText shows it, so that what is stored is what the
// user saw.
double RoundedToCents(double value);

}  // namespace bf
