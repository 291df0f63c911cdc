// JSON output of bfnolk for scripts: objects and arrays built field by field, texts given in
// Windows-1252 and written as UTF-8 with every character JSON needs escaped.
#pragma once

#include <string>

namespace bfnolk {

std::string JsonText(const std::string& ansiText);
// A money amount with two decimals, as a JSON number.
std::string JsonAmount(double value);

class JsonObject {
 public:
  JsonObject& Text(const std::string& name, const std::string& ansiValue);
  JsonObject& Number(const std::string& name, long long value);
  // A money amount with two decimals, as a JSON number.
  JsonObject& Amount(const std::string& name, double value);
  JsonObject& Raw(const std::string& name, const std::string& json);
  std::string str() const { return "{" + body_ + "}"; }

 private:
  void Name(const std::string& name);
  std::string body_;
};

class JsonArray {
 public:
  void Add(const JsonObject& o) { AddRaw(o.str()); }
  void AddRaw(const std::string& json);
  std::string str() const { return "[" + body_ + "]"; }

 private:
  std::string body_;
};

}  // namespace bfnolk
