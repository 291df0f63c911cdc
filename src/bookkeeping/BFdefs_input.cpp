#include "bookkeeping/BFdefs_input.h"

#include "bookkeeping/BFMisc_amount.h"
#include "common/Ansi.h"
#include "shell/ETider.h"

namespace bf {

namespace {

std::string Cents(int64_t cents) { return AmountText(static_cast<double>(cents) / 100, 0); }

// [-]digits[(.|,)d[d]] in cents; false for anything else or more digits than any field takes.
bool ParseCents(std::string_view t, int64_t& cents) {
  const bool negative = !t.empty() && t[0] == '-';
  if (negative) t.remove_prefix(1);
  const size_t mark = t.find_first_of(".,");
  const std::string_view whole = t.substr(0, mark);
  const std::string_view part = mark == std::string_view::npos ? std::string_view() : t.substr(mark + 1);
  if (whole.empty() || whole.size() > 12 || part.size() > 2 || (mark != std::string_view::npos && part.empty()))
    return false;
  int64_t value = 0;
  for (const char c : whole) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  int64_t hundredths = 0;
  for (size_t i = 0; i < 2; ++i) {
    const char c = i < part.size() ? part[i] : '0';
    if (c < '0' || c > '9') return false;
    hundredths = hundredths * 10 + (c - '0');
  }
  cents = (value * 100 + hundredths) * (negative ? -1 : 1);
  return true;
}

}  // namespace

std::string AmountRangeText(const AmountField& field) {
  return A("endast numeriskt värde tillåtet mellan ") + Cents(field.lowCents) + ".." + Cents(field.highCents) + "!";
}

bool TakeAmount(const AmountField& field, std::string_view typed, double& value, std::string& message) {
  int64_t cents = 0;
  if (!ParseCents(typed, cents) || cents < field.lowCents || cents > field.highCents) {
    message = A(field.name) + ": " + AmountRangeText(field);
    return false;
  }
  value = static_cast<double>(cents) / 100;
  return true;
}

bool IsDate(const std::string& date) {
  etider::DateTime when;
  return etider::ParseDateTime(date + " 00:00:00", when) && when.year >= 1900;
}

}  // namespace bf
