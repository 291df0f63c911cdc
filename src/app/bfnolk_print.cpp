#include "app/bfnolk_print.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

#include "app/bfnolk_arguments.h"
#include "app/bfnolk_qt.h"
#include "app/bfnolk_print_json.h"
#include "app/bfnolk_print_selection.h"
#include "app/bfnolk_session.h"
#include "common/Ansi.h"
#include "printing/PrinterSelect.h"
#include "printing/ewrite32_pdffile.h"
#include "printing/ewrite32_textdevice.h"
#include "printing/ui/QtPrintCanvas.h"
#include "reports/BFPrint_report.h"
#include "shell/ESmall.h"
#include "shell/ekonfig32.h"
#include "shell/ui/QtPrinterSystem.h"

namespace bfnolk {

namespace {

// The report to print and what it is made of.
struct Order {
  const reports::Report* report = nullptr;
  reports::Selection selection;
};

// text (UTF-8) to standard output ("-") or the file to.
int Output(const std::string& text, const std::string& to) {
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

int PrintOnTextDevice(const Printout& printout, const std::string& to) {
  printing::TextDevice device;
  printing::PrintJob job(device);
  const bool printed = printout(job, device);
  PrintStatus();
  if (!printed) return kRefused;
  return Output(ansi::ToUtf8(device.Output()), to);
}

int WriteJson(Session& session, const Order& order, const std::string& to) {
  bf::BfShared& s = session.db().shared();
  const std::optional<reports::Content> content = order.report->content(s, order.selection);
  PrintStatus();
  if (!content) return kRefused;
  return Output(ReportJson(*order.report, s.dataBas, *content) + "\n", to);
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

int PrintTo(const Printout& printout, const printing::TPrinterEnv& block, const std::string& to,
            const std::string* printerName) {
  if (printerName != nullptr) return PrintThroughQt(printout, block, printerName, "");
  if (esmall::EndsWithNoCase(to, ".pdf")) return PrintThroughQt(printout, block, nullptr, to);
  return PrintOnTextDevice(printout, to);
}

bool IsPrintCommand(const std::string& command) { return command == "print"; }

// The names of the reports for a usage message.
std::string ReportNames() {
  std::string names;
  for (const reports::Report& r : reports::Reports()) names += (names.empty() ? "" : ", ") + std::string(r.word);
  return names;
}

int PrintCommand(const std::vector<std::string>& words) {
  const Arguments a(words, {"--to", "--printer", "--accounts", "--vers", "--format"}, {});
  if (!a.ok()) {
    std::cerr << "bfnolk print: " << a.error() << "\n";
    return kUsage;
  }
  Order order;
  if (a.positional().size() == 1) order.report = reports::FindReport(a.positional()[0]);
  if (order.report == nullptr) {
    std::cerr << "bfnolk print: ange en rapport: " << ReportNames() << "\n";
    return kUsage;
  }
  if (a.Has("--to") && a.Has("--printer")) {
    std::cerr << "bfnolk print: ange --to eller --printer, inte båda\n";
    return kUsage;
  }
  const std::string format = a.Value("--format", "text");
  if (format != "text" && format != "json") {
    std::cerr << "bfnolk print: --format är text eller json\n";
    return kUsage;
  }
  const bool json = format == "json";
  NumberList accounts, vers;
  if (a.Has("--accounts") && order.report->choice != reports::Choice::kAccounts) {
    std::cerr << "bfnolk print: " << order.report->word << " väljer inga konton (--accounts)\n";
    return kUsage;
  }
  if (a.Has("--vers") && order.report->choice != reports::Choice::kVerifications) {
    std::cerr << "bfnolk print: " << order.report->word << " väljer inga verifikationer (--vers)\n";
    return kUsage;
  }
  if (a.Has("--accounts") && !accounts.Parse("--accounts", a.Value("--accounts"), 9999)) return kUsage;
  if (a.Has("--vers") && !vers.Parse("--vers", a.Value("--vers"), INT16_MAX)) return kUsage;
  std::string to = a.Value("--to", "-");
  if (to != "-") to = CallersPath(to);
  const bool pdf = esmall::EndsWithNoCase(to, ".pdf");
  if (json && (pdf || a.Has("--printer"))) {
    std::cerr << "bfnolk print: --format json skrivs som text, till standard ut eller en fil\n";
    return kUsage;
  }
  Session session(false, bf::Access::kReadOnly);
  if (!session.ok()) return kRefused;
  bf::BfShared& s = session.db().shared();
  if (!session.NeedBookkeeping() || !reports::EnoughData(s, *order.report) ||
      !SelectionOf(s, *order.report, accounts, vers, order.selection)) {
    PrintStatus();
    return kRefused;
  }
  if (json) return WriteJson(session, order, to);
  const Printout report = [&](printing::PrintJob& job, printing::PrintCanvas&) {
    return reports::PrintReport(job, s, *order.report, order.selection, ekonfig::CurRapport);
  };
  const std::string name = a.Value("--printer", "");
  return PrintTo(report, ekonfig::CurRapport.Printer(), to, a.Has("--printer") ? &name : nullptr);
}

}  // namespace bfnolk
