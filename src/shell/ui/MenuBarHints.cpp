#include "shell/ui/MenuBarHints.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenuBar>
#include <QToolTip>

namespace shellui {

namespace {

class MenuBarHintFilter : public QObject {
 public:
  explicit MenuBarHintFilter(QMenuBar* bar) : QObject(bar), bar_(bar) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != bar_ || event->type() != QEvent::ToolTip) return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    QAction* action = bar_->actionAt(help->pos());
    // An action without a tool tip of its own reports its text without the accelerator
    // mark; that is no hint.
    if (action == nullptr || action->toolTip() == QString(action->text()).remove('&')) {
      QToolTip::hideText();
      return true;
    }
    QToolTip::showText(help->globalPos(), action->toolTip(), bar_, bar_->actionGeometry(action));
    return true;
  }

 private:
  QMenuBar* bar_;
};

}  // namespace

void ShowMenuBarHints(QMenuBar* bar) { bar->installEventFilter(new MenuBarHintFilter(bar)); }

}  // namespace shellui
