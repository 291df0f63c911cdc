// The largest bookkeeping the files number: 32 767 verifications of four rows in öre,
// posted through the entry path in a period that does not hold today. Every stored sum
// (accounts, verification balances, the list's totals, the pending and the filed month
// sums) must be the exact sum in öre, and the consistency check must find nothing, before
// and after the close and after a rebuild.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>

#include "BookkeepingFolder.h"
#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFVerify.h"
#include "bookkeeping/BFdefs_groups.h"
#include "common/Ansi.h"
#include "shell/ETider.h"

namespace bf {
namespace {

// The sums in öre, as they must be stored.
struct Exact {
  std::map<int, int64_t> debit, credit, opening;
  std::array<int64_t, kGroupCount> pendingDebit{}, pendingCredit{}, groupTotals{};
};

// A stored sum must read back as its Real6 of n öre would, not merely near it.
void ExpectOre(const Real6& stored, int64_t n, const std::string& what) {
  const double exact = Real6::FromDouble(static_cast<double>(n) / 100)->Value();
  char text[96];
  std::snprintf(text, sizeof text, "%.6f instead of %.6f", stored.Value(), exact);
  EXPECT_EQ(stored.Value(), exact) << what << ": " << text;
}

class LargestSize : public BookkeepingFolder {
 protected:
  int Group(int account) { return GroupOfAccount(s().dataBas, KontoKey(account)); }

  void ExpectSound(const std::string& when) {
    for (const std::string& f : VerifyBookkeeping(s(), folder_.path()))
      ADD_FAILURE() << when << ": " << ansi::ToUtf8(f);
  }

  void ExpectExact(const Exact& e, const std::string& when) {
    SCOPED_TRACE(when);
    int64_t grand = 0;
    std::array<int64_t, kGroupCount> openings{};
    for (const auto& [account, opening] : e.opening) {
      const KontoRecord k = Account(KontoKey(account));
      const int64_t debit = e.debit.count(account) ? e.debit.at(account) : 0;
      const int64_t credit = e.credit.count(account) ? e.credit.at(account) : 0;
      ExpectOre(k.debit, debit, "debit " + std::to_string(account));
      ExpectOre(k.credit, credit, "credit " + std::to_string(account));
      ExpectOre(k.closing, opening + debit - credit, "closing " + std::to_string(account));
      grand += opening + debit - credit;
      openings[static_cast<size_t>(Group(account))] += opening;
    }
    EXPECT_EQ(s().dataBas.grandTotal, static_cast<double>(grand) / 100);
    for (size_t g = 0; g < kGroupCount; ++g) {
      EXPECT_EQ(s().dataBas.groupTotals[g], static_cast<double>(e.groupTotals[g]) / 100) << g;
      EXPECT_EQ(s().dataBas.groupOpeningTotals[g], static_cast<double>(openings[g]) / 100) << g;
    }
  }
};

TEST_F(LargestSize, EverySumStaysExactToTheOre) {
  const etider::SetClock clock(2026, 12, 7);
  const etider::ScopedClock installed(clock);
  s().dataBas.fromDate = "2020-01-01";
  s().dataBas.toDate = "2020-12-31";
  ASSERT_TRUE(db_->FinishChangeBookkeeping());
  Exact e;
  const int accounts[] = {1020, 1930, 2440, 3010, 4010, 5010, 6110, 7010, 8310, 9100};
  for (const int a : accounts) {
    const int64_t opening = a == 1930 ? 123456 : a == 2440 ? -30001 : 0;
    NewAccount(KontoKey(a), static_cast<double>(opening) / 100);
    e.opening[a] = opening;
  }

  // Without journal the rows are written, not flushed one by one: seconds instead of minutes.
  const auto reopen = [&](bool journal) {
    for (auto [handle, file] : {std::pair{&s().kontoFile, kKontoFile}, {&s().verFile, kVerFile}}) {
      isam::CloseFileBlock(*handle);
      isam::OpenFileBlock(*handle, BfFileName(file, 1, folder_.path()), journal);
      ASSERT_TRUE(isam::IsamSuccess);
    }
  };
  reopen(false);

  std::mt19937 rng(32767);
  const auto post = [&](int account, char side, int64_t ore) {
    ASSERT_EQ(AddVerificationRow(s(), account, side, static_cast<double>(ore) / 100), RowResult::kPosted);
    const int64_t signedOre = side == '+' ? ore : -ore;
    (side == '+' ? e.debit : e.credit)[account] += ore;
    const auto g = static_cast<size_t>(Group(account));
    e.groupTotals[g] += signedOre;
    (signedOre < 0 ? e.pendingCredit : e.pendingDebit)[g] += signedOre;
  };
  int balancesOff = 0;
  for (int v = 1; v <= INT16_MAX; ++v) {
    const auto pick = [&] { return accounts[rng() % std::size(accounts)]; };
    const int64_t x = 1 + rng() % 200000, y = 1 + rng() % 200000;
    PrepareFreshVerification(s());
    if (v % 1000 == 0) {  // now and then one cancelled: its rows posted back
      const int a = pick();
      post(a, '+', x);
      ASSERT_TRUE(CancelVerification(s()));
      e.debit[a] -= x;
      e.groupTotals[static_cast<size_t>(Group(a))] -= x;
      e.pendingCredit[static_cast<size_t>(Group(a))] -= x;
    }
    post(pick(), '+', x);
    post(pick(), '+', y);
    post(pick(), '-', x);
    post(pick(), '-', y);
    if (s().ver.Balance() != Real6()) ++balancesOff;  // the four rows add up to 0 exactly
    ASSERT_EQ(SaveVerification(s(), "v", "2020-06-30"), SaveResult::kSaved) << v;
  }
  EXPECT_EQ(balancesOff, 0);
  reopen(true);  // the files whole on the disk; the month sums still pending
  ExpectExact(e, "posted");
  for (size_t g = 0; g < kGroupCount; ++g) {
    ExpectOre(s().pendingSums.debitSums[g], e.pendingDebit[g], "pending debit " + std::to_string(g));
    ExpectOre(s().pendingSums.creditSums[g], e.pendingCredit[g], "pending credit " + std::to_string(g));
  }
  ExpectSound("posted");

  db_->SelectBookkeeping(1);  // closed and opened: the month sums filed under December 2026
  ASSERT_TRUE(db_->bookkeepingOpen());
  int32_t at = 0;
  bool found = false, atEnd = false;
  BfAccess(s(), kSumsFile, kFindKey, "2026-12", at, found, atEnd);
  ASSERT_TRUE(found);
  for (size_t g = 0; g < kGroupCount; ++g) {
    ExpectOre(s().sums.debitSums[g], e.pendingDebit[g], "month debit " + std::to_string(g));
    ExpectOre(s().sums.creditSums[g], e.pendingCredit[g], "month credit " + std::to_string(g));
  }
  ExpectExact(e, "filed");
  ExpectSound("filed");

  ASSERT_TRUE(db_->RebuildBookkeeping()) << eerror::StatusMsg;
  EXPECT_EQ(s().dataBas.lastVerNr, INT16_MAX);
  ExpectExact(e, "rebuilt");  // the saved rows once more, in the order they were saved
  ExpectSound("rebuilt");
}

}  // namespace
}  // namespace bf
