// isamtool's commands for people: check, dump, reorg and reindex of a fileblock, on the
// command line and (check, reorg, reindex) in scripts.
//
// A key field OFF:LEN[d] names index k's key as the text field (a length byte and
// its characters) at byte OFF of the record, cut to LEN characters, with d when equal keys
// are allowed: every key of the program's own files is such a field.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "storage/Filer.h"

namespace isamtool {

struct KeyField {
  int32_t offset = 0;
  isam::IndexDescription index;
};

// Two lower-case hex digits a byte.
std::string Hex(const std::string& bytes);

// false with error set when a word is not OFF:LEN[d].
bool ParseKeyFields(const std::vector<std::string>& words, std::vector<KeyField>& fields, std::string& error);

struct RebuildCounts {
  int64_t records = 0;  // live records kept
  int64_t dropped = 0;  // deleted slots left out
  std::string dumpLog;  // the dump log's file name when duplicates were logged
};

// Reorganises (ReOrg) or only reindexes (ReIndex, keeping duplicates' records) the fileblock
// name; progress goes to `progress` when given. The engine must be started; its error state
// tells the outcome.
RebuildCounts Rebuild(const std::string& name, const std::vector<KeyField>& fields, bool reindexOnly,
                      std::ostream* progress);

// The command-line commands; return the exit status.
int CheckCommand(const std::string& name, std::ostream& out);
int DumpCommand(const std::string& name, bool records, int keysOf, std::ostream& out);
int RebuildCommand(const std::string& name, const std::vector<std::string>& keyWords, bool reindexOnly,
                   std::ostream& out, std::ostream& progress);

}  // namespace isamtool
