// libFuzzer: arbitrary bytes read as an account plan (.bfr) file.
#include "ExchangeFuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunBfrTarget(data, size);
  return 0;
}
