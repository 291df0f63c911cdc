#include "bookkeeping_ui/bfgrafform.h"

#include <QPainter>

#include "shell/ui/QtText.h"

namespace bfui {

namespace {

constexpr int kMargin = 12;

class PainterSurface : public reports::ChartSurface {
 public:
  explicit PainterSurface(QPainter& painter) : painter_(painter) {}
  int TextWidth(const std::string& text) override {
    return painter_.fontMetrics().horizontalAdvance(shellui::FromAnsi(text));
  }
  int TextHeight() override { return painter_.fontMetrics().height(); }
  void Text(int x, int y, const std::string& text) override {
    painter_.setPen(Qt::black);
    painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), shellui::FromAnsi(text));
  }
  void Line(int x1, int y1, int x2, int y2, int width, uint32_t rgb) override {
    painter_.setPen(QPen(QColor::fromRgb(rgb), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter_.drawLine(x1, y1, x2, y2);
  }
  void Box(int x, int y, int width, int height, uint32_t rgb) override {
    painter_.fillRect(x, y, width, height, QColor::fromRgb(rgb));
  }

 private:
  QPainter& painter_;
};

}  // namespace

TGrafForm::TGrafForm(reports::GroupChart chart, QWidget* parent)
    : QWidget(parent, Qt::Window), chart_(std::move(chart)) {
  setObjectName("TGrafForm");
  setWindowTitle(QString::fromUtf8("sumgrupper grafiskt"));
  setAttribute(Qt::WA_DeleteOnClose);
  setAutoFillBackground(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, Qt::white);
  setPalette(background);
  resize(760, 720);
}

void TGrafForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  PainterSurface surface(painter);
  reports::DrawGroupChart(surface, chart_,
                          {kMargin, kMargin, width() - 2 * kMargin, height() - 2 * kMargin});
}

}  // namespace bfui
