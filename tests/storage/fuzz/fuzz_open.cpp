// libFuzzer: arbitrary data, index and journal files opened and worked on.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunOpenTarget(data, size);
  return 0;
}
