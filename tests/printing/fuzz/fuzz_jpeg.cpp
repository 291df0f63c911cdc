// libFuzzer: arbitrary bytes decoded as a JPEG picture file.
#include "JpegFuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::RunJpegTarget(data, size);
  return 0;
}
