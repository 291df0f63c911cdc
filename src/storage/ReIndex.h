// ReIndex: builds every index of a fileblock afresh from its data file, asking the caller
// for each live record's keys. It does not look at the data file's OpenFlag and resets it,
// so it also mends a fileblock that OpenFileBlock refuses with 10010. A key refused as a
// duplicate is written to the dump log (D.MSG, CR LF lines); with deleteDuplicates the
// record goes too, with its keys in the earlier indexes.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "storage/Filer.h"

namespace isam {

// Fills key with the key of record for index indexNo (1..); it may clear IsamSuccess to
// stop the work (10470).
using KeyFunction = std::function<void(std::string& key, const unsigned char* record, int indexNo)>;

void ReIndex(const std::string& name, uint16_t indexCount, std::span<const IndexDescription> indexes,
             const KeyFunction& keyOf, bool deleteDuplicates);

}  // namespace isam
