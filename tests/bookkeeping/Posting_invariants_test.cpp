// A seeded random sequence of verifications saved and cancelled, account changes, deletions
// and closes, checked after every step against a plain model and by VerifyBookkeeping:
// closing = opening + |debit| - |credit| on every account, the list's grand and group totals
// the sums of the accounts, the month sums the postings. BFN_POSTING_SEED replays a seed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFMisc_entry.h"
#include "bookkeeping/BFVerify.h"
#include "bookkeeping/BFdefs_groups.h"
#include "common/Ansi.h"
#include "shell/ECountForm.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace bf {
namespace {

namespace fs = std::filesystem;

struct ModelAccount {
  double opening = 0, debit = 0, credit = 0;
};

uint32_t Seed() {
  const char* s = std::getenv("BFN_POSTING_SEED");
  return s ? static_cast<uint32_t>(std::strtoul(s, nullptr, 10)) : 20261207u;
}

class Invariants : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    root_ = fs::temp_directory_path() / ("bfinv-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_);
    ekonfig::Konfig.SetCurBase(0);
    previous_ = ecountform::InstallProgressWindows(&progress_);
    db_ = std::make_unique<BfDatabase>(root_.string());
    ASSERT_TRUE(db_->CreateBookkeepingList());
    ASSERT_TRUE(db_->BeginNewBookkeeping());
    db_->shared().dataBas.name = "slump";
    db_->shared().dataBas.fromDate = "2026-01-01";
    db_->shared().dataBas.toDate = "2026-12-31";
    ASSERT_TRUE(db_->FinishNewBookkeeping());
  }
  void TearDown() override {
    db_.reset();
    ecountform::InstallProgressWindows(previous_);
    isam::ExitIsam();
    fs::remove_all(root_);
  }
  BfShared& s() { return db_->shared(); }

  void AddAccount(int number, double opening) {
    KontoRecord k;
    k.number = KontoKey(number);
    k.opening = *Real6::FromDouble(opening);
    int32_t recNo = 0;
    ASSERT_TRUE(SaveAccount(s(), true, recNo, k));
    model_[number].opening = opening;
  }

  void CheckAgainstModel(const std::string& step) {
    SCOPED_TRACE(step);
    const std::vector<std::string> findings = VerifyBookkeeping(s(), root_.string());
    for (const std::string& f : findings) ADD_FAILURE() << ansi::ToUtf8(f);
    double grand = 0;
    std::array<double, kGroupCount> groups{};
    for (const auto& [number, m] : model_) {
      int32_t at = 0;
      bool found = false, atEnd = false;
      BfAccess(s(), kKontoFile, 0, KontoKey(number), at, found, atEnd);
      ASSERT_TRUE(found) << number;
      EXPECT_NEAR(s().konto.debit.Value(), m.debit, 0.001) << number;
      EXPECT_NEAR(s().konto.credit.Value(), m.credit, 0.001) << number;
      EXPECT_NEAR(s().konto.closing.Value(), m.opening + m.debit - m.credit, 0.001) << number;
      grand += m.opening + m.debit - m.credit;
      groups[static_cast<size_t>(GroupOfAccount(s().dataBas, KontoKey(number)))] += m.debit - m.credit;
    }
    EXPECT_NEAR(s().dataBas.grandTotal, grand, 0.001);
    for (int g = 0; g < kGroupCount; ++g) EXPECT_NEAR(s().dataBas.groupTotals[static_cast<size_t>(g)], groups[static_cast<size_t>(g)], 0.001) << g;
  }

  fs::path root_;
  std::unique_ptr<BfDatabase> db_;
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installed_{boxes_};
  ecountform::RecordingProgressWindows progress_;
  ecountform::ProgressWindows* previous_ = nullptr;
  std::map<int, ModelAccount> model_;
};

TEST_F(Invariants, RandomPostingsKeepEveryTotal) {
  const uint32_t seed = Seed();
  SCOPED_TRACE("BFN_POSTING_SEED=" + std::to_string(seed));
  const etider::SetClock march(2026, 3, 10);
  const etider::ScopedClock clock(march);
  std::mt19937 rng(seed);
  auto cents = [&](int maxUnits) { return static_cast<double>(rng() % (maxUnits * 100) + 1) / 100.0; };
  for (int number : {1020, 1930, 2440, 2910, 3010, 4010, 5010, 6110, 7010, 8310}) AddAccount(number, (rng() % 3 == 0) ? cents(5000) : 0);
  ASSERT_FALSE(HasFatalFailure());
  CheckAgainstModel("start");

  for (int step = 0; step < 300 && !HasFailure(); ++step) {
    const unsigned what = rng() % 10;
    std::vector<int> numbers;
    for (const auto& [n, m] : model_) numbers.push_back(n);
    if (what < 7) {
      // A verification of 1..6 rows and a balancing one, saved, or cancelled part way.
      PrepareFreshVerification(s());
      std::map<int, ModelAccount> pending = model_;
      double balance = 0;
      const int rows = static_cast<int>(rng() % 6) + 1;
      for (int r = 0; r < rows; ++r) {
        const int account = numbers[rng() % numbers.size()];
        const bool debit = rng() % 2 == 0;
        const double amount = cents(2000);
        ASSERT_EQ(AddVerificationRow(s(), account, debit ? '+' : '-', amount), RowResult::kPosted);
        (debit ? pending[account].debit : pending[account].credit) += amount;
        balance += debit ? amount : -amount;
      }
      const int closer = numbers[rng() % numbers.size()];
      const double rounded = std::round(balance * 100) / 100;
      if (std::fabs(rounded) >= 0.005) {
        const bool debit = rounded < 0;
        ASSERT_EQ(AddVerificationRow(s(), closer, debit ? '+' : '-', std::fabs(rounded)), RowResult::kPosted);
        (debit ? pending[closer].debit : pending[closer].credit) += std::fabs(rounded);
      }
      if (rng() % 4 == 0) {
        ASSERT_TRUE(CancelVerification(s()));
      } else {
        ASSERT_EQ(SaveVerification(s(), "slump", "2026-03-10"), SaveResult::kSaved);
        model_ = pending;
      }
    } else if (what < 9) {
      // A new opening balance for an account.
      const int number = numbers[rng() % numbers.size()];
      int32_t at = 0;
      bool found = false, atEnd = false;
      BfAccess(s(), kKontoFile, 0, KontoKey(number), at, found, atEnd);
      ASSERT_TRUE(found);
      KontoRecord edited = s().konto;
      edited.opening = *Real6::FromDouble(rng() % 2 ? cents(3000) : -cents(3000));
      ASSERT_TRUE(SaveAccount(s(), false, at, edited));
      model_[number].opening = edited.opening.Value();
    } else {
      // Close and open again: the month sums go to their file.
      db_->SelectBookkeeping(1);
      ASSERT_TRUE(db_->bookkeepingOpen());
    }
    CheckAgainstModel("step " + std::to_string(step));
  }
}

}  // namespace
}  // namespace bf
