// A seeded random sequence of verifications saved and cancelled, opening balances changed,
// accounts added, renumbered and deleted, and closes, checked after every step against a
// plain model and by VerifyBookkeeping: closing = opening + |debit| - |credit| on every
// account, the list's grand and group totals the sums of the accounts, the pending month
// sums every posting and its reversal, the month record what the closes filed.
// BFN_POSTING_SEED replays a seed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
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

struct ModelAccount {
  double opening = 0, debit = 0, credit = 0;
  double Closing() const { return opening + debit - credit; }
};

// Per sum group: what is posted and not yet filed, and what the month record holds.
struct ModelSums {
  std::array<double, kGroupCount> debit{}, credit{};
  void Post(int group, double signedAmount) {
    (signedAmount < 0 ? credit : debit)[static_cast<size_t>(group)] += signedAmount;
  }
};

uint32_t Seed() {
  const char* s = std::getenv("BFN_POSTING_SEED");
  return s ? static_cast<uint32_t>(std::strtoul(s, nullptr, 10)) : 20261207u;
}

// Accounts rows are posted on, and numbers free for the small accounts that come and go.
constexpr int kPosted[] = {1020, 1930, 2440, 2910, 3010, 4010, 5010, 6110, 7010, 8310};
constexpr int kSmall[] = {1510, 2640, 4990, 6990, 8990, 9100};
constexpr double kSmallOpenings[] = {0, 0.40, 0.50, 0.60, -0.50, -0.51, 12.00};

class Invariants : public BookkeepingFolder {
 protected:
  int Group(int number) { return GroupOfAccount(s().dataBas, KontoKey(number)); }

  void AddAccount(int number, double opening) {
    NewAccount(KontoKey(number), opening);
    model_[number] = ModelAccount{opening, 0, 0};
  }

  void CheckAgainstModel(const std::string& step) {
    SCOPED_TRACE(step);
    for (const std::string& f : VerifyBookkeeping(s(), folder_.path())) ADD_FAILURE() << ansi::ToUtf8(f);
    double grand = 0;
    std::array<double, kGroupCount> groups{};
    for (const auto& [number, m] : model_) {
      const KontoRecord k = Account(KontoKey(number));
      EXPECT_NEAR(k.debit.Value(), m.debit, 0.001) << number;
      EXPECT_NEAR(k.credit.Value(), m.credit, 0.001) << number;
      EXPECT_NEAR(k.closing.Value(), m.Closing(), 0.001) << number;
      grand += m.Closing();
      groups[static_cast<size_t>(Group(number))] += m.debit - m.credit;
    }
    EXPECT_NEAR(s().dataBas.grandTotal, grand, 0.001);
    for (size_t g = 0; g < kGroupCount; ++g) {
      EXPECT_NEAR(s().dataBas.groupTotals[g], groups[g], 0.001) << g;
      EXPECT_NEAR(s().pendingSums.debitSums[g].Value(), pending_.debit[g], 0.001) << g;
      EXPECT_NEAR(s().pendingSums.creditSums[g].Value(), pending_.credit[g], 0.001) << g;
    }
  }

  void CheckMonthRecord() {
    int32_t recNo = 0;
    bool found = false, atEnd = false;
    BfAccess(s(), kSumsFile, kFindKey, "2026-03", recNo, found, atEnd);
    ASSERT_TRUE(found);
    for (size_t g = 0; g < kGroupCount; ++g) {
      EXPECT_NEAR(s().sums.debitSums[g].Value(), filed_.debit[g], 0.001) << g;
      EXPECT_NEAR(s().sums.creditSums[g].Value(), filed_.credit[g], 0.001) << g;
      EXPECT_NEAR(s().sums.groupBalances[g].Value(), s().dataBas.groupTotals[g] + s().dataBas.groupOpeningTotals[g], 0.001);
    }
  }

  // A verification of 1..6 rows of at least 1.00 and a balancing one, saved, or cancelled.
  void EnterVerification(std::mt19937& rng) {
    auto cents = [&](int units) { return static_cast<double>(rng() % (units * 100)) / 100.0; };
    std::vector<int> numbers;
    for (const int n : kPosted)
      if (model_.count(n)) numbers.push_back(n);
    if (numbers.empty()) return;
    PrepareFreshVerification(s());
    std::map<int, ModelAccount> after = model_;
    ModelSums posted;
    std::vector<std::pair<int, double>> rows;  // account, signed amount
    double balance = 0;
    auto row = [&](int account, double signedAmount) {
      ASSERT_EQ(AddVerificationRow(s(), account, signedAmount > 0 ? '+' : '-', std::fabs(signedAmount)), RowResult::kPosted);
      (signedAmount > 0 ? after[account].debit : after[account].credit) += std::fabs(signedAmount);
      posted.Post(Group(account), signedAmount);
      rows.emplace_back(account, signedAmount);
      balance += signedAmount;
    };
    const int count = static_cast<int>(rng() % 6) + 1;
    for (int r = 0; r < count; ++r) {
      const double amount = 1.0 + cents(2000);
      row(numbers[rng() % numbers.size()], rng() % 2 == 0 ? amount : -amount);
      if (HasFatalFailure()) return;
    }
    // Every row is 1.00 or more, so no account that took part ever rounds to 0 and goes.
    double rounded = std::round(balance * 100) / 100;
    if (std::fabs(rounded) < 1.0) row(numbers[0], rounded < 0 ? -10.0 : 10.0);
    rounded = std::round(balance * 100) / 100;
    row(numbers[rng() % numbers.size()], -rounded);
    if (HasFatalFailure()) return;
    for (size_t g = 0; g < kGroupCount; ++g) {
      pending_.debit[g] += posted.debit[g];
      pending_.credit[g] += posted.credit[g];
    }
    if (rng() % 4 == 0) {
      ASSERT_TRUE(CancelVerification(s()));
      for (const auto& [account, signedAmount] : rows) pending_.Post(Group(account), -signedAmount);
      EXPECT_EQ(s().ver.RowCount(), 0);
    } else {
      ASSERT_EQ(SaveVerification(s(), "slump", "2026-03-10"), SaveResult::kSaved);
      model_ = after;
    }
  }

