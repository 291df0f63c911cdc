#include "shell/ui/esplashform.h"

#include "shell/ui/emainform.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace shellui {

namespace {

// An open ledger: two pages with ruled lines and a column of amounts.
QPixmap LedgerPicture(QSize size) {
  QPixmap picture(size);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  const int w = size.width(), h = size.height();
  p.setPen(QPen(QColor(0x50, 0x40, 0x30), 2));
  p.setBrush(QColor(0xFA, 0xF6, 0xE8));
  p.drawRoundedRect(QRect(2, 2, w / 2 - 3, h - 4), 4, 4);
  p.drawRoundedRect(QRect(w / 2 + 1, 2, w / 2 - 3, h - 4), 4, 4);
  p.setPen(QPen(QColor(0x90, 0xA8, 0xC8), 1));
  for (int y = 14; y < h - 8; y += 9) {
    p.drawLine(8, y, w / 2 - 8, y);
    p.drawLine(w / 2 + 8, y, w - 8, y);
  }
  p.setPen(QPen(QColor(0xC0, 0x40, 0x40), 1));
  p.drawLine(w - 30, 8, w - 30, h - 8);
  p.drawLine(w / 2 - 30, 8, w / 2 - 30, h - 8);
  return picture;
}

}  // namespace

TSplashScreen::TSplashScreen() {
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setWindowTitle(QString::fromUtf8("n  o  l  k"));
  setFixedSize(kSplashWidth, kSplashHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
}

void TSplashScreen::ShowNow() {
  show();
  repaint();
  QApplication::processEvents();
}

void TSplashScreen::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, BackgroundPicture(kBackgrounds, size()));
  p.drawPixmap(kSplashWidth / 2 - 90, 150, LedgerPicture(QSize(180, 110)));
  QFont title = font();
  title.setPointSize(26);
  title.setBold(true);
  p.setFont(title);
  p.setPen(QColor(0x20, 0x30, 0x60));
  p.drawText(QRect(0, 40, kSplashWidth, 60), Qt::AlignCenter, QString::fromUtf8("bokföringsnolk"));
  QFont small = font();
  small.setPointSize(10);
  p.setFont(small);
  p.drawText(QRect(0, 290, kSplashWidth, 30), Qt::AlignCenter, QString::fromUtf8("startar …"));
}

void TSplashScreen::mousePressEvent(QMouseEvent*) { close(); }

}  // namespace shellui
