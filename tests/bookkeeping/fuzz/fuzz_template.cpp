// libFuzzer: arbitrary bytes as a verification template, read and played.
#include "TemplateFuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::TemplateBooks books;  // for the life of the fuzzing process
  fuzz::RunTemplateTarget(books, data, size);
  return 0;
}
