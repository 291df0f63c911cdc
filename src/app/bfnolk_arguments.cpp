#include "app/bfnolk_arguments.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
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

namespace {

// Taken before main runs, so before any session has moved the current directory.
const std::filesystem::path kCallersFolder = [] {
  std::error_code error;
  return std::filesystem::current_path(error);
}();

}  // namespace

std::string CallersPath(const std::string& path) {
  const std::filesystem::path given(path);
  if (given.is_absolute() || kCallersFolder.empty()) return path;
  return (kCallersFolder / given).lexically_normal().string();
}

// An account number of four digits.
bool ParseAccount(const std::string& text, int& account) {
  long n = 0;
  if (text.size() != 4 || !ParseNumber(text, 0, 9999, n)) {
    std::cerr << "bfnolk: " << text << " är inget kontonummer (fyra siffror)\n";
    return false;
  }
  account = static_cast<int>(n);
  return true;
}

bool Refused(const std::string& what, const std::string& message) {
  std::cerr << "bfnolk: " << what << ": " << ansi::ToUtf8(message) << "\n";
  return false;
}

bool CheckedText(const std::string& what, const std::string& value, const bf::TextField& field, std::string& stored) {
  std::string message;
  return bf::TakeText(field, value, stored, message) || Refused(what, message);
}

bool CheckedAmount(const std::string& what, const std::string& value, const bf::AmountField& field, double& amount) {
  std::string message;
  return bf::TakeAmount(field, value, amount, message) || Refused(what, message);
}

}  // namespace bfnolk
