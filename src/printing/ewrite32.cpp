#include "printing/ewrite32.h"

#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace printing {
namespace {

constexpr uint32_t kMarginsInHundredthsOfMillimetres = 8;
// The sizes of the default report fonts, for a font record whose size is unusable.
constexpr int kDefaultSizes[3] = {14, 11, 8};

int Round(double value) { return static_cast<int>(std::lround(value)); }

// Page sizes are 16-bit in the job's state.
int Clamp16(int value) { return std::clamp(value, -32768, 32767); }

// size scaled to one of columns page columns: at least 1 point.
int ScaledSize(int size, int slot, int columns) {
  if (size <= 0) size = kDefaultSizes[slot];
  return std::max(1, Round(static_cast<double>(size) / columns));
}

}  // namespace

PrintJob::PrintJob(PrintCanvas& canvas, ReportDialogs& dialogs) : canvas_(canvas), dialogs_(dialogs) {}

PrintJob::~PrintJob() {
  if (open_) printerexit(true);
}

bool PrintJob::printerinit(bool preview, const std::string& title, const glodefs::TRapportEnv& setting,
                           esmall::WindowHandle owner) {
  // A preview was never drawn anywhere; it prints nothing rather than write on a job that
  // was not started.
  if (preview || open_) return false;
  title_ = esmall::Cut(title, kMaxTitle);
  setting_ = setting;
  aborted_ = false;
  const TPrinterEnv block = setting.Printer();
  pageNo_ = 1;
  fontDepth_ = 0;

  const std::string jobTitle = esmall::Cut(glodefs::ProgName, 32) + ":" + title_;
  if (!canvas_.BeginDocument(jobTitle)) {
    eerror::EMsg(eerror::kCommonWarning, A("Kan ej skapa vald skrivare enligt inställningar"));
    return false;
  }
  const PageGeometry page = canvas_.Page();
  columns_ = page.singleColumn ? 1 : std::clamp(block.Columns(), 1, kMaxColumns);

  dialog_ = dialogs_.Create({owner, [this] { Cancel(); }});
  ShowLine(ReportLine::Device, block.DeviceName() + "," + block.DriverName() + "," + block.PortName());
  esmall::OwnerWindows().Push(dialog_ ? dialog_->Handle() : 0);

  SetMargins(block, page);
  const FontSlot slots[3] = {FontSlot::Stor, FontSlot::Mellan, FontSlot::Liten};
  for (int i = 0; i < 3; ++i) {
    fonts_[i].rec = block.Font(slots[i]);
    fonts_[i].pointSize = ScaledSize(fonts_[i].rec.size, i, columns_);
  }

  open_ = true;
  pageCount_ = 1;
  usedY_ = 0;
  curX_ = curY_ = 0;
  curColumn_ = 1;
  ShowLine(ReportLine::Job, jobTitle);
  PushFont('N');
  GotoXY(0, 0);
  PushFont('S');
  smallLineHeight_ = LineHeight();
  footerY_ = pageHeight_ + topMargin_ - 3 * smallLineHeight_;
  PopFont();
  return true;
}

void PrintJob::SetMargins(const TPrinterEnv& block, const PageGeometry& page) {
  const double divisor = (block.PageSetupFlags() & kMarginsInHundredthsOfMillimetres) ? 1000.0 : 2540.0;
  const double xFactor = page.dpiX / divisor;
  const double yFactor = page.dpiY / divisor;
  leftMargin_ = topMargin_ = columnGap_ = bottomMargin_ = 0;
  if (xFactor > 0) {
    const Margins m = block.PageMargins();
    // A negative margin would put text off the paper.
    leftMargin_ = std::max(0, Round(m.left * xFactor));
    topMargin_ = std::max(0, Round(m.top * yFactor));
    columnGap_ = std::max(0, Round(m.right * xFactor));
    bottomMargin_ = std::max(0, Round(m.bottom * yFactor));
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (columns_ >= 2 && columnGap_ == 0) columnGap_ = Round((page.width - leftMargin_) * 0.05);
    columnGap_ = Round(static_cast<double>(columnGap_) / columns_);
    pageWidth_ = Clamp16(page.width - leftMargin_ - columnGap_);
    pageHeight_ = Clamp16(page.height - topMargin_ - bottomMargin_);
    if (pageWidth_ >= columns_ && pageHeight_ > 0) return;
    // Margins that leave no page: printed without them, and the user told why.
    eerror::StatusMsg = A("Marginalerna ryms inte på sidan; utskriften görs utan marginaler");
    leftMargin_ = topMargin_ = columnGap_ = bottomMargin_ = 0;
  }
  pageWidth_ = std::max(pageWidth_, columns_);
  pageHeight_ = std::max(pageHeight_, 1);
}

