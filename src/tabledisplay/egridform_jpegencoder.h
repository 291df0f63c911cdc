// RGB rows compressed into a JPEG picture with libjpeg, handed on in blocks as libjpeg
// finishes them, so that no picture is ever held whole in its compressed form. libjpeg's
// errors come back as a false result with a Swedish reason instead of ending the program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace egridform {

// The largest width or height libjpeg writes.
inline constexpr int kMaxJpegSide = 65500;

class JpegEncoder {
 public:
  // Takes each finished block of bytes; false stops the compression as a failed write.
  using Output = std::function<bool(std::string_view bytes)>;

  JpegEncoder(int width, int height, Output output);
  ~JpegEncoder();
  JpegEncoder(const JpegEncoder&) = delete;
  JpegEncoder& operator=(const JpegEncoder&) = delete;

  // Each step is false once anything failed; reason() then says what.
  bool Start();
  // One row of width × 3 bytes, rows top down.
  bool WriteRow(const uint8_t* rgb);
  // After the last row: the picture's end written.
  bool Finish();
  const std::string& reason() const { return reason_; }

 private:
  struct State;
  std::unique_ptr<State> state_;
  std::string reason_;
};

}  // namespace egridform
