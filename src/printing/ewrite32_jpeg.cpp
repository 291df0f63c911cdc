// libjpeg's errors end in exit() unless the program takes them: here every error, and the
// warning that the data ran out, jumps back to DecodeInto's setjmp with what went wrong kept
// in the error manager. DecodeInto holds nothing that needs destroying (the image lives in
// the caller, its row buffer in libjpeg's pool), so the jump leaks nothing.
#include "printing/ewrite32_jpeg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <algorithm>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "storage/BTFileIO.h"

namespace printing {

namespace {

// No picture a report prints comes near these; they bound what a hostile file can cost.
constexpr int64_t kMaxFileBytes = 256LL * 1024 * 1024;
constexpr int kMaxScans = 500;  // a progressive file may declare endless tiny scans
constexpr long kMaxLibraryMemory = 768L * 1024 * 1024;

enum class Failure { Damaged, NotJpeg, Truncated, TooManyScans, ColourSpace };

struct ErrorManager {
  jpeg_error_mgr pub;  // first, so libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  Failure failure = Failure::Damaged;
  char message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void Fail(j_common_ptr cinfo, Failure failure) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  err->failure = failure;
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  Fail(cinfo, cinfo->err->msg_code == JERR_NO_SOI ? Failure::NotJpeg : Failure::Damaged);
}

// Warnings (level < 0) let libjpeg go on with a damaged picture; only running out of data
// ends the decoding, since what follows would be made-up grey.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) Fail(cinfo, Failure::Truncated);
}

void OutputMessage(j_common_ptr) {}

void ProgressMonitor(j_common_ptr cinfo) {
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
    Fail(cinfo, Failure::TooManyScans);
}

// Adobe's CMYK files store the inks inverted (255 = no ink); others store them plainly.
void CmykToRgb(const JSAMPLE* in, uint8_t* out, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
    const int k = inverted ? in[3] : 255 - in[3];
    for (int c = 0; c < 3; ++c) {
      const int ink = inverted ? in[c] : 255 - in[c];
      out[c] = static_cast<uint8_t>((ink * k + 127) / 255);
    }
  }
}

// false with err.failure when the picture cannot be decoded; tooLarge when it is refused
// for its size, before anything is allocated for it.
bool DecodeInto(jpeg_decompress_struct& cinfo, ErrorManager& err, jpeg_progress_mgr& progress,
                std::string_view bytes, int64_t maxPixels, DecodedImage& out, bool& tooLarge) {
  if (setjmp(err.jump)) return false;
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  out.width = static_cast<int>(cinfo.image_width);
  out.height = static_cast<int>(cinfo.image_height);
  if (static_cast<int64_t>(cinfo.image_width) * cinfo.image_height > maxPixels) {
    tooLarge = true;
    return false;
  }
  switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
      cinfo.out_color_space = JCS_RGB;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      cinfo.out_color_space = JCS_CMYK;
      break;
    default:
      err.failure = Failure::ColourSpace;
      return false;
  }
  jpeg_start_decompress(&cinfo);
  const bool cmyk = cinfo.out_color_space == JCS_CMYK;
  if (cinfo.output_components != (cmyk ? 4 : 3) || cinfo.output_width != cinfo.image_width ||
      cinfo.output_height != cinfo.image_height) {
    err.failure = Failure::ColourSpace;
    return false;
  }
  const size_t rowBytes = static_cast<size_t>(cinfo.output_width) * 3;
  out.rgb.resize(rowBytes * cinfo.output_height);
  JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                              cinfo.output_width * cinfo.output_components, 1);
  while (cinfo.output_scanline < cinfo.output_height) {
    uint8_t* target = out.rgb.data() + rowBytes * cinfo.output_scanline;
    if (jpeg_read_scanlines(&cinfo, row, 1) != 1) {
      err.failure = Failure::Truncated;
      return false;
    }
    if (cmyk)
      CmykToRgb(row[0], target, cinfo.output_width, cinfo.saw_Adobe_marker);
    else
      std::copy(row[0], row[0] + rowBytes, target);
  }
  // Every row is read; what may follow the picture (markers, the end marker) changes nothing.
  return true;
}

std::string Reason(const ErrorManager& err) {
  switch (err.failure) {
    case Failure::NotJpeg:
      return A("filen är ingen JPEG-bild");
    case Failure::Truncated:
      return A("JPEG-bilden är avkortad");
    case Failure::TooManyScans:
      return A("JPEG-bilden har för många delbilder");
    case Failure::ColourSpace:
      return A("JPEG-bildens färgrymd stöds inte");
    case Failure::Damaged:
      break;
  }
  return A("JPEG-bilden är skadad (") + err.message + ")";
}

// The whole file, or nullopt and the reason.
std::optional<std::string> ReadFile(const std::string& path, std::string& reason) {
  const std::string resolved = isam::ResolvePath(path);
  const int fd = ::open(resolved.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    reason = errno == ENOENT || errno == ENOTDIR ? A("filen finns inte") : A("filen kan inte läsas");
    return std::nullopt;
  }
  std::optional<std::string> bytes;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    reason = A("filen kan inte läsas");
  } else if (st.st_size > kMaxFileBytes) {
    reason = A("filen är för stor för en bild");
  } else {
    bytes.emplace(static_cast<size_t>(st.st_size), '\0');
    size_t done = 0;
    while (done < bytes->size()) {
      const ssize_t n = ::read(fd, bytes->data() + done, bytes->size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    if (done < bytes->size()) {
      reason = A("filen kan inte läsas");
      bytes.reset();
    }
  }
  ::close(fd);
  return bytes;
}

}  // namespace

std::optional<DecodedImage> DecodeJpegBytes(std::string_view bytes, std::string& reason, int64_t maxPixels) {
  if (bytes.empty()) {
    reason = A("filen är tom");
    return std::nullopt;
  }
  jpeg_decompress_struct cinfo{};
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  err.pub.output_message = OutputMessage;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = ProgressMonitor;

  DecodedImage image;
  bool tooLarge = false;
  bool decoded = false;
  try {
    decoded = DecodeInto(cinfo, err, progress, bytes, maxPixels, image, tooLarge);
  } catch (const std::bad_alloc&) {
    reason = A("för lite minne för JPEG-bilden");
    jpeg_destroy_decompress(&cinfo);
    return std::nullopt;
  }
  jpeg_destroy_decompress(&cinfo);
  if (decoded) return image;
  reason = tooLarge ? A("JPEG-bilden är för stor (") + std::to_string(image.width) + " x " +
                          std::to_string(image.height) + A(" bildpunkter)")
                    : Reason(err);
  return std::nullopt;
}

std::optional<DecodedImage> DecodeJpeg(const std::string& path, std::string& reason) {
  const std::optional<std::string> bytes = ReadFile(path, reason);
  if (!bytes) return std::nullopt;
  return DecodeJpegBytes(*bytes, reason);
}

bool IsJpegName(const std::string& path) {
  return esmall::EndsWithNoCase(path, ".JPG") || esmall::EndsWithNoCase(path, ".JPEG");
}

}  // namespace printing
