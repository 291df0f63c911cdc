#include "common/Ansi.h"

#include <cstdio>
#include <utility>

namespace ansi {
namespace {

// Code points of the bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The code page's byte for cp; false when it has none (also for kNotUtf8).
bool ByteOf(char32_t cp, char& byte) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
    byte = static_cast<char>(cp);
    return true;
  }
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) {
      byte = static_cast<char>(0x80 + i);
      return true;
    }
  return false;
}

// Decodes the UTF-8 character at s[i]: its code point, or kNotUtf8 for a malformed or cut
// sequence; i moves past what was read (one byte for a malformed sequence). A longer form
// than a code point needs, a surrogate and anything above U+10FFFF are malformed too, so
// that Windows-1252 bytes are rarely mistaken for UTF-8.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  static constexpr char32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
  const auto lead = static_cast<unsigned char>(s[i]);
  const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
  char32_t cp = extra <= 0 ? lead : (lead & (0x3F >> extra));
  bool ok = extra >= 0 && i + extra < s.size();
  for (int k = 1; ok && k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    ok = (c & 0xC0) == 0x80;
    cp = (cp << 6) | (c & 0x3F);
  }
  ok = ok && cp >= kLeast[extra] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
  i += ok ? 1 + extra : 1;
  return ok ? cp : kNotUtf8;
}

}  // namespace

char16_t ToUtf16(unsigned char c) {
  return (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : static_cast<char16_t>(c);
}

std::string ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size() * 2);
  for (unsigned char c : cp1252) AppendUtf8(out, ToUtf16(c));
  return out;
}

std::string FromUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char byte = '?';
    ByteOf(NextCodePoint(s, i), byte);
    out += byte;
  }
  return out;
}

bool FromUtf8Exact(std::string_view s, std::string& cp1252, char32_t& missing) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const char32_t cp = NextCodePoint(s, i);
    char byte = 0;
    if (!ByteOf(cp, byte)) {
      missing = cp;
      return false;
    }
    out += byte;
  }
  cp1252 = std::move(out);
  return true;
}

std::string RefusedText(char32_t missing) {
  if (missing == kNotUtf8) return FromUtf8(" kan inte lagra texten: den är inte UTF-8");
  char codePoint[16];
  std::snprintf(codePoint, sizeof codePoint, "U+%04X", static_cast<unsigned>(missing));
  return std::string(" kan inte lagra tecknet ") + codePoint + " (finns inte i Windows-1252)";
}

}  // namespace ansi
