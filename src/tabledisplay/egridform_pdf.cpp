#include "tabledisplay/egridform_pdf.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "common/Ansi.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "tabledisplay/egridform_jpegencoder.h"

namespace egridform {

namespace {

constexpr int kMargin = 40;
constexpr int kInfoObject = 10, kCatalogObject = 11, kOutlinesObject = 12, kPagesObject = 13;
constexpr int kResourcesObject = 2, kFirstFontObject = 15, kFirstPictureObject = 18;
constexpr int kPageCountObject = 9998, kPageArrayObject = 9999;
constexpr int kObjectsPerPage = 6;
constexpr size_t kPictureBlock = 80;

std::string N(long long value) { return std::to_string(value); }

// The first object of the page group after the one at n (the first page's is given): six
// numbers on, past 9998 and 9999, which the page count and the page array hold.
int NextPageGroup(int n) {
  n += kObjectsPerPage;
  if (n <= kPageArrayObject && n + kObjectsPerPage - 2 >= kPageCountObject) n = kPageArrayObject + 1;
  return n;
}

// A picture compressed into a temporary JPEG file until it is embedded.
struct Embedded {
  int entry = 0;  // 0..4
  int object = 0;
  int width = 0, height = 0;
  std::string file;
};

class TemporaryJpegs {
 public:
  ~TemporaryJpegs() {
    for (const Embedded& e : pictures)
      if (!e.file.empty()) ::unlink(e.file.c_str());
  }
  std::vector<Embedded> pictures;
};

// The picture compressed with libjpeg into a new file of its own in the TEMP folder;
// empty, with the reason reported, when that failed.
std::string CompressToTemp(const printing::DecodedImage& image) {
  std::string name = TempFolder() + "/bfnolk-pdfbildXXXXXX.jpg";
  const int fd = ::mkstemps(name.data(), 4);
  if (fd < 0) {
    eerror::EMsg(eerror::kStatusLine, A("PDF-bilden kan inte sparas i ") + TempFolder());
    return "";
  }
  FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    ::close(fd);
    ::unlink(name.c_str());
    return "";
  }
  JpegEncoder encoder(image.width, image.height, [file](std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  });
  bool ok = encoder.Start();
  const size_t rowBytes = static_cast<size_t>(image.width) * 3;
  for (int y = 0; ok && y < image.height; ++y)
    ok = encoder.WriteRow(image.rgb.data() + rowBytes * static_cast<size_t>(y));
  ok = ok && encoder.Finish();
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) {
    eerror::EMsg(eerror::kStatusLine, encoder.reason().empty() ? A("PDF-bilden kunde inte sparas") : encoder.reason());
    ::unlink(name.c_str());
    return "";
  }
  return name;
}

// The lines of the document with the byte position of every object, for the
// cross-reference table, and the byte count of the stream being written.
class PdfOut {
 public:
  explicit PdfOut(LineSink& out) : w_(out), lineEnd_(out.LineEnd().size()) {}

  void Line(const std::string& line) {
    w_.Line(line);
    const uint64_t bytes = line.size() + lineEnd_;
    offset_ += bytes;
    streamBytes_ += bytes;
  }
  void Raw(std::string_view bytes) {
    w_.Raw(bytes);
    offset_ += bytes.size();
  }
  void Object(int number) {
    objects_.emplace_back(number, offset_);
    Line(N(number) + " 0 obj");
  }
  // "stream", then the count starts.
  void StreamStart() {
    Line("stream");
    streamBytes_ = 0;
  }
  // The bytes since StreamStart, less the line end before "endstream".
  uint64_t StreamLength() const { return streamBytes_ == 0 ? 0 : streamBytes_ - lineEnd_; }

