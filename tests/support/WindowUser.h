// What a window test does as the user would: press a button by its name, read a list.
#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QTest>

inline void Press(QWidget& window, const char* button) {
  QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
}

// The lines of list, a selected one marked with a "*" at its end.
inline QStringList MarkedLines(const QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text() + (list->item(i)->isSelected() ? "*" : "");
  return lines;
}
