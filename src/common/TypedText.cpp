#include "common/TypedText.h"

#include <cstdio>

#include "common/Ansi.h"

namespace typedtext {

namespace {

std::string CodePoint(char32_t cp) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
  return text;
}

}  // namespace

std::string FullFieldText(const TextField& field) {
  return A(field.name) + A(" rymmer högst ") + std::to_string(field.capacity) + " tecken";
}

bool TakeText(const TextField& field, std::string_view typed, std::string& stored, std::string& message) {
  std::string text;
  char32_t missing = 0;
  if (!ansi::FromUtf8Exact(typed, text, missing)) {
    message = A(field.name) + (missing == ansi::kNotUtf8
                                   ? A(" kan inte lagra texten: den är inte UTF-8")
                                   : " kan inte lagra tecknet " + CodePoint(missing) + " (finns inte i Windows-1252)");
    return false;
  }
  if (text.size() > field.capacity) {
    message = FullFieldText(field) + ", texten har " + std::to_string(text.size());
    return false;
  }
  stored = std::move(text);
  return true;
}

}  // namespace typedtext
