// Entering verifications and keeping accounts over real files: rows posted at once, the
// balance rule, cancel as an opposite posting, 100 rows and no more, account changes that
// move totals, and the deletion rule with its rounding.
#include "bookkeeping/BFMisc_entry.h"

#include <gtest/gtest.h>

#include "BookkeepingFolder.h"
#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFVerify.h"
#include "common/Ansi.h"

namespace bf {
namespace {

class Entry : public BookkeepingFolder {
 protected:
  void SetUp() override {
    BookkeepingFolder::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    NewAccount("1930", 1000);
    NewAccount("2010", 0);
    NewAccount("3010", 0);
    PrepareFreshVerification(s());
  }
};

TEST_F(Entry, ABalancedVerificationIsSavedAndNumbered) {
  EXPECT_EQ(s().ver.number, 1);
  EXPECT_EQ(SaveVerification(s(), "tom", "2026-03-01"), SaveResult::kNoRows);
  ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 100.0), RowResult::kPosted);
  EXPECT_EQ(SaveVerification(s(), "halv", "2026-03-01"), SaveResult::kUnbalanced);
  EXPECT_EQ(eerror::StatusMsg, "verifikationen ej balanserad");
  EXPECT_EQ(boxes_.beeps, 1);
  ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 100.004), RowResult::kPosted);  // shown as 100.00
  EXPECT_TRUE(IsBalanced(s().ver));
  EXPECT_EQ(SaveVerification(s(), "försäljning", "2026-03-01"), SaveResult::kSaved);
  EXPECT_EQ(s().dataBas.lastVerNr, 1);
  const KontoRecord bank = Account("1930");
  EXPECT_DOUBLE_EQ(bank.debit.Value(), 100.0);
  EXPECT_DOUBLE_EQ(bank.closing.Value(), 1100.0);
  EXPECT_DOUBLE_EQ(Account("3010").credit.Value(), 100.0);
  EXPECT_EQ(AddVerificationRow(s(), 4444, '+', 1.0), RowResult::kNoAccount);
  EXPECT_EQ(AddVerificationRow(s(), 1930, 'x', 1.0), RowResult::kNotPosted);
}

TEST_F(Entry, CancellingPostsEveryRowBack) {
  const BfDataBasRecord totals = s().dataBas;
  const KontoRecord bank = Account("1930");
  ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 100.0), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 40.0), RowResult::kPosted);
  ASSERT_TRUE(CancelVerification(s()));
  EXPECT_EQ(s().ver.RowCount(), 0);
  EXPECT_EQ(s().ver.number, 1);  // the number is not used up
  EXPECT_EQ(Account("1930"), bank);
  EXPECT_DOUBLE_EQ(s().dataBas.grandTotal, totals.grandTotal);
  EXPECT_EQ(s().dataBas.groupTotals, totals.groupTotals);
  // In the month sums a reversal is an opposite posting, not a removal.
  EXPECT_DOUBLE_EQ(s().pendingSums.debitSums[1].Value(), 100.0);
  EXPECT_DOUBLE_EQ(s().pendingSums.creditSums[1].Value(), -100.0);
}

TEST_F(Entry, AHundredRowsAreAllAVerificationHolds) {
  for (int r = 1; r <= kMaxRows; ++r) ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 1.0), RowResult::kPosted) << r;
  const BfDataBasRecord totals = s().dataBas;
  EXPECT_EQ(AddVerificationRow(s(), 1930, '+', 1.0), RowResult::kFull);
  EXPECT_EQ(s().ver.RowCount(), kMaxRows);
  EXPECT_EQ(s().dataBas, totals);
  EXPECT_DOUBLE_EQ(Account("1930").debit.Value(), 100.0);
}

