// The configuration commands of the command-line tool: "show" prints the current settings,
// "reset" rebuilds the file with defaults after a question ("--yes" answers it). Each runs
// a whole start and end of the configuration of the bookkeeping program, in the folders
// SetKonfigPaths was given.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace ekonfig {

constexpr int kBookkeepingProgNr = 20;

// args are the words after "config". Output is UTF-8; what was wrong with args goes to err,
// in the words of the tool's other usage errors. Returns the exit code: 0 done, 1 reset
// declined, 2 bad usage, 8 out of memory.
int KonfigCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace ekonfig
