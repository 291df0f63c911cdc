// bfnolk's commands inside the selected bookkeeping: account, ver and verify.
#pragma once

#include <string>
#include <vector>

namespace bfnolk {

bool IsBooksCommand(const std::string& command);
// Runs command with the words after it; returns the exit code.
int BooksCommand(const std::string& command, const std::vector<std::string>& words);

}  // namespace bfnolk
