// The text device: the print engine's output as plain text, for bfnolk and for checks of
// reports. This layout is a contract read by scripts outside the program:
// - every font is one column wide and one line high, whatever its size;
// - a page is 96 columns by 64 lines, without margins, and has one page column whatever
//   the report setting says; a tab to column n starts the text at column n (0-based);
// - a horizontal line is a row of '-' over the columns it spans; a filled box is its cells
//   filled with '#'; pictures and other lines are not shown;
// - each line ends with "\n" and has its trailing blanks trimmed; the empty lines at the end
//   of a page are left out; pages are separated by a line holding only a form feed ("\f").
// Text is Windows-1252 as the engine wrote it; a job that was cancelled leaves nothing.
#pragma once

#include "printing/ewrite32_canvas.h"

#include <string>
#include <vector>

namespace printing {

class TextDevice : public PrintCanvas {
 public:
  static constexpr int kColumns = 96;
  static constexpr int kLines = 64;

  // The document written so far.
  std::string Output() const;
  bool Ended() const { return ended_; }

  bool BeginDocument(const std::string& jobTitle) override;
  void EndDocument() override { ended_ = true; }
  void NewPage() override;
  void Abort() override { pages_.clear(); }
  PageGeometry Page() const override { return {kColumns, kLines, 0, 0, true}; }

  std::optional<TextMetrics> SelectFont(const PrintFont&) override { return TextMetrics{1, 0, 0, 1}; }
  int TextWidth(const std::string& text) override { return static_cast<int>(text.size()); }
  void Text(int x, int y, const std::string& text) override;
  void Line(int x1, int y1, int x2, int y2, int penWidth) override;
  void Box(const PrintRect& rect, uint32_t rgb) override;

  std::unique_ptr<PrintPicture> LoadPicture(const std::string&) override { return nullptr; }
  std::unique_ptr<PrintPicture> BuiltinPicture(int) override { return nullptr; }
  void Picture(const PrintPicture&, const PrintRect&) override {}

 private:
  void Put(int x, int y, char c);

  std::vector<std::string> pages_;  // kLines lines of kColumns characters each
  bool ended_ = false;
};

}  // namespace printing
