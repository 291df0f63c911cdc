#include "printing/PrinterSelect.h"

#include "common/Ansi.h"
#include "shell/Eerror32.h"

namespace printing {
namespace {

PrinterSystem* current = nullptr;

// What the page set-up reports when it has no default printer.
constexpr int kNoDefaultPrinter = 0x1008;

void StoreDeviceMode(TPrinterEnv& block, const Printer& printer) {
  if (!block.SetDeviceMode(printer.device, printer.mode)) {
    eerror::EMsg(eerror::kCommonWarning, A("glodefs:skrivardrivrutinens storlek är för stor ") +
                          std::to_string(printer.mode.privatePart.size()) + " > " +
                          std::to_string(kMaxPrivatePart));
  }
}

void StorePrinter(TPrinterEnv& block, const Printer& printer) {
  block.SetNames(printer.driver, printer.device, printer.port);
  StoreDeviceMode(block, printer);
  block.SetValid(true);
}

}  // namespace

PrinterSystem& CurrentPrinterSystem() {
  static PrinterList builtIn;
  return current != nullptr ? *current : builtIn;
}

PrinterSystem* InstallPrinterSystem(PrinterSystem* system) {
  PrinterSystem* previous = current;
  current = system;
  return previous;
}

void getdefdevmode(TPrinterEnv& block) {
  bool known = true;
  const Printer printer = DefaultPrinter(CurrentPrinterSystem(), &known);
  if (!known) eerror::StatusMsg = "pagesetupdlg error: " + std::to_string(kNoDefaultPrinter);
  StorePrinter(block, printer);
  block.SetDeviceNames(printer.driver, printer.device, printer.port, known);
  block.SetDefaultPageSetup(printer.mode.paperSize, printer.mode.orientation);
}

void gettheprinter(TPrinterEnv& block) { StorePrinter(block, CurrentPrinterSystem().Selected()); }

bool Setdefdevmode(const TPrinterEnv& block) {
  if (!block.Valid()) {
    eerror::StatusMsg = "Error! Kan ej finna default skrivare.";
    return false;
  }
  return SelectStoredPrinter(block);
}

Printer StoredPrinter(const TPrinterEnv& block) {
  return {block.DriverName(), block.DeviceName(), block.PortName(), block.GetDeviceMode()};
}

bool SelectStoredPrinter(const TPrinterEnv& block) { return CurrentPrinterSystem().Select(StoredPrinter(block)); }

}  // namespace printing
