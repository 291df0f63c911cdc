#include "printing/ewrite32_textdevice.h"

#include <algorithm>
#include <string_view>

namespace printing {

bool TextDevice::BeginDocument(const std::string&) {
  pages_.clear();
  ended_ = false;
  NewPage();
  return true;
}

void TextDevice::NewPage() { pages_.emplace_back(static_cast<size_t>(kLines * kColumns), ' '); }

void TextDevice::Put(int x, int y, char c) {
  if (pages_.empty() || x < 0 || x >= kColumns || y < 0 || y >= kLines) return;
  pages_.back()[static_cast<size_t>(y * kColumns + x)] = c;
}

void TextDevice::Text(int x, int y, const std::string& text) {
  if (pages_.empty() || y < 0 || y >= kLines) return;
  // The part of the text that falls on the page.
  const int from = std::max(0, -x);
  const int to = std::min(static_cast<int>(text.size()), kColumns - x);
  if (from < to) std::copy(text.begin() + from, text.begin() + to, pages_.back().begin() + y * kColumns + x + from);
}

void TextDevice::Line(int x1, int y1, int x2, int y2, int) {
  if (y1 != y2) return;
  const int from = std::max(0, std::min(x1, x2));
  const int to = std::min(kColumns - 1, std::max(x1, x2));
  for (int x = from; x <= to; ++x) Put(x, y1, '-');
}

void TextDevice::Box(const PrintRect& rect, uint32_t) {
  const int bottom = std::min(kLines, rect.top + rect.height), right = std::min(kColumns, rect.left + rect.width);
  for (int y = std::max(0, rect.top); y < bottom; ++y)
    for (int x = std::max(0, rect.left); x < right; ++x) Put(x, y, '#');
}

std::string TextDevice::Output() const {
  std::string out;
  out.reserve(pages_.size() * (kLines * (kColumns + 1) + 2));
  for (size_t p = 0; p < pages_.size(); ++p) {
    if (p > 0) out += "\f\n";
    const std::string_view page = pages_[p];
    const auto line = [&page](size_t i) { return page.substr(i * kColumns, kColumns); };
    size_t used = kLines;
    while (used > 0 && line(used - 1).find_last_not_of(' ') == std::string_view::npos) --used;
    for (size_t i = 0; i < used; ++i) {
      const std::string_view text = line(i);
      out.append(text.substr(0, text.find_last_not_of(' ') + 1));
      out += '\n';
    }
  }
  return out;
}

}  // namespace printing
