// Posting on real files: the credit side, account 1020 and its own total, the refusals
// that keep the totals equal to the accounts, a deleted account leaving the totals, the
// last verification number, the month records and the year-end carry-forward.
#include "bookkeeping/BFMisc.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "BookkeepingFolder.h"
#include "bookkeeping/BFMisc_entry.h"
#include "common/Ansi.h"
#include "shell/ETider.h"

namespace bf {
namespace {

using Posting = BookkeepingFolder;

TEST_F(Posting, ACreditRowLowersTheClosingBalanceAndTheVerificationBalance) {
  NewAccount("1930", 1000);
  PrepareFreshVerification(s());
  ASSERT_EQ(AddVerificationRow(s(), 1930, '-', 250.0), RowResult::kPosted);
  const KontoRecord k = Account("1930");
  EXPECT_DOUBLE_EQ(k.credit.Value(), 250.0);
  EXPECT_DOUBLE_EQ(k.debit.Value(), 0.0);
  EXPECT_DOUBLE_EQ(k.closing.Value(), 750.0);
  EXPECT_DOUBLE_EQ(s().ver.Balance().Value(), -250.0);
  EXPECT_DOUBLE_EQ(s().dataBas.grandTotal, 750.0);
  EXPECT_DOUBLE_EQ(s().dataBas.groupTotals[1], -250.0);
  EXPECT_DOUBLE_EQ(s().pendingSums.creditSums[1].Value(), -250.0);
  EXPECT_DOUBLE_EQ(s().pendingSums.debitSums[1].Value(), 0.0);
  EXPECT_FALSE(IsBalanced(s().ver));
}

TEST_F(Posting, Account1020FeedsItsOwnTotalBesidesItsGroup) {
  NewAccount("1020", 300);
  NewAccount("1021", 5);
  EXPECT_DOUBLE_EQ(s().dataBas.total1020, 300.0);
  PrepareFreshVerification(s());
  ASSERT_EQ(AddVerificationRow(s(), 1020, '+', 40.0), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 1021, '+', 1.0), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 1020, 'K', 41.0), RowResult::kPosted);
  EXPECT_DOUBLE_EQ(s().dataBas.total1020, 300.0 + 40.0 - 41.0);
  EXPECT_DOUBLE_EQ(s().dataBas.groupTotals[1], 0.0);
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[1], 305.0);
  EXPECT_TRUE(IsBalanced(s().ver));
}

TEST_F(Posting, ARowThatCannotBeBookedChangesNothing) {
  NewAccount("1930", 0);
  PrepareFreshVerification(s());
  s().konto = Account("1930");
  s().ver.accounts[0] = 1;
  s().ver.accounts[1] = 1930;
  s().ver.amounts[1] = *Real6::FromDouble(10);
  const KontoRecord before = s().konto;
  const BfDataBasRecord listBefore = s().dataBas;
  EXPECT_FALSE(PostRow(s(), '=', 1, 1));  // neither debit nor credit
  EXPECT_FALSE(PostRow(s(), '+', 1, 0));
  EXPECT_FALSE(PostRow(s(), '+', 1, kMaxRows + 1));
  EXPECT_EQ(s().konto, before);
  EXPECT_EQ(s().dataBas, listBefore);
  EXPECT_DOUBLE_EQ(s().ver.Balance().Value(), 0.0);
  EXPECT_DOUBLE_EQ(s().pendingSums.debitSums[1].Value(), 0.0);
  // A side of 'd' and a blank are debit, 'k' credit.
  EXPECT_TRUE(PostRow(s(), 'd', 1, 1));
  EXPECT_TRUE(PostRow(s(), ' ', 1, 1));
  EXPECT_TRUE(PostRow(s(), 'k', 1, 1));
  EXPECT_DOUBLE_EQ(s().konto.debit.Value(), 20.0);
  EXPECT_DOUBLE_EQ(s().konto.credit.Value(), 10.0);
  EXPECT_DOUBLE_EQ(s().ver.Balance().Value(), 10.0);
}

TEST_F(Posting, TheYearEndDropsBalancesFrom29OnAndCarriesTheRest) {
  NewAccount("1930", 200);
  NewAccount("2910", 0);
  NewAccount("3010", 0);
  PrepareFreshVerification(s());
  ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 300.0), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 2910, '+', 500.0), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 800.0), RowResult::kPosted);
  ASSERT_EQ(SaveVerification(s(), "bokslut", "2026-12-31"), SaveResult::kSaved);

  boxes_.answers.push_back(eerror::kYes);
  ASSERT_TRUE(db_->ResetBookkeeping()) << eerror::StatusMsg;
  for (const auto& [number, expected] : {std::pair{"1930", 500.0}, {"2910", 0.0}, {"3010", 0.0}}) {
    SCOPED_TRACE(number);
    const KontoRecord k = Account(number);
    EXPECT_DOUBLE_EQ(k.opening.Value(), expected);
    EXPECT_DOUBLE_EQ(k.closing.Value(), expected);
    EXPECT_DOUBLE_EQ(k.debit.Value(), 0.0);
    EXPECT_DOUBLE_EQ(k.credit.Value(), 0.0);
  }
  EXPECT_DOUBLE_EQ(s().dataBas.grandTotal, 500.0);
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[1], 500.0);
  EXPECT_DOUBLE_EQ(s().dataBas.groupOpeningTotals[2], 0.0);
  for (int g = 0; g < kGroupCount; ++g) EXPECT_DOUBLE_EQ(s().dataBas.groupTotals[static_cast<size_t>(g)], 0.0) << g;
  EXPECT_EQ(s().ver.RowCount(), 0);
}