  // Changes the account through the account register's save, as edit says.
  template <typename Edit>
  void EditAccount(int number, Edit edit) {
    int32_t at = 0;
    bool found = false, atEnd = false;
    BfAccess(s(), kKontoFile, kFindKey, KontoKey(number), at, found, atEnd);
    ASSERT_TRUE(found);
    KontoRecord edited = s().konto;
    edit(edited);
    ASSERT_TRUE(SaveAccount(s(), false, at, edited));
  }

  void ChangeOpening(int number, double opening) {
    EditAccount(number, [&](KontoRecord& k) { k.opening = *Real6::FromDouble(opening); });
    model_[number].opening = opening;
  }

  void Renumber(int from, int to) {
    EditAccount(from, [&](KontoRecord& k) { k.number = KontoKey(to); });
    model_[to] = model_[from];
    model_.erase(from);
  }

  void Delete(int number) {
    const ModelAccount m = model_[number];
    const double held = std::nearbyint(std::fabs(m.debit) + std::fabs(m.credit) + std::fabs(m.Closing()));
    const bool deleted = DeleteKonto(s(), kFindKey, KontoKey(number), 0, true);
    ASSERT_EQ(deleted, held == 0) << number;
    if (!deleted) {
      EXPECT_NE(eerror::StatusMsg.find(A(" ej nollställd! ")), std::string::npos);
      return;
    }
    pending_.Post(Group(number), m.credit - m.debit);
    model_.erase(number);
  }

  std::map<int, ModelAccount> model_;
  ModelSums pending_, filed_;
};

TEST_F(Invariants, RandomPostingsKeepEveryTotal) {
  const uint32_t seed = Seed();
  SCOPED_TRACE("BFN_POSTING_SEED=" + std::to_string(seed));
  const etider::SetClock march(2026, 3, 10);
  const etider::ScopedClock clock(march);
  std::mt19937 rng(seed);
  for (const int number : kPosted) AddAccount(number, rng() % 3 == 0 ? static_cast<double>(rng() % 500000) / 100 : 0);
  ASSERT_FALSE(HasFatalFailure());
  CheckAgainstModel("start");

  int deletions = 0, refusals = 0;
  for (int step = 0; step < 300 && !HasFailure(); ++step) {
    const unsigned what = rng() % 20;
    const int small = kSmall[rng() % std::size(kSmall)];
    const int posted = kPosted[rng() % std::size(kPosted)];
    if (what < 11) {
      EnterVerification(rng);
    } else if (what < 13) {
      if (model_.count(posted)) ChangeOpening(posted, static_cast<double>(static_cast<int>(rng() % 600000) - 300000) / 100);
    } else if (what < 15) {
      if (!model_.count(small)) AddAccount(small, kSmallOpenings[rng() % std::size(kSmallOpenings)]);
    } else if (what < 16) {
      const int to = kSmall[rng() % std::size(kSmall)];
      if (model_.count(small) && !model_.count(to)) Renumber(small, to);
    } else if (what < 19) {
      const int number = rng() % 2 ? small : posted;
      if (model_.count(number)) {
        const size_t before = model_.size();
        Delete(number);
        (model_.size() < before ? deletions : refusals) += 1;
      }
    } else {
      // Close and open again: the month sums go to their file.
      db_->SelectBookkeeping(1);
      ASSERT_TRUE(db_->bookkeepingOpen());
      for (size_t g = 0; g < kGroupCount; ++g) {
        filed_.debit[g] += pending_.debit[g];
        filed_.credit[g] += pending_.credit[g];
      }
      pending_ = ModelSums{};
      CheckMonthRecord();
    }
    ASSERT_FALSE(HasFatalFailure());
    CheckAgainstModel("step " + std::to_string(step));
  }
  // The sequence reached both sides of the deletion rule.
  EXPECT_GT(deletions, 0);
  EXPECT_GT(refusals, 0);
}

}  // namespace
}  // namespace bf
