// Windows-1252 ("ANSI") text, the form in which every stored and compared text is kept.
// Conversions to and from Unicode for the edges of the program: file names handed to
// Linux, keys compared as UTF-16 code units, and UTF-8 text typed or shown by the tools.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ansi {

// The UTF-16 code unit of a Windows-1252 byte. The five bytes the code page leaves
// undefined (81, 8D, 8F, 90, 9D) map to the control characters of the same number, as
// Windows does, so every byte has a code unit and the mapping is one to one.
char16_t ToUtf16(unsigned char c);

std::string ToUtf8(std::string_view cp1252);

// UTF-8 to Windows-1252. A character the code page lacks, or a malformed sequence, becomes
// '?', so the result always has one byte per character of the input. Text a user typed for
// storing goes through FromUtf8Exact instead, so that nothing is replaced unseen.
std::string FromUtf8(std::string_view utf8);

// What FromUtf8Exact names when the text is not UTF-8 (beyond every code point).
inline constexpr char32_t kNotUtf8 = 0x110000;

// UTF-8 to Windows-1252 without loss, for text a user typed: false, with cp1252 unchanged,
// when a character has no byte in the code page (missing is its code point) or the text is
// not UTF-8 (missing is kNotUtf8).
bool FromUtf8Exact(std::string_view utf8, std::string& cp1252, char32_t& missing);

// Why FromUtf8Exact refused, after the name of what was to hold the text (Windows-1252):
// " kan inte lagra tecknet U+20AC (finns inte i Windows-1252)", or that it is not UTF-8.
std::string RefusedText(char32_t missing);

}  // namespace ansi

// A Swedish literal written in UTF-8 in the source, as the Windows-1252 bytes it is stored in.
inline std::string A(std::string_view utf8) { return ansi::FromUtf8(utf8); }
