#include "printing/ui/QtReportRun.h"

#include "printing/ewrite32_pdffile.h"
#include "printing/ui/QtPrintCanvas.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace printui {

void PrintReport(const std::function<bool(printing::PrintJob&)>& report) {
  QtPrintCanvas canvas(ekonfig::CurRapport.Printer(), printing::PdfFileFolder());
  printing::PrintJob job(canvas);
  const bool printed = report(job);
  const std::string outcome = PrintOutcome(canvas, job, printed);
  if (!outcome.empty()) eerror::StatusMsg = outcome;
}

}  // namespace printui
