// libFuzzer: arbitrary bytes read as a SIE file.
#include "ExchangeFuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunSieTarget(data, size);
  return 0;
}
