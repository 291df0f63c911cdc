#include "bookkeeping_ui/BfKontoForm_rules.h"

#include <tuple>

#include "bookkeeping/BFMisc_amount.h"
#include "bookkeeping/BFMisc_entry.h"
#include "bookkeeping/BFdefs_input.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"

namespace bf {

namespace {

constexpr TextField kSignField{"tecken", TkontoEdit::kSignChars};

// A whole number of at most kNumberChars digits within 0..9999; an empty text is 0.
bool NumberValue(const std::string& text, int& value) {
  if (text.size() > static_cast<size_t>(TkontoEdit::kNumberChars)) return false;
  int v = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > TkontoEdit::kMaxNumber) return false;
  value = v;
  return true;
}

std::string NumberText() { return A("endast numeriskt värde tillåtet mellan 0..9999!"); }
std::string SignText() { return A("endast plus (+), minus (-), ( ) mellanslag eller likamed (=) tillåtna!"); }

bool IsSign(const std::string& text) {
  return !text.empty() && (text[0] == ' ' || text[0] == '+' || text[0] == '-' || text[0] == '=');
}

// The account's number as a value: its digits when it is all digits, else 0.
int ShownNumber(const std::string& number) {
  const std::optional<int> value = RowAccount(number);
  return value ? *value : 0;
}

}  // namespace

TkontoEdit::TkontoEdit(BfShared& s, bool isNew) : s_(s), isNew_(isNew), copy_(s.konto) {}

KontoTexts TkontoEdit::Shown() const {
  const KontoRecord& k = copy_;
  return {std::to_string(ShownNumber(k.number)), ansi::ToUtf8(k.name), ansi::ToUtf8(k.reference),
          ansi::ToUtf8(std::string(1, k.sign)), AmountText(k.budget.Value(), 0), AmountText(k.opening.Value(), 0)};
}

std::string TkontoEdit::ShownDebit() const { return AmountText(copy_.debit.Value(), 0); }
std::string TkontoEdit::ShownCredit() const { return AmountText(copy_.credit.Value(), 0); }
std::string TkontoEdit::ShownClosing() const { return AmountText(copy_.closing.Value(), 0); }

std::string TkontoEdit::CheckTyped(KontoField field, const std::string& text) const {
  int number = 0;
  double budget = 0;
  std::string ignored;
  switch (field) {
    case KontoField::kNumber: return NumberValue(text, number) ? "" : NumberText();
    case KontoField::kSign: return IsSign(text) ? "" : SignText();
    case KontoField::kBudget:
      return text.size() <= static_cast<size_t>(kMoneyChars) && TakeAmount(kBudgetField, text, budget, ignored)
                 ? ""
                 : AmountRangeText(kBudgetField);
    default: return "";
  }
}

std::string TkontoEdit::RejectedText(KontoField field) const {
  switch (field) {
    case KontoField::kNumber: return NumberText();
    case KontoField::kName: return FullFieldText(kAccountNameField);
    case KontoField::kReference: return FullFieldText(kAccountReferenceField);
    case KontoField::kSign: return FullFieldText(kSignField);
    case KontoField::kBudget: return AmountRangeText(kBudgetField);
    case KontoField::kOpening: return A(kOpeningField.name) + ": " + AmountRangeText(kOpeningField);
  }
  return "";
}

bool TkontoEdit::Ok(const KontoTexts& typed, KontoRefusal& refusal) {
  const auto refuse = [&refusal](KontoRefusal::Kind kind, KontoField field, std::string message) {
    refusal = {kind, field, std::move(message)};
    return false;
  };
  // A field is checked once it was typed in, as the dialog checks it while typing: what an
  // account already holds is kept as it is.
  const KontoTexts shown = Shown();
  for (const auto& [field, text, was] :
       {std::tuple{KontoField::kNumber, &typed.number, &shown.number}, {KontoField::kSign, &typed.sign, &shown.sign},
        {KontoField::kBudget, &typed.budget, &shown.budget}}) {
    const std::string message = *text == *was ? "" : CheckTyped(field, *text);
    if (!message.empty()) return refuse(KontoRefusal::kField, field, message);
  }
  KontoRecord k = copy_;
  std::string message, sign;
  if (!TakeText(kAccountNameField, typed.name, k.name, message))
    return refuse(KontoRefusal::kField, KontoField::kName, message);
  if (k.name.find_first_not_of(' ') == std::string::npos)
    return refuse(KontoRefusal::kField, KontoField::kName, A("ange ett namn på kontot"));
  if (!TakeText(kAccountReferenceField, typed.reference, k.reference, message))
    return refuse(KontoRefusal::kField, KontoField::kReference, message);
  if (!TakeText(kSignField, typed.sign, sign, message)) return refuse(KontoRefusal::kField, KontoField::kSign, message);
  double budget = 0, opening = 0;
  if (typed.budget != shown.budget) {
    TakeAmount(kBudgetField, typed.budget, budget, message);
    k.budget = *Real6::FromDouble(budget);
  }
  if (typed.opening != shown.opening) {
    if (!TakeAmount(kOpeningField, typed.opening, opening, message))
      return refuse(KontoRefusal::kField, KontoField::kOpening, message);
    k.opening = *Real6::FromDouble(opening);
  }
  if (typed.sign != shown.sign) k.sign = sign[0];

  int number = 0;
  NumberValue(typed.number, number);
  if (number == 0) return refuse(KontoRefusal::kRule, KontoField::kNumber, A("Kontobeteckningen kan inte vara \"0000\""));
  // A number typed anew is four digits; an account keeps its own as it is stored.
  if (typed.number != shown.number || isNew_) k.number = KontoKey(number);
  KontoRecord other;
  int32_t otherRecNo = 0;
  switch (FindAccount(s_, k.number, other, otherRecNo)) {
    case Lookup::kFound: return refuse(KontoRefusal::kRule, KontoField::kNumber, DuplicateAccountText(k.number));
    case Lookup::kFailed: return refuse(KontoRefusal::kRule, KontoField::kNumber, eerror::StatusMsg);
    case Lookup::kAbsent: break;
  }
  // The verifications' rows name the account by its number, and they stay.
  if (!isNew_ && k.number != copy_.number && HasPostings(s_, copy_))
    return refuse(KontoRefusal::kRule, KontoField::kNumber, PostedAccountText(copy_.number));
  s_.konto = k;
  return true;
}

void TkontoEdit::Cancel() { s_.konto = copy_; }

}  // namespace bf
