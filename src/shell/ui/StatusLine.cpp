#include "shell/ui/StatusLine.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace shellui {

namespace {
constexpr int kMargin = 4;  // where the style puts a message's first letter
}

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);
  connect(this, &QStatusBar::messageChanged, this, [this](const QString& message) { setToolTip(message); });
}

QString StatusLine::Shown() const {
  return fontMetrics().elidedText(currentMessage(), Qt::ElideMiddle, width() - 2 * kMargin);
}

void StatusLine::paintEvent(QPaintEvent* event) {
  if (currentMessage().isEmpty()) {
    QStatusBar::paintEvent(event);
    return;
  }
  QPainter painter(this);
  QStyleOption option;
  option.initFrom(this);
  style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
  painter.setPen(palette().windowText().color());
  painter.drawText(rect().adjusted(kMargin, 0, -kMargin, 0), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine,
                   Shown());
}

}  // namespace shellui
