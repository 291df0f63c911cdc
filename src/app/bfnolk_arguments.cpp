#include "app/bfnolk_arguments.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "common/Ansi.h"

namespace bfnolk {

Arguments::Arguments(const std::vector<std::string>& words, const std::set<std::string>& valued,
                     const std::set<std::string>& switches) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.size() < 3 || w.rfind("--", 0) != 0) {
      positional_.push_back(w);
    } else if (switches.count(w)) {
      given_[w];
    } else if (valued.count(w)) {
      if (i + 1 >= words.size()) {
        error_ = w + " saknar värde";
        return;
      }
      given_[w].push_back(words[++i]);
    } else {
      error_ = "okänd flagga " + w;
      return;
    }
  }
}

std::string Arguments::Value(const std::string& option, const std::string& fallback) const {
  const auto it = given_.find(option);
  return it == given_.end() || it->second.empty() ? fallback : it->second.back();
}

const std::vector<std::string>& Arguments::Values(const std::string& option) const {
  static const std::vector<std::string> none;
  const auto it = given_.find(option);
  return it == given_.end() ? none : it->second;
}

bool ParseNumber(const std::string& text, long low, long high, long& value) {
  if (text.empty() || text.size() > 12) return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  value = v;
  return true;
}

// yyyy-mm-dd with a month and day that exist.
bool IsDate(const std::string& d) {
  if (d.size() != 10 || d[4] != '-' || d[7] != '-') return false;
  long y = 0, m = 0, day = 0;
  if (!ParseNumber(d.substr(0, 4), 1900, 9999, y) || !ParseNumber(d.substr(5, 2), 1, 12, m) ||
      !ParseNumber(d.substr(8, 2), 1, 31, day))
    return false;
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return day <= (m == 2 && !leap ? 28 : kDays[m - 1]);
}

namespace {

bool Refused(const std::string& what, const std::string& message) {
  std::cerr << "bfnolk: " << what << ": " << ansi::ToUtf8(message) << "\n";
  return false;
}

}  // namespace

bool CheckedText(const std::string& what, const std::string& value, const bf::TextField& field, std::string& stored) {
  std::string message;
  return bf::TakeText(field, value, stored, message) || Refused(what, message);
}

bool CheckedAmount(const std::string& what, const std::string& value, const bf::AmountField& field, double& amount) {
  std::string message;
  return bf::TakeAmount(field, value, amount, message) || Refused(what, message);
}

}  // namespace bfnolk
