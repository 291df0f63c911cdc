// The table's documents written through the exchange file: chosen in its dialog (the
// window) or named (bfnolk, and the style sheet beside an XML document), reported by it on
// the status line. A document says its own encoding, so its lines go in as written, without
// the code-page conversion of the exchange files' text lines.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "exchange/Eixport.h"
#include "tabledisplay/egridform_sink.h"

namespace egridform {

class IxportSink : public LineSink {
 public:
  explicit IxportSink(eixport::IxportFile& file) : file_(file) {}
  bool WriteLine(const std::string& line) override;
  bool WriteRaw(std::string_view bytes) override { return file_.WriteRaw(bytes); }
  std::string_view LineEnd() const override { return "\r\n"; }

 private:
  eixport::IxportFile& file_;
};

// Writes the document into out; file is the name of the file it goes into.
using DocumentWriter = std::function<bool(LineSink& out, const std::string& file)>;

// Into a file chosen in the dialog (pattern "*.htm;*.html", defaultExt "htm"), which starts
// in the configured exchange directory and leaves the chosen folder there for the next. The
// chosen file's name goes into file. False when the dialog was cancelled, the file could not
// be made, or a write failed.
bool ExportWithDialog(esmall::WindowHandle owner, std::string_view pattern, std::string_view defaultExt,
                      const DocumentWriter& write, std::string& file);

// Into the file named (Windows-1252).
bool ExportByName(esmall::WindowHandle owner, const std::string& file, const DocumentWriter& write);

}  // namespace egridform
