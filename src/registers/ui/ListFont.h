// The font of the register and pick lists: their lines are laid out in columns (numbers,
// names filled with dots, amounts right-aligned), so the list is fixed-pitch, at the size
// of the window's own font.
#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QWidget>

namespace eregui {

inline QFont ListFont(const QWidget* window, bool bold) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSizeF(window->font().pointSizeF());
  font.setBold(bold);
  return font;
}

}  // namespace eregui
