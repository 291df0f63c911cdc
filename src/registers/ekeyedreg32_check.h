// The storage engine's check of the register files of a data directory (the label file and
// the giro files), for the consistency check of the command-line tool. Reads only.
#pragma once

#include <string>
#include <vector>

namespace ereg {

// One finding a line, each after its file's name (Windows-1252), as the check of the
// bookkeeping's own files gives them; empty when every register file present is sound. A
// register that was never opened has no files and is no finding.
std::vector<std::string> CheckRegisterFiles(const std::string& dataDir);

}  // namespace ereg
