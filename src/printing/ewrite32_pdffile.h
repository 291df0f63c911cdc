// Where the printer "PDF-fil" writes a job: a new file in the configuration's exchange
// directory (the data directory when none is set), named by the job title and the date and
// time, "BFNOLKW64_summagrupper 2026-03-15 10.00.00.pdf". A file already there is never
// overwritten: the next free name gets " (2)", " (3)" ... before ".pdf". The file is made
// (empty) when its name is chosen, so two jobs in the same second cannot both take it.
// Paths are Windows-1252.
#pragma once

#include "shell/ETider.h"

#include <string>

namespace printing {

// The folder of the PDF files: the exchange directory, else the data directory.
std::string PdfFileFolder();

// The file name of a job: the title with the characters a file name cannot hold (/ \ : * ?
// " < > | and control characters) as '_', a blank, the date and time with '.' between the
// time's parts, and ".pdf". An empty title reads "rapport".
std::string PdfFileName(const std::string& jobTitle, const etider::DateTime& when);

// Makes the job's file in folder and returns its path (folder, "/", the name). Empty, with
// the reason, when the folder is missing or no file can be made in it.
std::string CreatePdfFile(const std::string& folder, const std::string& jobTitle, const etider::DateTime& when,
                          std::string& reason);

}  // namespace printing
