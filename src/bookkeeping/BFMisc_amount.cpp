#include "bookkeeping/BFMisc_amount.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace bf {

namespace {

std::string TwoDecimals(double magnitude) {
  char text[400];  // enough for the largest double in fixed notation
  std::snprintf(text, sizeof text, "%.2f", magnitude);
  return text;
}

}  // namespace

std::string AmountText(double value, int width) {
  if (!std::isfinite(value)) value = 0;
  const std::string digits = TwoDecimals(std::fabs(value));
  const bool negative = value < 0 && digits != "0.00";  // no "-0.00" for a rounding rest
  const size_t used = digits.size() + (negative ? 1 : 0);
  const size_t field = width > 0 ? static_cast<size_t>(width) : 0;
  const std::string blanks(field > used ? field - used : 0, ' ');
  return negative ? "-" + blanks + digits : blanks + digits;
}

double RoundedToCents(double value) {
  if (!std::isfinite(value)) return value;
  const double magnitude = std::strtod(TwoDecimals(std::fabs(value)).c_str(), nullptr);
  return value < 0 ? -magnitude : magnitude;
}

}  // namespace bf
