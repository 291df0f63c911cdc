#include "storage/ReOrg.h"

#include "storage/BTFileIO.h"
#include "storage/Filer_error.h"

namespace isam {

void ReOrg(const std::string& name, int32_t newLength, uint16_t indexCount, std::span<const IndexDescription> indexes,
           int32_t oldLength, const KeyFunction& keyOf, const ConversionFunction& convert) {
  // The keys are taken from the records as they are written, not read back; the saved
  // copy goes while the keys are sorted and the indexes built, and is gone when ReOrg returns.
  GatheredKeys gathered(indexCount, indexes, keyOf);
  FileRemoval removal;
  ReStruct(name, newLength, oldLength, convert, indexCount > 0 ? &gathered : nullptr, removal);
  if (IsamSuccess && indexCount > 0) ReIndex(name, indexCount, indexes, keyOf, true, &gathered);
  removal.Wait();
}

}  // namespace isam
