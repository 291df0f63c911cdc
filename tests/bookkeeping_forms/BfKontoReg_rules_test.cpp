// The account register and the account dialog's rules on a real bookkeeping, the dialog
// answered by the test: what is refused and why, what a change does to the totals, and that
// the books agree afterwards.
#include "bookkeeping_ui/BfKontoReg_rules.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../bookkeeping/BookkeepingFolder.h"
#include "bookkeeping/BFVerify.h"
#include "bookkeeping_ui/bfpick32.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"
#include "storage/Filer.h"

namespace bf {
namespace {

// The dialog as the test fills it; every refusal is recorded and ends it with Cancel.
class ScriptedKontoDialogs : public KontoDialogs {
 public:
  std::function<void(KontoTexts&)> typing;
  std::vector<KontoRefusal> refusals;
  int runs = 0;
  bool cancel = false;
  bool RunKontoDialog(TkontoEdit& edit) override {
    ++runs;
    KontoTexts texts = edit.Shown();
    if (typing) typing(texts);
    KontoRefusal refusal;
    if (!cancel && edit.Ok(texts, refusal)) return true;
    if (!cancel) refusals.push_back(refusal);
    edit.Cancel();
    return false;
  }
};

class AccountRegister : public BookkeepingFolder {
 protected:
  void SetUp() override {
    BookkeepingFolder::SetUp();
    if (HasFatalFailure()) return;
    eerror::StatusMsg.clear();
    reg = std::make_unique<TBfKontoReg>(s(), dialogs);
  }
  // A new account typed into the dialog.
  void Add(const std::function<void(KontoTexts&)>& typing) {
    dialogs.typing = typing;
    reg->EditEntry(true);
  }
  // A change of the account with number, typed into the dialog.
  void Change(const std::string& number, const std::function<void(KontoTexts&)>& typing) {
    reg->Fill();
    const int line = reg->LineOf(number);
    ASSERT_GE(line, 0) << number;
    reg->SetSelected(line, true);
    dialogs.typing = typing;
    reg->EditEntry(false);
  }
  int UsedRecs() { return isam::UsedRecs(s().kontoFile); }
  std::string LastRefusal() const { return dialogs.refusals.empty() ? "" : dialogs.refusals.back().message; }
  void Verified() {
    const std::vector<std::string> findings = VerifyBookkeeping(s(), folder_.path());
    EXPECT_TRUE(findings.empty()) << findings.front();
  }

  ScriptedKontoDialogs dialogs;
  std::unique_ptr<TBfKontoReg> reg;  // on the bookkeeping SetUp makes
};

TEST_F(AccountRegister, ANewAccountIsStoredWithItsLineAndTotals) {
  Add([](KontoTexts& t) {
    EXPECT_EQ(t.number, "0");
    EXPECT_EQ(t.sign, " ");
    EXPECT_EQ(t.budget, "0.00");
    t = {"1930", "Bank", "SE45 5000", "+", "1200", "-250.5"};
  });
  ASSERT_EQ(reg->Count(), 1);
  EXPECT_EQ(reg->Lines()[0].text, "1930 \"Bank....\"     -250.50");
  EXPECT_TRUE(reg->Lines()[0].selected);
  const KontoRecord k = Account("1930");
  EXPECT_EQ(k.name, "Bank");
  EXPECT_EQ(k.reference, "SE45 5000");
  EXPECT_EQ(k.sign, '+');
  EXPECT_EQ(k.budget.Value(), 1200);
  EXPECT_EQ(k.opening.Value(), -250.5);
  EXPECT_EQ(k.closing.Value(), -250.5);
  EXPECT_DOUBLE_EQ(s().dataBas.grandTotal, -250.5);
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[1], -250.5);
  Verified();
}

TEST_F(AccountRegister, NumberZeroADuplicateAndANewNumberForAPostedAccountAreRefused) {
  NewAccount("1930", 0);
  NewAccount("3010", 0);
  Add([](KontoTexts& t) { t.name = "Noll"; });
  EXPECT_EQ(LastRefusal(), "Kontobeteckningen kan inte vara \"0000\"");
  Add([](KontoTexts& t) {
    t.number = "1930";
    t.name = "Tvilling";
  });
  EXPECT_EQ(LastRefusal(), A("Kontobeteckningen finns redan registrerad. \"1930\" Måste vara unik."));
  EXPECT_EQ(dialogs.refusals.back().kind, KontoRefusal::kRule);
  EXPECT_EQ(reg->Count(), 0);  // nothing added, nothing listed

  // A change keeps its number and so passes the uniqueness check.
  Change("1930", [](KontoTexts& t) { t.name = "Banken"; });
  EXPECT_EQ(dialogs.refusals.size(), 2u);
  EXPECT_EQ(Account("1930").name, "Banken");

  PrepareFreshVerification(s());
  ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 5), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 5), RowResult::kPosted);
  ASSERT_EQ(SaveVerification(s(), "x", "2026-03-01"), SaveResult::kSaved);
  Change("1930", [](KontoTexts& t) { t.number = "1940"; });
  EXPECT_EQ(LastRefusal(), A("Konto \"1930\" har bokförda rader, numret kan inte ändras!"));
  EXPECT_EQ(Account("1930").debit.Value(), 5);  // key and record back as they were
  Verified();
}

