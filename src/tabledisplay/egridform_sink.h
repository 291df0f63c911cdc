// Where the table's writers put their lines: an exchange file, standard output, or a
// string in a test. A writer stops at the first write that fails; the sink says which.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "common/Ansi.h"

namespace egridform {

class LineSink {
 public:
  virtual ~LineSink() = default;
  // Writes line (Windows-1252) and the line end; false when the write failed.
  virtual bool WriteLine(const std::string& line) = 0;
  // Writes bytes exactly as they are (a picture's JPEG data); false when the write failed.
  virtual bool WriteRaw(std::string_view bytes) = 0;
  // What ends each line, so that a writer can count the bytes it wrote.
  virtual std::string_view LineEnd() const = 0;
};

// Writes lines until one fails, then nothing more: the writers' way of stopping at the
// first failed write without testing each line.
class LineWriter {
 public:
  explicit LineWriter(LineSink& out) : out_(out) {}
  void Line(const std::string& line) {
    if (ok_) ok_ = out_.WriteLine(line);
  }
  void Raw(std::string_view bytes) {
    if (ok_) ok_ = out_.WriteRaw(bytes);
  }
  bool ok() const { return ok_; }

 private:
  LineSink& out_;
  bool ok_ = true;
};

// Collects everything written, for tests and for standard output.
class StringSink : public LineSink {
 public:
  explicit StringSink(std::string lineEnd = "\r\n") : lineEnd_(std::move(lineEnd)) {}
  bool WriteLine(const std::string& line) override {
    text_ += line;
    text_ += lineEnd_;
    return true;
  }
  bool WriteRaw(std::string_view bytes) override {
    text_ += bytes;
    return true;
  }
  std::string_view LineEnd() const override { return lineEnd_; }
  const std::string& Text() const { return text_; }

 private:
  std::string lineEnd_;
  std::string text_;
};

// Writes to a stream as it comes: standard output, for bfnolk. Lines are converted to UTF-8
// when utf8 is set (text for a terminal); raw bytes never are.
class StreamSink : public LineSink {
 public:
  StreamSink(std::ostream& out, std::string lineEnd, bool utf8)
      : out_(out), lineEnd_(std::move(lineEnd)), utf8_(utf8) {}
  bool WriteLine(const std::string& line) override {
    out_ << (utf8_ ? ansi::ToUtf8(line) : line) << lineEnd_;
    return static_cast<bool>(out_);
  }
  bool WriteRaw(std::string_view bytes) override {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out_);
  }
  std::string_view LineEnd() const override { return lineEnd_; }

 private:
  std::ostream& out_;
  std::string lineEnd_;
  bool utf8_;
};

}  // namespace egridform
