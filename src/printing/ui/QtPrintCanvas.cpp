#include "printing/ui/QtPrintCanvas.h"

#include "common/Ansi.h"
#include "printing/PrinterSelect.h"
#include "printing/PrinterSystem.h"
#include "printing/ewrite32_jpeg.h"
#include "printing/ewrite32_pdffile.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ui/PrBildres.h"
#include "shell/ui/QtPrinterSystem.h"
#include "shell/ui/QtText.h"
#include "storage/BTFileIO.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPageLayout>
#include <QPrinterInfo>

#include <algorithm>
#include <filesystem>
#include <optional>

namespace printui {

using shellui::FromAnsi;
using shellui::ToAnsi;

namespace {

// The edge a printer cannot print on, given to "PDF-fil" too, so that a setting without
// margins keeps its text off the paper's edge on both.
constexpr double kPdfEdgeMillimetres = 5.0;

class QtPicture : public printing::PrintPicture {
 public:
  explicit QtPicture(QImage image) : image_(std::move(image)) {}
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  const QImage& Image() const { return image_; }

 private:
  QImage image_;
};

}  // namespace

QImage ReadPicture(const std::string& path) {
  QImage image;
  std::string reason;
  if (printing::IsJpegName(path)) {
    if (const std::optional<printing::DecodedImage> jpeg = printing::DecodeJpeg(path, reason)) {
      const QImage rows(jpeg->rgb.data(), jpeg->width, jpeg->height, jpeg->width * 3, QImage::Format_RGB888);
      image = rows.copy();  // the decoder's buffer goes with this scope
    }
  } else {
    QImageReader reader(QString::fromStdString(isam::ResolvePath(path)));
    reader.setAutoTransform(true);
    image = reader.read();
    if (image.isNull()) reason = ToAnsi(reader.errorString());
  }
  if (image.isNull() && isam::FileExists(path))
    eerror::EMsg(eerror::kStatusLine, A("Bilden ") + path + A(" kan inte läsas: ") + reason);
  return image;
}

std::string PrintOutcome(const QtPrintCanvas& canvas, const printing::PrintJob& job, bool printed) {
  if (!canvas.Failure().empty()) return canvas.Failure();
  if (job.Aborted()) return A("Utskriften avbröts");
  if (!printed) return "";
  return canvas.IsPdfFile() ? A("Rapporten skrevs till ") + canvas.PdfFile()
                            : A("Rapporten skickades till ") + canvas.DeviceName();
}

QFont FontOf(const printing::TFontRec& rec, int pointSize) {
  QFont font(FromAnsi(rec.name));
  font.setPointSize(std::max(1, pointSize));
  font.setBold((rec.style & printing::TFontRec::kBold) != 0);
  font.setItalic((rec.style & printing::TFontRec::kItalic) != 0);
  font.setUnderline((rec.style & printing::TFontRec::kUnderline) != 0);
  font.setStrikeOut((rec.style & printing::TFontRec::kStrikeOut) != 0);
  if (rec.pitch == printing::TFontRec::kFixedPitch) {
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
  }
  return font;
}

QtPrintCanvas::QtPrintCanvas(const printing::TPrinterEnv& block, std::string pdfFolder)
    : printer_(printing::StoredPrinter(block)), pdfFolder_(std::move(pdfFolder)) {
  shellui::ConfigurePrinter(qprinter_, printer_);
  qprinter_.setFullPage(false);
  if (IsPdfFile()) qprinter_.setPageMargins(QMarginsF(kPdfEdgeMillimetres, kPdfEdgeMillimetres,
                                                      kPdfEdgeMillimetres, kPdfEdgeMillimetres),
                                            QPageLayout::Millimeter);
}

QtPrintCanvas::~QtPrintCanvas() {
  if (painter_.isActive()) painter_.end();
}

bool QtPrintCanvas::IsPdfFile() const { return printing::IsPdfFilePrinter(printer_.device); }

bool QtPrintCanvas::BeginDocument(const std::string& jobTitle) {
  failure_.clear();
  pdfFile_.clear();
  writing_.clear();
  qprinter_.setDocName(FromAnsi(jobTitle));
  if (IsPdfFile()) {
    if (pdfTarget_.empty()) {
      pdfFile_ = printing::CreatePdfFile(pdfFolder_, jobTitle, etider::Today(), failure_);
      if (pdfFile_.empty()) return false;
      writing_ = pdfFile_;
    } else {
      // A file that is there already is replaced only by a whole job.
      pdfFile_ = pdfTarget_;
      writing_ = pdfTarget_ + ".part";
    }
    qprinter_.setOutputFileName(QString::fromStdString(isam::ResolvePath(writing_)));
  } else if (QPrinterInfo::printerInfo(FromAnsi(printer_.device)).isNull()) {
    failure_ = A("Skrivaren finns inte: ") + printer_.device;
    return false;
  }
  if (!painter_.begin(&qprinter_)) {
    failure_ = IsPdfFile() ? A("Kan inte skriva ") + pdfFile_ : A("Skrivaren kan inte starta: ") + printer_.device;
    RemovePdfFile();
    return false;
  }
  return true;
}

void QtPrintCanvas::EndDocument() {
  if (!painter_.isActive()) return;
  painter_.end();
  if (writing_ == pdfFile_) return;
  std::error_code error;
  std::filesystem::rename(isam::ResolvePath(writing_), isam::ResolvePath(pdfFile_), error);
  if (error) {
    failure_ = A("Kan inte skriva ") + pdfFile_;
    RemovePdfFile();
  }
}

void QtPrintCanvas::NewPage() { qprinter_.newPage(); }

void QtPrintCanvas::Abort() {
  if (!painter_.isActive()) return;
  qprinter_.abort();  // a printer drops the job; the PDF writer cannot, its file goes below
  painter_.end();
  RemovePdfFile();
}

void QtPrintCanvas::RemovePdfFile() {
  if (!writing_.empty()) QFile::remove(QString::fromStdString(isam::ResolvePath(writing_)));
  writing_.clear();
  pdfFile_.clear();
}

printing::PageGeometry QtPrintCanvas::Page() const {
  return {qprinter_.width(), qprinter_.height(), qprinter_.logicalDpiX(), qprinter_.logicalDpiY(), false};
}

std::optional<printing::TextMetrics> QtPrintCanvas::SelectFont(const printing::PrintFont& font) {
  painter_.setFont(FontOf(font.rec, font.pointSize));
  // A COLORREF: red in the lowest byte.
  const uint32_t c = font.rec.color;
  textColor_ = QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
  const QFontMetrics m = painter_.fontMetrics();
  if (m.height() <= 0) return std::nullopt;
  int column = m.averageCharWidth();
  for (char digit = '0'; digit <= '9'; ++digit) column = std::max(column, m.horizontalAdvance(QChar(digit)));
  return printing::TextMetrics{m.height(), m.descent(), std::max(0, m.leading()), std::max(1, column)};
}

int QtPrintCanvas::TextWidth(const std::string& text) {
  return painter_.fontMetrics().horizontalAdvance(FromAnsi(text));
}

void QtPrintCanvas::Text(int x, int y, const std::string& text) {
  painter_.setPen(textColor_);
  painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), FromAnsi(text));
}

