#include "app/bfnolk_json.h"

#include <cstdio>

#include "common/Ansi.h"

namespace bfnolk {

std::string JsonText(const std::string& ansiText) {
  std::string out = "\"";
  for (const char c : ansi::ToUtf8(ansiText)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char esc[8];
          std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned char>(c));
          out += esc;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

void JsonObject::Name(const std::string& name) {
  if (!body_.empty()) body_ += ",";
  body_ += JsonText(name) + ":";
}

JsonObject& JsonObject::Text(const std::string& name, const std::string& ansiValue) {
  Name(name);
  body_ += JsonText(ansiValue);
  return *this;
}

JsonObject& JsonObject::Number(const std::string& name, long long value) {
  Name(name);
  body_ += std::to_string(value);
  return *this;
}

std::string JsonAmount(double value) {
  char s[400];  // enough for the largest double in fixed notation
  std::snprintf(s, sizeof s, "%.2f", value);
  return std::string(s) == "-0.00" ? "0.00" : s;
}

JsonObject& JsonObject::Amount(const std::string& name, double value) {
  Name(name);
  body_ += JsonAmount(value);
  return *this;
}

JsonObject& JsonObject::Raw(const std::string& name, const std::string& json) {
  Name(name);
  body_ += json;
  return *this;
}

void JsonArray::AddRaw(const std::string& json) {
  if (!body_.empty()) body_ += ",";
  body_ += json;
}

}  // namespace bfnolk
