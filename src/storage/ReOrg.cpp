#include "storage/ReOrg.h"

#include "storage/Filer_error.h"

namespace isam {

void ReOrg(const std::string& name, int32_t newLength, uint16_t indexCount, std::span<const IndexDescription> indexes,
           int32_t oldLength, const KeyFunction& keyOf, const ConversionFunction& convert) {
  ReStruct(name, newLength, oldLength, convert);
  if (IsamSuccess && indexCount > 0) ReIndex(name, indexCount, indexes, keyOf, true);
}

}  // namespace isam
