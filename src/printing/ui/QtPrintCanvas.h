// The print canvas on Qt Print Support, for both printers of the window program: a CUPS
// printer Qt lists, and "PDF-fil", the same drawing into a new PDF file of its own (see
// ewrite32_pdffile.h). The page is the printer's printable area in device units at the
// block's resolution; fonts are the setting's font records at the engine's point sizes,
// measured on the printer; text is drawn with its top left at the position. Pictures are
// read with Qt's image readers; the built-in ones are PrBildres 0..4.
//
// A character column is the font's average character, or its widest digit where that is
// wider: the reports set figures at character columns, and in a proportional font the
// digits are wider than the average, so dates and amounts set side by side would touch.
//
// A job that is cancelled or cannot start leaves no PDF file behind.
#pragma once

#include "printing/PrinterEnv.h"
#include "printing/PrinterSystem.h"
#include "printing/ewrite32.h"
#include "printing/ewrite32_canvas.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <string>

namespace printui {

class QtPrintCanvas : public printing::PrintCanvas {
 public:
  // Prints on the printer of block; "PDF-fil" writes into pdfFolder (Windows-1252).
  QtPrintCanvas(const printing::TPrinterEnv& block, std::string pdfFolder);
  ~QtPrintCanvas() override;

  bool IsPdfFile() const;
  const std::string& DeviceName() const { return printer_.device; }
  // "PDF-fil" writes file (Windows-1252), replacing it, instead of a new file in the folder.
  void SetPdfFile(std::string file) { pdfTarget_ = std::move(file); }
  // The PDF file written (Windows-1252): set once the job has begun, empty after Abort.
  const std::string& PdfFile() const { return pdfFile_; }
  // Why the job could not begin or its file could not be written; empty when all went well.
  const std::string& Failure() const { return failure_; }

  bool BeginDocument(const std::string& jobTitle) override;
  void EndDocument() override;
  void NewPage() override;
  void Abort() override;
  printing::PageGeometry Page() const override;

  std::optional<printing::TextMetrics> SelectFont(const printing::PrintFont& font) override;
  int TextWidth(const std::string& text) override;
  void Text(int x, int y, const std::string& text) override;
  void Line(int x1, int y1, int x2, int y2, int penWidth) override;
  void ColourLine(int x1, int y1, int x2, int y2, int penWidth, uint32_t rgb) override;
  void Box(const printing::PrintRect& rect, uint32_t rgb) override;

  std::unique_ptr<printing::PrintPicture> LoadPicture(const std::string& path) override;
  std::unique_ptr<printing::PrintPicture> BuiltinPicture(int k) override;
  void Picture(const printing::PrintPicture& picture, const printing::PrintRect& rect) override;

 private:
  void RemovePdfFile();

  printing::Printer printer_;
  std::string pdfFolder_;
  std::string pdfTarget_;
  std::string pdfFile_;
  std::string writing_;  // the file the PDF is written into: pdfFile_, or a part file beside it
  std::string failure_;
  QPrinter qprinter_{QPrinter::HighResolution};
  QPainter painter_;
  QColor textColor_{Qt::black};
};

// The one place picture files are read: JPEG files by the program's own decoder (libjpeg),
// every other kind by Qt's image readers. A file that is there but cannot be read is named
// on the status line (a null image then), and the caller uses the built-in picture instead.
QImage ReadPicture(const std::string& path);

// What the status line says after a job on canvas: why it failed, that it was cancelled,
// or where it went (the PDF file, or the printer). Empty when nothing was printed and
// nothing failed.
std::string PrintOutcome(const QtPrintCanvas& canvas, const printing::PrintJob& job, bool printed);

// The Qt font of a font record at pointSize points.
QFont FontOf(const printing::TFontRec& rec, int pointSize);

}  // namespace printui
