#include "app/bfnolk_registers.h"

#include <iostream>

#include "app/bfnolk_arguments.h"
#include "app/bfnolk_json.h"
#include "app/bfnolk_print.h"
#include "app/bfnolk_session.h"
#include "common/Ansi.h"
#include "registers/eetikettreg32.h"
#include "registers/egiroreg32.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace bfnolk {

namespace {

// The label dialog filled from the options: the text, or nothing when it was refused.
class OptionLabelDialog : public ereg::EtikettDialogs {
 public:
  explicit OptionLabelDialog(std::string text) : text_(std::move(text)) {}
  bool RunEtikettDialog(std::string& text) override {
    text = text_;
    return true;
  }

 private:
  std::string text_;
};

// The label text of --line ... or --picture, through the dialog's rule; false with the
// reason on standard error.
bool LabelText(const Arguments& a, std::string& text) {
  if (a.Has("--picture") == a.Has("--line"))
    return Refused("label", "ange --line TEXT (en eller flera) eller --picture FIL");
  const std::vector<std::string> lines =
      a.Has("--picture") ? std::vector<std::string>{"BITMAP" + CallersPath(a.Value("--picture"))} : a.Values("--line");
  std::string message;
  return ereg::TakeEtikettText(lines, text, message) || Refused(a.Has("--picture") ? "--picture" : "--line", message);
}

// The register's line with key (as listed), -1 when none.
int LineOfKey(const ereg::TERegForm& reg, const std::string& key) {
  for (int i = 0; i < reg.Count(); ++i)
    if (reg.Lines()[static_cast<size_t>(i)].text == key) return i;
  std::cerr << "bfnolk label: ingen etikett " << ansi::ToUtf8(key) << "\n";
  return -1;
}

// The label setting to print with: --setting N (1..10) for this run, else the current one.
bool PrintSetting(const Arguments& a, glodefs::TEtikettEnv& setting) {
  setting = ekonfig::CurEtikett;
  if (!a.Has("--setting")) return true;
  long n = 0;
  if (!ParseNumber(a.Value("--setting"), 1, glodefs::kSettings, n)) return Refused("--setting", "etikettinställning 1..10");
  ekonfig::KonfigFile file;
  if (!file.OpenRead()) return Refused("--setting", A("konfigurationsfilen kan inte läsas"));
  file.ReadLabel(static_cast<int>(n));
  setting = ekonfig::CurEtikett;
  file.ReadLabel(ekonfig::Konfig.CurrentLabelSetting());  // the current one stays current
  return true;
}

int LabelCommand(const std::vector<std::string>& words) {
  const Arguments a(words, {"--line", "--picture", "--copies", "--to", "--printer", "--setting"}, {"--json"});
  if (!a.ok() || a.positional().empty()) {
    std::cerr << "bfnolk label: " << (a.ok() ? "ange add, change, delete, list eller print" : a.error()) << "\n";
    return kUsage;
  }
  const std::string verb = a.positional()[0];
  const std::vector<std::string> keys(a.positional().begin() + 1, a.positional().end());
  std::string text;
  const bool edits = verb == "add" || verb == "change";
  if (verb != "add" && verb != "change" && verb != "delete" && verb != "list" && verb != "print") {
    std::cerr << "bfnolk label: okänt " << verb << "\n";
    return kUsage;
  }
  if ((verb == "change" || verb == "delete") && keys.size() != 1) {
    std::cerr << "bfnolk label " << verb << ": ange etikettens nyckel (första raden)\n";
    return kUsage;
  }
  if (edits && !LabelText(a, text)) return kRefused;
  long copies = 0;
  if (a.Has("--copies") && !ParseNumber(a.Value("--copies"), 1, 99, copies)) {
    Refused("--copies", "antal kopior 1..99");
    return kUsage;
  }
  const std::string to = a.Value("--to", "-") == "-" ? "-" : CallersPath(a.Value("--to"));

  Session session(false, verb == "list" || verb == "print" ? bf::Access::kReadOnly : bf::Access::kReadWrite);
  if (!session.ok()) return kRefused;
  const ereg::EtikettFile file(ekonfig::Konfig.DataDir());
  if (file.Open() == nullptr) {
    PrintStatus();
    return kRefused;
  }
  OptionLabelDialog dialog(text);
  ereg::TEEtikettReg reg(file.Open(), dialog);
  reg.Fill();
  int code = kDone;
  eerror::StatusMsg.clear();
  if (verb == "add") {
    const int before = reg.Count();
    reg.EditEntry(true);
    if (reg.Count() == before) code = kRefused;
  } else if (verb == "change" || verb == "delete") {
    const int line = LineOfKey(reg, ansi::FromUtf8(keys[0]));
    if (line < 0) {
      code = kRefused;
    } else if (verb == "change") {
      reg.SetCurrent(line);
      reg.EditEntry(false);
    } else {
      const int before = reg.Count();
      reg.SetSelected(line, true);
      reg.EraseEntry();
      if (reg.Count() == before) code = kRefused;
    }
  } else if (verb == "list") {
    JsonArray json;
    for (const ereg::TRegLine& line : reg.Lines()) {
      if (!reg.ReadRecord(line.rec.recNo)) continue;
      if (a.Has("--json")) {
        json.Add(JsonObject().Text("key", line.text).Text("text", reg.Text()));
      } else {
        std::cout << ansi::ToUtf8(line.text) << "\n";
      }
    }
    if (a.Has("--json")) std::cout << json.str() << "\n";
  } else {
    for (const std::string& key : keys) {
      const int line = LineOfKey(reg, ansi::FromUtf8(key));
      if (line < 0) code = kRefused;
      reg.SetSelected(line, true);
    }
    if (keys.empty())
      for (int i = 0; i < reg.Count(); ++i) reg.SetSelected(i, true);
    glodefs::TEtikettEnv setting;
    if (code == kDone && !PrintSetting(a, setting)) code = kUsage;
    if (code == kDone) {
      if (copies > 0) setting.SetCopies(static_cast<int32_t>(copies));
      const std::string name = a.Value("--printer");
      code = PrintTo(
          [&](printing::PrintJob& job, printing::PrintCanvas& canvas) {
            ereg::LabelPrinter printer(job, canvas, setting);
            return reg.PrintSelectedLabels(printer, 0);
          },
          setting.Printer(), to, a.Has("--printer") ? &name : nullptr);
    }
  }
  PrintStatus();
  return code;
}

// The form dialog filled from the options over the form as it was; "ok" refused shows its
// message and cancels.
class OptionGiroDialog : public ereg::GiroDialogs {
 public:
  explicit OptionGiroDialog(const Arguments& a) : a_(a) {}
  bool RunGiroDialog(ereg::TGiroEdit& edit) override {
    const std::pair<const char*, ereg::GiroField> options[] = {
        {"--payee", ereg::GiroField::kPayee},       {"--littera", ereg::GiroField::kLittera},
        {"--account1", ereg::GiroField::kAccount1}, {"--account2", ereg::GiroField::kAccount2},
        {"--number3", ereg::GiroField::kNumber3},   {"--amount", ereg::GiroField::kAmount},
        {"--message", ereg::GiroField::kMessage},   {"--sender", ereg::GiroField::kSender}};
    for (const auto& [option, field] : options) {
      if (!a_.Has(option)) continue;
      // In a memo the two characters \n start a new line, as a line break does.
      std::string typed = a_.Value(option);
      const bool memo = field == ereg::GiroField::kMessage || field == ereg::GiroField::kSender;
      for (size_t at = 0; memo && (at = typed.find("\\n", at)) != std::string::npos;) typed.replace(at, 2, "\n");
      std::string message;
      if (!ereg::TakeGiroText(edit.form, field, typed, message)) {
        eerror::EMsg(eerror::kStatusLine, message);
        return false;
      }
    }
    long amount = 0;
    if (ParseNumber(edit.form.amount, 0, ereg::kMaxAmount, amount)) edit.form.amount = std::to_string(amount);
    const std::string message = edit.Ok();
    if (message.empty()) return true;
    eerror::EMsg(eerror::kStatusLine, message);
    return false;
  }

