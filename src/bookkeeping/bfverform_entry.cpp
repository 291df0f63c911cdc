#include "bookkeeping/bfverform_entry.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFMisc_amount.h"
#include "bookkeeping/BFdefs_input.h"
#include "common/Ansi.h"
#include "exchange/Eixport.h"
#include "shell/EMsgTxt.h"
#include "shell/ESmall.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"

namespace bf {

namespace {

const char kSidesAllowed[] = "tillåtna tecken endast (\"+\",\"-\",\"=\")";
const char kNoSuchAccount[] = "kontot finns inte i databasen, dubbelklicka för att välja!";

bool Balancing(char side) { return side == '=' || side == '*'; }

// The amount as typed: the first "," read as ".", blanks around it allowed; nothing for
// anything that is not a finite number.
std::optional<double> ParseAmount(std::string text) {
  const size_t comma = text.find(',');
  if (comma != std::string::npos) text[comma] = '.';
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const size_t last = text.find_last_not_of(' ');
  double value = 0;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  const auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

}  // namespace

std::optional<EntryField> FocusAfterKey(EntryField field, EntryKey key, bool atStart, bool atEnd) {
  using F = EntryField;
  // Per field: where Enter (and Right at the end) leads, Left at the start, Up and Down.
  struct Moves {
    F next;
    std::optional<F> left, up, down;
  };
  static const Moves kMoves[] = {
      {F::kAccount, F::kAccount, std::nullopt, F::kAccount},  // name
      {F::kSide, F::kName, F::kName, std::nullopt},           // account
      {F::kAmount, F::kAccount, F::kName, std::nullopt},      // side
      {F::kRowOk, F::kSide, F::kName, std::nullopt},          // amount
  };
  if (field == F::kRowOk) return std::nullopt;
  const Moves& m = kMoves[static_cast<int>(field)];
  switch (key) {
    case EntryKey::kEnter: return m.next;
    case EntryKey::kRight: return atEnd ? std::optional<F>(m.next) : std::nullopt;
    case EntryKey::kLeft: return atStart ? m.left : std::nullopt;
    case EntryKey::kUp: return m.up;
    case EntryKey::kDown: return m.down;
    case EntryKey::kPadPlus:
    case EntryKey::kPadMinus: return field == F::kSide ? std::optional<F>(F::kAmount) : std::nullopt;
  }
  return std::nullopt;
}

TemplateLine ClassifyTemplateLine(const std::string& line) {
  if (!line.empty() && line[0] == ';') return {TemplateLine::kComment, eixport::Field(line.substr(1), '\n', 1)};
  if (eixport::Field(line, '\n', 1).empty()) return {};
  return {TemplateLine::kData, ""};
}

std::string TemplateName(const std::string& line, int month) {
  const std::string field = eixport::Field(line, ',', 1);
  const size_t at = LowerAscii(field).find("#month");
  return at == std::string::npos ? field : field.substr(0, at) + etider::MonthName(month);
}

TemplateRow ParseTemplateRow(const std::string& line) {
  TemplateRow r;
  r.account = eixport::Field(line, ',', 1);
  if (!r.account.empty() && r.account.size() <= 4 && r.account.find_first_not_of("0123456789") == std::string::npos)
    r.account = KontoKey(std::stoi(r.account));
  const std::string side = eixport::Field(line, ',', 3);
  r.side = side.substr(0, 1);
  r.balances = !r.side.empty() && Balancing(r.side[0]);
  const std::string amount = eixport::Field(line, ',', 2);
  const std::optional<double> value = ParseAmount(amount);
  r.amount = value ? AmountText(*value, 0) : amount;
  r.asksAmount = !value || RoundedToCents(*value) == 0;
  return r;
}

bool TemplateRowsAskingAmount(const std::string& fileName, std::vector<int>& rows) {
  rows.clear();
  eixport::IxportFile file;
  bool read = file.OpenByName(0, eixport::Mode::kOpen, fileName, 0);
  std::string line;
  bool nameLine = true;
  for (int r = 0; read && file.ReadLine(line);) {
    if (ClassifyTemplateLine(line).kind != TemplateLine::kData) continue;
    if (nameLine) {
      nameLine = false;
      continue;
    }
    const TemplateRow row = ParseTemplateRow(line);
    ++r;
    if (row.asksAmount && !row.balances) rows.push_back(r);
  }
  read = read && !file.Failed();
  file.Close();
  return read;
}

VerificationEntry::VerificationEntry(BfShared& s) : s_(s), date_(etider::Format(18)) {
  s_.konto = KontoRecord{};
  PrepareFreshVerification(s_);
}

VerificationEntry::~VerificationEntry() {
  StopTemplate();
  if (s_.rowLog.InProgress()) CancelVerification(s_);
}

std::string VerificationEntry::number() const { return esmall::ZeroPadded(s_.ver.number, 4); }

std::string VerificationEntry::balance() const { return AmountText(s_.ver.Balance().Value(), 0); }

void VerificationEntry::Refuse(EntryField field, const std::string& text) {
  eerror::Beep();
  status_ = text;
  focus_ = field;
  select_ = true;
}

void VerificationEntry::ShowAccount(bool moveFocus) {
  accountRecNo_ = 0;
  accountName_.clear();
  accountBalance_ = "0.00";
  KontoRecord k;
  int32_t recNo = 0;
  // The field holds no more than a number's four characters when typed; a longer text (from
  // a template) names no account.
  const Lookup found = account_.size() <= KontoRecord::kNumberCapacity ? FindAccount(s_, account_, k, recNo)
                                                                        : Lookup::kAbsent;
  const std::optional<int> number = found == Lookup::kFound ? RowAccount(k.number) : std::nullopt;
  if (!number) {
    if (found == Lookup::kFailed) status_ = eerror::StatusMsg;
    if (moveFocus) {
      focus_ = EntryField::kAccount;
      select_ = false;  // the user goes on typing the number
    }
    return;
  }
  accountRecNo_ = recNo;
  accountNumber_ = *number;
  account_ = k.number;
  accountName_ = k.name;
  accountBalance_ = AmountText(k.closing.Value(), 0);
  if (!Playing() && (k.sign == '+' || k.sign == '-')) side_ = std::string(1, k.sign);
  if (moveFocus) {
    focus_ = EntryField::kSide;
    select_ = true;
  }
}

void VerificationEntry::AccountTyped(const std::string& text) {
  account_ = text;
  ShowAccount(true);
}

void VerificationEntry::AccountPicked(int32_t recNo) {
  bool found = false, atEnd = false;
  BfAccess(s_, kKontoFile, kAtRecord, "", recNo, found, atEnd);
  if (found) AccountTyped(s_.konto.number);
}

void VerificationEntry::SideTyped(const std::string& text) {
  side_ = text.substr(0, 1);
  if (side_.empty() || side_ == "+" || side_ == "-" || side_ == " ") return;
  if (!Balancing(side_[0])) {
    Refuse(EntryField::kSide, A(kSidesAllowed));
    return;
  }
  const double balance = RoundedToCents(s_.ver.Balance().Value());
  amount_ = AmountText(std::fabs(balance), 0);
  side_ = balance > 0 ? "-" : "+";
  focus_ = EntryField::kRowOk;
  select_ = false;
}

bool VerificationEntry::AcceptRow() {
  if (accountRecNo_ < 1) {
    Refuse(EntryField::kAccount, A(kNoSuchAccount));
    return false;
  }
  status_.clear();
  if (!side_.empty() && Balancing(side_[0])) SideTyped(side_);
  const char side = side_.empty() ? ' ' : side_[0];
  if (side != '+' && side != '-') {
    Refuse(EntryField::kSide, A(kSidesAllowed));
    return false;
  }
  const std::optional<double> typed = ParseAmount(amount_);
  if (!typed) {
    Refuse(EntryField::kAmount, "ange en giltig summa med numerer (0.00)");
    return false;
  }
  // From here the amount is the text it is shown as.
  amount_ = AmountText(*typed, 0);
  double amount = 0;
  std::string message;
  if (!TakeAmount(kRowAmountField, amount_, amount, message)) {
    Refuse(EntryField::kAmount, message);
    return false;
  }
  isam::ClearError();
  switch (AddVerificationRow(s_, accountNumber_, side, amount)) {
    case RowResult::kPosted: break;
    case RowResult::kFull:
      Refuse(EntryField::kRowOk, A("verifikationen är full, den rymmer högst ") + std::to_string(kMaxRows) + " rader");
      return false;
    case RowResult::kNoAccount:
      Refuse(EntryField::kAccount, A(kNoSuchAccount));
      return false;
    case RowResult::kNotPosted:
      Refuse(EntryField::kRowOk, A("raden kunde inte bokföras: ") +
                                     (isam::IsamSuccess ? A("summan ryms inte") : emsgtxt::msgtext(isam::IsamError)));
      return false;
  }
  const int r = s_.ver.RowCount();
  rows_.push_back({TwoDigits(r), account_, accountName_,
                   AmountText(s_.konto.closing.Value(), 0), std::string(1, side), amount_});
  amount_ = "0.00";
  ShowAccount(false);
  focus_ = EntryField::kAccount;
  select_ = true;
  if (Playing()) PlayNext();
  return true;
}

SaveResult VerificationEntry::Save() {
  status_.clear();
  if (s_.ver.RowCount() > 0 && IsBalanced(s_.ver)) {
    std::string stored, message;
    if (!TakeText(kVerificationNameField, ansi::ToUtf8(name_), stored, message)) {
      Refuse(EntryField::kName, message);
      return SaveResult::kFailed;
    }
  }
  isam::ClearError();
  const SaveResult result = SaveVerification(s_, name_, date_);
  if (result == SaveResult::kUnbalanced || result == SaveResult::kFailed) {
    // The engine's failure, or the rule's own message on the status line.
    status_ = isam::IsamSuccess ? eerror::StatusMsg : emsgtxt::msgtext(isam::IsamError);
    focus_ = EntryField::kAccount;
  }
  if (result == SaveResult::kSaved) StopTemplate();
  return result;
}

bool VerificationEntry::Cancel() {
  StopTemplate();
  if (!CancelVerification(s_)) {
    Refuse(EntryField::kName, A("verifikationen kunde inte tas bort helt: ") + emsgtxt::msgtext(isam::IsamError));
    return false;
  }
  return true;
}

bool VerificationEntry::StartTemplate(esmall::WindowHandle owner, const std::string& dataDir) {
  StopTemplate();
  auto file = std::make_unique<eixport::IxportFile>();
  std::string dir = dataDir, fileName;
  if (!file->OpenWithDialog(owner, eixport::Mode::kOpen, 0, "*.ver", "ver", dir, fileName)) {
    file->Close();
    status_ = eerror::StatusMsg;
    return false;
  }
  template_ = std::move(file);
  nameLinePlayed_ = false;
  PlayNext();
  if (Playing()) PlayNext();
  return true;
}

void VerificationEntry::StopTemplate() {
  if (!template_) return;
  template_->Close();
  template_.reset();
}

void VerificationEntry::PlayNext() {
  std::string line;
  while (template_->ReadLine(line)) {
    const TemplateLine t = ClassifyTemplateLine(line);
    if (t.kind == TemplateLine::kEmpty) continue;
    if (t.kind == TemplateLine::kComment) {
      status_ = t.comment;
      continue;
    }
    if (!nameLinePlayed_) {
      nameLinePlayed_ = true;
      name_ = TemplateName(line, etider::Today().month);
      focus_ = EntryField::kName;
      select_ = false;
      return;
    }
    PlayRow(ParseTemplateRow(line));
    return;
  }
  StopTemplate();
}

void VerificationEntry::PlayRow(const TemplateRow& row) {
  account_ = row.account;
  ShowAccount(true);
  const bool accountFound = accountRecNo_ >= 1;
  const bool sideRefused = !row.side.empty() && std::string_view("+- =*").find(row.side[0]) == std::string_view::npos;
  if (!row.side.empty()) SideTyped(row.side);
  if (!row.balances && !sideRefused) {
    amount_ = row.amount;
    focus_ = row.asksAmount ? EntryField::kAmount : EntryField::kRowOk;
    select_ = row.asksAmount;
  }
  if (!accountFound) {
    focus_ = EntryField::kAccount;
    select_ = true;
  }
}

}  // namespace bf
