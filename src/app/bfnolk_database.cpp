// bfnolk's commands on the list of bookkeepings: init, list, new, change, select, delete,
// copy, backup, restore, reset, rebuild.
#include "app/bfnolk_database.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "app/bfnolk_arguments.h"
#include "app/bfnolk_json.h"
#include "app/bfnolk_session.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"

namespace bfnolk {

namespace {

// Fills the list record from --name, --from, --to and --group N=DEFINITION; false with a
// message when a value is not acceptable.
bool FillListRecord(const Arguments& a, bf::BfDataBasRecord& r) {
  if (a.Has("--name") && !CheckedText("--name", a.Value("--name"), bf::kBookkeepingNameField, r.name)) return false;
  for (const char* option : {"--from", "--to"}) {
    if (!a.Has(option)) continue;
    const std::string date = a.Value(option);
    if (!IsDate(date)) {
      std::cerr << "bfnolk: " << option << " " << date << " är inget datum (åååå-mm-dd)\n";
      return false;
    }
    (std::string(option) == "--from" ? r.fromDate : r.toDate) = date;
  }
  if (!r.fromDate.empty() && !r.toDate.empty() && r.fromDate > r.toDate) {
    std::cerr << "bfnolk: perioden slutar före sin början\n";
    return false;
  }
  for (const std::string& g : a.Values("--group")) {
    long n = 0;
    const auto eq = g.find('=');
    if (eq == std::string::npos || !ParseNumber(g.substr(0, eq), 0, bf::kGroupCount - 1, n)) {
      std::cerr << "bfnolk: --group väntar N=DEFINITION med N 0..8, inte " << g << "\n";
      return false;
    }
    if (!CheckedText("--group " + g.substr(0, eq), g.substr(eq + 1), bf::kSumGroupField,
                     r.sumGroups[static_cast<size_t>(n)]))
      return false;
  }
  return true;
}

// The data directory is made here when it is not there yet: the first command that
// writes into it.
int Init(Session& s) {
  std::error_code error;
  std::filesystem::create_directories(ansi::ToUtf8(s.db().dataDir()), error);
  if (error) {
    std::cerr << "bfnolk: kan ej skapa datakatalogen " << ansi::ToUtf8(s.db().dataDir()) << ": " << error.message()
              << "\n";
    return kRefused;
  }
  return s.db().CreateBookkeepingList() ? kDone : kRefused;
}

int List(Session& s, bool json) {
  bf::BfDatabase& db = s.db();
  if (!db.listOpen()) return kRefused;
  bf::BfShared& shared = db.shared();
  const int current = db.current();
  JsonArray array;
  for (int n = 1; n <= bf::kMaxBookkeepings; ++n) {
    std::string state = "vakant";
    bf::BfDataBasRecord r;
    if (n < shared.listLength) {
      const bf::Lookup lookup = bf::ReadBookkeeping(shared, n, r);
      if (lookup == bf::Lookup::kFailed) return kRefused;
      if (lookup == bf::Lookup::kFound) {
        // The open one as it stands, totals and all.
        if (n == current) r = shared.dataBas;
        state = n == current ? "vald" : "";
      } else {
        r = bf::BfDataBasRecord{};
        state = "raderad";
      }
    }
    if (json) {
      JsonObject o;
      o.Number("nr", n).Text("namn", r.name).Text("fran", r.fromDate).Text("till", r.toDate)
          .Number("verifikationer", r.lastVerNr).Text("tillstand", state);
      array.Add(o);
    } else {
      // Padded while the name is still one byte a letter.
      char line[160];
      std::snprintf(line, sizeof line, "%d  %-26s  %-10s  %-10s  %6d  %s", n, r.name.c_str(),
                    r.fromDate.c_str(), r.toDate.c_str(), r.lastVerNr, state.c_str());
      std::cout << ansi::ToUtf8(line) << "\n";
    }
  }
  if (json) std::cout << array.str() << "\n";
  return kDone;
}

int New(Session& s, const Arguments& a) {
  if (!a.Has("--name") || !a.Has("--from") || !a.Has("--to")) {
    std::cerr << "bfnolk: new behöver --name, --from och --to\n";
    return kUsage;
  }
  bf::BfDataBasRecord made = bf::FreshDataBasRecord();
  if (!FillListRecord(a, made)) return kUsage;  // before the open bookkeeping is closed
  bf::BfDatabase& db = s.db();
  if (!db.BeginNewBookkeeping()) return kRefused;
  db.shared().dataBas = made;
  if (!db.FinishNewBookkeeping()) return kRefused;
  std::cout << "bokföring nr " << db.current() << " skapad\n";
  return kDone;
}

int Change(Session& s, const Arguments& a, int n) {
  if (!s.Select(n)) return kRefused;
  bf::BfDataBasRecord changed = s.db().shared().dataBas;
  if (!FillListRecord(a, changed)) return kUsage;
  s.db().shared().dataBas = changed;
  return s.db().FinishChangeBookkeeping() ? kDone : kRefused;
}

int Select(Session& s, int n) {
  if (!s.Select(n)) return kRefused;
  std::cout << "bokföring nr " << n << " vald\n";
  return kDone;
}

}  // namespace

int DatabaseCommand(const std::string& command, const std::vector<std::string>& words) {
  const Arguments a(words, {"--name", "--from", "--to", "--group", "--nr"}, {"--yes", "--json", "--registers"});
  if (!a.ok()) {
    std::cerr << "bfnolk " << command << ": " << a.error() << "\n";
    return kUsage;
  }
  const auto& pos = a.positional();
  long n = 0;
  const bool numbered = command == "change" || command == "select" || command == "delete";
  if (numbered && (pos.size() != 1 || !ParseNumber(pos[0], 1, bf::kMaxBookkeepings, n))) {
    std::cerr << "bfnolk " << command << ": ange bokföringens nummer 1..8\n";
    return kUsage;
  }
  const bool toFolder = command == "backup" || command == "restore";
  if (toFolder && pos.size() != 1) {
    std::cerr << "bfnolk " << command << ": ange en katalog\n";
    return kUsage;
  }
  long from = 0;
  if (a.Has("--nr") && !ParseNumber(a.Value("--nr"), 1, bf::kMaxBookkeepings, from)) {
    std::cerr << "bfnolk " << command << ": --nr är bokföringens nummer 1..8\n";
    return kUsage;
  }
  if (!numbered && !toFolder && !pos.empty()) {
    std::cerr << "bfnolk " << command << ": oväntat argument " << pos[0] << "\n";
    return kUsage;
  }
  // A folder named as every program does, from where the command was given; the session
  // then moves into the data directory.
  std::string folder;
  if (toFolder) {
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(pos[0], error).lexically_normal().string();
    if (!CheckedText(pos[0], absolute, bf::kBackupDirField, folder)) return kUsage;
  }
  const bool reads = command == "list" || command == "select";
  Session s(a.Has("--yes"), reads ? bf::Access::kReadOnly : bf::Access::kReadWrite);
  if (!s.ok()) return kRefused;
  int code = kRefused;
  if (command == "init") code = Init(s);
  else if (command == "list") code = List(s, a.Has("--json"));
  else if (command == "new") code = New(s, a);
  else if (command == "change") code = Change(s, a, static_cast<int>(n));
  else if (command == "select") code = Select(s, static_cast<int>(n));
  else if (command == "delete") code = s.db().DeleteBookkeeping(static_cast<int>(n)) ? kDone : kRefused;
  else if (command == "copy") code = s.db().CopyBookkeeping(bf::CopyMode::kCopy) ? kDone : kRefused;
  else if (command == "backup")
    code = s.db().CopyBookkeeping(bf::CopyMode::kBackup, folder) ? kDone : kRefused;
  else if (command == "restore")
    code = s.db().RestoreBookkeeping(folder, static_cast<int>(from), a.Has("--registers")) ? kDone : kRefused;
  else if (command == "reset") code = s.db().ResetBookkeeping() ? kDone : kRefused;
  else if (command == "rebuild") code = s.db().RebuildBookkeeping() ? kDone : kRefused;
  for (const std::string& partial : s.db().partialFiles())
    std::cerr << "ofullständig fil kvar: " << ansi::ToUtf8(partial) << "\n";
  PrintStatus();
  return code;
}

bool IsDatabaseCommand(const std::string& command) {
  for (const char* c : {"init", "list", "new", "change", "select", "delete", "copy", "backup", "restore", "reset",
                          "rebuild"})
    if (command == c) return true;
  return false;
}

}  // namespace bfnolk
