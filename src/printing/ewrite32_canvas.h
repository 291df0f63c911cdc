// What the print engine draws on: a page canvas in device units, declared here and supplied
// by the device (the Qt printer and "PDF-fil" on the window side, the text device, the
// recording canvas of the tests). The engine keeps the cursor, the pages and the fonts; a
// canvas only draws, measures and loads pictures. Positions are the top left of the text
// cell; texts are Windows-1252.
#pragma once

#include "printing/PrinterEnv.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace printing {

struct PageGeometry {
  int width = 0;   // the printable page in device units
  int height = 0;
  int dpiX = 0;    // device units per inch; 0 where margins make no sense (the text device)
  int dpiY = 0;
  bool singleColumn = false;  // the device prints one page column whatever the setting says
};

// A font as the engine chooses it: the setting's font record at a point size of its own.
struct PrintFont {
  TFontRec rec;
  int pointSize = 0;
};

struct TextMetrics {
  int height = 0;
  int descent = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
};

struct PrintRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A picture loaded by the canvas side; the engine only needs its proportions.
class PrintPicture {
 public:
  virtual ~PrintPicture() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};

class PrintCanvas {
 public:
  virtual ~PrintCanvas() = default;
  // Starts the job; false when the device cannot be opened.
  virtual bool BeginDocument(const std::string& jobTitle) = 0;
  virtual void EndDocument() = 0;
  virtual void NewPage() = 0;
  // Drops the job; the engine calls nothing more on the canvas afterwards.
  virtual void Abort() = 0;
  // Valid once the document has begun.
  virtual PageGeometry Page() const = 0;

  // Makes font current; its metrics, or nothing when they cannot be read.
  virtual std::optional<TextMetrics> SelectFont(const PrintFont& font) = 0;
  virtual int TextWidth(const std::string& text) = 0;
  virtual void Text(int x, int y, const std::string& text) = 0;
  virtual void Line(int x1, int y1, int x2, int y2, int penWidth) = 0;
  // A line in a colour (0xRRGGBB), for figures such as charts; a device without colours
  // draws it as a line.
  virtual void ColourLine(int x1, int y1, int x2, int y2, int penWidth, uint32_t) { Line(x1, y1, x2, y2, penWidth); }
  // A rectangle filled with a colour (0xRRGGBB); a device that cannot fill draws its frame.
  virtual void Box(const PrintRect& rect, uint32_t rgb);

  // The picture file at path (Windows-1252); nullptr when it is missing or unreadable.
  virtual std::unique_ptr<PrintPicture> LoadPicture(const std::string& path) = 0;
  // The program's own picture k (0..4), for a picture file that is missing; nullptr when
  // the device has none.
  virtual std::unique_ptr<PrintPicture> BuiltinPicture(int k) = 0;
  // Draws picture stretched into rect.
  virtual void Picture(const PrintPicture& picture, const PrintRect& rect) = 0;
};

}  // namespace printing
