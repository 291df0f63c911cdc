// bfnolk print: the printed reports of the selected bookkeeping on the text device, to
// standard output or a file.
#pragma once

#include <string>
#include <vector>

namespace bfnolk {

bool IsPrintCommand(const std::string& command);
// Runs print with the words after it; returns the exit code.
int PrintCommand(const std::vector<std::string>& words);

}  // namespace bfnolk
