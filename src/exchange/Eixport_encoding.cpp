#include "exchange/Eixport_encoding.h"

#include <algorithm>
#include <cstdio>

#include "common/Ansi.h"

namespace eixport {

size_t WholeUtf8Prefix(std::string_view bytes) {
  // The last lead byte among the last four; a continuation byte ahead of the end needs one.
  for (size_t back = 1; back <= std::min<size_t>(4, bytes.size()); ++back) {
    const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((c & 0xC0) == 0x80) continue;
    const size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    return length > back ? bytes.size() - back : bytes.size();
  }
  return bytes.size();
}

void TextEncodingScan::Feed(std::string_view piece) {
  if (started_) {
    Consume(piece);
    return;
  }
  start_.append(piece);
  if (start_.size() < kUtf8Bom.size()) return;
  started_ = true;
  bom_ = std::string_view(start_).substr(0, kUtf8Bom.size()) == kUtf8Bom;
  Consume(std::string_view(start_).substr(BomLength()));
  start_.clear();
}

void TextEncodingScan::Finish() {
  if (!started_) Consume(start_);  // a file shorter than the byte order mark
  started_ = true;
  Scan(carry_);  // a character cut by the end of the file makes it no UTF-8
  carry_.clear();
}

void TextEncodingScan::Consume(std::string_view piece) {
  std::string text = carry_;
  text.append(piece);
  const size_t whole = WholeUtf8Prefix(text);
  Scan(std::string_view(text).substr(0, whole));
  carry_ = text.substr(whole);
}

void TextEncodingScan::Scan(std::string_view text) {
  if (!valid_) return;
  beyondAscii_ = beyondAscii_ || std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; });
  // Line by line, for the line of a character the code page lacks; a line end is never
  // inside a UTF-8 sequence.
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string converted;
    char32_t missing = 0;
    if (!ansi::FromUtf8Exact(text.substr(0, end), converted, missing)) {
      if (missing == ansi::kNotUtf8) {
        valid_ = false;
        invalidLine_ = line_;
        return;
      }
      if (missing_ == 0) {
        missing_ = missing;
        missingLine_ = line_;
      }
    }
    if (end == text.size()) return;
    ++line_;
    text.remove_prefix(end + 1);
  }
}

std::string TextEncodingScan::Refusal() const {
  if (!Utf8()) return "";
  if (!valid_) return A(": rad ") + std::to_string(invalidLine_) + A(" är inte UTF-8, fast filen börjar som UTF-8");
  if (missing_ == 0) return "";
  char codePoint[16];
  std::snprintf(codePoint, sizeof codePoint, "U+%04X", static_cast<unsigned>(missing_));
  return A(": rad ") + std::to_string(missingLine_) + A(" har tecknet ") + codePoint +
         A(", som inte finns i Windows-1252");
}

}  // namespace eixport
