// ReOrg: a data file compacted and all its indexes built afresh, as the bookkeeping's
// rebuild runs it per file: ReStruct, then (with indexes) ReIndex deleting duplicates.
// The fileblock is left closed, without journal file; the caller opens it again.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "storage/ReIndex.h"
#include "storage/ReStruct.h"

namespace isam {

void ReOrg(const std::string& name, int32_t newLength, uint16_t indexCount, std::span<const IndexDescription> indexes,
           int32_t oldLength, const KeyFunction& keyOf, const ConversionFunction& convert);

}  // namespace isam