void PrintJob::printerexit(bool noFooter, int) {
  if (!open_) return;
  PageEnd(noFooter, false, "");
  esmall::OwnerWindows().Pop();
  dialog_.reset();
  if (fontDepth_ > 0) {
    eerror::EMsg(eerror::kCommonWarning, esmall::BlankPadded(fontDepth_, 3) + " savefontc<>0 prexit");
    while (fontDepth_ > 0) PopFont();
  }
  open_ = false;
}

void PrintJob::Cancel() {
  if (!Drawing()) return;
  aborted_ = true;
  canvas_.Abort();
}

void PrintJob::PushFont(char code) {
  ++fontDepth_;
  if (fontDepth_ > kFontStack) return;
  stack_[fontDepth_ - 1] = {font_, code};
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(code)));
  font_ = fonts_[upper == 'B' ? 0 : upper == 'S' ? 2 : 1];
  if (upper != code) font_.pointSize = std::max(1, Round(font_.pointSize / 2.0));
  ApplyFont();
}

void PrintJob::PopFont() {
  if (fontDepth_ == 0) return;
  if (fontDepth_ <= kFontStack) {
    font_ = stack_[fontDepth_ - 1].font;
    ApplyFont();
  }
  --fontDepth_;
}

void PrintJob::ApplyFont() {
  if (!Drawing() || font_.pointSize <= 0) return;
  if (const auto metrics = canvas_.SelectFont(font_)) {
    metrics_ = *metrics;
  } else {
    eerror::EMsg(eerror::kCallerText, "Kan ej finna textinformation om denna font!");
  }
}

int PrintJob::ColumnOffset() const { return (pageWidth_ / columns_ + columnGap_) * (curColumn_ - 1); }

int PrintJob::ColumnLeft(int column) const {
  return leftMargin_ + (pageWidth_ / columns_ + columnGap_) * (column - 1);
}

void PrintJob::Tab(int n) {
  const int width = metrics_.aveCharWidth;
  if (n >= 0) {
    curX_ = leftMargin_ + n * width + ColumnOffset();
  } else {
    curX_ += -n * width;
  }
}

void PrintJob::GotoX(int x) {
  if (x >= 0) {
    curX_ = leftMargin_ + x + ColumnOffset();
  } else {
    curX_ += -x;
  }
}

void PrintJob::GotoXY(int column, int line) {
  Tab(column);
  if (line >= 0) {
    curY_ = topMargin_ + Round(line * static_cast<double>(LineHeight()));
  } else {
    curY_ += -line * LineHeight();
  }
}

void PrintJob::Write(const std::string& text) {
  if (!Drawing()) return;
  if (text.size() > kMaxWrite) return Write(esmall::Cut(text, kMaxWrite));
  canvas_.Text(curX_, curY_, text);
  curX_ += canvas_.TextWidth(text);
}

void PrintJob::WriteLn(const std::string& text) {
  Write(text);
  GotoXY(1, -1);
  ProcessEvents();
}

double PrintJob::Used() const { return std::max(usedY_, static_cast<double>(curY_ - topMargin_)); }

bool PrintJob::Room(bool breakColumn, int lines) {
  const double h = LineHeight();
  const bool fits = pageHeight_ - 1 > Used() + h * lines + 3 * smallLineHeight_;
  if (!fits && breakColumn) {
    NextColumn("");
    usedY_ = 2 * smallLineHeight_ + metrics_.descent;
  }
  return fits;
}

void PrintJob::Need(const std::string& title, int lines) {
  const double h = LineHeight();
  if (usedY_ > 0 && Used() + h * lines + 3 * smallLineHeight_ >= pageHeight_ - 1) NextColumn(title);
  usedY_ += h * lines;
}

void PrintJob::NextColumn(const std::string& title) {
  ++curColumn_;
  if (curColumn_ <= columns_) {
    GotoXY(0, 0);
    usedY_ = 0;
    Need("", 2);
    WriteLn();
    WriteLn();
  } else {
    curColumn_ = 1;
    PageEnd(false, true, title);
  }
}

void PrintJob::DrawCentred(const std::string& text, int y) {
  if (!Drawing()) return;
  canvas_.Text(leftMargin_ + (pageWidth_ - canvas_.TextWidth(text)) / 2, y, text);
}

