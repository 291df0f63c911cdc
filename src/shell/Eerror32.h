// The central message routine and the status message. EMsg's code chooses the
// presentation: code div 100 is 0 for the status line (no box), 1 a Yes/No question "??",
// 2 a warning "info", 3 an abort/retry/ignore box "error", 4 and above an error box
// "error". Texts are Windows-1252 and cut to 160 characters; a text holding DOS letters
// is shown converted. Boxes go through the current MessageBoxes.
#pragma once

#include "shell/Eerror32_MessageBoxes.h"

#include <cstddef>
#include <string>

namespace eerror {

constexpr size_t kMaxMessage = 160;

// The status message: any part of the program may set it; the shell shows it in its
// status bar when it differs from LastStatusMsg, the text it showed last.
extern std::string StatusMsg;
extern std::string LastStatusMsg;

// Shows text by code and returns the button pressed (1 for the status line).
int EMsg(int code, const std::string& text);

// EMsg with a text chosen by code mod 100 (7, 31, 33, 36, 39: catalogue 324, 325, 326, 329,
// 330; 0 and 34: empty; others: StatusMsg as left by the caller), which also becomes
// StatusMsg. True when the answer was none, OK, Retry, Ignore or Yes.
bool EMsgCode(int code);

// The storage engine's last error as a warning box: its catalogue text into StatusMsg,
// then EMsgCode(201).
void ReportIsamError();

// A short tone through the current MessageBoxes.
inline void Beep() { CurrentMessageBoxes().Beep(); }

// The number dialog: the prompt (at most 79 characters) and a number field of at most 5
// characters starting with number; the entered number on OK, number on Cancel.
long NumberEntry(const std::string& prompt, long number);

}  // namespace eerror
