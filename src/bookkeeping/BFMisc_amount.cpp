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
  const std::string number = value < 0 && digits != "0.00" ? "-" + digits : digits;
  const size_t field = width > 0 ? static_cast<size_t>(width) : 0;
  return std::string(field > number.size() ? field - number.size() : 0, ' ') + number;
}

double RoundedToCents(double value) {
  if (!std::isfinite(value)) return value;
  const double magnitude = std::strtod(TwoDecimals(std::fabs(value)).c_str(), nullptr);
  return value < 0 ? -magnitude : magnitude;
}

}  // namespace bf
