#include "app/bfnolk_registers.h"

#include <iostream>
#include <optional>
#include <set>

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

// What sets one register's command apart; RunRegister does the rest alike for each:
// bfnolk COMMAND [LEAD...] add|change|delete|list|print [KEY...] [options].
class RegisterFrame {
 public:
  struct Syntax {
    const char* command;                // "label"
    std::set<std::string> options;      // the register's own valued options
    size_t lead;                        // words before the verb
    const char* usage;                  // when the lead or the verb is missing
    const char* keyName;                // when change, delete (or print) lack their one key
    bool printsOneKey;                  // print takes exactly one key (else any, none for all)
  };
  explicit RegisterFrame(Syntax syntax) : syntax_(std::move(syntax)) {}
  virtual ~RegisterFrame() = default;
  const Syntax& syntax() const { return syntax_; }

  // The words before the verb; false when they are wrong.
  virtual bool TakeLead(const std::vector<std::string>& positional) = 0;
  // The register's options for verb, kept for its dialog: kDone, or the exit code with the
  // reason on standard error.
  virtual int TakeOptions(const Arguments& a, const std::string& verb) = 0;
  // The register open over its file, null when the file cannot be (the status line says why).
  virtual ereg::TKeyedFileReg* Open() = 0;
  // The keys verb looks up, each refused when it is not in the register.
  virtual std::vector<std::string> KeysLookedUp(const std::string& verb, const std::vector<std::string>& keys) = 0;
  // The line of key (UTF-8 as typed), -1 with a message on standard error when none.
  virtual int LineOfKey(const std::string& key) = 0;
  // The record in the register's buffer, listed by list --json.
  virtual JsonObject Json(const ereg::TRegLine& line) = 0;
  // print: what the selected lines name with setting; copies 0 when not given.
  virtual bool Print(printing::PrintJob& job, printing::PrintCanvas& canvas, glodefs::TEtikettEnv& setting,
                     long copies) = 0;

 private:
  Syntax syntax_;
};

// The label setting to print with: --setting N (1..10) for this run, else the current one.
bool PrintSetting(const Arguments& a, glodefs::TEtikettEnv& setting) {
  setting = ekonfig::CurEtikett;
  if (!a.Has("--setting")) return true;
  long n = 0;
  if (!ParseNumber(a.Value("--setting"), 1, glodefs::kSettings, n))
    return Refused("--setting", A("etikettinställning 1..10"));
  ekonfig::KonfigFile file;
  if (!file.OpenRead()) return Refused("--setting", A("konfigurationsfilen kan inte läsas"));
  file.ReadLabel(static_cast<int>(n));
  setting = ekonfig::CurEtikett;
  file.ReadLabel(ekonfig::Konfig.CurrentLabelSetting());  // the current one stays current
  return true;
}

// The verb on the register's lines, after the keys were looked up (lines, in their order).
int RunVerb(RegisterFrame& frame, ereg::TKeyedFileReg& reg, const Arguments& a, const std::string& verb,
         const std::vector<int>& lines, long copies, const std::string& to) {
  const int count = reg.Count();
  if (verb == "add" || verb == "change") {
    if (verb == "change") reg.SetCurrent(lines[0]);
    reg.EditEntry(verb == "add");
    // The status line tells why a dialog or the file refused.
    return !eerror::StatusMsg.empty() || (verb == "add" && reg.Count() == count) ? kRefused : kDone;
  }
  if (verb == "delete") {
    reg.SetSelected(lines[0], true);
    reg.EraseEntry();
    return reg.Count() == count ? kRefused : kDone;
  }
  if (verb == "list") {
    JsonArray json;
    for (const ereg::TRegLine& line : reg.Lines()) {
      if (!reg.ReadRecord(line.rec.recNo)) continue;
      if (a.Has("--json")) {
        json.Add(frame.Json(line));
      } else {
        std::cout << ansi::ToUtf8(line.text) << "\n";
      }
    }
    if (a.Has("--json")) std::cout << json.str() << "\n";
    return kDone;
  }
  for (const int line : lines) reg.SetSelected(line, true);
  if (lines.empty())
    for (int i = 0; i < count; ++i) reg.SetSelected(i, true);
  glodefs::TEtikettEnv setting;
  if (!PrintSetting(a, setting)) return kUsage;
  const std::string name = a.Value("--printer");
  return PrintTo([&](printing::PrintJob& job,
                     printing::PrintCanvas& canvas) { return frame.Print(job, canvas, setting, copies); },
                 setting.Printer(), to, a.Has("--printer") ? &name : nullptr);
}