TEST_F(AccountRegister, TheOpeningBalanceOf1020MovesItsTotalsByTheChange) {
  NewAccount("1020", 100);
  NewAccount("1930", 30);
  const BfDataBasRecord before = s().dataBas;
  Change("1020", [](KontoTexts& t) {
    EXPECT_EQ(t.opening, "100.00");
    t.opening = "150.00";
  });
  EXPECT_DOUBLE_EQ(s().dataBas.total1020, before.total1020 + 50);
  EXPECT_DOUBLE_EQ(s().dataBas.grandTotal, before.grandTotal + 50);
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[1], before.groupOpeningTotals[1] + 50);
  EXPECT_EQ(Account("1020").closing.Value(), 150);
  EXPECT_EQ(reg->Lines()[static_cast<size_t>(reg->LineOf("1020"))].text, "1020 \"konto...\"      150.00");
  Verified();

  // Cancelled, a change leaves the account, its key, its line and the totals as they were.
  const BfDataBasRecord changed = s().dataBas;
  const KontoRecord account = Account("1020");
  dialogs.cancel = true;
  Change("1020", [](KontoTexts& t) { t.opening = "999"; });
  EXPECT_EQ(Account("1020"), account);
  EXPECT_EQ(s().dataBas.grandTotal, changed.grandTotal);
  EXPECT_EQ(s().dataBas.total1020, changed.total1020);
  EXPECT_EQ(reg->Lines()[static_cast<size_t>(reg->LineOf("1020"))].text, "1020 \"konto...\"      150.00");
  Verified();
}

TEST_F(AccountRegister, EachFieldRefusesWhatItCannotHoldAndNothingIsStored) {
  NewAccount("1930", 10);
  const struct {
    std::function<void(KontoTexts&)> typing;
    KontoField field;
    std::string says;
  } cases[] = {
      {[](KontoTexts& t) { t.number = "19x0"; }, KontoField::kNumber, "endast numeriskt värde tillåtet mellan 0..9999!"},
      {[](KontoTexts& t) { t.number = "10000"; }, KontoField::kNumber, "endast numeriskt värde tillåtet mellan 0..9999!"},
      {[](KontoTexts& t) { t.number = "0001930"; }, KontoField::kNumber, "endast numeriskt värde tillåtet mellan 0..9999!"},
      {[](KontoTexts& t) { t.name = "Sparkonto"; }, KontoField::kName, "kontonamn rymmer högst 8 tecken, texten har 9"},
      {[](KontoTexts& t) { t.name = ""; }, KontoField::kName, "ange ett namn på kontot"},
      {[](KontoTexts& t) { t.name = "Bank ☃"; }, KontoField::kName, "kontonamn kan inte lagra tecknet U+2603 (finns inte i Windows-1252)"},
      {[](KontoTexts& t) { t.reference = std::string(24, 'r'); }, KontoField::kReference,
       "referens rymmer högst 23 tecken, texten har 24"},
      {[](KontoTexts& t) { t.sign = "x"; }, KontoField::kSign,
       "endast plus (+), minus (-), ( ) mellanslag eller likamed (=) tillåtna!"},
      {[](KontoTexts& t) { t.sign = ""; }, KontoField::kSign,
       "endast plus (+), minus (-), ( ) mellanslag eller likamed (=) tillåtna!"},
      {[](KontoTexts& t) { t.sign = "+-+"; }, KontoField::kSign, "tecken rymmer högst 2 tecken, texten har 3"},
      {[](KontoTexts& t) { t.budget = "10000000"; }, KontoField::kBudget,
       "endast numeriskt värde tillåtet mellan 0.00..9999999.99!"},
      {[](KontoTexts& t) { t.budget = "-1"; }, KontoField::kBudget, "endast numeriskt värde tillåtet mellan 0.00..9999999.99!"},
      {[](KontoTexts& t) { t.budget = ""; }, KontoField::kBudget, "endast numeriskt värde tillåtet mellan 0.00..9999999.99!"},
      {[](KontoTexts& t) { t.budget = "12,345"; }, KontoField::kBudget,
       "endast numeriskt värde tillåtet mellan 0.00..9999999.99!"},
      {[](KontoTexts& t) { t.opening = "tusen"; }, KontoField::kOpening,
       "ingående saldo: endast numeriskt värde tillåtet mellan -9999999.99..9999999.99!"},
      {[](KontoTexts& t) { t.opening = ""; }, KontoField::kOpening,
       "ingående saldo: endast numeriskt värde tillåtet mellan -9999999.99..9999999.99!"},
      {[](KontoTexts& t) { t.opening = "10000000"; }, KontoField::kOpening,
       "ingående saldo: endast numeriskt värde tillåtet mellan -9999999.99..9999999.99!"},
  };
  const KontoRecord account = Account("1930");
  const BfDataBasRecord totals = s().dataBas;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    for (const bool isNew : {true, false}) {
      dialogs.refusals.clear();
      const auto typing = [&](KontoTexts& t) {
        if (isNew) t = {"1940", "Spar", "", "+", "0", "0"};
        c.typing(t);
      };
      if (c.field == KontoField::kNumber && !isNew) continue;  // a change has no number field
      if (isNew) Add(typing);
      else Change("1930", typing);
      ASSERT_EQ(dialogs.refusals.size(), 1u);
      EXPECT_EQ(dialogs.refusals[0].message, A(c.says));
      EXPECT_EQ(dialogs.refusals[0].field, c.field);
      EXPECT_EQ(dialogs.refusals[0].kind, KontoRefusal::kField);
    }
  }
  EXPECT_EQ(Account("1930"), account);
  EXPECT_EQ(UsedRecs(), 1);
  EXPECT_EQ(s().dataBas, totals);
  Verified();
}

