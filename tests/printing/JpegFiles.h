// JPEG files made for the tests with libjpeg's compressor: a picture given as samples of its
// colour space (1 gray, 3 RGB or 4 CMYK bytes a pixel), written baseline or with a scan
// script of its own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace jpegfiles {

struct Picture {
  int width = 0;
  int height = 0;
  J_COLOR_SPACE space = JCS_RGB;
  std::vector<uint8_t> samples{};
  bool adobeMarker = true;                // written by default with CMYK
  std::vector<jpeg_scan_info> scans{};   // empty: libjpeg's baseline
  bool progressive = false;               // libjpeg's simple progression
};

inline int Components(J_COLOR_SPACE space) { return space == JCS_GRAYSCALE ? 1 : space == JCS_CMYK ? 4 : 3; }

// A picture of one colour or gray everywhere.
inline Picture Solid(int width, int height, J_COLOR_SPACE space, std::vector<uint8_t> pixel) {
  Picture p{.width = width, .height = height, .space = space};
  for (int n = 0; n < width * height; ++n) p.samples.insert(p.samples.end(), pixel.begin(), pixel.end());
  return p;
}

inline std::string Encode(const Picture& p, int quality = 95) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);  // the tests' own pictures are sound
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(p.width);
  cinfo.image_height = static_cast<JDIMENSION>(p.height);
  cinfo.input_components = Components(p.space);
  cinfo.in_color_space = p.space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.write_Adobe_marker = p.adobeMarker && p.space == JCS_CMYK;
  if (p.progressive) jpeg_simple_progression(&cinfo);
  if (!p.scans.empty()) {
    cinfo.scan_info = p.scans.data();
    cinfo.num_scans = static_cast<int>(p.scans.size());
  }
  jpeg_start_compress(&cinfo, TRUE);
  const size_t rowBytes = static_cast<size_t>(p.width) * cinfo.input_components;
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(p.samples.data() + rowBytes * cinfo.next_scanline);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return bytes;
}

}  // namespace jpegfiles
