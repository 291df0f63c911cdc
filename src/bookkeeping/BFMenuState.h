// What the main window's menus show of the database, computed without the window: the
// eight bookkeeping slots of the select and delete menus, which commands the three states
// allow, and the text of the data panel. The window only applies a MenuState.
//
// Invariants: a slot is enabled only for a live list record; a slot is checked only when it
// is the current bookkeeping; "verifications" implies "bookkeeping open" implies "list open".
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "bookkeeping/BFBas.h"

namespace bf {

// What a command needs before the window offers it.
enum class MenuNeed { kNothing, kList, kBookkeeping, kVerifications };

// The enabling table by item name (the toolbar's and the menus' names, the shell's giro and
// label menus among them); kNothing for every other item.
MenuNeed NeedOf(std::string_view item);

struct BookkeepingSlot {
  std::string caption;  // the bookkeeping's name, "raderad" or "vakant"
  bool enabled = false;
  bool checked = false;
};

struct MenuState {
  std::array<BookkeepingSlot, kMaxBookkeepings> bookkeepings;
  bool listOpen = false;
  bool bookkeepingOpen = false;
  bool hasVerifications = false;
  std::string dataPanel;  // the name, "<bokföring ej vald>" or "<inga filer>"

  bool Allows(MenuNeed need) const;
};

// The menu refresh on the database: the open bookkeeping's list record written back, the
// list counters refreshed, every slot read (the shared list record buffer is left as it
// was), and a current bookkeeping that is closed and whose list record is no longer live
// given up.
MenuState RefreshMenuState(BfDatabase& db);

// The status line of the info button: the record sizes of the program's record types.
std::string RecordSizesText();

}  // namespace bf