TEST_F(Posting, AnAccountThatGoesTakesItsBalanceOutOfTheTotals) {
  NewAccount("1930", 100);
  NewAccount("1020", 0.40);
  EXPECT_NEAR(s().dataBas.total1020, 0.40, 1e-9);
  PrepareFreshVerification(s());
  ASSERT_EQ(AddVerificationRow(s(), 1020, '+', 0.03), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 1930, '-', 0.03), RowResult::kPosted);
  ASSERT_EQ(SaveVerification(s(), "litet", "2026-03-01"), SaveResult::kSaved);

  ASSERT_TRUE(DeleteKonto(s(), kFindKey, "1020", 0, true));  // 0.03 + 0.43 rounds to 0
  const BfDataBasRecord d = s().dataBas;
  EXPECT_NEAR(d.grandTotal, 100 - 0.03, 1e-9);
  EXPECT_NEAR(d.total1020, 0.0, 1e-9);
  EXPECT_NEAR(d.groupOpeningTotals[1], 100.0, 1e-9);
  EXPECT_NEAR(d.groupTotals[1], -0.03, 1e-9);
  // The posting left as an opposite one, so the month sums still give the group total.
  EXPECT_NEAR(s().pendingSums.debitSums[1].Value() + s().pendingSums.creditSums[1].Value(), d.groupTotals[1], 1e-9);

  // The totals are those a rebuild computes from the accounts that remain.
  ASSERT_TRUE(db_->RebuildBookkeeping()) << eerror::StatusMsg;
  EXPECT_NEAR(s().dataBas.grandTotal, d.grandTotal, 1e-9);
  EXPECT_NEAR(s().dataBas.total1020, d.total1020, 1e-9);
  EXPECT_NEAR(s().dataBas.groupTotals[1], d.groupTotals[1], 1e-9);
  EXPECT_NEAR(s().dataBas.groupOpeningTotals[1], d.groupOpeningTotals[1], 1e-9);
}

TEST_F(Posting, AfterTheLargestVerificationNumberNoneIsSaved) {
  NewAccount("1930", 0);
  NewAccount("3010", 0);
  s().dataBas.lastVerNr = INT16_MAX - 1;
  for (const SaveResult expected : {SaveResult::kSaved, SaveResult::kFailed}) {
    PrepareFreshVerification(s());
    ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 5.0), RowResult::kPosted);
    ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 5.0), RowResult::kPosted);
    EXPECT_EQ(SaveVerification(s(), "sist", "2026-03-01"), expected);
  }
  EXPECT_EQ(s().dataBas.lastVerNr, INT16_MAX);
  EXPECT_EQ(isam::UsedRecs(s().verFile), 1);
  EXPECT_EQ(eerror::StatusMsg, A("verifikationsnumren är slut (högst 32767)"));
  // The rows stay posted and can still be cancelled.
  ASSERT_TRUE(CancelVerification(s()));
  EXPECT_DOUBLE_EQ(Account("1930").debit.Value(), 5.0);
  int32_t recNo = 0;
  bool found = false, atEnd = false;
  BfAccess(s(), kVerFile, kNext, "", recNo, found, atEnd);
  EXPECT_EQ(s().ver.number, INT16_MAX);
}

TEST_F(Posting, AVerificationIsSavedUnderTheListsNextNumber) {
  NewAccount("1930", 0);
  NewAccount("3010", 0);
  PrepareFreshVerification(s());
  EXPECT_EQ(s().ver.number, 1);
  s().dataBas.lastVerNr = 4;  // taken meanwhile, e.g. by bfnolk
  ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 5.0), RowResult::kPosted);
  ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 5.0), RowResult::kPosted);
  ASSERT_EQ(SaveVerification(s(), "sen", "2026-03-01"), SaveResult::kSaved);
  EXPECT_EQ(s().ver.number, 5);
  EXPECT_EQ(s().dataBas.lastVerNr, 5);
}

TEST_F(Posting, EachMonthGetsItsOwnRecordStartedFromZero) {
  NewAccount("1930", 0);
  s().konto = Account("1930");
  auto postAndFlush = [&](int month, double amount) {
    const etider::SetClock clock(2026, month, 28);
    const etider::ScopedClock installed(clock);
    Real6 value = *Real6::FromDouble(amount);
    ASSERT_TRUE(PostTotal(s(), value, kPostRow));
    ASSERT_TRUE(FlushMonthSums(s()));
    EXPECT_DOUBLE_EQ(s().pendingSums.debitSums[1].Value(), 0.0);
    EXPECT_DOUBLE_EQ(s().pendingSums.creditSums[1].Value(), 0.0);
  };
  postAndFlush(3, 70);
  postAndFlush(3, -20);
  postAndFlush(4, 5);
  auto month = [&](const std::string& key) {
    int32_t recNo = 0;
    bool found = false, atEnd = false;
    BfAccess(s(), kSumsFile, kFindKey, key, recNo, found, atEnd);
    EXPECT_TRUE(found) << key;
    return s().sums;
  };
  const SumsRecord march = month("2026-03");
  EXPECT_DOUBLE_EQ(march.debitSums[1].Value(), 70.0);
  EXPECT_DOUBLE_EQ(march.creditSums[1].Value(), -20.0);
  EXPECT_DOUBLE_EQ(march.groupBalances[1].Value(), 50.0);
  const SumsRecord april = month("2026-04");
  EXPECT_DOUBLE_EQ(april.debitSums[1].Value(), 5.0);
  EXPECT_DOUBLE_EQ(april.creditSums[1].Value(), 0.0);
  EXPECT_DOUBLE_EQ(april.groupBalances[1].Value(), 55.0);
  EXPECT_EQ(isam::UsedRecs(s().sumsFile), 2);
}

}  // namespace
}  // namespace bf
