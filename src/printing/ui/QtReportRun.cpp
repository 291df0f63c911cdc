#include "printing/ui/QtReportRun.h"

#include "common/Ansi.h"
#include "printing/ewrite32_pdffile.h"
#include "printing/ui/QtPrintCanvas.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace printui {

void PrintReport(const std::function<bool(printing::PrintJob&)>& report) {
  const printing::TPrinterEnv printer = ekonfig::CurRapport.Printer();
  QtPrintCanvas canvas(printer, printing::PdfFileFolder());
  printing::PrintJob job(canvas);
  const bool printed = report(job);
  if (!canvas.Failure().empty()) {
    eerror::StatusMsg = canvas.Failure();
  } else if (job.Aborted()) {
    eerror::StatusMsg = A("Utskriften avbröts");
  } else if (printed) {
    eerror::StatusMsg = canvas.IsPdfFile() ? A("Rapporten skrevs till ") + canvas.PdfFile()
                                           : A("Rapporten skickades till ") + printer.DeviceName();
  }
}

}  // namespace printui
