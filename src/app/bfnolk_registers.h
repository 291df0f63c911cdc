// bfnolk's commands on the registers of the "xregister" menu: label and giro.
#pragma once

#include <string>
#include <vector>

namespace bfnolk {

bool IsRegisterCommand(const std::string& command);
// Runs command with the words after it; returns the exit code.
int RegisterCommand(const std::string& command, const std::vector<std::string>& words);

}  // namespace bfnolk
