#include "reports/bflista_grafiskt.h"

#include <algorithm>
#include <cmath>

#include "bookkeeping/BFMisc_amount.h"
#include "common/Ansi.h"
#include "reports/BFPrint.h"
#include "shell/ESmall.h"

namespace reports {

namespace {

constexpr size_t kNameShown = 16;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kGrid = 0xc8c8c8;
constexpr uint32_t kWhite = 0xffffff;
constexpr uint32_t kColours[bf::kGroupCount] = {0x7f7f7f, 0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728,
                                                0x9467bd, 0x8c564b, 0xe377c2, 0x17becf};
// Below this many lines a page column holds no readable chart; it goes to the next one.
constexpr int kLeastLines = 24;

int Round(double value) { return static_cast<int>(std::lround(value)); }

// An amount axis from low to high (0 always on it) in steps of 1, 2 or 5 times a power of
// ten, about ticks of them.
struct Axis {
  double low = 0;
  double high = 1;
  double step = 1;
  int Steps() const { return Round((high - low) / step); }
};

Axis AxisFor(double low, double high, int ticks) {
  low = std::min(low, 0.0);
  high = std::max(high, 0.0);
  if (high - low < 0.01) high = low + 100;  // all at 0
  const double raw = (high - low) / std::max(1, ticks);
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double f = raw / power;
  const double step = power * (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10);
  return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

// Positions of a value range in a span of the surface, right or down as values grow.
struct Scale {
  double low;
  double high;
  int from;
  int to;
  int Of(double v) const { return from + Round((v - low) / (high - low) * (to - from)); }
};

int WidestLabel(ChartSurface& surface, const GroupChart& chart) {
  int widest = 0;
  for (int g = 0; g < bf::kGroupCount; ++g) widest = std::max(widest, surface.TextWidth(GroupLabel(chart, g)));
  return widest;
}

// The bars; returns the y below them.
int DrawBars(ChartSurface& surface, const GroupChart& chart, const ChartArea& area, int y) {
  const int h = surface.TextHeight();
  const int cw = std::max(1, surface.TextWidth("0"));
  const int rowHeight = h + h / 2;
  surface.Text(area.left, y, "Saldo per grupp");
  y += rowHeight;

  int valueWidth = 0;
  double low = 0, high = 0;
  for (const double b : chart.balances) {
    valueWidth = std::max(valueWidth, surface.TextWidth(bf::AmountText(b, 0)));
    low = std::min(low, b);
    high = std::max(high, b);
  }
  if (high - low < 0.01) high = low + 1;
  const int barLeft = area.left + WidestLabel(surface, chart) + 2 * cw;
  const int barRight = std::max(barLeft, area.left + area.width - valueWidth - 2 * cw);
  const Scale scale{low, high, barLeft, barRight};
  const int zero = scale.Of(0);
  const int thickness = std::max(1, h * 2 / 3);
  for (int g = 0; g < bf::kGroupCount; ++g) {
    const double b = chart.balances[static_cast<size_t>(g)];
    const int rowTop = y + g * rowHeight;
    surface.Text(area.left, rowTop, GroupLabel(chart, g));
    const int end = scale.Of(b);
    surface.Box(std::min(zero, end), rowTop + (h - thickness) / 2, std::abs(end - zero), thickness, GroupColour(g));
    const std::string amount = bf::AmountText(b, 0);
    surface.Text(area.left + area.width - surface.TextWidth(amount), rowTop, amount);
  }
  const int bottom = y + bf::kGroupCount * rowHeight - h / 2;
  surface.Line(zero, y, zero, bottom, 1, kBlack);
  return bottom + h;
}

void DrawMonths(ChartSurface& surface, const GroupChart& chart, const ChartArea& area, int y) {
  const int h = surface.TextHeight();
  const int cw = std::max(1, surface.TextWidth("0"));
  const int rowHeight = h + h / 2;
  surface.Text(area.left, y, A("Saldo per månad"));
  y += rowHeight;

  // The legend at the bottom, as many entries a row as fit.
  const int swatch = 2 * cw;
  const int entryWidth = swatch + cw + WidestLabel(surface, chart) + 2 * cw;
  const int perRow = std::max(1, area.width / entryWidth);
  const int legendRows = (bf::kGroupCount + perRow - 1) / perRow;
  const int legendTop = area.top + area.height - legendRows * rowHeight;
  for (int g = 0; g < bf::kGroupCount; ++g) {
    const int x = area.left + (g % perRow) * entryWidth;
    const int top = legendTop + (g / perRow) * rowHeight;
    const int thickness = std::max(1, h * 2 / 3);
    surface.Box(x, top + (h - thickness) / 2, swatch, thickness, GroupColour(g));
    surface.Text(x + swatch + cw, top, GroupLabel(chart, g));
  }

  const int monthTop = legendTop - rowHeight - h / 2;  // the month names
  const int plotTop = y + h / 2;
  const int plotBottom = monthTop - (h + 1) / 2;
  if (chart.months.empty() || plotBottom - plotTop < 2 * h) return;

  double low = 0, high = 0;
  for (const GroupChart::Month& m : chart.months)
    for (const double b : m.balances) {
      low = std::min(low, b);
      high = std::max(high, b);
    }
  const Axis axis = AxisFor(low, high, std::clamp((plotBottom - plotTop) / (3 * h), 2, 8));
  int labelWidth = 0;
  for (int i = 0; i <= axis.Steps(); ++i)
    labelWidth = std::max(labelWidth, surface.TextWidth(bf::AmountText(axis.low + i * axis.step, 0)));
  const int plotLeft = area.left + labelWidth + cw;
  const int plotRight = area.left + area.width - cw;
  const Scale value{axis.low, axis.high, plotBottom, plotTop};
  for (int i = 0; i <= axis.Steps(); ++i) {
    const double v = axis.low + i * axis.step;
    const int ty = value.Of(v);
    surface.Line(plotLeft, ty, plotRight, ty, 1, std::fabs(v) < axis.step / 2 ? kBlack : kGrid);
    const std::string label = bf::AmountText(v, 0);
    surface.Text(plotLeft - cw - surface.TextWidth(label), ty - h / 2, label);
  }
  surface.Line(plotLeft, plotTop, plotLeft, plotBottom, 1, kBlack);

  const int n = static_cast<int>(chart.months.size());
  const double slot = static_cast<double>(plotRight - plotLeft) / n;
  const auto xOf = [&](int i) { return plotLeft + Round(slot * (i + 0.5)); };
  const int nameWidth = surface.TextWidth(chart.months.front().month);
  const int every = std::max(1, static_cast<int>(std::ceil((nameWidth + cw) / std::max(slot, 1.0))));
  for (int i = 0; i < n; i += every)
    surface.Text(xOf(i) - nameWidth / 2, monthTop, chart.months[static_cast<size_t>(i)].month);

  const int pen = std::max(1, h / 8);
  for (int g = 0; g < bf::kGroupCount; ++g) {
    const auto at = static_cast<size_t>(g);
    const bool drawn = std::any_of(chart.months.begin(), chart.months.end(),
                                   [at](const GroupChart::Month& m) { return m.balances[at] != 0; });
    if (!drawn) continue;
    for (int i = 1; i < n; ++i)
      surface.Line(xOf(i - 1), value.Of(chart.months[static_cast<size_t>(i - 1)].balances[at]), xOf(i),
                   value.Of(chart.months[static_cast<size_t>(i)].balances[at]), pen, GroupColour(g));
  }
  // The points, each marked with its group's number over the lines.
  for (int g = 0; g < bf::kGroupCount; ++g) {
    const auto at = static_cast<size_t>(g);
    const std::string digit = std::to_string(g);
    const int dw = surface.TextWidth(digit);
    for (int i = 0; i < n; ++i) {
      const double b = chart.months[static_cast<size_t>(i)].balances[at];
      if (b == 0) continue;
      const int x = xOf(i) - dw / 2, top = value.Of(b) - h / 2;
      surface.Box(x, top, dw, h, kWhite);
      surface.Text(x, top, digit);
    }
  }
}

// The chart through the print engine, in device units.
class JobSurface : public ChartSurface {
 public:
  explicit JobSurface(printing::PrintJob& job) : job_(job) {}
  int TextWidth(const std::string& text) override { return job_.TextWidth(text); }
  int TextHeight() override { return job_.LineHeight(); }
  void Text(int x, int y, const std::string& text) override { job_.TextAt(x, y, text); }
  void Line(int x1, int y1, int x2, int y2, int width, uint32_t rgb) override { job_.LineAt(x1, y1, x2, y2, width, rgb); }
  void Box(int x, int y, int width, int height, uint32_t rgb) override { job_.Box({x, y, width, height}, rgb); }

 private:
  printing::PrintJob& job_;
};

}  // namespace

std::optional<GroupChart> GroupChartOf(bf::BfShared& s) {
  GroupChart chart;
  chart.names = s.dataBas.sumGroups;
  for (size_t g = 0; g < chart.balances.size(); ++g)
    chart.balances[g] = bf::WholeOre(s.dataBas.groupTotals[g] + s.dataBas.groupOpeningTotals[g]);
  const bool read = bf::ForEachMonth(s, [&chart](const bf::SumsRecord& m, int32_t) {
    GroupChart::Month month{m.month, {}};
    for (size_t g = 0; g < month.balances.size(); ++g) month.balances[g] = m.groupBalances[g].Value();
    chart.months.push_back(std::move(month));
    return true;
  });
  if (!read) return std::nullopt;
  std::stable_sort(chart.months.begin(), chart.months.end(),
                   [](const GroupChart::Month& a, const GroupChart::Month& b) { return a.month < b.month; });
  return chart;
}

uint32_t GroupColour(int g) { return kColours[static_cast<size_t>(std::clamp(g, 0, bf::kGroupCount - 1))]; }

std::string GroupLabel(const GroupChart& chart, int g) {
  std::string label = "#";
  label += std::to_string(g) + " " + esmall::ShowableText(esmall::Cut(chart.names[static_cast<size_t>(g)], kNameShown));
  return label;
}

void DrawGroupChart(ChartSurface& surface, const GroupChart& chart, const ChartArea& area) {
  if (surface.TextHeight() <= 0 || area.width <= 0 || area.height <= 0) return;
  DrawMonths(surface, chart, area, DrawBars(surface, chart, area, area.top));
}

void LayOutGroupChart(printing::PrintJob& job, const bf::BfDataBasRecord& list, const GroupChart& chart) {
  ReportHead(job, list, true);
  job.Need("", 1);
  job.WriteLn();
  if (job.Aborted()) return;
  // The lines the page column has left, as the engine reckons them.
  const auto linesLeft = [&job] {
    int lines = (job.FooterY() - job.CurY()) / std::max(1, job.LineHeight());
    while (lines > 0 && !job.Room(false, lines)) --lines;
    return lines;
  };
  if (linesLeft() < kLeastLines) job.NextColumn("");
  const int lines = linesLeft();
  job.Tab(0);
  JobSurface surface(job);
  DrawGroupChart(surface, chart, {job.CurX(), job.CurY(), job.PageWidth() / job.Columns(), lines * job.LineHeight()});
  job.Need("", lines);
  job.GotoXY(1, -lines);
}

}  // namespace reports
