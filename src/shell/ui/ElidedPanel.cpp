#include "shell/ui/ElidedPanel.h"

#include <QAction>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>

namespace shellui {

namespace {
constexpr int kPadding = 3;  // between the frame and the text
}

QString FitText(const QString& text, const QFontMetrics& metrics, int width, int lines) {
  // One pixel to spare: eliding measures with fractions the advance rounds.
  if (lines <= 1 || metrics.horizontalAdvance(text) + 1 <= width)
    return metrics.elidedText(text, Qt::ElideMiddle, width);
  // The longest head that fits, ending after a blank or a slash where there is one.
  qsizetype fits = 0;
  while (fits < text.size() && metrics.horizontalAdvance(text.left(fits + 1)) + 1 <= width) ++fits;
  qsizetype cut = fits;
  while (cut > 0 && text[cut - 1] != ' ' && text[cut - 1] != '/') --cut;
  if (cut == 0) cut = std::max<qsizetype>(fits, 1);
  return text.left(cut).trimmed() + '\n' + FitText(text.mid(cut).trimmed(), metrics, width, lines - 1);
}

ElidedPanel::ElidedPanel(QFrame::Shadow shadow, Qt::Alignment alignment, QWidget* parent)
    : QFrame(parent), alignment_(alignment | Qt::AlignVCenter) {
  setFrameStyle(QFrame::Panel | shadow);
  auto* copy = new QAction(QString::fromUtf8("kopiera"), this);
  connect(copy, &QAction::triggered, this, [this] { QGuiApplication::clipboard()->setText(text_); });
  addAction(copy);
  setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ElidedPanel::setText(const QString& text) {
  text_ = text;
  setToolTip(text);
  updateGeometry();
  update();
}

void ElidedPanel::SetLines(int lines) {
  if (lines == lines_) return;
  lines_ = lines;
  updateGeometry();
  update();
}

QString ElidedPanel::Shown() const {
  return FitText(text_, fontMetrics(), contentsRect().width() - 2 * kPadding, lines_);
}

int ElidedPanel::LinesAt(int width, int lines) const {
  return static_cast<int>(FitText(text_, fontMetrics(), width - 2 * (frameWidth() + kPadding), lines).count('\n')) + 1;
}

int ElidedPanel::NeededWidth() const {
  return fontMetrics().horizontalAdvance(text_) + 1 + 2 * (frameWidth() + kPadding);
}

QSize ElidedPanel::sizeHint() const {
  return {NeededWidth(), lines_ * fontMetrics().lineSpacing() + 2 * (frameWidth() + kPadding)};
}
QSize ElidedPanel::minimumSizeHint() const { return {0, sizeHint().height()}; }

void ElidedPanel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.drawText(contentsRect().adjusted(kPadding, 0, -kPadding, 0), static_cast<int>(alignment_), Shown());
}

}  // namespace shellui
