#include "tabledisplay/egridform_jpeg.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/Ansi.h"
#include "tabledisplay/egridform_jpegencoder.h"

namespace egridform {

namespace {

constexpr uint8_t kBackground = 0xff;
constexpr uint8_t kFixedCell = 0xf0;  // the grid's fixed colour
constexpr uint8_t kGridLine = 0xa0;
constexpr int kTextInset = 2;

// The file of the font fontconfig chooses for "sans-serif"; empty when it has none.
std::string SansSerifFile() {
  std::string file;
  if (!FcInit()) return file;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
  if (pattern == nullptr) return file;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* path = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr)
      file = reinterpret_cast<const char*>(path);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return file;
}

// The 256 Windows-1252 characters rendered once, in grey levels.
class Glyphs {
 public:
  struct Glyph {
    int advance = 0;
    int left = 0, top = 0;  // bitmap offset from the pen position, top above the baseline
    int width = 0, rows = 0;
    std::vector<uint8_t> coverage;
  };

  ~Glyphs() {
    if (face_ != nullptr) FT_Done_Face(face_);
    if (library_ != nullptr) FT_Done_FreeType(library_);
  }

  bool Load(int pixels, std::string& reason) {
    const std::string file = SansSerifFile();
    if (file.empty() || FT_Init_FreeType(&library_) != 0 || FT_New_Face(library_, file.c_str(), 0, &face_) != 0 ||
        FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels)) != 0) {
      reason = A("Inget typsnitt hittades för JPEG-bilden");
      return false;
    }
    ascent_ = static_cast<int>(face_->size->metrics.ascender >> 6);
    height_ = static_cast<int>((face_->size->metrics.ascender - face_->size->metrics.descender) >> 6);
    for (int b = 0; b < 256; ++b) {
      Glyph& g = glyphs_[static_cast<size_t>(b)];
      const char byte = static_cast<char>(b);
      if (FT_Load_Char(face_, ansi::ToUtf16(static_cast<unsigned char>(byte)), FT_LOAD_RENDER) != 0) continue;
      const FT_GlyphSlot slot = face_->glyph;
      g.advance = static_cast<int>(slot->advance.x >> 6);
      g.left = slot->bitmap_left;
      g.top = slot->bitmap_top;
      g.width = static_cast<int>(slot->bitmap.width);
      g.rows = static_cast<int>(slot->bitmap.rows);
      g.coverage.resize(static_cast<size_t>(g.width) * static_cast<size_t>(g.rows));
      for (int y = 0; y < g.rows; ++y)
        for (int x = 0; x < g.width; ++x)
          g.coverage[static_cast<size_t>(y * g.width + x)] = slot->bitmap.buffer[y * slot->bitmap.pitch + x];
    }
    return true;
  }

  const Glyph& Of(char c) const { return glyphs_[static_cast<unsigned char>(c)]; }
  int Width(const std::string& text) const {
    int width = 0;
    for (const char c : text) width += Of(c).advance;
    return width;
  }
  int Ascent() const { return ascent_; }
  int Height() const { return height_; }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  std::array<Glyph, 256> glyphs_;
  int ascent_ = 0, height_ = 0;
};

// One table row of pixels.
class RowPixels {
 public:
  RowPixels(int width, int height) : width_(width), height_(height), rgb_(static_cast<size_t>(width) * height * 3) {}

