// The main window's message history: the newest message and the two before it, side by side
// in the status bar. The newest gets two shares of the bar and the older ones one each while
// it fits; a longer newest message takes the room it needs from the older ones, up to the
// whole bar, and one longer than the bar takes up to three lines (ElidedPanel).
#pragma once

#include <QString>
#include <QWidget>

#include <array>

namespace shellui {

class ElidedPanel;

constexpr int kMessagePanels = 3;

// The panels' widths in a bar `width` wide when the newest message needs `newest` pixels.
// An older panel that would be narrower than `minOlder` is left out (width 0) and its room
// goes to the newest.
std::array<int, kMessagePanels> MessageWidths(int width, int newest, int minOlder);

class MessageHistory : public QWidget {
 public:
  explicit MessageHistory(QWidget* parent);

  // Shows text as the newest message and moves the others one panel on.
  void Push(const QString& text);
  QString Text(int panel) const;
  // What a panel shows: its text, broken and shortened as its width asks, lines joined by '\n'.
  QString Shown(int panel) const;
  QRect PanelGeometry(int panel) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Place();

  std::array<ElidedPanel*, kMessagePanels> panels_{};
  int newestLines_ = 1;
};

}  // namespace shellui
