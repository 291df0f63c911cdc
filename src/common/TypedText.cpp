#include "common/TypedText.h"

#include "common/Ansi.h"

namespace typedtext {

std::string FullFieldText(const TextField& field) {
  return A(field.name) + A(" rymmer högst ") + std::to_string(field.capacity) + " tecken";
}

bool TakeText(const TextField& field, std::string_view typed, std::string& stored, std::string& message) {
  std::string text;
  char32_t missing = 0;
  if (!ansi::FromUtf8Exact(typed, text, missing)) {
    message = A(field.name) + ansi::RefusedText(missing);
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
