// The central message routine and the status message. EMsg's code chooses the
// presentation by code div 100 (MsgCode); texts are Windows-1252 and cut to 160
// characters; a text holding DOS letters is shown converted. Boxes go through the current
// MessageBoxes.
#pragma once

#include "shell/Eerror32_MessageBoxes.h"

#include <cstddef>
#include <string>

namespace eerror {

constexpr size_t kMaxMessage = 160;

// Message codes. EMsg looks only at code div 100, the presentation; EMsgCode also chooses
// its text by code mod 100 (the ...Text values, added to a presentation).
enum MsgCode : int {
  kStatusLine = 0,           // no box: the text becomes StatusMsg
  kQuestion = 100,           // Yes/No box "??"; the answer is kYes or kNo
  kWarning = 200,            // OK box "info" with the exclamation icon
  kAbortRetryIgnore = 300,   // Abort/Retry/Ignore box "error"
  kErrorBox = 400,           // OK box "error"; so is every code above

  kNoText = 0,               // EMsgCode: an empty text
  kCallerText = 1,           // EMsgCode: StatusMsg as the caller left it, as every value not named here
  kFilesMissingText = 7,     // EMsgCode: catalogue 324 "Datafiler saknas/ ej i aktuellt bibliotek"
  kFilesOpenText = 31,       // EMsgCode: catalogue 325 "Filerna öppna...."
  kFilesClosedText = 33,     // EMsgCode: catalogue 326 "Filerna stängda.."
  kBlankText = 34,           // EMsgCode: an empty text, as kNoText
  kPrintDoneText = 36,       // EMsgCode: catalogue 329 "Printerutskriften klar..!"
  kNoDatabaseText = 39,      // EMsgCode: catalogue 330 "Databas ej vald/ datafiler saknas!"

  kCommonWarning = kWarning + kCallerText,  // 201, the warning the program uses most
};

// The status message: any part of the program may set it; the shell shows it in its
// status bar when it differs from LastStatusMsg, the text it showed last.
extern std::string StatusMsg;
extern std::string LastStatusMsg;

// Shows text by code and returns the button pressed (1 for the status line).
int EMsg(int code, const std::string& text);

// EMsg with a text chosen by code mod 100 (the ...Text values of MsgCode), which also
// becomes StatusMsg. True when the answer was none, OK, Retry, Ignore or Yes.
bool EMsgCode(int code);

// The storage engine's last error as a warning box: its catalogue text into StatusMsg,
// then EMsgCode(kCommonWarning).
void ReportIsamError();

// A short tone through the current MessageBoxes.
inline void Beep() { CurrentMessageBoxes().Beep(); }

// The number dialog: the prompt (at most 79 characters) and a number field of at most 5
// characters starting with number; the entered number on OK, number on Cancel.
long NumberEntry(const std::string& prompt, long number);

}  // namespace eerror