void PrintJob::PageEnd(bool noFooter, bool continuing, const std::string& title) {
  PushFont('S');
  const int s = LineHeight();
  const int y = pageHeight_ + topMargin_ - 3 * s;
  const std::string quoted = title.empty() ? "" : "\"" + title + "\" ";
  if (!noFooter && Drawing()) {
    canvas_.Line(leftMargin_ + pageWidth_ - 1, y, leftMargin_ + 1, y, 1);
    DrawCentred(quoted + (continuing ? "forts... " : ""), y + s);
    DrawCentred(setting_.Footer() + " " + etider::Format(20), y + 2 * s);
  }
  PopFont();
  if (!continuing) {
    PopFont();
    if (Drawing()) canvas_.EndDocument();
    return;
  }
  if (Drawing()) canvas_.NewPage();
  PushFont('S');
  usedY_ = 0;
  pageNo_ = Clamp16(pageNo_ + 1);
  pageCount_ = Clamp16(pageCount_ + 1);
  ShowLine(ReportLine::Pages, esmall::BlankPadded(pageNo_, 3));
  if (!noFooter) {
    GotoXY(0, 0);
    Need("", 2);
    const std::string heading = "forts.. " + quoted + " sida: " + esmall::BlankPadded(pageNo_, 3);
    Tab(std::max(0, (CharsPerColumn() - static_cast<int>(heading.size())) / 2));
    WriteLn(heading);
    Rule();
    WriteLn();
    PopFont();
    Tab(1);
  } else {
    PopFont();
  }
}

void PrintJob::Rule() {
  const int left = leftMargin_ + ColumnOffset();
  if (Drawing()) canvas_.Line(left, curY_, left + pageWidth_ / columns_, curY_, 2);
  curY_ += smallLineHeight_;
}

int PrintJob::CharsPerColumn() const {
  return (pageWidth_ / columns_) / std::max(1, metrics_.aveCharWidth);
}

int PrintJob::TextWidth(const std::string& text) { return Drawing() ? canvas_.TextWidth(text) : 0; }

void PrintJob::Picture(const std::string& path, const PrintRect& rect) {
  if (!Drawing()) return;
  if (const auto picture = canvas_.LoadPicture(path)) canvas_.Picture(*picture, rect);
}

void PrintJob::TextAt(int x, int y, const std::string& text) {
  if (Drawing()) canvas_.Text(x, y, esmall::Cut(text, kMaxWrite));
}

void PrintJob::LineAt(int x1, int y1, int x2, int y2, int penWidth, uint32_t rgb) {
  if (Drawing()) canvas_.ColourLine(x1, y1, x2, y2, penWidth, rgb);
}

void PrintJob::Box(const PrintRect& rect, uint32_t rgb) {
  if (Drawing() && rect.width > 0 && rect.height > 0) canvas_.Box(rect, rgb);
}

void PrintJob::Heading(const std::string& text) {
  PushFont('B');
  Need("", 1);
  Tab(std::max(0, (CharsPerColumn() - static_cast<int>(text.size())) / 2));
  WriteLn(text);
  PopFont();
  Need("", 1);
  WriteLn();
}

void PrintJob::Progress(int i, int n) {
  ShowLine(ReportLine::Count, esmall::BlankPadded(i, 5) + "[" + esmall::BlankPadded(n, 5) + "]");
  if (dialog_) dialog_->ShowBar(n == 0 ? i : Round(i * 100.0 / n));
  ProcessEvents();
}

void PrintJob::StatusLine(int k, const std::string& text) {
  if (k == 1) ShowLine(ReportLine::Status1, text);
  if (k == 2) ShowLine(ReportLine::Status2, text);
  if (k == 3) ShowLine(ReportLine::Status3, text);
}

void PrintJob::ShowLine(ReportLine line, const std::string& text) {
  if (dialog_) dialog_->ShowLine(line, text);
}

void PrintJob::ProcessEvents() {
  if (dialog_) dialog_->ProcessEvents();
}

void PrintCanvas::Box(const PrintRect& r, uint32_t) {
  const int right = r.left + r.width - 1, bottom = r.top + r.height - 1;
  Line(r.left, r.top, right, r.top, 1);
  Line(right, r.top, right, bottom, 1);
  Line(right, bottom, r.left, bottom, 1);
  Line(r.left, bottom, r.left, r.top, 1);
}

}  // namespace printing
