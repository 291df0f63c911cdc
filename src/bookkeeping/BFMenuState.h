// What the main window's menus show of the database, computed without the window: the
// eight bookkeeping slots of the select and delete menus, which commands the three states
// allow, and the text of the data panel. The window only applies a MenuState.
//
// Invariants: a slot is enabled only for a live list record; a slot is checked only when it
// is the current bookkeeping; "verifications" implies "bookkeeping open" implies "list open".
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "bookkeeping/BFBas.h"

namespace bf {

// What a command needs before the window offers it.
enum class MenuNeed { kNothing, kList, kBookkeeping, kVerifications };

// The main window's menus, in their order on the menu bar, then the toolbar.
enum class CommandPlace { kArkiv, kVerifikat, kSumgrupper, kKonton, kToolBar };

struct MainMenu {
  CommandPlace place;
  const char* name;
  const char* caption;  // UTF-8, "&" before the key letter
  const char* hint;     // nullptr: none
};

// One command of the main window, declared once: where it sits, its name and caption, what
// it needs, and what it does. A command with neither run nor runSlot is the window's own
// (a dialog, a folder to choose).
struct MainCommand {
  CommandPlace place;
  const char* name;  // nullptr: a separator
  const char* caption = nullptr;
  MenuNeed need = MenuNeed::kNothing;
  void (*run)(BfDatabase&) = nullptr;
  void (*runSlot)(BfDatabase&, int bookkeeping) = nullptr;  // a submenu of the eight bookkeepings
  const char* hint = nullptr;
};

std::span<const MainMenu> MainMenus();
std::span<const MainCommand> MainCommands();
// The shell's register menus, which the bookkeeping program enables once there is a list.
std::span<const std::string_view> ShellMenus();

// The enabling rule by item name: the commands above and the shell's giro and label menus;
// kNothing for every other item.
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
