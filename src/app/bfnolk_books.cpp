// bfnolk's commands inside the selected bookkeeping: accounts, verifications and verify
// (which also checks the register files of the data directory).
// They call the same logic operations as the window program's dialogs.
#include "app/bfnolk_books.h"

#include <cmath>
#include <cstdio>
#include <iostream>

#include "app/bfnolk_arguments.h"
#include "app/bfnolk_json.h"
#include "app/bfnolk_session.h"
#include "app/bfnolk_ver.h"
#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFMisc_amount.h"
#include "bookkeeping/BFMisc_entry.h"
#include "bookkeeping/BFVerify.h"
#include "bookkeeping_ui/BfKontoReg_rules.h"
#include "common/Ansi.h"
#include "registers/ekeyedreg32_check.h"

namespace bfnolk {

namespace {

JsonObject AccountJson(const bf::KontoRecord& k) {
  JsonObject o;
  o.Text("nummer", k.number).Text("namn", k.name).Text("referens", k.reference).Text("tecken", std::string(1, k.sign))
      .Amount("ingaende", k.opening.Value()).Amount("debet", k.debit.Value()).Amount("kredit", k.credit.Value())
      .Amount("utgaende", k.closing.Value()).Amount("budget", k.budget.Value());
  return o;
}

void PrintAccount(const bf::KontoRecord& k) {
  char line[200];
  std::snprintf(line, sizeof line, "%-4s  %-8s  %-23s %c %14s %14s %14s %14s", k.number.c_str(), k.name.c_str(),
                k.reference.c_str(), k.sign, bf::AmountText(k.opening.Value(), 14).c_str(),
                bf::AmountText(k.debit.Value(), 14).c_str(), bf::AmountText(k.credit.Value(), 14).c_str(),
                bf::AmountText(k.closing.Value(), 14).c_str());
  std::cout << ansi::ToUtf8(line) << "\n";
}

// The account dialog's fields by the options that fill them.
constexpr std::pair<bf::KontoField, const char*> kKontoOptions[] = {
    {bf::KontoField::kNumber, "--number"}, {bf::KontoField::kName, "--name"},     {bf::KontoField::kReference, "--ref"},
    {bf::KontoField::kSign, "--sign"},     {bf::KontoField::kBudget, "--budget"}, {bf::KontoField::kOpening, "--opening"}};

std::string& TextOf(bf::KontoTexts& t, bf::KontoField field) {
  switch (field) {
    case bf::KontoField::kNumber: return t.number;
    case bf::KontoField::kName: return t.name;
    case bf::KontoField::kReference: return t.reference;
    case bf::KontoField::kSign: return t.sign;
    case bf::KontoField::kBudget: return t.budget;
    case bf::KontoField::kOpening: return t.opening;
  }
  return t.number;
}

// The account dialog as bfnolk fills it: the fields as the dialog shows them, what the
// options give typed over them, and OK pressed; a refusal cancels the dialog.
class OptionKontoDialogs : public bf::KontoDialogs {
 public:
  OptionKontoDialogs(const Arguments& a, std::string number) : a_(a), number_(std::move(number)) {}

  bool RunKontoDialog(bf::TkontoEdit& edit) override {
    bf::KontoTexts texts = edit.Shown();
    if (edit.IsNew()) texts.number = number_;
    for (const auto& [field, option] : kKontoOptions)
      if (a_.Has(option)) TextOf(texts, field) = a_.Value(option);
    if (edit.Ok(texts, refusal_)) return true;
    refused_ = true;
    edit.Cancel();
    return false;
  }

  bool refused() const { return refused_; }
  // Says why the dialog was refused; the exit code: a field that cannot hold what was given
  // is a usage error, an account the rules refuse is refused.
  int Refusal() const {
    if (refusal_.kind == bf::KontoRefusal::kRule) {
      std::cerr << "bfnolk: " << ansi::ToUtf8(refusal_.message) << "\n";
      return kRefused;
    }
    for (const auto& [field, option] : kKontoOptions)
      if (field == refusal_.field) Refused(option, refusal_.message);
    return kUsage;
  }