  // The cross-reference table of every object written, the trailer and the end.
  void Tail() {
    std::sort(objects_.begin(), objects_.end());
    const uint64_t xref = offset_;
    Line("xref");
    Line("0 1");
    Line(Entry(0, 65535, 'f'));
    for (size_t i = 0; i < objects_.size();) {
      size_t j = i + 1;
      while (j < objects_.size() && objects_[j].first == objects_[j - 1].first + 1) ++j;
      Line(N(objects_[i].first) + " " + N(static_cast<long long>(j - i)));
      for (; i < j; ++i) Line(Entry(objects_[i].second, 0, 'n'));
    }
    Line("trailer");
    Line("  << ");
    Line("     /Size " + N(objects_.empty() ? 1 : objects_.back().first + 1));
    Line("     /Root 11 0 R");
    Line("     /Info 10 0 R");
    Line("  >>");
    Line("startxref");
    Line(N(static_cast<long long>(xref)));
    Line("%%EOF");
    Line("");
  }

  bool ok() const { return w_.ok(); }

 private:
  // An entry is 20 bytes with its line end.
  std::string Entry(uint64_t offset, int generation, char kind) const {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010llu %05d %c%s", static_cast<unsigned long long>(offset), generation, kind,
                  lineEnd_ == 2 ? "" : " ");
    return entry;
  }

  LineWriter w_;
  size_t lineEnd_;
  uint64_t offset_ = 0;
  uint64_t streamBytes_ = 0;
  std::vector<std::pair<int, uint64_t>> objects_;
};

class PdfWriter {
 public:
  PdfWriter(const Table& table, const PdfSetup& setup, PdfOut& out, int pageHeight,
            const std::vector<Embedded>& pictures)
      : table_(table), setup_(setup), out_(out), pictures_(pictures) {
    for (int32_t c = 0; c < table.ColCount(); ++c) width_ += table.ColWidth(c);
    width_ += kMargin;
    height_ = pageHeight;
    const int s = std::max(1, table.FontPoints());
    bigSize_ = s * 15 / 12;
    size_ = s;
    smallSize_ = s * 10 / 12;
    bigLine_ = bigSize_ * 20 / 15;
    line_ = s * 20 / 15;
    stamp_ = PdfText(glodefs::ProgName + " " + etider::Format(14));
    nextObject_ = kFirstPictureObject + static_cast<int>(pictures.size());
  }

  void Write() {
    Head();
    BeginPage();
    for (int32_t r = 1; r < table_.RowCount() && out_.ok(); ++r) {
      if (y_ <= 4 * line_) {
        FinishPage();
        BeginPage();
      }
      RowLine(r);
    }
    FinishPage();
    Tail();
  }

 private:
  void Head() {
    const std::string caption = PdfText(table_.Caption());
    out_.Line("%PDF-1.4");
    out_.Object(kInfoObject);
    out_.Line("  << /Title (" + caption + ")");
    out_.Line("     /Author (glimmerbodata, vimle drumvik)");
    out_.Line("     /Creator (" + PdfText(setup_.creator) + ")");
    out_.Line("     /Producer ( N O L K: visningar )");
    out_.Line("     /Subject (visningarPDF)");
    out_.Line("     /CreationDate (" + PdfText(etider::Format(14)) + ")");
    out_.Line("  >>");
    out_.Line("endobj");
    out_.Object(kCatalogObject);
    for (const char* line :
         {"  << /Type /Catalog", "     /Outlines 12 0 R", "     /Pages 13 0 R", "  >>", "endobj", ""})
      out_.Line(line);
    out_.Object(kOutlinesObject);
    for (const char* line : {"  << /Type /Outlines", "     /Count 0", "  >>", "endobj", ""}) out_.Line(line);
    out_.Object(kPagesObject);
    for (const char* line : {"  <<", "     /Type /Pages", "     /Kids 9999 0 R"}) out_.Line(line);
    out_.Line("     /MediaBox [0 0 " + N(width_) + " " + N(height_) + "]");
    for (const char* line : {"     /Resources 2 0 R", "     /Count 9998 0 R", "  >>", "endobj", ""}) out_.Line(line);
    out_.Object(kResourcesObject);
    for (const char* line :
         {"<< /ProcSet [/PDF /Text /ImageB /ImageC /ImageI]", "   /Font  <<", "            /F1 15 0 R",
          "            /F2 16 0 R", "            /F3 17 0 R", "          >>", "    /XObject <<"})
      out_.Line(line);
    for (const Embedded& p : pictures_) out_.Line("               /Im" + N(p.entry + 1) + " " + N(p.object) + " 0 R");
    for (const char* line : {"             >>", ">>", "endobj", ""}) out_.Line(line);
    const std::string font = FontName();
    for (int f = 0; f < 3; ++f) {
      out_.Object(kFirstFontObject + f);
      out_.Line("  << /Type /Font");
      out_.Line("     /Subtype /Type1");
      out_.Line("     /Name /F" + N(f + 1));
      out_.Line("     /BaseFont /" + font);
      out_.Line("     /Encoding /WinAnsiEncoding");
      out_.Line("  >>");
      out_.Line("endobj");
      out_.Line("");
    }
    for (const Embedded& p : pictures_) Image(p);
  }

