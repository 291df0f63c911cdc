#include "registers/eetikettprint32.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"

namespace ereg {

namespace {

constexpr double kTenthsPerInch = 254.0;
// A device without a resolution stands for an A4 sheet.
constexpr int kA4Width = 2100, kA4Height = 2970;

int Rounded(double v) { return static_cast<int>(std::lround(v)); }

std::vector<std::string> Paragraphs(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  out.push_back(line);
  return out;
}

}  // namespace

bool IsPictureLabel(const std::string& text, std::string& path) {
  const std::string first = Paragraphs(text).front();
  std::string upper = first;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const size_t at = upper.find("BITMAP");
  if (at == std::string::npos) return false;
  path = first.substr(at + 6);
  return true;
}

LabelCell CellAt(const glodefs::TEtikettEnv::Geometry& g, int row, int column) {
  const double hx = (g.columnPitch - g.width) / 2.0;
  const double hy = (g.rowPitch - g.height) / 2.0;
  LabelCell cell;
  cell.left = Rounded(g.leftMargin + static_cast<double>(g.columnPitch) * (column - 1) + hx);
  cell.right = Rounded(g.leftMargin + static_cast<double>(g.columnPitch) * column - hx);
  cell.top = -Rounded(g.topMargin + static_cast<double>(g.rowPitch) * (row - 1) + hy);
  cell.bottom = -Rounded(g.topMargin + static_cast<double>(g.rowPitch) * row - hy);
  return cell;
}

LabelPrinter::LabelPrinter(printing::PrintJob& job, printing::PrintCanvas& canvas, glodefs::TEtikettEnv& setting)
    : job_(job), canvas_(canvas), setting_(setting) {}

bool LabelPrinter::Begin(const std::string& title, esmall::WindowHandle owner) {
  saved_ = setting_;
  sheet_ = 1;
  row_ = 1;
  column_ = 0;
  printed_ = 0;
  overflowed_ = false;
  copies_ = setting_.Copies();
  if (copies_ < 1) copies_ = static_cast<int>(eerror::NumberEntry(A("Antal kopior:"), 1));
  glodefs::TEtikettEnv::Geometry g = setting_.GetGeometry();
  g.perRow = static_cast<int16_t>(std::clamp<int>(g.perRow, 1, kMaxPerRow));
  g.rows = static_cast<int16_t>(std::max<int>(g.rows, 1));
  setting_.SetGeometry(g);

  glodefs::TRapportEnv report;
  report.SetPrinter(setting_.Printer());
  open_ = job_.printerinit(false, title, report, owner);
  if (!open_) return false;
  const printing::PageGeometry page = canvas_.Page();
  perTenthX_ = page.dpiX > 0 ? page.dpiX / kTenthsPerInch : static_cast<double>(page.width) / kA4Width;
  perTenthY_ = page.dpiY > 0 ? page.dpiY / kTenthsPerInch : static_cast<double>(page.height) / kA4Height;
  pageWidth_ = Rounded(page.width / perTenthX_);
  pageHeight_ = Rounded(page.height / perTenthY_);
  return true;
}

void LabelPrinter::End() {
  if (open_) job_.printerexit(true);
  open_ = false;
  setting_ = saved_;
  if (setting_.Copies() < 1) setting_.SetCopies(1);
}

int LabelPrinter::DevX(double tenths) const { return Rounded(tenths * perTenthX_); }
int LabelPrinter::DevY(double tenths) const { return Rounded(-tenths * perTenthY_); }

printing::PrintRect LabelPrinter::DeviceRect(const LabelCell& cell) const {
  const int left = DevX(cell.left), top = DevY(cell.top);
  return {left, top, DevX(cell.right) - left, DevY(cell.bottom) - top};
}

LabelCell LabelPrinter::NextCell() {
  const glodefs::TEtikettEnv::Geometry g = setting_.GetGeometry();
  for (;;) {
    ++column_;
    if (column_ > g.perRow || overflowed_) {
      column_ = 1;
      ++row_;
    }
    if (row_ > g.rows || overflowed_) {
      ++sheet_;
      job_.StatusLine(1, "Ark nr:" + esmall::BlankPadded(sheet_, 3));
      if (job_.IsOpen() && !job_.Aborted()) canvas_.NewPage();
      row_ = 1;
    }
    const LabelCell cell = CellAt(g, row_, column_);
    // A negative margin says how far in from the paper's edge the device's origin lies; the
    // paper reaches as far past the printable page on the other side.
    overflowed_ = std::abs(cell.top) > pageHeight_ + std::max(0, -g.topMargin) ||
                  cell.right > pageWidth_ + std::max(0, -g.leftMargin);
    if (!overflowed_) return cell;
    // A page that cannot hold even its first cell gets it all the same, cut off.
    if (row_ == 1 && column_ == 1) {
      overflowed_ = false;
      return cell;
    }
  }
}

void LabelPrinter::Place(const std::string& text) {
  for (int i = 0; i < copies_ && open_ && !job_.Aborted(); ++i) {
    const LabelCell cell = NextCell();
    std::string path;
    if (IsPictureLabel(text, path)) {
      job_.Picture(path, DeviceRect(cell));
    } else {
      DrawText(cell, text);
    }
  }
}

void LabelPrinter::PlaceDrawn(const std::function<void(const LabelCell&)>& draw) {
  if (!open_ || job_.Aborted()) return;
  draw(NextCell());
}

std::vector<std::string> LabelPrinter::Wrapped(const std::string& text, int width) {
  std::vector<std::string> lines;
  for (const std::string& paragraph : Paragraphs(text)) {
    std::string line;
    size_t at = 0;
    bool any = false;
    while (at <= paragraph.size()) {
      size_t end = paragraph.find(' ', at);
      if (end == std::string::npos) end = paragraph.size();
      const std::string word = paragraph.substr(at, end - at);
      const std::string longer = any ? line + " " + word : word;
      if (any && job_.TextWidth(longer) > width) {
        lines.push_back(line);
        line = word;
      } else {
        line = longer;
      }
      any = true;
      at = end + 1;
    }
    lines.push_back(line);
  }
  return lines;
}

void LabelPrinter::DrawText(const LabelCell& cell, const std::string& text) {
  job_.StatusLine(2, esmall::Cut(Paragraphs(text).front(), 30));
  ++printed_;
  job_.StatusLine(3, "Antal :" + esmall::BlankPadded(printed_, 3));
  const printing::PrintRect rect = DeviceRect(cell);
  for (size_t f = 0; f < std::size(kFonts); ++f) {
    job_.PushFont(kFonts[f]);
    const std::vector<std::string> lines = Wrapped(text, rect.width);
    int width = 0;
    for (const std::string& line : lines) width = std::max(width, job_.TextWidth(line));
    const int height = static_cast<int>(lines.size()) * job_.LineHeight();
    if ((width <= rect.width && height <= rect.height) || f + 1 == std::size(kFonts)) {
      const int x = rect.left + (rect.width - width) / 2;
      int y = rect.top + (rect.height - height) / 2;
      for (const std::string& line : lines) {
        if (job_.IsOpen() && !job_.Aborted()) canvas_.Text(x, y, line);
        y += job_.LineHeight();
      }
      job_.PopFont();
      return;
    }
    job_.PopFont();
  }
}

void LabelPrinter::DrawInBox(const LabelCell& cell, int x, int y, int width, int height, const std::string& text) {
  if (text.empty()) return;
  const int left = DevX(cell.left + x), top = DevY(cell.top - y);
  const int w = DevX(cell.left + x + width) - left, h = DevY(cell.top - y - height) - top;
  const std::vector<std::string> lines = Paragraphs(text);
  for (size_t f = 0; f < std::size(kFonts); ++f) {
    job_.PushFont(kFonts[f]);
    int textWidth = 0;
    for (const std::string& line : lines) textWidth = std::max(textWidth, job_.TextWidth(line));
    const int textHeight = static_cast<int>(lines.size()) * job_.LineHeight();
    if ((textWidth <= w && textHeight <= h) || f + 1 == std::size(kFonts)) {
      int at = top + (h - textHeight) / 2;
      for (const std::string& line : lines) {
        if (job_.IsOpen() && !job_.Aborted()) canvas_.Text(left + (w - job_.TextWidth(line)) / 2, at, line);
        at += job_.LineHeight();
      }
      job_.PopFont();
      return;
    }
    job_.PopFont();
  }
}

}  // namespace ereg
