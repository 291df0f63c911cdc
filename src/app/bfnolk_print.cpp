#include "app/bfnolk_print.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include "app/bfnolk_arguments.h"
#include "app/bfnolk_qt.h"
#include "app/bfnolk_session.h"
#include "common/Ansi.h"
#include "printing/PrinterSelect.h"
#include "printing/ewrite32_pdffile.h"
#include "printing/ewrite32_textdevice.h"
#include "printing/ui/QtPrintCanvas.h"
#include "reports/bflista.h"
#include "shell/ESmall.h"
#include "shell/ekonfig32.h"
#include "shell/ui/QtPrinterSystem.h"

namespace bfnolk {

namespace {

int PrintOnTextDevice(const Printout& printout, const std::string& to) {
  printing::TextDevice device;
  printing::PrintJob job(device);
  const bool printed = printout(job, device);
  PrintStatus();
  if (!printed) return kRefused;
  const std::string text = ansi::ToUtf8(device.Output());
  if (to == "-") {
    std::cout << text;
    return std::cout.flush() ? kDone : kRefused;
  }
  std::ofstream file(to, std::ios::binary | std::ios::trunc);
  if (!(file << text) || !file.flush()) {
    std::cerr << "bfnolk print: kan inte skriva " << to << "\n";
    return kRefused;
  }
  return kDone;
}

// The report setting's printer block with the printer named instead of its own; false, with
// the printers there are, when the system lists no such printer.
bool WithPrinter(printing::TPrinterEnv& block, const std::string& name) {
  printing::PrinterSystem& system = printing::CurrentPrinterSystem();
  for (const printing::Printer& printer : printing::AllPrinters(system)) {
    if (printer.device != name) continue;
    if (!system.Select(printer)) break;
    printing::gettheprinter(block);
    return true;
  }
  std::cerr << "bfnolk print: skrivaren finns inte: " << ansi::ToUtf8(name) << "\nskrivare:";
  for (const printing::Printer& printer : printing::AllPrinters(system))
    std::cerr << " \"" << ansi::ToUtf8(printer.device) << "\"";
  std::cerr << "\n";
  return false;
}

// Printers and PDF files are drawn by Qt, as in the window program. pdfFile empty: the
// printer named (or the setting's).
int PrintThroughQt(const Printout& printout, printing::TPrinterEnv block, const std::string* printerName,
                   const std::string& pdfFile) {
  const OffscreenQt qt;
  shellui::InstallQtPrinterSystem();

  if (!pdfFile.empty() && !WithPrinter(block, printing::PdfFilePrinter().device)) return kRefused;
  if (printerName != nullptr && !WithPrinter(block, ansi::FromUtf8(*printerName))) return kRefused;
  printui::QtPrintCanvas canvas(block, printing::PdfFileFolder());
  if (!pdfFile.empty()) canvas.SetPdfFile(ansi::FromUtf8(pdfFile));
  printing::PrintJob job(canvas);
  const bool printed = printout(job, canvas);
  PrintStatus();
  if (!canvas.Failure().empty()) {
    std::cerr << "bfnolk print: " << ansi::ToUtf8(canvas.Failure()) << "\n";
    return kRefused;
  }
  if (!printed) return kRefused;
  if (canvas.IsPdfFile()) {
    std::cout << ansi::ToUtf8(canvas.PdfFile()) << "\n";
  } else {
    std::cout << "skickad till " << ansi::ToUtf8(block.DeviceName()) << "\n";
  }
  return kDone;
}

}  // namespace

std::string PrintTarget(const std::string& to) {
  if (to == "-") return to;
  std::error_code error;
  return std::filesystem::absolute(to, error).lexically_normal().string();
}

int PrintTo(const Printout& printout, const printing::TPrinterEnv& block, const std::string& to,
            const std::string* printerName) {
  if (printerName != nullptr) return PrintThroughQt(printout, block, printerName, "");
  if (esmall::EndsWithNoCase(to, ".pdf")) return PrintThroughQt(printout, block, nullptr, to);
  return PrintOnTextDevice(printout, to);
}

bool IsPrintCommand(const std::string& command) { return command == "print"; }

int PrintCommand(const std::vector<std::string>& words) {
  const Arguments a(words, {"--to", "--printer"}, {});
  if (!a.ok()) {
    std::cerr << "bfnolk print: " << a.error() << "\n";
    return kUsage;
  }
  if (a.positional().size() != 1 || a.positional()[0] != "summagrupper") {
    std::cerr << "bfnolk print: ange en rapport: summagrupper\n";
    return kUsage;
  }
  if (a.Has("--to") && a.Has("--printer")) {
    std::cerr << "bfnolk print: ange --to eller --printer, inte båda\n";
    return kUsage;
  }
  // Before the session: it moves the current directory into the data directory.
  const std::string to = PrintTarget(a.Value("--to", "-"));
  Session session(false, bf::Access::kReadOnly);
  if (!session.ok()) return kRefused;
  if (!session.NeedBookkeeping()) {
    PrintStatus();
    return kRefused;
  }
  const Printout report = [&](printing::PrintJob& job, printing::PrintCanvas&) {
    return reports::PrintSumGroups(job, session.db().shared(), ekonfig::CurRapport);
  };
  const std::string name = a.Value("--printer", "");
  return PrintTo(report, ekonfig::CurRapport.Printer(), to, a.Has("--printer") ? &name : nullptr);
}

}  // namespace bfnolk
