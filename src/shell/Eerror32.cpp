#include "shell/Eerror32.h"

#include "shell/EMsgTxt.h"
#include "shell/ESmall.h"
#include "storage/Filer_error.h"

namespace eerror {

std::string StatusMsg;
std::string LastStatusMsg;

namespace {

// The code's hundred. Codes -99..99 are all status-line messages; a code below that is a
// caller's slip and is shown as a status line too rather than lost.
int PresentationOf(int code) { return code < 0 ? kStatusLine : code / 100 * 100; }

}  // namespace

int EMsg(int code, const std::string& text) {
  const std::string shown = esmall::ShowableText(esmall::Cut(text, kMaxMessage));
  switch (PresentationOf(code)) {
    case kStatusLine:
      StatusMsg = shown;
      return kOk;
    case kQuestion:
      return CurrentMessageBoxes().Show(BoxKind::Question, "??", shown);
    case kWarning:
      return CurrentMessageBoxes().Show(BoxKind::Warning, "info", shown);
    case kAbortRetryIgnore:
      return CurrentMessageBoxes().Show(BoxKind::AbortRetryIgnore, "error", shown);
    default:
      return CurrentMessageBoxes().Show(BoxKind::Error, "error", shown);
  }
}

bool EMsgCode(int code) {
  switch (code % 100) {
    case kFilesMissingText: StatusMsg = emsgtxt::msgtext(324); break;
    case kFilesOpenText: StatusMsg = emsgtxt::msgtext(325); break;
    case kFilesClosedText: StatusMsg = emsgtxt::msgtext(326); break;
    case kPrintDoneText: StatusMsg = emsgtxt::msgtext(329); break;
    case kNoDatabaseText: StatusMsg = emsgtxt::msgtext(330); break;
    case kNoText:
    case kBlankText: StatusMsg.clear(); break;
    default: break;
  }
  const int answer = EMsg(code, StatusMsg);
  return answer == kNoButton || answer == kOk || answer == kRetry || answer == kIgnore ||
         answer == kYes;
}

void ReportIsamError() {
  StatusMsg = emsgtxt::msgtext(isam::IsamError);
  EMsgCode(kCommonWarning);
}

long NumberEntry(const std::string& prompt, long number) {
  const long entered = CurrentMessageBoxes().AskNumber(esmall::Cut(prompt, 79), number);
  // Five characters hold -9999..99999; anything else cannot have been typed there.
  return entered >= -9999 && entered <= 99999 ? entered : number;
}

}  // namespace eerror
