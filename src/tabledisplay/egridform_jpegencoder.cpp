// libjpeg ends the program on an error unless the caller takes it: every call into it here
// runs under a setjmp of its own, and the error manager jumps back there with the message.
// The functions that call setjmp hold nothing that needs destroying.
#include "tabledisplay/egridform_jpegencoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "common/Ansi.h"

namespace egridform {

namespace {

constexpr int kQuality = 90;
constexpr size_t kBlock = 4096;

}  // namespace

struct JpegEncoder::State {
  jpeg_compress_struct cinfo{};
  struct Error {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = {};
    bool outputFailed = false;
  } err;
  jpeg_destination_mgr dest{};
  unsigned char buffer[kBlock];
  Output output;
  int width = 0, height = 0;
  bool created = false;
  bool failed = false;

  static State& Of(j_compress_ptr cinfo) { return *static_cast<State*>(cinfo->client_data); }

  static void ErrorExit(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<Error*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->jump, 1);
  }
  static void OutputMessage(j_common_ptr) {}

  static void InitDestination(j_compress_ptr cinfo) {
    State& s = Of(cinfo);
    s.dest.next_output_byte = s.buffer;
    s.dest.free_in_buffer = kBlock;
  }
  static boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    State& s = Of(cinfo);
    if (!s.output(std::string_view(reinterpret_cast<const char*>(s.buffer), kBlock))) {
      s.err.outputFailed = true;
      ERREXIT(cinfo, JERR_FILE_WRITE);
    }
    InitDestination(cinfo);
    return TRUE;
  }
  static void TermDestination(j_compress_ptr cinfo) {
    State& s = Of(cinfo);
    const size_t used = kBlock - s.dest.free_in_buffer;
    if (used > 0 && !s.output(std::string_view(reinterpret_cast<const char*>(s.buffer), used))) {
      s.err.outputFailed = true;
      ERREXIT(cinfo, JERR_FILE_WRITE);
    }
  }
};

JpegEncoder::JpegEncoder(int width, int height, Output output) : state_(std::make_unique<State>()) {
  state_->output = std::move(output);
  state_->width = width;
  state_->height = height;
}

JpegEncoder::~JpegEncoder() {
  if (state_->created) jpeg_destroy_compress(&state_->cinfo);
}

namespace {

// The reason of a failure, from the error manager.
template <typename Error>
std::string ReasonOf(const Error& err) {
  if (err.outputFailed) return A("JPEG-bilden kunde inte skrivas");
  return A("JPEG-bilden kunde inte göras (") + err.message + ")";
}

}  // namespace

bool JpegEncoder::Start() {
  State& s = *state_;
  if (s.width <= 0 || s.height <= 0 || s.width > kMaxJpegSide || s.height > kMaxJpegSide) {
    reason_ = A("JPEG-bilden blir för stor: ") + std::to_string(s.width) + " x " + std::to_string(s.height) +
              A(" bildpunkter (högst ") + std::to_string(kMaxJpegSide) + A(" åt varje håll)");
    s.failed = true;
    return false;
  }
  s.cinfo.err = jpeg_std_error(&s.err.pub);
  s.err.pub.error_exit = State::ErrorExit;
  s.err.pub.output_message = State::OutputMessage;
  if (setjmp(s.err.jump)) {
    s.failed = true;
    reason_ = ReasonOf(s.err);
    return false;
  }
  jpeg_create_compress(&s.cinfo);
  s.created = true;
  s.cinfo.client_data = &s;
  s.dest.init_destination = State::InitDestination;
  s.dest.empty_output_buffer = State::EmptyOutputBuffer;
  s.dest.term_destination = State::TermDestination;
  s.cinfo.dest = &s.dest;
  s.cinfo.image_width = static_cast<JDIMENSION>(s.width);
  s.cinfo.image_height = static_cast<JDIMENSION>(s.height);
  s.cinfo.input_components = 3;
  s.cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&s.cinfo);
  jpeg_set_quality(&s.cinfo, kQuality, TRUE);
  jpeg_start_compress(&s.cinfo, TRUE);
  return true;
}

bool JpegEncoder::WriteRow(const uint8_t* rgb) {
  State& s = *state_;
  if (s.failed || !s.created) return false;
  if (setjmp(s.err.jump)) {
    s.failed = true;
    reason_ = ReasonOf(s.err);
    return false;
  }
  JSAMPROW row = const_cast<JSAMPROW>(rgb);
  jpeg_write_scanlines(&s.cinfo, &row, 1);
  return true;
}

bool JpegEncoder::Finish() {
  State& s = *state_;
  if (s.failed || !s.created) return false;
  if (setjmp(s.err.jump)) {
    s.failed = true;
    reason_ = ReasonOf(s.err);
    return false;
  }
  jpeg_finish_compress(&s.cinfo);
  return true;
}

}  // namespace egridform
