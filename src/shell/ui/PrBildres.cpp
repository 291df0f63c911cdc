#include "shell/ui/PrBildres.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace shellui {

namespace {

// 0: an open ledger with ruled pages.
void DrawLedger(QPainter& p) {
  p.setPen(QPen(QColor(0x30, 0x40, 0x60), 2));
  p.setBrush(QColor(0xFA, 0xF6, 0xE8));
  p.drawRect(20, 20, 58, 80);
  p.drawRect(82, 20, 58, 80);
  p.setPen(QPen(QColor(0x90, 0xA8, 0xC8), 1));
  for (int y = 32; y < 96; y += 8) {
    p.drawLine(26, y, 72, y);
    p.drawLine(88, y, 134, y);
  }
  p.setPen(QPen(QColor(0xC0, 0x40, 0x40), 1));
  p.drawLine(60, 24, 60, 96);
  p.drawLine(122, 24, 122, 96);
}

// 1: a leaf.
void DrawLeaf(QPainter& p) {
  QPainterPath leaf;
  leaf.moveTo(30, 100);
  leaf.cubicTo(40, 20, 120, 10, 135, 20);
  leaf.cubicTo(130, 70, 80, 110, 30, 100);
  p.setPen(QPen(QColor(0x2E, 0x6B, 0x2E), 2));
  p.setBrush(QColor(0x6C, 0xB0, 0x50));
  p.drawPath(leaf);
  p.drawLine(30, 100, 120, 30);
}

// 2: a sun over the horizon.
void DrawSun(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xF0, 0xB0, 0x30));
  p.drawEllipse(QPoint(80, 70), 28, 28);
  p.setPen(QPen(QColor(0xF0, 0xB0, 0x30), 3));
  for (int i = 0; i < 12; ++i) {
    const double a = i * M_PI / 6;
    p.drawLine(QPointF(80 + 36 * std::cos(a), 70 + 36 * std::sin(a)),
               QPointF(80 + 48 * std::cos(a), 70 + 48 * std::sin(a)));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x40, 0x70, 0xA0));
  p.drawRect(0, 90, kPrBildWidth, 30);
}

// 3: waves.
void DrawWaves(QPainter& p) {
  for (int row = 0; row < 4; ++row) {
    QPainterPath wave;
    const double y0 = 30 + row * 22;
    wave.moveTo(10, y0);
    for (int x = 10; x <= 150; x += 2) wave.lineTo(x, y0 + 8 * std::sin((x + row * 15) / 12.0));
    p.setPen(QPen(QColor::fromHsv(200 + row * 10, 160, 200 - row * 25), 4));
    p.drawPath(wave);
  }
}

// 4: a star.
void DrawStar(QPainter& p) {
  QPainterPath star;
  for (int i = 0; i < 10; ++i) {
    const double a = -M_PI / 2 + i * M_PI / 5;
    const double r = i % 2 == 0 ? 50 : 20;
    const QPointF point(80 + r * std::cos(a), 62 + r * std::sin(a));
    if (i == 0) star.moveTo(point);
    else star.lineTo(point);
  }
  star.closeSubpath();
  p.setPen(QPen(QColor(0x80, 0x50, 0x10), 2));
  p.setBrush(QColor(0xF8, 0xD0, 0x40));
  p.drawPath(star);
}

}  // namespace

QPixmap PrBildres(int k) {
  QPixmap picture(kPrBildWidth, kPrBildHeight);
  picture.fill(Qt::white);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  switch (k) {
    case 1: DrawLeaf(p); break;
    case 2: DrawSun(p); break;
    case 3: DrawWaves(p); break;
    case 4: DrawStar(p); break;
    default: DrawLedger(p); break;
  }
  p.setPen(QPen(Qt::gray, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(0, 0, kPrBildWidth - 1, kPrBildHeight - 1);
  return picture;
}

}  // namespace shellui