void QtPrintCanvas::Line(int x1, int y1, int x2, int y2, int penWidth) {
  painter_.setPen(QPen(Qt::black, std::max(1, penWidth), Qt::SolidLine, Qt::FlatCap));
  painter_.drawLine(x1, y1, x2, y2);
}

void QtPrintCanvas::ColourLine(int x1, int y1, int x2, int y2, int penWidth, uint32_t rgb) {
  painter_.setPen(QPen(QColor::fromRgb(rgb), std::max(1, penWidth), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter_.drawLine(x1, y1, x2, y2);
}

void QtPrintCanvas::Box(const printing::PrintRect& rect, uint32_t rgb) {
  painter_.fillRect(QRect(rect.left, rect.top, rect.width, rect.height), QColor::fromRgb(rgb));
}

std::unique_ptr<printing::PrintPicture> QtPrintCanvas::LoadPicture(const std::string& path) {
  QImage image = ReadPicture(path);
  if (image.isNull()) return nullptr;
  return std::make_unique<QtPicture>(std::move(image));
}

std::unique_ptr<printing::PrintPicture> QtPrintCanvas::BuiltinPicture(int k) {
  return std::make_unique<QtPicture>(shellui::PrBildres(k).toImage());
}

void QtPrintCanvas::Picture(const printing::PrintPicture& picture, const printing::PrintRect& rect) {
  const auto* qt = dynamic_cast<const QtPicture*>(&picture);
  if (qt == nullptr) return;
  painter_.drawImage(QRect(rect.left, rect.top, rect.width, rect.height), qt->Image());
}

}  // namespace printui
