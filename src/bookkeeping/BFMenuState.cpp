#include "bookkeeping/BFMenuState.h"

#include <cstdio>
#include <utility>

#include "common/Ansi.h"

namespace bf {

namespace {

// Whether list record n is live, and its name.
bool ListRecordLive(BfShared& s, int n, std::string& name) {
  BfDataBasRecord record;
  if (ReadBookkeeping(s, n, record) != Lookup::kFound) return false;
  name = record.name;
  return true;
}

using enum CommandPlace;
using enum MenuNeed;

constexpr MainMenu kMenus[] = {
    {kArkiv, "arkiv", "&arkiv", "databiblioteket för programmets filer och inställningar"},
    {kVerifikat, "verifikat1", "&verifikat", nullptr},
    {kSumgrupper, "sumgrupper1", "&sumgrupper", nullptr},
    {kKonton, "konton1", "&konton", nullptr},
};

void Copy(BfDatabase& db) { db.CopyBookkeeping(CopyMode::kCopy); }
void Reset(BfDatabase& db) { db.ResetBookkeeping(); }
void NewList(BfDatabase& db) { db.CreateBookkeepingList(); }
void Rebuild(BfDatabase& db) { db.RebuildBookkeeping(); }
void Select(BfDatabase& db, int n) { db.SelectBookkeeping(n); }
void Delete(BfDatabase& db, int n) { db.DeleteBookkeeping(n); }

constexpr MainCommand kCommands[] = {
    {kArkiv, "select", "välj", kNothing, nullptr, Select},
    {kArkiv, "new", "ny", kList},
    {kArkiv, "change", "&ändra", kBookkeeping},
    {kArkiv, nullptr},
    {kArkiv, "copy", "&kopiera", kBookkeeping, Copy},
    {kArkiv, "nolla", "n&ollställ", kBookkeeping, Reset},
    {kArkiv, "delete", "&radera", kNothing, nullptr, Delete},
    {kArkiv, nullptr},
    {kArkiv, "initdata", "i&nitiera databas", kNothing, NewList},
    {kArkiv, "datacopy", "&säkerhetskopia", kBookkeeping},
    {kArkiv, "aterstall", "å&terställ kopia", kList},
    {kArkiv, "exportsie", "exportera SIE", kBookkeeping},
    {kArkiv, "importsie", "importera SIE", kList},
    {kArkiv, "indexbygg", "&indexåterbygg", kBookkeeping, Rebuild},
    {kArkiv, nullptr},
    {kArkiv, "avsluta", "avsluta"},

    {kVerifikat, "inmata", "ny verifikation", kBookkeeping},
    {kVerifikat, "exportverif1", "exportverif", kVerifications},
    {kVerifikat, nullptr},
    {kVerifikat, "visahuvudbok", "visa huvudbok", kVerifications},
    {kVerifikat, "visagrundbok", "visa grundbok", kVerifications},
    {kVerifikat, nullptr},
    {kVerifikat, "huvudbok", "huvudbok", kVerifications},
    {kVerifikat, "grundbok", "grundbok", kVerifications},

    {kSumgrupper, "grafiskt", "visa grafiskt", kBookkeeping},
    {kSumgrupper, "grafutskrift", "grafiskt", kVerifications},
    {kSumgrupper, "grafrapport", "rapport", kBookkeeping},

    {kKonton, "kontoreg", "register", kBookkeeping},
    {kKonton, nullptr},
    {kKonton, "exportplan", "exportplan", kBookkeeping},
    {kKonton, "importplanu", "importplan ubalans", kBookkeeping, nullptr, nullptr,
     "importera kontoplan använd importfilens utgående balans som ny inbalans"},
    {kKonton, "importplani", "importplan ibalans", kBookkeeping, nullptr, nullptr,
     "importera kontoplan använd importfilens ingående balans som ny inbalans"},
    {kKonton, nullptr},
    {kKonton, "visakontoplan", "visa kontoplan", kBookkeeping},
    {kKonton, "kontoplan", "kontoplan", kBookkeeping},
    {kKonton, "resultatrapport", "resultatrapport", kVerifications},
    {kKonton, "saldorapport", "saldorapport", kVerifications},
    {kKonton, "balansrapport", "balansrapport", kVerifications},

    {kToolBar, "InmataVerifikation", "ver", kBookkeeping, nullptr, nullptr, "mata in ny verifikation"},
    {kToolBar, "plan", "plan", kBookkeeping, nullptr, nullptr, "visa kontoplan"},
    {kToolBar, "tbBackup", "kopi", kList, nullptr, nullptr, "kopiera vald bokföring till vald mapp/floppy"},
};

constexpr std::string_view kShellMenus[] = {"postgiroMenu", "plusgiroMenu", "bankgiroMenu", "etikettMenu"};

}  // namespace

std::span<const MainMenu> MainMenus() { return kMenus; }
std::span<const MainCommand> MainCommands() { return kCommands; }
std::span<const std::string_view> ShellMenus() { return kShellMenus; }

MenuNeed NeedOf(std::string_view item) {
  for (const MainCommand& c : kCommands)
    if (c.name != nullptr && c.name == item) return c.need;
  for (std::string_view shellMenu : kShellMenus)
    if (shellMenu == item) return kList;
  return kNothing;
}

bool MenuState::Allows(MenuNeed need) const {
  switch (need) {
    case MenuNeed::kNothing: return true;
    case MenuNeed::kList: return listOpen;
    case MenuNeed::kBookkeeping: return bookkeepingOpen;
    case MenuNeed::kVerifications: return hasVerifications;
  }
  return false;
}

MenuState RefreshMenuState(BfDatabase& db) {
  BfShared& s = db.shared();
  // Only an open bookkeeping's buffer is surely its list record; a closed one was saved
  // when it was closed.
  if (db.listOpen() && db.bookkeepingOpen()) {
    db.SaveBookkeepingInfo(false);
  } else if (s.listFile != nullptr) {
    s.listLength = isam::FileLen(s.listFile);
    s.listInUse = isam::UsedRecs(s.listFile);
  }

  if (s.current != 0 && !db.bookkeepingOpen()) {
    std::string name;
    if (!db.listOpen() || !ListRecordLive(s, s.current, name)) s.current = 0;
  }

  MenuState state;
  for (int i = 1; i <= kMaxBookkeepings; ++i) {
    BookkeepingSlot& slot = state.bookkeepings[i - 1];
    slot.caption = "vakant";
    if (db.listOpen() && i < s.listLength) {
      std::string name;
      slot.enabled = ListRecordLive(s, i, name);
      slot.caption = slot.enabled ? name : "raderad";
    }
    slot.checked = i == s.current;
  }

  state.listOpen = db.listOpen();
  state.bookkeepingOpen = db.bookkeepingOpen();
  state.hasVerifications = state.bookkeepingOpen && isam::UsedRecs(s.verFile) > 0;
  state.dataPanel = state.bookkeepingOpen ? s.dataBas.name
                    : state.listOpen      ? A("<bokföring ej vald>")
                                          : std::string("<inga filer>");
  return state;
}

std::string RecordSizesText() {
  // The list, account, sums and verification records, then the five record types of the
  // registers and settings.
  const int sizes[] = {BfDataBasRecord::kLength, KontoRecord::kLength, SumsRecord::kLength,
                       VerRecord::kLength, 909, 808, 16004, 48012, 20};
  std::string text;
  for (int i = 0; i < 9; ++i) {
    char part[24];
    std::snprintf(part, sizeof part, "%s%d=%3d", i == 0 ? "" : " ", i + 1, sizes[i]);
    text += part;
  }
  return text;
}

}  // namespace bf