  std::string FontName() const {
    std::string suffix = "-";
    if (setup_.fontStyle & printing::TFontRec::kBold) suffix += "Bold";
    if (setup_.fontStyle & printing::TFontRec::kItalic) suffix += "Oblique";
    return "Courier" + (suffix == "-" ? "" : suffix);
  }

  void Image(const Embedded& p) {
    FILE* file = std::fopen(p.file.c_str(), "rb");
    long long length = 0;
    if (file != nullptr && std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    if (file != nullptr) std::rewind(file);
    out_.Line("");
    out_.Object(p.object);
    out_.Line("<< /Type /XObject");
    out_.Line("   /Subtype /Image");
    out_.Line("   /Width " + N(p.width));
    out_.Line("   /Height " + N(p.height));
    out_.Line("   /ColorSpace /DeviceRGB");
    out_.Line("   /BitsPerComponent 8");
    out_.Line("   /Filter /DCTDecode");
    out_.Line("   /Length " + N(std::max(0LL, length)));
    out_.Line(">>");
    out_.Line("stream");
    char block[kPictureBlock];
    long long left = length;
    while (file != nullptr && left > 0 && out_.ok()) {
      const size_t n = std::fread(block, 1, std::min<long long>(left, kPictureBlock), file);
      if (n == 0) break;
      out_.Raw(std::string_view(block, n));
      left -= static_cast<long long>(n);
    }
    // A file that shrank underneath keeps its /Length true with zeros.
    const std::string zeros(kPictureBlock, '\0');
    for (; left > 0 && out_.ok(); left -= static_cast<long long>(kPictureBlock))
      out_.Raw(std::string_view(zeros.data(), static_cast<size_t>(std::min<long long>(left, kPictureBlock))));
    if (file != nullptr) std::fclose(file);
    out_.Line("");
    out_.Line("endstream");
    out_.Line("endobj");
    out_.Line("");
  }

  void BeginPage() {
    ++pageCount_;
    pageObject_ = pageCount_ == 1 ? nextObject_ : NextPageGroup(pageObject_);
    y_ = height_ - kMargin;
    const int n = pageObject_;
    out_.Object(n);
    out_.Line("  << /Type /Page");
    out_.Line("     /Parent 13 0 R");
    out_.Line("     /Contents [");
    out_.Line(std::string(18, ' ') + N(n + 1) + " 0 R");
    out_.Line(std::string(18, ' ') + N(n + 3) + " 0 R");
    out_.Line(std::string(16, ' ') + "]");
    out_.Line("  >>");
    out_.Line("endobj");
    out_.Line("");
    out_.Object(n + 1);
    out_.Line("  << /Length " + N(n + 2) + " 0 R >>");
    out_.StreamStart();
    out_.Line("  BT");
    out_.Line("    /F1 " + N(bigSize_) + " Tf");
    out_.Line("    0 " + N(height_ - kMargin) + " Td");
    y_ -= bigLine_;
    out_.Line("    40 -" + N(bigLine_) + " Td");
    out_.Line("     (Sida " + N(pageCount_) + ") Tj");
    y_ -= bigLine_;
    out_.Line("    0 -" + N(bigLine_) + " Td");
    out_.Line("    (" + PdfText(table_.Caption()) + ") Tj");
    y_ -= line_;
    out_.Line("    -" + N(kMargin) + " -" + N(line_) + " Td");
    RowLine(0);
  }

  void RowLine(int32_t r) {
    out_.Line("    /F2 " + N(size_) + " Tf");
    long long back = kMargin;
    for (int32_t c = 0; c < table_.ColCount(); ++c) {
      out_.Line("    " + N(c == 0 ? kMargin : table_.ColWidth(c - 1)) + " 0 Td");
      out_.Line("    (" + PdfText(table_.CellText(c, r)) + ") Tj");
      if (c + 1 < table_.ColCount()) back += table_.ColWidth(c);
    }
    y_ -= line_;
    out_.Line("    -" + N(back) + " -" + N(line_) + " Td");
  }

  void FinishPage() {
    const int n = pageObject_;
    const int textBottom = y_;
    while (y_ > 2 * line_) {
      y_ -= line_;
      out_.Line("    0 -" + N(line_) + " Td");
    }
    out_.Line("    /F3 " + N(smallSize_) + " Tf");
    out_.Line("    40 0 Td");
    out_.Line("     (" + stamp_ + ") Tj");
    out_.Line("  ET");
    const uint64_t textLength = out_.StreamLength();
    out_.Line("endstream");
    out_.Line("endobj");
    out_.Line("");
    out_.Object(n + 2);
    out_.Line(N(static_cast<long long>(textLength)));
    out_.Line("endobj");
    out_.Line("");
    out_.Object(n + 3);
    out_.Line("  << /Length " + N(n + 4) + " 0 R >>");
    out_.StreamStart();
    Cursor cursor{width_, 0, 0};
    for (const Embedded& p : pictures_) PlacePicture(p, textBottom, cursor);
    const uint64_t pictureLength = out_.StreamLength();
    out_.Line("endstream");
    out_.Line("endobj");
    out_.Line("");
    out_.Object(n + 4);
    out_.Line(N(static_cast<long long>(pictureLength)));
    out_.Line("endobj");
    out_.Line("");
  }

  struct Cursor {
    int freeX;
    int rowsHeight;
    int rowHeight;
  };

  void PlacePicture(const Embedded& p, int textBottom, Cursor& cursor) {
    const int k = std::max(1, setup_.pictures[static_cast<size_t>(p.entry)].sizeDivisor);
    const int target = (width_ - 2 * k) / k;
    const double f = static_cast<double>(target) / p.width;
    const int w = static_cast<int>(f * p.width);
    const int h = static_cast<int>(f * p.height);
    if (w <= 2 || h <= 2) return;  // nothing left to draw inside the frame
    const Cursor before = cursor;
    const int x = cursor.freeX - w - 2;
    if (x >= 0) {
      cursor.freeX = x;
    } else {
      // A new row above, starting again at the right edge as the first row does.
      if (cursor.rowHeight == 0) cursor.rowHeight = h;
      cursor.rowsHeight += cursor.rowHeight + 2;
      cursor.rowHeight = 0;
      cursor.freeX = width_ - w - 2;
    }
    if (cursor.rowHeight < h) cursor.rowHeight = h;
    const int x0 = cursor.freeX;
    const int y0 = cursor.rowsHeight + h + 2;
    if (y0 > textBottom) {
      cursor = before;
      return;
    }
    const int x1 = x0 + w;
    const int y1 = y0 - h;
    Outline(x0, y0, x1, y1);
    Outline(x0 + 1, y0 - 1, x1 - 1, y1 + 1);
    out_.Line("  q");
    out_.Line("   " + N(w - 2) + " 0 0 " + N(h - 2) + " " + N(x0 + 1) + " " + N(y1 + 1) + " cm");
    out_.Line("   /Im" + N(p.entry + 1) + " Do");
    out_.Line("   Q");
    out_.Line("");
  }

  void Outline(int x0, int y0, int x1, int y1) {
    out_.Line("  " + N(x0) + " " + N(y0) + " m");
    out_.Line("  " + N(x1) + " " + N(y0) + " l");
    out_.Line("  " + N(x1) + " " + N(y1) + " l");
    out_.Line("  " + N(x0) + " " + N(y1) + " l");
    out_.Line("  " + N(x0) + " " + N(y0) + " l S");
  }

  void Tail() {
    out_.Object(kPageCountObject);
    out_.Line(N(pageCount_));
    out_.Line("endobj");
    out_.Line("");
    out_.Object(kPageArrayObject);
    out_.Line("[");
    for (int i = 0, n = nextObject_; i < pageCount_ && out_.ok(); ++i, n = NextPageGroup(n)) out_.Line(N(n) + " 0 R");
    out_.Line("]");
    out_.Line("endobj");
    out_.Line("");
    out_.Tail();
  }

  const Table& table_;
  const PdfSetup& setup_;
  PdfOut& out_;
  const std::vector<Embedded>& pictures_;
  int width_ = 0, height_ = 0;
  int bigSize_ = 0, size_ = 0, smallSize_ = 0, bigLine_ = 0, line_ = 0;
  std::string stamp_;
  int y_ = 0;
  int pageCount_ = 0;
  int pageObject_ = 0;
  int nextObject_ = 0;
};

}  // namespace

