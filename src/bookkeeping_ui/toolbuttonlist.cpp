#include "bookkeeping_ui/toolbuttonlist.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace bfui {

namespace {

constexpr int kSide = 32;
const QColor kInk(0x20, 0x30, 0x60);
const QColor kPaper(0xFF, 0xFD, 0xF4);

// A sheet with a folded corner at x, y.
void DrawSheet(QPainter& p, int x, int y, int w, int h) {
  QPainterPath sheet;
  const int fold = w / 4;
  sheet.moveTo(x, y);
  sheet.lineTo(x + w - fold, y);
  sheet.lineTo(x + w, y + fold);
  sheet.lineTo(x + w, y + h);
  sheet.lineTo(x, y + h);
  sheet.closeSubpath();
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(kPaper);
  p.drawPath(sheet);
  p.drawLine(x + w - fold, y, x + w - fold, y + fold);
  p.drawLine(x + w - fold, y + fold, x + w, y + fold);
}

void DrawVerification(QPainter& p) {
  DrawSheet(p, 4, 2, 20, 27);
  p.setPen(QPen(QColor(0x70, 0x80, 0xA0), 1.2));
  for (int y = 10; y <= 24; y += 4) p.drawLine(8, y, 19, y);
  // The pen across the sheet.
  p.save();
  p.translate(23, 15);
  p.rotate(40);
  p.setPen(QPen(kInk, 1));
  p.setBrush(QColor(0xD0, 0x40, 0x30));
  p.drawRect(-2, -11, 4, 16);
  p.setBrush(QColor(0xE8, 0xC8, 0x80));
  QPainterPath tip;
  tip.moveTo(-2, 5);
  tip.lineTo(2, 5);
  tip.lineTo(0, 10);
  tip.closeSubpath();
  p.drawPath(tip);
  p.restore();
}

void DrawAccountPlan(QPainter& p) {
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(kPaper);
  p.drawRect(3, 4, 26, 24);
  p.setBrush(QColor(0x90, 0xB8, 0xE0));
  p.drawRect(3, 4, 26, 5);
  p.setPen(QPen(QColor(0x70, 0x80, 0xA0), 1));
  for (int y = 13; y <= 25; y += 4) p.drawLine(4, y, 28, y);
  p.setPen(QPen(kInk, 1));
  p.drawLine(11, 4, 11, 28);
  p.drawLine(22, 4, 22, 28);
}

void DrawBackup(QPainter& p) {
  // The disk.
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(QColor(0x40, 0x60, 0x90));
  p.drawRoundedRect(12, 12, 18, 18, 2, 2);
  p.setBrush(QColor(0xD8, 0xD8, 0xD8));
  p.drawRect(16, 12, 10, 6);
  p.setBrush(kPaper);
  p.drawRect(15, 22, 12, 8);
  // The sheet that goes onto it, and the arrow between.
  DrawSheet(p, 2, 2, 13, 17);
  p.setPen(QPen(QColor(0x20, 0x90, 0x40), 2.2));
  p.drawLine(11, 21, 15, 25);
  p.drawLine(15, 25, 15, 21);
  p.drawLine(15, 25, 11, 25);
}

}  // namespace

QIcon ToolButtonImage(ToolImage image) {
  QPixmap picture(kSide, kSide);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  switch (image) {
    case ToolImage::kVerification: DrawVerification(p); break;
    case ToolImage::kAccountPlan: DrawAccountPlan(p); break;
    case ToolImage::kBackup: DrawBackup(p); break;
  }
  p.end();
  return QIcon(picture);
}

}  // namespace bfui
