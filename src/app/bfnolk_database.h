// bfnolk's commands on the list of bookkeepings.
#pragma once

#include <string>
#include <vector>

namespace bfnolk {

bool IsDatabaseCommand(const std::string& command);
// Runs command with the words after it; returns the exit code.
int DatabaseCommand(const std::string& command, const std::vector<std::string>& words);

}  // namespace bfnolk
