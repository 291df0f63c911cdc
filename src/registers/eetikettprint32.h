// The label printer: labels laid out in the grid of the current label setting, left to
// right and top to bottom, sheet after sheet. Begin saves the setting (a job may clamp it)
// and opens the print job; Place puts one label the setting's number of times into the next
// free cells; End closes the job and puts the saved setting back.
//
// Units: the cells are reckoned in tenths of a millimetre from the device's origin (the
// corner of the printable area, which the setting's margins, negative ones too, allow for)
// and turned into device units by the device's resolution. A device without one (the text
// device) stands for an A4 sheet: its page is taken as 210 × 297 mm. The overflow test
// compares the cell with the printable page in the same tenths of a millimetre, widened by
// the setting's negative margins (the unprintable edge the setting allows for lies on both
// sides of the paper), so a "Laser 3x8" sheet holds its 24 labels where the label stock has
// them, on a printer with 5 mm edges as on "PDF-fil".
#pragma once

#include <functional>
#include <string>

#include "printing/ewrite32.h"
#include "shell/GloDefs.h"

namespace ereg {

// A label cell in tenths of a millimetre; top and bottom count downwards as negative
// numbers (top ≥ bottom).
struct LabelCell {
  int left = 0, right = 0, top = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return top - bottom; }
};

// Cell of row r and column c (1-based) of the setting's grid.
LabelCell CellAt(const glodefs::TEtikettEnv::Geometry& g, int row, int column);

class LabelPrinter {
 public:
  static constexpr int kMaxPerRow = 8;
  static constexpr int kMaxText = 240;
  // The six fonts from big to half small.
  static constexpr char kFonts[6] = {'B', 'N', 'S', 'b', 'n', 's'};

  // setting: the current label setting, changed for the job and put back by End; canvas:
  // the one job draws on.
  LabelPrinter(printing::PrintJob& job, printing::PrintCanvas& canvas, glodefs::TEtikettEnv& setting);

  // Copies below 1 are asked for with "Antal kopior:". False when the job did not open.
  bool Begin(const std::string& title, esmall::WindowHandle owner);
  // The text label (or picture label) copies times.
  void Place(const std::string& text);
  // One cell, drawn by draw (a giro form).
  void PlaceDrawn(const std::function<void(const LabelCell&)>& draw);
  void End();

  // A box of the cell (x right of its left edge, y down from its top, all in tenths of a
  // millimetre) with text centred in the largest font in which its lines fit unwrapped.
  void DrawInBox(const LabelCell& cell, int x, int y, int width, int height, const std::string& text);
  // The device rectangle of a cell.
  printing::PrintRect DeviceRect(const LabelCell& cell) const;

  int Sheet() const { return sheet_; }
  int Row() const { return row_; }
  int Column() const { return column_; }
  int Copies() const { return copies_; }
  int Printed() const { return printed_; }
  bool Aborted() const { return job_.Aborted(); }
  printing::PrintJob& Job() { return job_; }

 private:
  // The next free cell, a new sheet when the grid or the page is full.
  LabelCell NextCell();
  void DrawText(const LabelCell& cell, const std::string& text);
  // The lines of text word-wrapped into width device units, in the current font.
  std::vector<std::string> Wrapped(const std::string& text, int width);
  int DevX(double tenths) const;
  int DevY(double tenths) const;  // tenths downwards as negative numbers

  printing::PrintJob& job_;
  printing::PrintCanvas& canvas_;
  glodefs::TEtikettEnv& setting_;
  glodefs::TEtikettEnv saved_;
  bool open_ = false;
  int copies_ = 1;
  int sheet_ = 1, row_ = 1, column_ = 0, printed_ = 0;
  bool overflowed_ = false;
  double perTenthX_ = 0, perTenthY_ = 0;  // device units per tenth of a millimetre
  int pageWidth_ = 0, pageHeight_ = 0;    // the printable page in tenths of a millimetre
};

// A picture label: its first line holds "BITMAP" (any letter case); path: the rest of that line.
bool IsPictureLabel(const std::string& text, std::string& path);

}  // namespace ereg