 private:
  const Arguments& a_;
};

bool GiroKind(const std::string& word, int& kind) {
  const std::string names[] = {"plus", "post", "", "bank", ""};
  for (int k = 0; k < ereg::kGiroKinds; ++k)
    if (word == names[k] || word == std::to_string(k)) {
      kind = k;
      return true;
    }
  return false;
}

int GiroCommand(const std::vector<std::string>& words) {
  const Arguments a(words,
                    {"--payee", "--littera", "--account1", "--account2", "--number3", "--amount", "--message",
                     "--sender", "--copies", "--to", "--printer", "--setting"},
                    {"--json"});
  int kind = 0;
  if (!a.ok() || a.positional().size() < 2 || !GiroKind(a.positional()[0], kind)) {
    std::cerr << "bfnolk giro: " << (a.ok() ? "ange plus, post eller bank (0..4) och add, change, delete, list eller print"
                                            : a.error())
              << "\n";
    return kUsage;
  }
  const std::string verb = a.positional()[1];
  const std::vector<std::string> keys(a.positional().begin() + 2, a.positional().end());
  if (verb != "add" && verb != "change" && verb != "delete" && verb != "list" && verb != "print") {
    std::cerr << "bfnolk giro: okänt " << verb << "\n";
    return kUsage;
  }
  if (verb != "add" && verb != "list" && keys.size() != 1) {
    std::cerr << "bfnolk giro " << verb << ": ange blankettens nyckel (mottagare_littera)\n";
    return kUsage;
  }
  long amount = 0, copies = 1;
  if (a.Has("--amount") && !ParseNumber(a.Value("--amount"), 0, ereg::kMaxAmount, amount)) {
    Refused("--amount", "belopp i hela kronor 0..9999");
    return kUsage;
  }
  if (a.Has("--copies") && !ParseNumber(a.Value("--copies"), 1, 99, copies)) {
    Refused("--copies", "antal kopior 1..99");
    return kUsage;
  }
  const std::string to = a.Value("--to", "-") == "-" ? "-" : CallersPath(a.Value("--to"));

  Session session(false, verb == "list" || verb == "print" ? bf::Access::kReadOnly : bf::Access::kReadWrite);
  if (!session.ok()) return kRefused;
  const ereg::GiroFile file(ekonfig::Konfig.DataDir(), kind);
  if (!file.ok()) {
    PrintStatus();
    return kRefused;
  }
  OptionGiroDialog dialog(a);
  ereg::TEGiroReg reg(file.fb(), kind, dialog);
  reg.Fill();
  eerror::StatusMsg.clear();
  int code = kDone;
  int32_t recNo = 0;
  const bool found = !keys.empty() && reg.FindByKey(ansi::FromUtf8(keys[0]), recNo);
  int line = -1;
  for (int i = 0; found && i < reg.Count(); ++i)
    if (reg.Lines()[static_cast<size_t>(i)].rec.recNo == recNo) line = i;
  if (!keys.empty() && line < 0) {
    std::cerr << "bfnolk giro: ingen blankett " << keys[0] << "\n";
    code = kRefused;
  } else if (verb == "add" || verb == "change") {
    const int count = reg.Count();
    reg.SetCurrent(line);
    eerror::StatusMsg.clear();
    reg.EditEntry(verb == "add");
    if (!eerror::StatusMsg.empty() || (verb == "add" && reg.Count() == count)) code = kRefused;
  } else if (verb == "delete") {
    const int count = reg.Count();
    reg.SetSelected(line, true);
    reg.EraseEntry();
    if (reg.Count() == count) code = kRefused;
  } else if (verb == "list") {
    JsonArray json;
    for (const ereg::TRegLine& l : reg.Lines()) {
      if (!reg.ReadRecord(l.rec.recNo)) continue;
      const ereg::GiroForm f = reg.Form();
      if (a.Has("--json")) {
        json.Add(JsonObject()
                     .Text("key", ereg::GiroKey(f.payee, f.littera))
                     .Text("payee", f.payee).Text("littera", f.littera)
                     .Text("account1", f.account1).Text("account2", f.account2).Text("number3", f.number3)
                     .Text("amount", f.amount).Text("message", f.message).Text("sender", f.sender));
      } else {
        std::cout << ansi::ToUtf8(l.text) << "\n";
      }
    }
    if (a.Has("--json")) std::cout << json.str() << "\n";
  } else if (glodefs::TEtikettEnv setting; !PrintSetting(a, setting)) {
    code = kUsage;
  } else {
    const ereg::GiroForm form = reg.Form();
    const std::string name = a.Value("--printer");
    code = PrintTo(
        [&](printing::PrintJob& job, printing::PrintCanvas& canvas) {
          ereg::LabelPrinter printer(job, canvas, setting);
          return ereg::PrintGiroForms(printer, kind, form, static_cast<int>(copies), 0);
        },
        setting.Printer(), to, a.Has("--printer") ? &name : nullptr);
  }
  PrintStatus();
  return code;
}

}  // namespace

bool IsRegisterCommand(const std::string& command) { return command == "label" || command == "giro"; }

int RegisterCommand(const std::string& command, const std::vector<std::string>& words) {
  return command == "giro" ? GiroCommand(words) : LabelCommand(words);
}

}  // namespace bfnolk
