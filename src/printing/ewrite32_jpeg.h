// JPEG picture files for the closing pictures, decoded with libjpeg into plain RGB rows.
// Whatever a file holds, the decoder ends in an image or in a reason: libjpeg's errors come
// back to the caller instead of ending the program, a declared size beyond kMaxJpegPixels is
// refused before anything is allocated, and grayscale and CMYK pictures become RGB.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace printing {

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // 3 bytes a pixel, rows top down
};

// The largest picture decoded (64 megapixels: 192 MB of RGB), far beyond any report logo.
inline constexpr int64_t kMaxJpegPixels = 64LL * 1000 * 1000;

// The JPEG file decoded with libjpeg; nullopt and the reason (Swedish, for the status line)
// when it is not a readable JPEG. path is Windows-1252, found by the engine's path rule.
std::optional<DecodedImage> DecodeJpeg(const std::string& path, std::string& reason);

// The same for the bytes of a JPEG file, refusing pictures above maxPixels.
std::optional<DecodedImage> DecodeJpegBytes(std::string_view bytes, std::string& reason,
                                            int64_t maxPixels = kMaxJpegPixels);

// ".JPG" or ".JPEG" at the end of path, in any letter case.
bool IsJpegName(const std::string& path);

}  // namespace printing
