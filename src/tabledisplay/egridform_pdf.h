// The table as a PDF 1.4 document of the program's own making: text lines in Courier, page
// after page with the head row repeated on each, a footer line, and the active pictures of
// the report setting drawn in the free space at each page's foot as JPEG (DCTDecode) images.
//
// The file is written line by line as its pages fill; besides the table only one row, one
// 80-byte block of a picture and the object positions of the cross-reference table are held.
// Object numbers: 10 information, 11 catalog, 12 outlines, 13 page tree, 2 resources, 15-17
// the fonts, 18 on the pictures, then six numbers a page (page, text stream, its length,
// picture stream, its length, one unused; a page never takes 9998 or 9999), 9998 the page
// count, 9999 the array of pages. Texts are Windows-1252 (WinAnsiEncoding), with ( ) \ and
// control characters escaped; every stream's /Length is its exact byte count; the
// cross-reference table, /Size and startxref make it a file readers need not repair.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "printing/ewrite32_jpeg.h"
#include "shell/GloDefs.h"
#include "tabledisplay/egridform.h"
#include "tabledisplay/egridform_sink.h"

namespace egridform {

// The page height held from one export to the next for the program's run; a page wider than
// the held height is laid landscape (height = round(width ÷ 1.375)), any other portrait
// (height = round(width × 1.375)).
inline constexpr int kFirstPdfPageHeight = 576;

// Where the pictures come from: the window side, which reads every kind of picture and has
// the program's own ones.
class PdfPictures {
 public:
  virtual ~PdfPictures() = default;
  // The picture of entry k (0..4), whose file is path (Windows-1252); nullopt when there is
  // none to show (the reason is the source's to report).
  virtual std::optional<printing::DecodedImage> Load(int k, const std::string& path) = 0;
};

struct PdfSetup {
  std::string creator;    // the caption of the program's main window
  uint8_t fontStyle = 0;  // style bits of the report setting's big font (TFontRec::Style)
  std::array<glodefs::TRapportEnv::Picture, glodefs::TRapportEnv::kPictures> pictures{};

  static PdfSetup Of(const glodefs::TRapportEnv& setting, const std::string& creator);
};

// The folder of temporary files: $TEMP, else $TMPDIR, else /tmp.
std::string TempFolder();

// Writes the table. heldHeight is the program run's page height, updated. False when a
// write failed.
bool WritePdf(const Table& table, const PdfSetup& setup, PdfPictures& pictures, int& heldHeight, LineSink& out);

// A text as a PDF string's content: ( ) \ escaped, control characters as octal escapes.
std::string PdfText(const std::string& text);

}  // namespace egridform
