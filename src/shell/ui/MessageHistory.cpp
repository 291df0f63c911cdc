#include "shell/ui/MessageHistory.h"

#include "shell/ui/ElidedPanel.h"

#include <algorithm>

namespace shellui {

namespace {

constexpr int kMinOlderWidth = 40;  // below this an older message shows nothing worth reading
constexpr int kMaxNewestLines = 3;

}  // namespace

std::array<int, kMessagePanels> MessageWidths(int width, int newest, int minOlder) {
  width = std::max(width, 0);
  const int share = width / (kMessagePanels + 1);
  const int twoShares = width - (kMessagePanels - 1) * share;
  if (newest <= twoShares) return {twoShares, share, share};
  const int older = (width - std::min(newest, width)) / (kMessagePanels - 1);
  if (older < minOlder) return {width, 0, 0};
  return {width - (kMessagePanels - 1) * older, older, older};
}

MessageHistory::MessageHistory(QWidget* parent) : QWidget(parent) {
  for (int i = 0; i < kMessagePanels; ++i)
    panels_[i] = new ElidedPanel(i == 1 ? QFrame::Sunken : QFrame::Raised, Qt::AlignLeft, this);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void MessageHistory::Push(const QString& text) {
  for (int i = kMessagePanels - 1; i >= 1; --i) panels_[i]->setText(panels_[i - 1]->text());
  panels_[0]->setText(text);
  Place();
}

QString MessageHistory::Text(int panel) const { return panels_[panel]->text(); }
QString MessageHistory::Shown(int panel) const {
  return panels_[panel]->isHidden() ? QString() : panels_[panel]->Shown();
}
QRect MessageHistory::PanelGeometry(int panel) const { return panels_[panel]->geometry(); }

QSize MessageHistory::sizeHint() const { return {0, panels_[0]->sizeHint().height()}; }
QSize MessageHistory::minimumSizeHint() const { return sizeHint(); }

void MessageHistory::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Place();
}

void MessageHistory::Place() {
  const int needed = panels_[0]->NeededWidth();
  const auto widths = MessageWidths(width(), needed, kMinOlderWidth);
  // A newest message too long for the whole bar takes more lines.
  const int lines = width() > 0 && needed > width() ? panels_[0]->LinesAt(width(), kMaxNewestLines) : 1;
  if (lines != newestLines_) {
    newestLines_ = lines;
    panels_[0]->SetLines(lines);
    updateGeometry();
  }
  int x = 0;
  for (int i = 0; i < kMessagePanels; ++i) {
    panels_[i]->setGeometry(x, 0, widths[i], height());
    panels_[i]->setVisible(widths[i] > 0);
    x += widths[i];
  }
}

}  // namespace shellui
