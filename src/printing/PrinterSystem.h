// The printers of the machine as the printing system shows them, behind an interface: the
// window side lists the CUPS printers through Qt, programs without windows use a
// PrinterList. Beside the real printers there is always the printer "PDF-fil", which writes
// the job as a PDF file into the exchange directory; it is the default when the machine has
// no printer, and every PrinterSystem accepts it in Select. Names are Windows-1252.
#pragma once

#include "printing/PrinterEnv.h"

#include <string>
#include <vector>

namespace printing {

struct Printer {
  std::string driver;  // the printing system's
  std::string device;  // the printer's name
  std::string port;
  DeviceMode mode;
};

class PrinterSystem {
 public:
  virtual ~PrinterSystem() = default;
  // The real printers with their default settings ("PDF-fil" not among them).
  virtual std::vector<Printer> RealPrinters() const = 0;
  // The device name of the system's default printer; empty when it names none.
  virtual std::string DefaultPrinterName() const = 0;
  // The printer selected for the next job, with its settings.
  virtual Printer Selected() const = 0;
  // Selects printer with its settings for the next job; false when the system refuses
  // (an unknown printer, settings it cannot take).
  virtual bool Select(const Printer& printer) = 0;
};

// "PDF-fil" with its settings: A4, portrait.
Printer PdfFilePrinter();
bool IsPdfFilePrinter(const std::string& device);

// The real printers and then "PDF-fil".
std::vector<Printer> AllPrinters(const PrinterSystem& system);

// The system's default printer; the first real printer when it names none or one it does
// not list; "PDF-fil" when the machine has no printer. knownDefault tells whether the
// system's own default was found.
Printer DefaultPrinter(const PrinterSystem& system, bool* knownDefault = nullptr);

// A fixed list of printers with a selection kept in memory: for programs without windows
// (an empty list: only "PDF-fil") and for tests. Select refuses a device it does not list.
class PrinterList : public PrinterSystem {
 public:
  explicit PrinterList(std::vector<Printer> printers = {}, std::string defaultName = {});
  std::vector<Printer> RealPrinters() const override { return printers_; }
  std::string DefaultPrinterName() const override { return defaultName_; }
  Printer Selected() const override { return selected_; }
  bool Select(const Printer& printer) override;

 private:
  std::vector<Printer> printers_;
  std::string defaultName_;
  Printer selected_;
};

}  // namespace printing
