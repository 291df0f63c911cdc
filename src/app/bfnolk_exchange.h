// bfnolk export and import: the exchange files of the selected bookkeeping, written and read
// by the same logic as the main window's commands.
#pragma once

#include <string>
#include <vector>

namespace bfnolk {

bool IsExchangeCommand(const std::string& command);
// Runs export or import with the words after it; returns the exit code.
int ExchangeCommand(const std::string& command, const std::vector<std::string>& words);

}  // namespace bfnolk
