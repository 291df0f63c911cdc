// A print canvas that records every call, with fixed metrics so that positions in tests are
// exact: a page of 2100 x 2970 units at 100 units per inch; a font of p points is 2p high
// with descent p/2 and external leading 2 (line height 2p + 2), and every character is p
// wide. Pictures: the files named in `files` exist (with their size); the built-in ones are
// 100 x 50.
#pragma once

#include "printing/ewrite32_canvas.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace printing {

class RecordingCanvas : public PrintCanvas {
 public:
  struct Op {
    std::string kind;  // begin, end, page, abort, font, text, line, load, builtin, picture
    int page = 0;      // 1-based page the call was made on
    int x = 0, y = 0, x2 = 0, y2 = 0, pen = 0;
    std::string text;  // text drawn, picture path or label
  };
  std::vector<Op> ops;
  PageGeometry page{2100, 2970, 100, 100, false};
  bool refuseBegin = false;
  bool failMetrics = false;
  std::map<std::string, std::pair<int, int>> files;  // path -> width, height

  bool BeginDocument(const std::string& jobTitle) override {
    if (refuseBegin) return false;
    pages_ = 1;
    Record("begin", 0, 0, 0, 0, 0, jobTitle);
    return true;
  }
  void EndDocument() override { Record("end"); }
  void NewPage() override {
    ++pages_;
    Record("page");
  }
  void Abort() override { Record("abort"); }
  PageGeometry Page() const override { return page; }

  std::optional<TextMetrics> SelectFont(const PrintFont& font) override {
    Record("font", font.pointSize, 0, 0, 0, 0, font.rec.name);
    if (failMetrics) return std::nullopt;
    const int p = font.pointSize;
    width_ = p;
    return TextMetrics{2 * p, p / 2, 2, p};
  }
  int TextWidth(const std::string& text) override { return static_cast<int>(text.size()) * width_; }
  void Text(int x, int y, const std::string& text) override { Record("text", x, y, 0, 0, 0, text); }
  void Line(int x1, int y1, int x2, int y2, int pen) override { Record("line", x1, y1, x2, y2, pen); }

  std::unique_ptr<PrintPicture> LoadPicture(const std::string& path) override {
    Record("load", 0, 0, 0, 0, 0, path);
    const auto found = files.find(path);
    if (found == files.end()) return nullptr;
    return std::make_unique<Fixed>(found->second.first, found->second.second, path);
  }
  std::unique_ptr<PrintPicture> BuiltinPicture(int k) override {
    Record("builtin", k);
    return std::make_unique<Fixed>(100, 50, "PrBildres" + std::to_string(k));
  }
  void Picture(const PrintPicture& picture, const PrintRect& r) override {
    Record("picture", r.left, r.top, r.left + r.width, r.top + r.height, 0,
           static_cast<const Fixed&>(picture).name);
  }

  // The calls of one kind, in order.
  std::vector<Op> Of(const std::string& kind) const {
    std::vector<Op> found;
    for (const Op& op : ops) {
      if (op.kind == kind) found.push_back(op);
    }
    return found;
  }
  // The first text drawn that equals text; kind "" when there is none.
  Op FindText(const std::string& text) const {
    for (const Op& op : ops) {
      if (op.kind == "text" && op.text == text) return op;
    }
    return {};
  }

 private:
  struct Fixed : PrintPicture {
    Fixed(int w, int h, std::string n) : w(w), h(h), name(std::move(n)) {}
    int Width() const override { return w; }
    int Height() const override { return h; }
    int w, h;
    std::string name;
  };
  void Record(const std::string& kind, int x = 0, int y = 0, int x2 = 0, int y2 = 0, int pen = 0,
              const std::string& text = {}) {
    ops.push_back({kind, pages_, x, y, x2, y2, pen, text});
  }
  int pages_ = 0;
  int width_ = 1;
};

}  // namespace printing
