// Small text helpers shared by every subsystem: code pages, padded numbers and amounts,
// and the HTML form of the Nordic letters. All text is Windows-1252 bytes unless a
// function says otherwise; widths count bytes.
#pragma once

#include <string>
#include <string_view>

namespace esmall {

// Converts between code pages through iconv ("CP1252", "CP850", "CP437", "UTF-8", ...).
// A character the target lacks becomes '?'; an unknown code page leaves the text unchanged.
std::string ConvertCodePage(std::string_view text, const char* from, const char* to);

// Windows-1252 and the OEM code page 850 in which older files hold Nordic letters.
inline std::string AnsiToOem(std::string_view text) { return ConvertCodePage(text, "CP1252", "CP850"); }
inline std::string OemToAnsi(std::string_view text) { return ConvertCodePage(text, "CP850", "CP1252"); }

// True when the text holds one of the DOS (437/850) bytes of Å Ä Ö å ä ö.
bool HasDosSwedishLetters(std::string_view text);

// Replaces the DOS bytes of Å Ä Ö å ä ö É é Ü ü Æ æ (the same in 437 and 850) by the
// Windows-1252 letters and leaves every other byte alone, so a mostly-Windows text with
// a few DOS letters comes out whole.
std::string DosLettersToAnsi(std::string_view text);

// DosLettersToAnsi, but only when the text holds a DOS Swedish letter: the rule by which
// messages and progress lines are shown.
std::string ShowableText(std::string_view text);

// Replaces Æ æ É é Ü ü Å å Ä ä Ö ö by their HTML entities; other bytes are copied.
std::string ToHtml(std::string_view text);

// Decimal integer padded on the left with '0' (ZeroPadded) or blanks (BlankPadded) to
// width; a longer number is kept whole. A negative number keeps its sign in front.
std::string ZeroPadded(long long value, int width);
std::string BlankPadded(long long value, int width);

// A real number with two decimals and a point, right-aligned with blanks to width.
std::string Amount(double value, int width);

// The text padded on the right with fill to width; a longer text is kept whole.
std::string Pad(std::string_view text, int width, char fill = ' ');

// The text with every byte a file name cannot hold where the program's folders may be
// shared (control characters, DEL and / \ : * ? " < > |) replaced by replacement.
std::string FileNamePart(std::string_view text, char replacement);

// Whether text ends with end, letters a..z compared without regard to case (file name
// extensions: ".pdf", ".JPG").
bool EndsWithNoCase(std::string_view text, std::string_view end);

// The first max bytes of text.
inline std::string Cut(std::string_view text, size_t max) {
  return std::string(text.substr(0, max));
}

}  // namespace esmall
