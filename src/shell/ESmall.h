// Small text helpers shared by every subsystem.
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

}  // namespace esmall
