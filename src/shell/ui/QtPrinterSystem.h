// The printers of the machine as Qt lists them: the CUPS printers with their default page
// size, and beside them the always-present "PDF-fil". The selection for the next job is
// kept here; it takes only printers Qt lists and "PDF-fil". Also the two-way mapping
// between a printer with its settings and a QPrinter, for Qt's printer dialogs.
#pragma once

#include "printing/PrinterSystem.h"

class QPrinter;
class QPrinterInfo;

namespace shellui {

class QtPrinterSystem : public printing::PrinterSystem {
 public:
  QtPrinterSystem();
  std::vector<printing::Printer> RealPrinters() const override;
  std::string DefaultPrinterName() const override;
  printing::Printer Selected() const override { return selected_; }
  bool Select(const printing::Printer& printer) override;

 private:
  printing::Printer selected_;
};

// Makes one QtPrinterSystem current for the rest of the run; a second call does nothing.
void InstallQtPrinterSystem();

// The printer as Qt knows it, with its defaults.
printing::Printer PrinterOf(const QPrinterInfo& info);
// printer with its settings into qprinter, and back.
void ConfigurePrinter(QPrinter& qprinter, const printing::Printer& printer);
printing::Printer PrinterOf(const QPrinter& qprinter);

}  // namespace shellui
