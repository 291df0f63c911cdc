#include "bookkeeping/BFMenuState.h"

#include <cstdio>
#include <utility>

#include "common/Ansi.h"

namespace bf {

namespace {

// Whether list record n is live, read without disturbing the current list record buffer.
bool ListRecordLive(BfShared& s, int n, std::string& name) {
  BfDataBasRecord kept = s.dataBas;
  int32_t recNo = n;
  bool found = false, atEnd = false;
  BfAccess(s, kListFile, 1, "", recNo, found, atEnd);
  name = s.dataBas.name;
  s.dataBas = std::move(kept);
  return found;
}

}  // namespace

MenuNeed NeedOf(std::string_view item) {
  static constexpr std::pair<std::string_view, MenuNeed> kTable[] = {
      {"new", MenuNeed::kList},
      {"tbBackup", MenuNeed::kList},
      {"postgiroMenu", MenuNeed::kList},
      {"plusgiroMenu", MenuNeed::kList},
      {"bankgiroMenu", MenuNeed::kList},
      {"etikettMenu", MenuNeed::kList},
      {"change", MenuNeed::kBookkeeping},
      {"copy", MenuNeed::kBookkeeping},
      {"nolla", MenuNeed::kBookkeeping},
      {"inmata", MenuNeed::kBookkeeping},
      {"InmataVerifikation", MenuNeed::kBookkeeping},
      {"plan", MenuNeed::kBookkeeping},
      {"grafiskt", MenuNeed::kBookkeeping},
      {"grafrapport", MenuNeed::kBookkeeping},
      {"kontoreg", MenuNeed::kBookkeeping},
      {"exportplan", MenuNeed::kBookkeeping},
      {"importplanu", MenuNeed::kBookkeeping},
      {"importplani", MenuNeed::kBookkeeping},
      {"visakontoplan", MenuNeed::kBookkeeping},
      {"kontoplan", MenuNeed::kBookkeeping},
      {"datacopy", MenuNeed::kBookkeeping},
      {"indexbygg", MenuNeed::kBookkeeping},
      {"exportverif1", MenuNeed::kVerifications},
      {"visahuvudbok", MenuNeed::kVerifications},
      {"visagrundbok", MenuNeed::kVerifications},
      {"huvudbok", MenuNeed::kVerifications},
      {"grundbok", MenuNeed::kVerifications},
      {"grafutskrift", MenuNeed::kVerifications},
      {"resultatrapport", MenuNeed::kVerifications},
      {"saldorapport", MenuNeed::kVerifications},
      {"balansrapport", MenuNeed::kVerifications},
  };
  for (const auto& [name, need] : kTable)
    if (name == item) return need;
  return MenuNeed::kNothing;
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