TEST_F(Entry, AChangedAccountMovesItsOpeningBalanceWithItsNumber) {
  ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 25.0), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 25.0), RowResult::kPosted);
  ASSERT_EQ(SaveVerification(s(), "v", "2026-03-01"), SaveResult::kSaved);
  int32_t at = 0;
  bool found = false, atEnd = false;
  BfAccess(s(), kKontoFile, kFindKey, "1930", at, found, atEnd);
  KontoRecord edited = s().konto;
  edited.name = "bank";
  edited.opening = *Real6::FromDouble(500);
  ASSERT_TRUE(SaveAccount(s(), false, at, edited));
  const KontoRecord bank = Account("1930");
  EXPECT_DOUBLE_EQ(bank.debit.Value(), 25.0);  // kept
  EXPECT_DOUBLE_EQ(bank.closing.Value(), 525.0);
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[1], 500.0);

  // 2010 has nothing posted on it, so it may take a number in another group.
  BfAccess(s(), kKontoFile, kFindKey, "2010", at, found, atEnd);
  edited = s().konto;
  edited.number = "4010";
  edited.opening = *Real6::FromDouble(70);
  ASSERT_TRUE(SaveAccount(s(), false, at, edited));
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[2], 0.0);
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[4], 70.0);
  EXPECT_DOUBLE_EQ(s().dataBas.grandTotal, 570.0);  // the postings balance out
  EXPECT_DOUBLE_EQ(Account("4010").closing.Value(), 70.0);
  BfAccess(s(), kKontoFile, kFindKey, "2010", at, found, atEnd);
  EXPECT_FALSE(found);
  KontoRecord twin;
  twin.number = "3010";
  int32_t recNo = 0;
  EXPECT_FALSE(SaveAccount(s(), true, recNo, twin));
  EXPECT_EQ(eerror::StatusMsg, A("Kontobeteckningen finns redan registrerad. \"3010\" Måste vara unik."));
}

// The rows of the verifications name their accounts by number and stay as they are, so an
// account with postings keeps its number: otherwise its rows would point at nothing.
TEST_F(Entry, AnAccountWithPostingsKeepsItsNumber) {
  ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 25.0), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 25.0), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 2010, '+', 0.0), RowResult::kPosted);  // a row, but no debit
  ASSERT_EQ(SaveVerification(s(), "v", "2026-03-01"), SaveResult::kSaved);
  PrepareFreshVerification(s());
  ASSERT_EQ(AddVerificationRow(s(), 3010, '+', 5.0), RowResult::kPosted);  // one being entered
  const VerRecord entering = s().ver;
  const BfDataBasRecord totals = s().dataBas;
  for (const char* number : {"1930", "2010"}) {
    SCOPED_TRACE(number);
    const KontoRecord before = Account(number);
    int32_t at = s().kontoRecNo;
    KontoRecord edited = before;
    edited.number = "5930";
    EXPECT_FALSE(SaveAccount(s(), false, at, edited));
    EXPECT_EQ(eerror::StatusMsg, A("Konto \"") + number + A("\" har bokförda rader, numret kan inte ändras!"));
    EXPECT_EQ(Account(number), before);
    EXPECT_EQ(s().dataBas, totals);
    EXPECT_EQ(s().ver, entering);
  }
  ASSERT_TRUE(CancelVerification(s()));
  EXPECT_EQ(VerifyBookkeeping(s(), folder_.path()), std::vector<std::string>{});
}

TEST_F(Entry, AnAccountIsDeletableOnlyWhenItsSumsRoundToZero) {
  for (const auto& [closing, deletable] : {std::pair{0.40, true}, {0.50, true}, {0.60, false}, {-0.50, true}}) {
    SCOPED_TRACE(closing);
    const int32_t recNo = NewAccount("5010", 0);
    s().konto.closing = *Real6::FromDouble(closing);
    ASSERT_TRUE(RewriteKonto(s(), recNo));
    EXPECT_EQ(DeleteKonto(s(), kFindKey, "5010", 0, true), deletable);
    int32_t at = 0;
    bool found = false, atEnd = false;
    BfAccess(s(), kKontoFile, kFindKey, "5010", at, found, atEnd);
    EXPECT_EQ(found, !deletable);
    if (deletable) {
      EXPECT_EQ(eerror::StatusMsg, "KontoRecord \"5010\", raderad...");
    } else {
      EXPECT_EQ(eerror::StatusMsg, A("Konto \"5010\" ej nollställd! 0.00 0.00 0.60"));
      ASSERT_TRUE(DeleteKonto(s(), kFindKey, "5010", 0, false));
      isam::DeleteRec(s().kontoFile, at);
    }
  }
  // A credit and the negative closing balance it made do not cancel out.
  ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 250.0), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 250.0), RowResult::kPosted);
  ASSERT_EQ(SaveVerification(s(), "v", "2026-03-01"), SaveResult::kSaved);
  EXPECT_FALSE(DeleteKonto(s(), kFindKey, "3010", 0, true));
  EXPECT_EQ(Account("3010").credit.Value(), 250.0);
}

}  // namespace
}  // namespace bf
