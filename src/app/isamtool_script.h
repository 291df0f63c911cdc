// `isamtool script`: one engine command a line, one result line a command.
//
// Result lines (a contract, read by scripts outside the project):
//   ok [RESULTS]           the command ran and the engine reported success
//   error N class C        the engine's error number and class
//   error usage: TEXT      the line could not be parsed
// Blank lines and lines beginning with '#' print nothing. Names and keys are typed in UTF-8
// and handed to the engine as Windows-1252; keys come back in UTF-8.
#pragma once

#include <iosfwd>

namespace isamtool {

// Runs every line of `in`; returns false when any line was a usage error.
bool RunScript(std::istream& in, std::ostream& out);

}  // namespace isamtool
