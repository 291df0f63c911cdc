// A dialog's one-line status bar. A message wider than the line is shortened in the middle,
// not cut at the end, so that the start of the message and the file name a path ends with
// stay readable; the tip holds the whole message.
#pragma once

#include <QStatusBar>

namespace shellui {

class StatusLine : public QStatusBar {
 public:
  explicit StatusLine(QWidget* parent);

  // The message as the line shows it.
  QString Shown() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace shellui
