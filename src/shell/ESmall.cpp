#include "shell/ESmall.h"

#include "common/Ansi.h"

#include <iconv.h>

#include <cerrno>

namespace esmall {

std::string ConvertCodePage(std::string_view text, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr - buffer);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      // A character without a place in the target (or a broken sequence): one '?' for it.
      out += '?';
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace esmall

#include <array>
#include <cmath>
#include <cstdio>

namespace esmall {
namespace {

constexpr std::string_view kConvertedLetters = "ÅÄÖåäöÉéÜüÆæ";  // UTF-8, six Swedish first

// DOS byte -> Windows-1252 byte for the twelve letters (0 where a byte is not one of them).
// Built through the code-page wrapper, so the letters are not spelled twice.
struct DosLetterTable {
  std::array<unsigned char, 256> toAnsi{};
  std::array<bool, 256> swedish{};
  DosLetterTable() {
    const std::string ansiLetters = A(kConvertedLetters);
    const std::string dosLetters = ConvertCodePage(ansiLetters, "CP1252", "CP437");
    for (size_t i = 0; i < ansiLetters.size() && i < dosLetters.size(); ++i) {
      const auto dos = static_cast<unsigned char>(dosLetters[i]);
      toAnsi[dos] = static_cast<unsigned char>(ansiLetters[i]);
      swedish[dos] = i < 6;
    }
  }
};

const DosLetterTable& Table() {
  static const DosLetterTable table;
  return table;
}

std::string Padded(long long value, int width, char fill) {
  std::string digits = std::to_string(value < 0 ? -static_cast<unsigned long long>(value)
                                                : static_cast<unsigned long long>(value));
  const size_t sign = value < 0 ? 1 : 0;
  if (width > 0 && digits.size() + sign < static_cast<size_t>(width)) {
    digits.insert(0, width - digits.size() - sign, fill);
  }
  if (value < 0) digits.insert(fill == '0' ? 0 : digits.find_first_not_of(' '), 1, '-');
  return digits;
}

}  // namespace

bool HasDosSwedishLetters(std::string_view text) {
  for (unsigned char c : text)
    if (Table().swedish[c]) return true;
  return false;
}

std::string DosLettersToAnsi(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const unsigned char ansi = Table().toAnsi[static_cast<unsigned char>(c)];
    if (ansi != 0) c = static_cast<char>(ansi);
  }
  return out;
}

std::string ShowableText(std::string_view text) {
  return HasDosSwedishLetters(text) ? DosLettersToAnsi(text) : std::string(text);
}

std::string ToHtml(std::string_view text) {
  static const std::string letters = A("ÆæÉéÜüÅåÄäÖö");
  static const char* const entities[] = {"&AElig;", "&aelig;", "&Eacute;", "&eacute;",
                                         "&Uuml;",  "&uuml;",  "&Aring;",  "&aring;",
                                         "&Auml;",  "&auml;",  "&Ouml;",   "&ouml;"};
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const size_t at = letters.find(c);
    if (at == std::string::npos) out += c;
    else out += entities[at];
  }
  return out;
}

std::string ZeroPadded(long long value, int width) { return Padded(value, width, '0'); }
std::string BlankPadded(long long value, int width) { return Padded(value, width, ' '); }

std::string Amount(double value, int width) {
  if (!std::isfinite(value)) value = 0.0;
  if (width < 0) width = 0;
  const int length = std::snprintf(nullptr, 0, "%*.2f", width, value);
  std::string out(length, ' ');
  std::snprintf(out.data(), out.size() + 1, "%*.2f", width, value);
  return out;
}

std::string FileNamePart(std::string_view text, char replacement) {
  std::string name(text);
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
      c = replacement;
  }
  return name;
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  const std::string_view tail = text.substr(text.size() - end.size());
  for (size_t i = 0; i < end.size(); ++i)
    if (upper(tail[i]) != upper(end[i])) return false;
  return true;
}

std::string Pad(std::string_view text, int width, char fill) {
  std::string out(text);
  if (width > 0 && out.size() < static_cast<size_t>(width)) out.append(width - out.size(), fill);
  return out;
}

}  // namespace esmall
