// bfnolk print: the printed reports of the selected bookkeeping on the text device, to
// standard output or a file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "printing/ewrite32.h"

namespace bfnolk {

// What a command prints on a job opened over canvas; false when nothing was printed.
using Printout = std::function<bool(printing::PrintJob& job, printing::PrintCanvas& canvas)>;

// Prints on the printer named (block with that printer), into a PDF file when to ends in
// ".pdf" (through "PDF-fil"), else on the text device to the file to or standard output
// ("-"). The exit code.
int PrintTo(const Printout& printout, const printing::TPrinterEnv& block, const std::string& to,
            const std::string* printerName);

bool IsPrintCommand(const std::string& command);
// Runs print with the words after it; returns the exit code.
int PrintCommand(const std::vector<std::string>& words);

}  // namespace bfnolk
