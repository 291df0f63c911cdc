// Where the program's small windows (progress, print progress) appear: centred on the
// window that owns them, or on the screen when none does.
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace shellui {

inline void MoveCentred(QWidget* window, const QWidget* owner) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect around = owner != nullptr    ? owner->frameGeometry()
                       : screen != nullptr ? screen->availableGeometry()
                                           : window->rect();
  window->move(around.center() - window->rect().center());
}

}  // namespace shellui
