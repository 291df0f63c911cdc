// libFuzzer: an arbitrary journal replayed at the open of a sound fileblock.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunJournalTarget(data, size);
  return 0;
}
