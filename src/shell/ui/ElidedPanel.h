// A sunken or raised panel showing a text on one line, or on more when asked to. A text wider
// than the panel is broken after a blank or a slash when it may take more lines, and what still
// does not fit is shortened in the middle, not cut at its end, so that the start and the end (a
// file name, the last folder of a path) stay readable. The tip holds the whole text and the
// panel's menu copies it.
#pragma once

#include <QFrame>
#include <QString>

class QFontMetrics;

namespace shellui {

// text on at most `lines` lines of `width` pixels, the lines joined by '\n'.
QString FitText(const QString& text, const QFontMetrics& metrics, int width, int lines);

class ElidedPanel : public QFrame {
 public:
  ElidedPanel(QFrame::Shadow shadow, Qt::Alignment alignment, QWidget* parent);

  const QString& text() const { return text_; }
  void setText(const QString& text);
  void SetLines(int lines);
  // How many lines the text takes in a panel `width` wide that may have at most `lines`.
  int LinesAt(int width, int lines) const;
  // What the panel shows at its present width, its lines joined by '\n'.
  QString Shown() const;
  // The width at which the whole text shows on one line.
  int NeededWidth() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  Qt::Alignment alignment_;
  int lines_ = 1;
};

}  // namespace shellui
