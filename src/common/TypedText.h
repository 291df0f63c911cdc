// Typed text checked against the stored field it is to go into: the rule every dialog and
// bfnolk share, so that nothing a user types is cut or replaced on its way to the files.
// A text must be UTF-8 whose every character Windows-1252 holds, and no longer than its
// field's capacity in those characters; the refusal (Windows-1252) names the field and its
// limit, or the character that cannot be stored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace typedtext {

struct TextField {
  const char* name;  // as messages name it (UTF-8)
  size_t capacity;   // characters
};

// What a text field holds, as its refusals say it: "kontonamn rymmer högst 8 tecken".
std::string FullFieldText(const TextField& field);

// typed (UTF-8) as the Windows-1252 text the field stores. False, with stored unchanged and
// the reason in message, when a character is not in the code page, the text is not UTF-8
// or it is longer than the field.
bool TakeText(const TextField& field, std::string_view typed, std::string& stored, std::string& message);

}  // namespace typedtext