 private:
  const Arguments& a_;
  std::string number_;
  bf::KontoRefusal refusal_;
  bool refused_ = false;
};

// add, change or delete through the account register, as the register window runs them.
int AccountEdit(bf::BfShared& s, const Arguments& a, const std::string& verb, const std::string& number,
                bool exists) {
  OptionKontoDialogs dialogs(a, number);
  bf::TBfKontoReg reg(s, dialogs);
  if (verb == "add") {
    reg.EditEntry(true);
  } else {
    reg.Fill();
    reg.SetSelected(reg.LineOf(number), true);
    if (verb == "change") reg.EditEntry(false);
    else reg.EraseEntry();
  }
  if (dialogs.refused()) return dialogs.Refusal();
  bf::KontoRecord account;
  int32_t recNo = 0;
  const std::string now = verb == "change" && a.Has("--number") ? a.Value("--number") : number;
  const bf::Lookup lookup = bf::FindAccount(s, now, account, recNo);
  if (lookup == bf::Lookup::kFailed || (lookup == bf::Lookup::kFound) == (verb == "delete")) return kRefused;
  if (verb != "delete") std::cout << "konto " << now << (exists ? " ändrat\n" : " upplagt\n");
  return kDone;
}

int AccountCommand(Session& session, const Arguments& a) {
  const auto& pos = a.positional();
  if (pos.empty()) return kUsage;
  const std::string verb = pos[0];
  bf::BfShared& s = session.db().shared();
  if (verb == "list" && pos.size() == 1) {
    JsonArray array;
    const bool read = bf::ForEachAccount(s, [&](const bf::KontoRecord& k, int32_t) {
      if (a.Has("--json")) array.Add(AccountJson(k));
      else PrintAccount(k);
      return true;
    });
    if (!read) return kRefused;  // half a list is no list: the reason is on standard error
    if (a.Has("--json")) std::cout << array.str() << "\n";
    return kDone;
  }
  int account = 0;
  if (pos.size() != 2 || !ParseAccount(pos[1], account)) return kUsage;
  int32_t recNo = 0;
  bf::KontoRecord found;
  const bf::Lookup lookup = bf::FindAccount(s, bf::KontoKey(account), found, recNo);
  if (lookup == bf::Lookup::kFailed) return kRefused;
  const bool exists = lookup == bf::Lookup::kFound;
  if (verb == "show") {
    if (!exists) {
      std::cerr << "bfnolk: kontot " << pos[1] << " finns inte\n";
      return kRefused;
    }
    if (a.Has("--json")) std::cout << AccountJson(found).str() << "\n";
    else PrintAccount(found);
    return kDone;
  }
  if (verb == "add" || verb == "change" || verb == "delete") {
    // A new number already in use is the dialog's to refuse, with its message.
    if (!exists && verb != "add") {
      std::cerr << "bfnolk: kontot " << pos[1] << " finns inte\n";
      return kRefused;
    }
    if (verb == "change" && a.Has("--number")) {
      int renumbered = 0;
      if (!ParseAccount(a.Value("--number"), renumbered)) return kUsage;
    }
    return AccountEdit(s, a, verb, bf::KontoKey(account), exists);
  }
  return kUsage;
}

JsonObject VerificationJson(const bf::VerRecord& v) {
  JsonArray rows;
  for (int r = 1; r <= v.RowCount(); ++r) {
    const auto i = static_cast<size_t>(r);
    JsonObject row;
    row.Text("konto", bf::KontoKey(v.accounts[i])).Text("sida", std::string(1, v.sides[i]))
        .Amount("belopp", v.amounts[i].Value());
    rows.Add(row);
  }
  JsonObject o;
  o.Number("nummer", v.number).Text("datum", v.date).Text("text", v.name).Raw("rader", rows.str());
  return o;
}

void PrintVerification(const bf::VerRecord& v, bool withRows) {
  char head[120];
  std::snprintf(head, sizeof head, "%4d  %-10s  %s", v.number, v.date.c_str(), v.name.c_str());
  std::cout << ansi::ToUtf8(head) << "\n";
  if (!withRows) return;
  for (int r = 1; r <= v.RowCount(); ++r) {
    const auto i = static_cast<size_t>(r);
    std::cout << "      " << bf::KontoKey(v.accounts[i]) << " " << v.sides[i] << " "
              << bf::AmountText(v.amounts[i].Value(), 14) << "\n";
  }
}

int VerCommand(Session& session, const Arguments& a) {
  const auto& pos = a.positional();
  if (pos.empty()) return kUsage;
  bf::BfShared& s = session.db().shared();
  if (pos[0] == "add") return VerAdd(session, a);
  if (pos[0] == "play") return VerPlay(session, a);
  long wanted = -1;
  if (pos[0] == "show" && (pos.size() != 2 || !ParseNumber(pos[1], 1, 32767, wanted))) return kUsage;
  if (pos[0] != "show" && (pos[0] != "list" || pos.size() != 1)) return kUsage;
  JsonArray array;
  bool shown = false;
  const bool read = bf::ForEachVerification(s, [&](const bf::VerRecord& v, int32_t) {
    if (wanted > 0 && v.number != wanted) return true;
    shown = true;
    if (a.Has("--json")) {
      if (wanted > 0) std::cout << VerificationJson(v).str() << "\n";
      else array.Add(VerificationJson(v));
    } else {
      PrintVerification(v, wanted > 0);
    }
    return true;
  });
  if (!read) return kRefused;
  if (wanted > 0 && !shown) {
    std::cerr << "bfnolk: verifikation " << wanted << " finns inte\n";
    return kRefused;
  }
  if (a.Has("--json") && wanted <= 0) std::cout << array.str() << "\n";
  return kDone;
}

int Verify(Session& session) {
  std::vector<std::string> findings = bf::VerifyBookkeeping(session.db().shared(), session.db().dataDir());
  for (std::string& f : ereg::CheckRegisterFiles(session.db().dataDir())) findings.push_back(std::move(f));
  for (const std::string& f : findings) std::cout << ansi::ToUtf8(f) << "\n";
  if (findings.empty()) std::cout << "bokföringen stämmer\n";
  return findings.empty() ? kDone : kRefused;
}

}  // namespace

bool IsBooksCommand(const std::string& command) {
  return command == "account" || command == "ver" || command == "verify";
}

int BooksCommand(const std::string& command, const std::vector<std::string>& words) {
  const Arguments a(words, {"--name", "--ref", "--sign", "--opening", "--budget", "--number", "--text", "--date", "--amount"},
                    {"--json", "--yes"});
  if (!a.ok()) {
    std::cerr << "bfnolk " << command << ": " << a.error() << "\n";
    return kUsage;
  }
  const std::string verb = a.positional().empty() ? "" : a.positional()[0];
  const bool reads = command == "verify" || verb == "list" || verb == "show";
  Session session(a.Has("--yes"), reads ? bf::Access::kReadOnly : bf::Access::kReadWrite);
  if (!session.ok()) return kRefused;
  if (!session.NeedBookkeeping()) {
    PrintStatus();
    return kRefused;
  }
  int code = kUsage;
  if (command == "account") code = AccountCommand(session, a);
  else if (command == "ver") code = VerCommand(session, a);
  else if (command == "verify") code = a.positional().empty() ? Verify(session) : kUsage;
  if (code == kUsage) std::cerr << "bfnolk " << command << ": se bfnolk --help\n";
  PrintStatus();
  return code;
}

}  // namespace bfnolk
