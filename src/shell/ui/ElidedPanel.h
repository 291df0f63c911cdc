// A sunken or raised panel showing one line of text. A text wider than the panel is shortened
// in the middle, not cut at its end, so that the start and the end (a file name, the last
// folder of a path) stay readable; the tip holds the whole text and its menu copies it.
#pragma once

#include <QFrame>
#include <QString>

namespace shellui {

class ElidedPanel : public QFrame {
 public:
  ElidedPanel(QFrame::Shadow shadow, Qt::Alignment alignment, QWidget* parent);

  const QString& text() const { return text_; }
  void setText(const QString& text);
  // What the panel shows at its present width.
  QString Shown() const;
  // The width at which the whole text shows.
  int NeededWidth() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  Qt::Alignment alignment_;
};

}  // namespace shellui
