// bfnolk's commands on the list of bookkeepings: init, list, new, change, select, delete,
// copy, backup, restore, reset, rebuild.
#include "app/bfnolk_database.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <set>

#include "app/bfnolk_arguments.h"
#include "app/bfnolk_json.h"
#include "app/bfnolk_session.h"
#include "bookkeeping_ui/BfInfoForm_rules.h"
#include "bookkeeping_ui/bfpick32.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"

namespace bfnolk {

namespace {

// The info form's fields by the options that fill them.
const char* OptionOf(bf::InfoField field) {
  switch (field) {
    case bf::InfoField::kName: return "--name";
    case bf::InfoField::kFromDate: return "--from";
    case bf::InfoField::kToDate: return "--to";
  }
  return "--name";
}

// The form's fields as shown, with what the options give typed over them.
bf::InfoTexts FormTexts(const Arguments& a, bf::InfoTexts texts) {
  texts.name = a.Value("--name", texts.name);
  texts.fromDate = a.Value("--from", texts.fromDate);
  texts.toDate = a.Value("--to", texts.toDate);
  return texts;
}

// The group number of "N=..." in low..high; false with a message.
bool GroupOption(const std::string& option, const std::string& given, long low, size_t& g, std::string& rest) {
  long n = 0;
  const auto eq = given.find('=');
  if (eq == std::string::npos || !ParseNumber(given.substr(0, eq), low, bf::kGroupCount - 1, n)) {
    std::cerr << "bfnolk: " << option << " väntar N=... med N " << low << ".." << bf::kGroupCount - 1 << ", inte "
              << given << "\n";
    return false;
  }
  g = static_cast<size_t>(n);
  rest = given.substr(eq + 1);
  return true;
}

// The sum groups from --group N=DEFINITION (any definition, group 0 its name) and
// --group-accounts N=ACCOUNT,... (accounts of the open bookkeeping, as the form's account
// list chooses them: in number order, at most bf::kMaxGroupAccounts); false with a message.
bool FillGroups(const Arguments& a, bf::BfShared& s, bf::BfDataBasRecord& r) {
  for (const std::string& given : a.Values("--group")) {
    size_t g = 0;
    std::string definition;
    if (!GroupOption("--group", given, 0, g, definition)) return false;
    if (!CheckedText("--group " + std::to_string(g), definition, bf::kSumGroupField, r.sumGroups[g])) return false;
  }
  for (const std::string& given : a.Values("--group-accounts")) {
    size_t g = 0;
    std::string list;
    if (!GroupOption("--group-accounts", given, 1, g, list)) return false;
    const std::string what = "--group-accounts " + std::to_string(g);
    std::set<std::string> numbers;
    for (size_t at = 0; at < list.size();) {
      const size_t comma = std::min(list.find(',', at), list.size());
      const std::string number = list.substr(at, comma - at);
      bf::KontoRecord account;
      int32_t recNo = 0;
      long ignored = 0;
      if (number.size() != 4 || !ParseNumber(number, 0, 9999, ignored) ||
          bf::FindAccount(s, number, account, recNo) != bf::Lookup::kFound)
        return Refused(what, "kontot " + ansi::FromUtf8(number) + " finns inte");
      numbers.insert(number);
      at = comma + 1;
    }
    if (numbers.size() > static_cast<size_t>(bf::kMaxGroupAccounts))
      return Refused(what, A("en summagrupp rymmer högst ") + std::to_string(bf::kMaxGroupAccounts) +
                               A(" konton ur kontolistan, här är de ") + std::to_string(numbers.size()));
    int dropped = 0;
    r.sumGroups[g] = bf::GroupDefinition({numbers.begin(), numbers.end()}, dropped);
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
  if (a.Has("--group-accounts")) {
    std::cerr << "bfnolk: new: en ny bokföring har inga konton att välja till --group-accounts\n";
    return kUsage;
  }
  // Checked before the open bookkeeping is closed.
  bf::BfDataBasRecord made = bf::FreshDataBasRecord();
  const bf::InfoTexts texts = FormTexts(a, {});
  bf::InfoField field = bf::InfoField::kName;
  std::string message;
  if (!bf::TakeBookkeepingInfo(texts, made, field, message)) {
    Refused(OptionOf(field), message);
    return kUsage;
  }
  if (!FillGroups(a, s.db().shared(), made)) return kUsage;
  bf::TInputIEdit form(s.db(), true);
  if (!form.Started()) return kRefused;
  form.Record().sumGroups = made.sumGroups;
  if (!form.Ok(texts, field, message)) {
    form.Cancel();
    return kRefused;
  }
  std::cout << "bokföring nr " << s.db().current() << " skapad\n";
  return kDone;
}

int Change(Session& s, const Arguments& a, int n) {
  if (!s.Select(n)) return kRefused;
  bf::TInputIEdit form(s.db(), false);
  const bf::InfoTexts texts = FormTexts(a, form.Shown());
  bf::BfDataBasRecord checked = form.Record();
  bf::InfoField field = bf::InfoField::kName;
  std::string message;
  if (!bf::TakeBookkeepingInfo(texts, checked, field, message)) {
    Refused(OptionOf(field), message);
    return kUsage;
  }
  if (!FillGroups(a, s.db().shared(), form.Record())) return kUsage;
  return form.Ok(texts, field, message) ? kDone : kRefused;
}

int Select(Session& s, int n) {
  if (!s.Select(n)) return kRefused;
  std::cout << "bokföring nr " << n << " vald\n";
  return kDone;
}

}  // namespace

int DatabaseCommand(const std::string& command, const std::vector<std::string>& words) {
  const Arguments a(words, {"--name", "--from", "--to", "--group", "--group-accounts", "--nr"}, {"--yes", "--json", "--registers"});
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
    if (!CheckedText(pos[0], CallersPath(pos[0]), bf::kBackupDirField, folder)) return kUsage;
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
