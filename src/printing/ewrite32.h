// The print engine: a cursor-addressed page writer over a PrintCanvas. A report opens a job
// with its report setting (printerinit), moves the cursor by character columns and lines of
// the current font, writes text in the fonts 'B', 'N', 'S', reserves room before blocks
// (Need, Room) and closes the job (printerexit).
//
// A page is divided into Columns() side-by-side page columns; a block that does not fit
// moves to the next page column, after the last one to a new page. Every page ends with a
// footer (a rule, the title with "forts... " when it goes on, the setting's footer text and
// the date and time); each continued page starts with the heading "forts.. " ... " sida: "
// and the page number.
//
// Invariants: the canvas is touched only between printerinit and printerexit and never
// after Cancel (the report runs to its end without output); the font stack holds 12 fonts,
// deeper pushes only count and their pops restore nothing; Need never breaks a page column
// that holds nothing yet, so a block taller than a page cannot loop; Need and Room measure
// the room left below what was reserved or below the cursor, whichever is lower, so lines
// written without a reservation cannot push text into the footer.
#pragma once

#include "printing/ewrite32_canvas.h"
#include "printing/ewrite32_dialog.h"
#include "shell/GloDefs.h"

#include <memory>
#include <string>

namespace printing {

class PrintJob {
 public:
  static constexpr int kMaxTitle = 64;
  static constexpr int kFontStack = 12;
  static constexpr int kMaxColumns = 10;
  static constexpr int kMaxWrite = 255;

  explicit PrintJob(PrintCanvas& canvas, ReportDialogs& dialogs = CurrentReportDialogs());
  // A job still open is closed without footer, as when the program ends during a report.
  ~PrintJob();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  // Opens the job; false when it cannot print (a preview, a job already open, a device
  // that cannot start: message 201 "Kan ej skapa vald skrivare enligt inställningar").
  bool printerinit(bool preview, const std::string& title, const glodefs::TRapportEnv& setting,
                   esmall::WindowHandle owner);
  // Ends the last page (with its footer unless noFooter) and the job. code is always 0.
  void printerexit(bool noFooter, int code = 0);

  // 'B' big, 'N' or '?' normal, 'S' small; lower case the same at half size.
  void PushFont(char code);
  void PopFont();

  // Character column n of the current page column; n < 0 moves |n| characters right.
  void Tab(int n);
  // The same in device units.
  void GotoX(int x);
  // Tab to column, and line ≥ 0 of the page column, or |line| lines down for line < 0.
  void GotoXY(int column, int line);
  // Draws text (at most 255 characters) at the cursor and moves past it.
  void Write(const std::string& text);
  // Write, then column 1 of the next line; lets Cancel be seen.
  void WriteLn(const std::string& text = {});

  // Whether lines of the current font fit in the page column above the footer; when not
  // and breakColumn, moves to the next page column first.
  bool Room(bool breakColumn, int lines);
  // Reserves lines, first moving on to the next page column (title continues the report
  // on a new page) when they would reach the footer.
  void Need(const std::string& title, int lines);
  void NextColumn(const std::string& title);

  // A line of pen width 2 across the page column, then one small-font line down.
  void Rule();
  int CharsPerColumn() const;
  int TextWidth(const std::string& text);
  // Draws the picture file stretched into rect; nothing when it cannot be loaded.
  void Picture(const std::string& path, const PrintRect& rect);
  // Drawing in device units at positions of the page, for figures such as charts: text with
  // its top left at (x, y), a line and a filled box in a colour (0xRRGGBB). They move no
  // cursor and reserve nothing.
  void TextAt(int x, int y, const std::string& text);
  void LineAt(int x1, int y1, int x2, int y2, int penWidth, uint32_t rgb);
  void Box(const PrintRect& rect, uint32_t rgb);
  // Text in the big font centred in the page column, with an empty line after.
  void Heading(const std::string& text);
  // Item i of n on the dialog's counter and bar.
  void Progress(int i, int n);
  // Status line k = 1..3 of the dialog (1 the report title).
  void StatusLine(int k, const std::string& text);
  // The active pictures of the setting, at the bottom of the page from the right, where
  // they stay below the text; missing files give the program's own pictures.
  void ClosingPictures();

  bool IsOpen() const { return open_; }
  bool Aborted() const { return aborted_; }

  // The state a report or a test may look at.
  int Columns() const { return columns_; }
  int CurColumn() const { return curColumn_; }
  int CurX() const { return curX_; }
  int CurY() const { return curY_; }
  double UsedY() const { return usedY_; }
  int PageNo() const { return pageNo_; }
  int PageCount() const { return pageCount_; }
  int LeftMargin() const { return leftMargin_; }
  int TopMargin() const { return topMargin_; }
  int ColumnGap() const { return columnGap_; }
  int BottomMargin() const { return bottomMargin_; }
  int PageWidth() const { return pageWidth_; }
  int PageHeight() const { return pageHeight_; }
  int FontDepth() const { return fontDepth_; }
  const PrintFont& CurrentFont() const { return font_; }
  int LineHeight() const { return metrics_.height + metrics_.externalLeading; }
  int FooterY() const { return footerY_; }

 private:
  struct SavedFont {
    PrintFont font;
    char code = 'N';
  };

  bool Drawing() const { return open_ && !aborted_; }
  // The height used in the page column: what was reserved, or where the cursor is when
  // lines were written beyond that (a rule, lines a report did not reserve), so that no
  // text reaches the footer.
  double Used() const;
  void Cancel();
  void SetMargins(const TPrinterEnv& block, const PageGeometry& page);
  void ApplyFont();
  int ColumnOffset() const;
  int ColumnLeft(int column) const;
  void DrawCentred(const std::string& text, int y);
  void PageEnd(bool noFooter, bool continuing, const std::string& title);
  void ShowLine(ReportLine line, const std::string& text);
  void ProcessEvents();

  PrintCanvas& canvas_;
  ReportDialogs& dialogs_;
  std::unique_ptr<ReportDialog> dialog_;
  glodefs::TRapportEnv setting_;
  bool open_ = false;
  bool aborted_ = false;
  std::string title_;

  int columns_ = 1;
  int curColumn_ = 1;
  int leftMargin_ = 0, topMargin_ = 0, columnGap_ = 0, bottomMargin_ = 0;
  int pageWidth_ = 0, pageHeight_ = 0;
  int curX_ = 0, curY_ = 0;
  double usedY_ = 0;
  int pageNo_ = 0, pageCount_ = 0;
  int footerY_ = 0;
  int smallLineHeight_ = 0;

  PrintFont fonts_[3];  // big, normal, small
  PrintFont font_;
  TextMetrics metrics_;
  SavedFont stack_[kFontStack];
  int fontDepth_ = 0;
};

}  // namespace printing