  void Fill(int x0, int x1, uint8_t grey) {
    for (int y = 0; y < height_; ++y)
      for (int x = std::max(0, x0); x < std::min(width_, x1); ++x) Set(x, y, grey);
  }
  void VerticalLine(int x, uint8_t grey) {
    for (int y = 0; y < height_; ++y) Set(x, y, grey);
  }
  void BottomLine(uint8_t grey) {
    for (int x = 0; x < width_; ++x) Set(x, height_ - 1, grey);
  }
  // Text from the pen position (x, baseline), clipped to [x, clip).
  void Text(const Glyphs& glyphs, int x, int baseline, int clip, const std::string& text) {
    for (const char c : text) {
      const Glyphs::Glyph& g = glyphs.Of(c);
      for (int gy = 0; gy < g.rows; ++gy)
        for (int gx = 0; gx < g.width; ++gx) {
          const int px = x + g.left + gx;
          const int py = baseline - g.top + gy;
          if (px < 0 || px >= clip || px >= width_ || py < 0 || py >= height_) continue;
          const int cover = g.coverage[static_cast<size_t>(gy * g.width + gx)];
          uint8_t* p = At(px, py);
          for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>(p[i] * (255 - cover) / 255);
        }
      x += g.advance;
      if (x >= clip) return;
    }
  }
  const uint8_t* Scanline(int y) const { return rgb_.data() + static_cast<size_t>(y) * width_ * 3; }

 private:
  uint8_t* At(int x, int y) { return rgb_.data() + (static_cast<size_t>(y) * width_ + x) * 3; }
  void Set(int x, int y, uint8_t grey) {
    if (x < 0 || x >= width_ || y < 0 || y >= height_) return;
    uint8_t* p = At(x, y);
    p[0] = p[1] = p[2] = grey;
  }

  int width_, height_;
  std::vector<uint8_t> rgb_;
};

}  // namespace

bool WriteJpeg(const Table& table, LineSink& out, std::string& reason) {
  Glyphs glyphs;
  if (!glyphs.Load(std::max(6, table.FontPoints() * 4 / 3), reason)) return false;
  // Each column as wide as its widest text, and a grid line after it.
  std::vector<int> lefts(static_cast<size_t>(table.ColCount()) + 1, 0);
  int64_t width = 0;
  for (int32_t c = 0; c < table.ColCount(); ++c) {
    int widest = 1;
    for (int32_t r = 0; r < table.RowCount(); ++r) widest = std::max(widest, glyphs.Width(table.CellText(c, r)));
    width += widest + 1;
    lefts[static_cast<size_t>(c) + 1] = static_cast<int>(std::min<int64_t>(width, kMaxJpegSide + 1));
  }
  const int rowHeight = glyphs.Height() + 2 * kTextInset + 1;
  const int64_t height = static_cast<int64_t>(table.RowCount()) * rowHeight;
  LineWriter w(out);
  JpegEncoder encoder(static_cast<int>(std::min<int64_t>(width, kMaxJpegSide + 1)),
                      static_cast<int>(std::min<int64_t>(height, kMaxJpegSide + 1)), [&w](std::string_view bytes) {
                        w.Raw(bytes);
                        return w.ok();
                      });
  bool ok = encoder.Start();
  std::unique_ptr<RowPixels> pixels;
  if (ok) pixels = std::make_unique<RowPixels>(static_cast<int>(width), rowHeight);
  for (int32_t r = 0; ok && r < table.RowCount(); ++r) {
    RowPixels& row = *pixels;
    row.Fill(0, static_cast<int>(width), kBackground);
    row.Fill(0, lefts[1], kFixedCell);
    if (r == 0) row.Fill(0, static_cast<int>(width), kFixedCell);
    for (int32_t c = 0; c < table.ColCount(); ++c) {
      const int left = lefts[static_cast<size_t>(c)];
      const int right = lefts[static_cast<size_t>(c) + 1] - 1;
      row.Text(glyphs, left + kTextInset, kTextInset + glyphs.Ascent(), right, table.CellText(c, r));
      row.VerticalLine(right, kGridLine);
    }
    row.BottomLine(kGridLine);
    for (int y = 0; ok && y < rowHeight; ++y) ok = encoder.WriteRow(row.Scanline(y));
  }
  ok = ok && encoder.Finish();
  if (!ok) reason = encoder.reason();
  return ok;
}

}  // namespace egridform