TEST_F(AccountRegister, TheSignTakesABlankPlusMinusAndEquals) {
  NewAccount("2440", 0);
  for (const char* sign : {"-", " ", "=", "+-"}) {
    Change("2440", [sign](KontoTexts& t) { t.sign = sign; });
    EXPECT_EQ(Account("2440").sign, sign[0]);
  }
  EXPECT_TRUE(dialogs.refusals.empty());
  EXPECT_EQ(TkontoEdit(s(), true).CheckTyped(KontoField::kSign, "x"),
            A("endast plus (+), minus (-), ( ) mellanslag eller likamed (=) tillåtna!"));
  EXPECT_EQ(TkontoEdit(s(), true).CheckTyped(KontoField::kNumber, ""), "");
  EXPECT_EQ(TkontoEdit(s(), true).CheckTyped(KontoField::kBudget, "9999999.99"), "");
}

TEST_F(AccountRegister, OnlyAZeroedAccountIsDeleted) {
  NewAccount("1930", 0);
  NewAccount("1510", 0);
  NewAccount("3010", 75);
  reg->Fill();
  for (int i = 0; i < reg->Count(); ++i) reg->SetSelected(i, true);
  reg->EraseEntry();
  ASSERT_EQ(reg->Count(), 1);
  EXPECT_EQ(reg->LineOf("3010"), 0);
  EXPECT_FALSE(reg->Lines()[0].selected);
  EXPECT_EQ(reg->LineOf("1930"), -1);
  KontoRecord k;
  int32_t recNo = 0;
  EXPECT_EQ(FindAccount(s(), "1510", k, recNo), Lookup::kAbsent);
  EXPECT_EQ(Account("3010").opening.Value(), 75);

  reg->SetSelected(0, true);
  reg->EraseEntry();
  EXPECT_EQ(eerror::StatusMsg, A("Konto \"3010\" ej nollställd! 0.00 0.00 75.00"));
  EXPECT_EQ(reg->Count(), 1);
  Verified();
}

TEST_F(AccountRegister, A254thAccountIsTheLast) {
  // Many accounts in one unit of the engine, so that the test does not wait on the disk.
  isam::BeginUnit(s().kontoFile);
  for (int n = 1; n <= bf::kMaxAccounts - 1; ++n) {
    s().konto = KontoRecord{};
    s().konto.number = KontoKey(1000 + n);
    s().konto.name = "k";
    int32_t recNo = 0;
    ASSERT_TRUE(PutKonto(s(), true, recNo));
  }
  isam::CommitUnit(s().kontoFile);
  ASSERT_TRUE(isam::IsamSuccess);
  Add([](KontoTexts& t) { t = {"9000", "Sista", "", "+", "0", "0"}; });
  EXPECT_EQ(UsedRecs(), bf::kMaxAccounts);
  EXPECT_EQ(dialogs.runs, 1);
  Add([](KontoTexts& t) { t = {"9001", "Over", "", "+", "0", "0"}; });
  EXPECT_EQ(dialogs.runs, 1);  // no dialog
  EXPECT_EQ(eerror::StatusMsg, A("maxantalet uppnått kan ej addera registerpost!"));
  EXPECT_EQ(UsedRecs(), bf::kMaxAccounts);
}

}  // namespace
}  // namespace bf
