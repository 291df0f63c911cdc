#include "app/bfnolk_ver.h"

#include <algorithm>
#include <iostream>
#include <map>
#include <memory>

#include "bookkeeping/BFMisc.h"
#include "bookkeeping/bfverform_entry.h"
#include "common/Ansi.h"
#include "exchange/EfileDlg.h"
#include "shell/ETider.h"

namespace bfnolk {

namespace {

// The entry's own reason for refusing, for the row named what.
int RowRefused(bf::VerificationEntry& entry, const std::string& what) {
  std::cerr << "bfnolk: " << what << ": " << ansi::ToUtf8(entry.status()) << "\n";
  entry.Cancel();
  return kRefused;
}

// Saves the entry's verification under text; the rows go back when it cannot be saved.
int Saved(bf::VerificationEntry& entry, bf::BfShared& s, const std::string& text) {
  entry.SetName(text);
  const bf::SaveResult saved = entry.Save();
  if (saved == bf::SaveResult::kSaved) {
    std::cout << "verifikation " << s.ver.number << " sparad\n";
    return kDone;
  }
  std::cerr << "bfnolk: verifikationen sparades inte: "
            << (saved == bf::SaveResult::kNoRows ? "den har inga rader" : ansi::ToUtf8(entry.status())) << "\n";
  entry.Cancel();
  return kRefused;
}

}  // namespace

int VerAdd(Session& session, const Arguments& a) {
  bf::BfShared& s = session.db().shared();
  const std::string date = a.Value("--date", etider::Format(18));
  if (!bf::IsDate(date)) {
    std::cerr << "bfnolk: --date " << date << " är inget datum (åååå-mm-dd)\n";
    return kUsage;
  }
  if (!a.Has("--text")) {
    std::cerr << "bfnolk: ver add behöver --text\n";
    return kUsage;
  }
  std::string text;
  if (!CheckedText("--text", a.Value("--text"), bf::kVerificationNameField, text)) return kUsage;
  struct Row {
    std::string word;
    int account;
    char side;
    std::string amount;
  };
  std::vector<Row> rows;
  for (size_t i = 1; i < a.positional().size(); ++i) {
    const std::string& w = a.positional()[i];
    const auto first = w.find(':'), second = w.find(':', first + 1);
    Row row{w, 0, ' ', ""};
    if (first == std::string::npos || second == std::string::npos || second != first + 2 ||
        !ParseAccount(w.substr(0, first), row.account)) {
      std::cerr << "bfnolk: raden " << w << " ska vara KONTO:SIDA:BELOPP, t.ex. 1930:+:100.00\n";
      return kUsage;
    }
    double amount = 0;
    row.amount = w.substr(second + 1);
    if (!CheckedAmount("raden " + w, row.amount, bf::kRowAmountField, amount)) return kUsage;
    row.side = w[first + 1];
    if (row.side != '+' && row.side != '-') {
      std::cerr << "bfnolk: sidan i " << w << " är + (debet) eller - (kredit)\n";
      return kUsage;
    }
    rows.push_back(row);
  }
  if (rows.empty() || rows.size() > static_cast<size_t>(bf::kMaxRows)) {
    std::cerr << "bfnolk: ver add behöver 1.." << bf::kMaxRows << " rader\n";
    return kUsage;
  }
  if (!bf::VerificationNumberLeft(s)) return kRefused;
  bf::VerificationEntry entry(s);
  entry.SetDate(date);
  for (const Row& row : rows) {
    entry.AccountTyped(bf::KontoKey(row.account));
    entry.SideTyped(std::string(1, row.side));
    entry.AmountTyped(row.amount);
    if (!entry.AcceptRow()) return RowRefused(entry, "raden " + row.word);
  }
  return Saved(entry, s, text);
}

int VerPlay(Session& session, const Arguments& a) {
  bf::BfShared& s = session.db().shared();
  const auto& pos = a.positional();
  if (pos.size() != 2) {
    std::cerr << "bfnolk: ver play behöver en mallfil (*.ver)\n";
    return kUsage;
  }
  std::string file;
  char32_t missing = 0;
  if (!ansi::FromUtf8Exact(CallersPath(pos[1]), file, missing)) {
    std::cerr << "bfnolk: filnamnet " << pos[1] << " går inte att använda i programmet (Windows-1252)\n";
    return kUsage;
  }
  std::string text;
  if (a.Has("--text") && !CheckedText("--text", a.Value("--text"), bf::kVerificationNameField, text)) return kUsage;
  std::map<int, std::string> amounts;  // by row
  for (const std::string& given : a.Values("--amount")) {
    const auto eq = given.find('=');
    long row = 0;
    double amount = 0;
    if (eq == std::string::npos || !ParseNumber(given.substr(0, eq), 1, bf::kMaxRows, row)) {
      std::cerr << "bfnolk: --amount " << given << " ska vara RAD=BELOPP, t.ex. 2=25000.00\n";
      return kUsage;
    }
    if (!CheckedAmount("--amount " + given, given.substr(eq + 1), bf::kRowAmountField, amount)) return kUsage;
    amounts[static_cast<int>(row)] = given.substr(eq + 1);
  }
  // Nothing is posted before every row the user would type has its amount.
  std::vector<int> asking;
  if (!bf::TemplateRowsAskingAmount(file, asking)) return kRefused;
  std::string without, unasked;
  for (const int r : asking)
    if (!amounts.count(r)) without += (without.empty() ? "" : ", ") + std::to_string(r);
  for (const auto& [r, amount] : amounts)
    if (std::find(asking.begin(), asking.end(), r) == asking.end())
      unasked += (unasked.empty() ? "" : ", ") + std::to_string(r);
  if (!without.empty()) {
    std::cerr << "bfnolk: mallens belopp är 0 på rad " << without << "; ange dem med --amount RAD=BELOPP\n";
    return kRefused;
  }
  if (!unasked.empty()) {
    std::cerr << "bfnolk: mallen har redan beloppet på rad " << unasked << " (--amount gäller rader med belopp 0)\n";
    return kUsage;
  }
  if (!bf::VerificationNumberLeft(s)) return kRefused;
  eixport::GivenFileDialogs chosen(file);
  const eixport::ScopedFileDialogs installed(chosen);
  bf::VerificationEntry entry(s);
  if (!entry.StartTemplate(0, session.db().dataDir())) return kRefused;
  while (entry.Playing()) {
    const int r = static_cast<int>(entry.rows().size()) + 1;
    if (entry.focus() == bf::EntryField::kAmount && amounts.count(r)) entry.AmountTyped(amounts[r]);
    if (!entry.AcceptRow()) return RowRefused(entry, "mallens rad " + std::to_string(r));
  }
  return Saved(entry, s, a.Has("--text") ? text : entry.name());
}

}  // namespace bfnolk
