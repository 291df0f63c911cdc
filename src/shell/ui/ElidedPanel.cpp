#include "shell/ui/ElidedPanel.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

namespace shellui {

namespace {
constexpr int kPadding = 3;  // between the frame and the text
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

QString ElidedPanel::Shown() const {
  return fontMetrics().elidedText(text_, Qt::ElideMiddle, contentsRect().width() - 2 * kPadding);
}

// One pixel more than the advance: eliding measures with fractions the advance rounds.
int ElidedPanel::NeededWidth() const {
  return fontMetrics().horizontalAdvance(text_) + 1 + 2 * (frameWidth() + kPadding);
}

QSize ElidedPanel::sizeHint() const {
  return {NeededWidth(), fontMetrics().height() + 2 * (frameWidth() + kPadding)};
}
QSize ElidedPanel::minimumSizeHint() const { return {0, sizeHint().height()}; }

void ElidedPanel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.drawText(contentsRect().adjusted(kPadding, 0, -kPadding, 0), static_cast<int>(alignment_), Shown());
}

}  // namespace shellui