// session: declared by the caller before the frame, so that it ends after the register's file.
int RunRegister(RegisterFrame& frame, const std::vector<std::string>& words, std::optional<Session>& session) {
  const RegisterFrame::Syntax& w = frame.syntax();
  const std::string command = std::string("bfnolk ") + w.command;
  std::set<std::string> options = w.options;
  options.insert({"--copies", "--to", "--printer", "--setting"});
  const Arguments a(words, options, {"--json"});
  if (!a.ok() || a.positional().size() <= w.lead || !frame.TakeLead(a.positional())) {
    std::cerr << command << ": " << (a.ok() ? w.usage : a.error()) << "\n";
    return kUsage;
  }
  const std::string verb = a.positional()[w.lead];
  const std::vector<std::string> keys(a.positional().begin() + static_cast<long>(w.lead) + 1, a.positional().end());
  if (verb != "add" && verb != "change" && verb != "delete" && verb != "list" && verb != "print") {
    std::cerr << command << ": okänt " << verb << "\n";
    return kUsage;
  }
  if ((verb == "change" || verb == "delete" || (verb == "print" && w.printsOneKey)) && keys.size() != 1) {
    std::cerr << command << " " << verb << ": ange " << w.keyName << "\n";
    return kUsage;
  }
  if (const int code = frame.TakeOptions(a, verb); code != kDone) return code;
  long copies = 0;
  if (a.Has("--copies") && !ParseNumber(a.Value("--copies"), 1, 99, copies)) {
    Refused("--copies", "antal kopior 1..99");
    return kUsage;
  }
  const std::string to = a.Value("--to", "-") == "-" ? "-" : CallersPath(a.Value("--to"));

  session.emplace(false, verb == "list" || verb == "print" ? bf::Access::kReadOnly : bf::Access::kReadWrite);
  if (!session->ok()) return kRefused;
  ereg::TKeyedFileReg* reg = frame.Open();
  if (reg == nullptr) {
    PrintStatus();
    return kRefused;
  }
  reg->Fill();
  eerror::StatusMsg.clear();
  int code = kDone;
  std::vector<int> lines;
  for (const std::string& key : frame.KeysLookedUp(verb, keys)) {
    lines.push_back(frame.LineOfKey(key));
    if (lines.back() < 0) code = kRefused;
  }
  if (code == kDone) code = RunVerb(frame, *reg, a, verb, lines, copies, to);
  PrintStatus();
  return code;
}

// bfnolk label: the label register, its dialog's text taken from --line ... or --picture.
class LabelFrame : public RegisterFrame, private ereg::EtikettDialogs {
 public:
  LabelFrame()
      : RegisterFrame({"label", {"--line", "--picture"}, 0, "ange add, change, delete, list eller print",
                       "etikettens nyckel (första raden)", false}) {}

  bool TakeLead(const std::vector<std::string>&) override { return true; }

  // The label text of --line ... or --picture, through the dialog's rule.
  int TakeOptions(const Arguments& a, const std::string& verb) override {
    if (verb != "add" && verb != "change") return kDone;
    if (a.Has("--picture") == a.Has("--line")) {
      Refused("label", "ange --line TEXT (en eller flera) eller --picture FIL");
      return kRefused;
    }
    const std::vector<std::string> lines =
        a.Has("--picture") ? std::vector<std::string>{"BITMAP" + CallersPath(a.Value("--picture"))}
                           : a.Values("--line");
    std::string message;
    if (ereg::TakeEtikettText(lines, text_, message)) return kDone;
    Refused(a.Has("--picture") ? "--picture" : "--line", message);
    return kRefused;
  }

  ereg::TKeyedFileReg* Open() override {
    file_.emplace(ekonfig::Konfig.DataDir());
    if (file_->Open() == nullptr) return nullptr;
    return &reg_.emplace(file_->Open(), static_cast<ereg::EtikettDialogs&>(*this));
  }

  // add and list name no label; print names any (none: all).
  std::vector<std::string> KeysLookedUp(const std::string& verb, const std::vector<std::string>& keys) override {
    return verb == "add" || verb == "list" ? std::vector<std::string>{} : keys;
  }

  // The first line listed as key.
  int LineOfKey(const std::string& key) override {
    const std::string text = ansi::FromUtf8(key);
    for (int i = 0; i < reg_->Count(); ++i)
      if (reg_->Lines()[static_cast<size_t>(i)].text == text) return i;
    std::cerr << "bfnolk label: ingen etikett " << ansi::ToUtf8(text) << "\n";
    return -1;
  }

  JsonObject Json(const ereg::TRegLine& line) override {
    return JsonObject().Text("key", line.text).Text("text", reg_->Text());
  }

  // Each selected label copies times, else as many as the setting says.
  bool Print(printing::PrintJob& job, printing::PrintCanvas& canvas, glodefs::TEtikettEnv& setting,
             long copies) override {
    if (copies > 0) setting.SetCopies(static_cast<int32_t>(copies));
    ereg::LabelPrinter printer(job, canvas, setting);
    return reg_->PrintSelectedLabels(printer, 0);
  }

 private:
  bool RunEtikettDialog(std::string& text) override {
    text = text_;
    return true;
  }