PdfSetup PdfSetup::Of(const glodefs::TRapportEnv& setting, const std::string& creator) {
  PdfSetup setup;
  setup.creator = creator;
  setup.fontStyle = setting.Printer().Font(printing::FontSlot::Stor).style;
  for (int k = 0; k < glodefs::TRapportEnv::kPictures; ++k)
    setup.pictures[static_cast<size_t>(k)] = setting.GetPicture(k);
  return setup;
}

std::string TempFolder() {
  for (const char* name : {"TEMP", "TMPDIR"})
    if (const char* value = std::getenv(name); value != nullptr && *value != '\0') return value;
  return "/tmp";
}

std::string PdfText(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '(' || c == ')' || c == '\\') {
      escaped += '\\';
      escaped += c;
    } else if (u < 0x20) {
      char octal[8];
      std::snprintf(octal, sizeof octal, "\\%03o", u);
      escaped += octal;
    } else {
      escaped += c;
    }
  }
  return escaped;
}

bool WritePdf(const Table& table, const PdfSetup& setup, PdfPictures& pictures, int& heldHeight, LineSink& out) {
  int width = kMargin;
  for (int32_t c = 0; c < table.ColCount(); ++c) width += table.ColWidth(c);
  heldHeight =
      heldHeight < width ? static_cast<int>(std::lround(width / 1.375)) : static_cast<int>(std::lround(width * 1.375));
  TemporaryJpegs jpegs;
  for (int k = 0; k < glodefs::TRapportEnv::kPictures; ++k) {
    const glodefs::TRapportEnv::Picture& entry = setup.pictures[static_cast<size_t>(k)];
    if (!entry.active) continue;
    Embedded embedded;
    {
      const std::optional<printing::DecodedImage> image = pictures.Load(k, entry.path);
      if (!image || image->width <= 0 || image->height <= 0) continue;
      embedded.file = CompressToTemp(*image);
      embedded.width = image->width;
      embedded.height = image->height;
    }  // the picture's pixels are let go before the next is read
    if (embedded.file.empty()) continue;
    embedded.entry = k;
    embedded.object = kFirstPictureObject + static_cast<int>(jpegs.pictures.size());
    jpegs.pictures.push_back(std::move(embedded));
  }
  PdfOut pdf(out);
  PdfWriter(table, setup, pdf, heldHeight, jpegs.pictures).Write();
  return pdf.ok();
}

}  // namespace egridform
