// The sum groups as a chart: "visa grafiskt" shows it beside the group pick list, "grafiskt"
// prints it. Above, each group's balance now (the list record's group total and opening
// total, what a month's sums record takes when it is written) as a bar with the group's name
// and amount; below, the group balances of the months of the sums file, a point a month and
// a line a group, on an axis of amounts, with a legend. A group at 0 in every month draws
// no line. The chart is drawn on a ChartSurface: the print engine (LayOutGroupChart) or a
// window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bookkeeping/BFFiler.h"
#include "printing/ewrite32.h"

namespace reports {

struct GroupChart {
  struct Month {
    std::string month;  // yyyy-mm
    std::array<double, bf::kGroupCount> balances{};
  };
  std::array<std::string, bf::kGroupCount> names;  // the groups' definitions; 0 names the rest
  std::array<double, bf::kGroupCount> balances{};
  std::vector<Month> months;  // in month order
};

// The chart of the open bookkeeping; nothing when the sums file could not be read
// (reported).
std::optional<GroupChart> GroupChartOf(bf::BfShared& s);

// What a chart is drawn on, in the surface's own units (device units, pixels, text cells).
// Colours are 0xRRGGBB.
class ChartSurface {
 public:
  virtual ~ChartSurface() = default;
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight() = 0;
  // text (Windows-1252) with its top left at (x, y)
  virtual void Text(int x, int y, const std::string& text) = 0;
  virtual void Line(int x1, int y1, int x2, int y2, int width, uint32_t rgb) = 0;
  virtual void Box(int x, int y, int width, int height, uint32_t rgb) = 0;
};

// The colour of group g's bar, line and legend.
uint32_t GroupColour(int g);

// "#g" and the first 16 characters of group g's definition.
std::string GroupLabel(const GroupChart& chart, int g);

struct ChartArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The chart in area: the bars in the upper part, the months below.
void DrawGroupChart(ChartSurface& surface, const GroupChart& chart, const ChartArea& area);

// The header block, then the chart in the rest of the page column.
void LayOutGroupChart(printing::PrintJob& job, const bf::BfDataBasRecord& list, const GroupChart& chart);

}  // namespace reports