  std::string text_;
  std::optional<ereg::EtikettFile> file_;
  std::optional<ereg::TEEtikettReg> reg_;
};

// bfnolk giro KIND: the kind's giro register, its form dialog filled from the options over
// the form as it was.
class GiroFrame : public RegisterFrame, private ereg::GiroDialogs {
 public:
  GiroFrame()
      : RegisterFrame({"giro",
                       {"--payee", "--littera", "--account1", "--account2", "--number3", "--amount", "--message",
                        "--sender"},
                       1,
                       "ange plus, post eller bank (0..4) och add, change, delete, list eller print",
                       "blankettens nyckel (mottagare_littera)",
                       true}) {}

  bool TakeLead(const std::vector<std::string>& positional) override {
    const std::string names[] = {"plus", "post", "", "bank", ""};
    for (int k = 0; k < ereg::kGiroKinds; ++k)
      if (positional[0] == names[k] || positional[0] == std::to_string(k)) {
        kind_ = k;
        return true;
      }
    return false;
  }

  int TakeOptions(const Arguments& a, const std::string&) override {
    a_ = &a;
    long amount = 0;
    if (a.Has("--amount") && !ParseNumber(a.Value("--amount"), 0, ereg::kMaxAmount, amount)) {
      Refused("--amount", "belopp i hela kronor 0..9999");
      return kUsage;
    }
    return kDone;
  }

  ereg::TKeyedFileReg* Open() override {
    file_.emplace(ekonfig::Konfig.DataDir(), kind_);
    if (!file_->ok()) return nullptr;
    return &reg_.emplace(file_->fb(), kind_, static_cast<ereg::GiroDialogs&>(*this));
  }

  // Whichever the verb, a key given names a form that must be there.
  std::vector<std::string> KeysLookedUp(const std::string&, const std::vector<std::string>& keys) override {
    return keys.empty() ? std::vector<std::string>{} : std::vector<std::string>{keys[0]};
  }

  // The line of the form with key, which is left in the register's buffer.
  int LineOfKey(const std::string& key) override {
    int32_t recNo = 0;
    const bool found = reg_->FindByKey(ansi::FromUtf8(key), recNo);
    for (int i = 0; found && i < reg_->Count(); ++i)
      if (reg_->Lines()[static_cast<size_t>(i)].rec.recNo == recNo) return i;
    std::cerr << "bfnolk giro: ingen blankett " << key << "\n";
    return -1;
  }

  JsonObject Json(const ereg::TRegLine&) override {
    const ereg::GiroForm f = reg_->Form();
    return JsonObject()
        .Text("key", ereg::GiroKey(f.payee, f.littera))
        .Text("payee", f.payee).Text("littera", f.littera)
        .Text("account1", f.account1).Text("account2", f.account2).Text("number3", f.number3)
        .Text("amount", f.amount).Text("message", f.message).Text("sender", f.sender);
  }

  // The form looked up, copies times (once when not given).
  bool Print(printing::PrintJob& job, printing::PrintCanvas& canvas, glodefs::TEtikettEnv& setting,
             long copies) override {
    ereg::LabelPrinter printer(job, canvas, setting);
    return ereg::PrintGiroForms(printer, kind_, reg_->Form(), copies > 0 ? static_cast<int>(copies) : 1, 0);
  }

 private:
  // "ok" refused shows its message and cancels.
  bool RunGiroDialog(ereg::TGiroEdit& edit) override {
    const std::pair<const char*, ereg::GiroField> options[] = {
        {"--payee", ereg::GiroField::kPayee},       {"--littera", ereg::GiroField::kLittera},
        {"--account1", ereg::GiroField::kAccount1}, {"--account2", ereg::GiroField::kAccount2},
        {"--number3", ereg::GiroField::kNumber3},   {"--amount", ereg::GiroField::kAmount},
        {"--message", ereg::GiroField::kMessage},   {"--sender", ereg::GiroField::kSender}};
    for (const auto& [option, field] : options) {
      if (!a_->Has(option)) continue;
      // In a memo the two characters \n start a new line, as a line break does.
      std::string typed = a_->Value(option);
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

  const Arguments* a_ = nullptr;
  int kind_ = 0;
  std::optional<ereg::GiroFile> file_;
  std::optional<ereg::TEGiroReg> reg_;
};

template <class Frame>
int Run(const std::vector<std::string>& words) {
  std::optional<Session> session;  // before the frame: it ends after the register's file
  Frame frame;
  return RunRegister(frame, words, session);
}

}  // namespace

bool IsRegisterCommand(const std::string& command) { return command == "label" || command == "giro"; }

int RegisterCommand(const std::string& command, const std::vector<std::string>& words) {
  return command == "giro" ? Run<GiroFrame>(words) : Run<LabelFrame>(words);
}

}  // namespace bfnolk
