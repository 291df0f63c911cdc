#include "printing/ewrite32_textdevice.h"

#include <algorithm>

namespace printing {

bool TextDevice::BeginDocument(const std::string&) {
  pages_.clear();
  ended_ = false;
  NewPage();
  return true;
}

void TextDevice::NewPage() { pages_.emplace_back(kLines, std::string(kColumns, ' ')); }

void TextDevice::Put(int x, int y, char c) {
  if (pages_.empty() || x < 0 || x >= kColumns || y < 0 || y >= kLines) return;
  pages_.back()[y][x] = c;
}

void TextDevice::Text(int x, int y, const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) Put(x + static_cast<int>(i), y, text[i]);
}

void TextDevice::Line(int x1, int y1, int x2, int y2, int) {
  if (y1 != y2) return;
  const int from = std::max(0, std::min(x1, x2));
  const int to = std::min(kColumns - 1, std::max(x1, x2));
  for (int x = from; x <= to; ++x) Put(x, y1, '-');
}

void TextDevice::Box(const PrintRect& rect, uint32_t) {
  for (int y = rect.top; y < rect.top + rect.height; ++y)
    for (int x = rect.left; x < rect.left + rect.width; ++x) Put(x, y, '#');
}

std::string TextDevice::Output() const {
  std::string out;
  for (size_t p = 0; p < pages_.size(); ++p) {
    if (p > 0) out += "\f\n";
    const auto& page = pages_[p];
    size_t used = page.size();
    while (used > 0 && page[used - 1].find_last_not_of(' ') == std::string::npos) --used;
    for (size_t i = 0; i < used; ++i) {
      const size_t end = page[i].find_last_not_of(' ');
      if (end != std::string::npos) out.append(page[i], 0, end + 1);
      out += '\n';
    }
  }
  return out;
}

}  // namespace printing
