// The amount field in which money is shown, typed back and put into messages.
#pragma once

#include <string>

namespace bf {

// The value with two decimals and a point, filled with blanks on the left to width. A
// negative value has its minus directly before the digits ("      -12.50" in width 12), so
// that a column of figures reads at a glance; a value that rounds to 0.00 has none. The
// field is never cut.
std::string AmountText(double value, int width);

// value rounded to two decimals as AmountText shows it, so that what is stored is what the
// user saw.
double RoundedToCents(double value);

}  // namespace bf
