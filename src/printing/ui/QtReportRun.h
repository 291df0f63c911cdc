// A report printed from a window: on the current report setting's printer through the Qt
// canvas, with the status line told what became of it (sent to the printer, written to
// which PDF file, cancelled, or why the printer could not start).
#pragma once

#include <functional>

#include "printing/PrinterEnv.h"
#include "printing/ewrite32.h"

namespace printui {

// report prints on the job it is given; false when it printed nothing.
void PrintReport(const std::function<bool(printing::PrintJob&)>& report);

// The same on the printer of another setting (the label setting's), for a print that draws
// on the canvas itself as well as through the job.
void PrintOn(const printing::TPrinterEnv& printer,
             const std::function<bool(printing::PrintJob&, printing::PrintCanvas&)>& print);

}  // namespace printui
