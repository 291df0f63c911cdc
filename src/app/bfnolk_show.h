// bfnolk show: the ledger of one account or the journal of one verification as the table
// window builds it, written as text, CSV, HTML, XML with its style sheet, PDF or JPEG.
#pragma once

#include <string>
#include <vector>

namespace bfnolk {

bool IsShowCommand(const std::string& command);
// Runs show with the words after it; returns the exit code.
int ShowCommand(const std::vector<std::string>& words);

}  // namespace bfnolk
