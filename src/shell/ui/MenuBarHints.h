// The hints of a menu bar's menus: a menu bar shows no tool tips of its own, so the hint of
// the menu under the mouse (its menu action's tool tip) is shown here.
#pragma once

class QMenuBar;

namespace shellui {

// For the life of bar.
void ShowMenuBarHints(QMenuBar* bar);

}  // namespace shellui
