// Filling a printer block from a printer and selecting a block's printer again, through
// the current PrinterSystem (until one is installed: a PrinterList with "PDF-fil" only).
#pragma once

#include "printing/PrinterEnv.h"
#include "printing/PrinterSystem.h"

#include <string>

namespace printing {

PrinterSystem& CurrentPrinterSystem();
// Makes system current (nullptr: the built-in list) and returns the one it replaces.
PrinterSystem* InstallPrinterSystem(PrinterSystem* system);

// The system's default printer into block: names, device mode, device names, the page
// set-up of a return-default run; then valid. A private part above 8193 bytes is not
// stored (a warning "glodefs:skrivardrivrutinens storlek är för stor " with its length and
// the limit). A default the system names but cannot find leaves StatusMsg
// "pagesetupdlg error: " with the error number, and the first printer is taken instead.
void getdefdevmode(TPrinterEnv& block);

// The printer selected now into block: names and device mode; then valid.
void gettheprinter(TPrinterEnv& block);

// Selects the printer of a valid block; otherwise StatusMsg "Error! Kan ej finna default
// skrivare." and false.
bool Setdefdevmode(const TPrinterEnv& block);

// The block's printer with its device mode.
Printer StoredPrinter(const TPrinterEnv& block);

// Selects the block's printer with its device mode for the next job. False when the
// system refuses it.
bool SelectStoredPrinter(const TPrinterEnv& block);

}  // namespace printing
