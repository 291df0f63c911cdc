// The words after a bfnolk command: options with a value (--name N), switches (--yes,
// --json, --help) and the rest in order. Each command says which options it takes, so a
// misspelt option is a usage error and never silently ignored.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "bookkeeping/BFdefs_input.h"

namespace bfnolk {

class Arguments {
 public:
  // valued: option names that take a value ("--name"); switches: those that do not. An
  // option given twice keeps every value in order. error() tells what was wrong.
  Arguments(const std::vector<std::string>& words, const std::set<std::string>& valued,
            const std::set<std::string>& switches);

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  bool Has(const std::string& option) const { return given_.count(option) != 0; }
  // The last value of option, or fallback.
  std::string Value(const std::string& option, const std::string& fallback = "") const;
  const std::vector<std::string>& Values(const std::string& option) const;
  const std::vector<std::string>& positional() const { return positional_; }

 private:
  std::map<std::string, std::vector<std::string>> given_;
  std::vector<std::string> positional_;
  std::string error_;
};

// A whole decimal number in [low, high]; false for anything else.
bool ParseNumber(const std::string& text, long low, long high, long& value);

// Says on standard error that what (an option) was refused and why (message, Windows-1252);
// false.
bool Refused(const std::string& what, const std::string& message);

// path as the caller meant it: a relative name is taken from the folder bfnolk was started in
// (a session moves the current directory into the data directory).
std::string CallersPath(const std::string& path);

// An account number of four digits; false with a message on standard error for anything else.
bool ParseAccount(const std::string& text, int& account);

// value, given as what (an option or a row), checked against the field it goes into; false
// with the field's limit on standard error when the field cannot hold it.
bool CheckedText(const std::string& what, const std::string& value, const bf::TextField& field, std::string& stored);
bool CheckedAmount(const std::string& what, const std::string& value, const bf::AmountField& field, double& amount);

}  // namespace bfnolk
