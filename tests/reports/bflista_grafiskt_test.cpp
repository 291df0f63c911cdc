// The sum groups as a chart: its content from the list record and the sums file, the
// drawing on a surface of fixed metrics, and the printed page on the text device.
#include "reports/bflista_grafiskt.h"

#include <algorithm>

#include "ReportBooks.h"

namespace reports {
namespace {

// Characters 10 wide, lines 20 high; records what is drawn.
struct RecordingSurface : ChartSurface {
  struct Op {
    char kind;  // 't' text, 'l' line, 'b' box
    int x, y, x2, y2;
    uint32_t rgb;
    std::string text;
  };
  std::vector<Op> ops;
  int TextWidth(const std::string& text) override { return 10 * static_cast<int>(text.size()); }
  int TextHeight() override { return 20; }
  void Text(int x, int y, const std::string& text) override { ops.push_back({'t', x, y, 0, 0, 0, text}); }
  void Line(int x1, int y1, int x2, int y2, int, uint32_t rgb) override { ops.push_back({'l', x1, y1, x2, y2, rgb, {}}); }
  void Box(int x, int y, int w, int h, uint32_t rgb) override { ops.push_back({'b', x, y, x + w, y + h, rgb, {}}); }
  const Op* FindText(const std::string& text) const {
    for (const Op& op : ops)
      if (op.kind == 't' && op.text == text) return &op;
    return nullptr;
  }
  const Op* FindLastText(const std::string& text) const {
    for (auto op = ops.rbegin(); op != ops.rend(); ++op)
      if (op->kind == 't' && op->text == text) return &*op;
    return nullptr;
  }
  std::vector<Op> Boxes(uint32_t rgb) const {
    std::vector<Op> found;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(found),
                 [rgb](const Op& op) { return op.kind == 'b' && op.rgb == rgb; });
    return found;
  }
};

class Grafiskt : public ReportBooks {
 protected:
  void SetUp() override {
    ReportBooks::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    // Three months, filed out of order; group 2 is 0 in every one.
    Month("2026-05", {0, 800.50, 0, -250.50, 0, 1000});
    Month("2026-03", {0, 1300.50, 0, -250.50});
    Month("2026-04", {0, 800.50, 0, -250.50, 0, 500});
  }
  void Month(const std::string& month, std::vector<double> balances) {
    s().sums = bf::SumsRecord{};
    s().sums.month = month;
    for (size_t g = 0; g < balances.size(); ++g) s().sums.groupBalances[g] = *bf::Real6::FromDouble(balances[g]);
    int32_t recNo = 0;
    ASSERT_TRUE(bf::PutSums(s(), true, recNo));
  }
};

TEST_F(Grafiskt, TheBalancesNowAndTheMonthsInOrder) {
  const std::optional<GroupChart> chart = GroupChartOf(s());
  ASSERT_TRUE(chart);
  EXPECT_EQ(chart->names[1], "1000..1999");
  // Group total and opening total of the list record.
  EXPECT_EQ(chart->balances, (std::array<double, 9>{0, 800.50, -500, -250.50, 0, 1000, 0, 0, 0}));
  ASSERT_EQ(chart->months.size(), 3u);
  EXPECT_EQ(chart->months[0].month, "2026-03");
  EXPECT_EQ(chart->months[2].month, "2026-05");
  EXPECT_DOUBLE_EQ(chart->months[0].balances[1], 1300.50);
  EXPECT_EQ(GroupLabel(*chart, 0), A("#0 Övriga"));
}

TEST_F(Grafiskt, BarsFromZeroByTheirBalanceAndALineAGroupThroughItsMonths) {
  RecordingSurface surface;
  const GroupChart chart = *GroupChartOf(s());
  DrawGroupChart(surface, chart, {0, 0, 1000, 800});
  // Bars of 800.50 and 1000 to the right of the zero line, -500 and -250.50 to its left,
  // each as long as its balance; groups at 0 have none worth a unit.
  const auto bar = [&](int g) { return surface.Boxes(GroupColour(g)).front(); };
  const int zero = bar(1).x;
  EXPECT_EQ(bar(5).x, zero);
  EXPECT_EQ(bar(2).x2, zero);
  EXPECT_EQ(bar(3).x2, zero);
  const double unit = (bar(5).x2 - zero) / 1000.0;
  EXPECT_NEAR(bar(1).x2 - zero, 800.50 * unit, 1);
  EXPECT_NEAR(zero - bar(2).x, 500 * unit, 1);
  EXPECT_NEAR(zero - bar(3).x, 250.50 * unit, 1);
  EXPECT_EQ(bar(0).x2, bar(0).x);
  // Every group is named beside its bar and in the legend, and its amount ends at the right.
  for (int g = 0; g < 9; ++g) {
    EXPECT_EQ(std::count_if(surface.ops.begin(), surface.ops.end(),
                            [&](const RecordingSurface::Op& op) { return op.kind == 't' && op.text == GroupLabel(chart, g); }),
              2)
        << g;
    EXPECT_EQ(surface.Boxes(GroupColour(g)).size() >= 2, true) << g;  // bar and swatch
  }
  const RecordingSurface::Op* amount = surface.FindText("-500.00");
  ASSERT_NE(amount, nullptr);
  EXPECT_EQ(amount->x + 70, 1000);
  // Months in order along the axis; lines for groups 1, 3 and 5 only, two segments each.
  ASSERT_TRUE(surface.FindText("2026-03") && surface.FindText("2026-05"));
  EXPECT_LT(surface.FindText("2026-03")->x, surface.FindText("2026-04")->x);
  for (int g = 0; g < 9; ++g) {
    const auto segments = std::count_if(surface.ops.begin(), surface.ops.end(), [&](const RecordingSurface::Op& op) {
      return op.kind == 'l' && op.rgb == GroupColour(g);
    });
    EXPECT_EQ(segments, g == 1 || g == 3 || g == 5 ? 2 : 0) << g;
  }
  // The amounts on the axis (drawn after the bars' own) include 0; a higher one stands higher.
  const RecordingSurface::Op* nought = surface.FindLastText("0.00");
  const RecordingSurface::Op* thousand = surface.FindLastText("1000.00");
  ASSERT_TRUE(nought && thousand);
  EXPECT_LT(thousand->y, nought->y);
}

TEST_F(Grafiskt, ThePrintedPageHasTheBarsTheMonthsAndTheLegend) {
  const std::vector<std::string> page = Page("grafiskt", {});
  ASSERT_EQ(page.size(), 64u);  // one page
  EXPECT_EQ(page[0], "Summagrupper grafiskt");
  EXPECT_EQ(page[6], "Saldo per grupp");
  // The bar of group 5 (1000.00) is the longest, and each row ends with its amount. (The
  // label "#g ..." holds one '#' of its own.)
  const auto bars = [&](int g) { return std::count(page[7 + g].begin(), page[7 + g].end(), '#') - 1; };
  EXPECT_GT(bars(5), bars(1));
  EXPECT_GT(bars(1), bars(2));
  EXPECT_GT(bars(2), bars(3));
  EXPECT_EQ(bars(0), 0);
  EXPECT_EQ(page[7 + 2].substr(page[7 + 2].size() - 8), " -500.00");
  EXPECT_EQ(page[7 + 5].size(), 96u);
  const auto has = [&](const std::string& text) {
    return std::any_of(page.begin(), page.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
  };
  EXPECT_TRUE(has(A("Saldo per månad")));
  EXPECT_TRUE(has(A("## #0 Övriga")));
  EXPECT_TRUE(has("## #8 8000..8999"));
  const auto row = std::find_if(page.begin(), page.end(), [](const std::string& l) { return l.find("2026-03") != std::string::npos; });
  ASSERT_NE(row, page.end());
  EXPECT_LT(row->find("2026-03"), row->find("2026-04"));
  EXPECT_LT(row->find("2026-04"), row->find("2026-05"));
}

}  // namespace
}  // namespace reports
