#include "storage/ReOrg.h"

#include "storage/Filer_error.h"

namespace isam {

void ReOrg(const std::string& name, int32_t newLength, uint16_t indexCount, std::span<const IndexDescription> indexes,
           int32_t oldLength, const KeyFunction& keyOf, const ConversionFunction& convert) {
  // The keys are taken from the records as they are written, not read back.
  GatheredKeys gathered(indexCount, indexes, keyOf);
  ReStruct(name, newLength, oldLength, convert, indexCount > 0 ? &gathered : nullptr);
  if (IsamSuccess && indexCount > 0) ReIndex(name, indexCount, indexes, keyOf, true, &gathered);
}

}  // namespace isam
