// What the JPEG fuzzer feeds to the decoder, shared by the libFuzzer program (fuzz/) and the
// printing tests, which run every seed and every input the fuzzer once found through the
// same code. Any bytes must end in a picture of the size it declares or in a reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "printing/ewrite32_jpeg.h"

namespace fuzz {

// Smaller than the program's limit, so the fuzzer spends its time on the format rather than
// on filling big pictures declared by a few bytes; the code it runs is the same.
inline constexpr int64_t kJpegFuzzMaxPixels = 4LL * 1000 * 1000;

inline void RunJpegTarget(const uint8_t* data, size_t size) {
  std::string reason;
  const auto image = printing::DecodeJpegBytes(std::string_view(reinterpret_cast<const char*>(data), size),
                                               reason, kJpegFuzzMaxPixels);
  if (image ? image->width <= 0 || image->height <= 0 ||
                  image->rgb.size() != size_t(image->width) * size_t(image->height) * 3
            : reason.empty())
    std::abort();
}

}  // namespace fuzz
