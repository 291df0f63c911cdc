// TSplashScreen: the window shown while the program starts. Borderless, above every other
// window, centred on the screen, caption "n  o  l  k", a client area of 424 by 350 holding
// three pictures (a landscape, an open ledger and the program's name). A click closes it.
#pragma once

#include <QWidget>

namespace shellui {

constexpr int kSplashWidth = 424;
constexpr int kSplashHeight = 350;

class TSplashScreen : public QWidget {
 public:
  TSplashScreen();
  // Shows the window and paints it at once, before the program goes on starting.
  void ShowNow();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace shellui
