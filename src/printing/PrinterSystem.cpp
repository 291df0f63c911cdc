#include "printing/PrinterSystem.h"

#include <algorithm>

namespace printing {
namespace {

const char kPdfFile[] = "PDF-fil";

const Printer* Find(const std::vector<Printer>& printers, const std::string& device) {
  const auto found = std::find_if(printers.begin(), printers.end(),
                                  [&](const Printer& p) { return p.device == device; });
  return found == printers.end() ? nullptr : &*found;
}

}  // namespace

Printer PdfFilePrinter() {
  Printer pdf;
  pdf.driver = "PDF";
  pdf.device = kPdfFile;
  pdf.port = "FILE:";
  return pdf;
}

bool IsPdfFilePrinter(const std::string& device) { return device == kPdfFile; }

std::vector<Printer> AllPrinters(const PrinterSystem& system) {
  std::vector<Printer> printers = system.RealPrinters();
  printers.erase(std::remove_if(printers.begin(), printers.end(),
                                [](const Printer& p) { return IsPdfFilePrinter(p.device); }),
                 printers.end());
  printers.push_back(PdfFilePrinter());
  return printers;
}

Printer DefaultPrinter(const PrinterSystem& system, bool* knownDefault) {
  const std::vector<Printer> printers = AllPrinters(system);
  const std::string name = system.DefaultPrinterName();
  const Printer* found = name.empty() ? nullptr : Find(printers, name);
  if (knownDefault != nullptr) *knownDefault = found != nullptr || name.empty();
  return found != nullptr ? *found : printers.front();
}

PrinterList::PrinterList(std::vector<Printer> printers, std::string defaultName)
    : printers_(std::move(printers)), defaultName_(std::move(defaultName)) {
  selected_ = DefaultPrinter(*this);
}

bool PrinterList::Select(const Printer& printer) {
  if (!IsPdfFilePrinter(printer.device) && Find(printers_, printer.device) == nullptr) return false;
  selected_ = printer;
  return true;
}

}  // namespace printing
