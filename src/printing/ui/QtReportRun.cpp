#include "printing/ui/QtReportRun.h"

#include "printing/ewrite32_pdffile.h"
#include "printing/ui/QtPrintCanvas.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace printui {

void PrintOn(const printing::TPrinterEnv& printer,
             const std::function<bool(printing::PrintJob&, printing::PrintCanvas&)>& print) {
  QtPrintCanvas canvas(printer, printing::PdfFileFolder());
  printing::PrintJob job(canvas);
  const bool printed = print(job, canvas);
  const std::string outcome = PrintOutcome(canvas, job, printed);
  if (!outcome.empty()) eerror::StatusMsg = outcome;
}

void PrintReport(const std::function<bool(printing::PrintJob&)>& report) {
  PrintOn(ekonfig::CurRapport.Printer(), [&](printing::PrintJob& job, printing::PrintCanvas&) { return report(job); });
}

}  // namespace printui
