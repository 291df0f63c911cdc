// A seeded workload of verifications entered as a user enters them (VerificationEntry): rows
// on a few accounts, each verification balanced by "=" and then saved or cancelled; and the
// books as the next open sees them. The crash tests run it, cut it off, open the books
// again and compare what is there with the books before the verification in flight, or
// after it when its save was in flight.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "../storage/TempFolder.h"
#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFMisc.h"
#include "bookkeeping/bfverform_entry.h"

namespace bf {

// The books as a reader of the files sees them.
struct Books {
  std::vector<KontoRecord> accounts;  // in key order
  BfDataBasRecord list;
  std::vector<VerRecord> verifications;
  std::vector<SumsRecord> months;
};

inline Books ReadBooks(BfShared& s) {
  Books b;
  b.list = s.dataBas;
  EXPECT_TRUE(ForEachAccount(s, [&](const KontoRecord& k, int32_t) {
    b.accounts.push_back(k);
    return true;
  }));
  EXPECT_TRUE(ForEachVerification(s, [&](const VerRecord& v, int32_t) {
    b.verifications.push_back(v);
    return true;
  }));
  EXPECT_TRUE(ForEachMonth(s, [&](const SumsRecord& m, int32_t) {
    b.months.push_back(m);
    return true;
  }));
  return b;
}

// Empty when a and b are the same books; else what differs. Totals are kept as doubles and
// summed in another order by a recount, so they agree to the öre.
inline std::string Differences(const Books& a, const Books& b) {
  std::string d;
  if (a.accounts != b.accounts) d += "accounts ";
  if (a.verifications != b.verifications) d += "verifications ";
  if (a.months != b.months) d += "month sums ";
  const auto near = [](double x, double y) { return std::fabs(x - y) < 0.005; };
  bool totals = near(a.list.grandTotal, b.list.grandTotal) && near(a.list.total1020, b.list.total1020);
  for (size_t g = 0; g < a.list.groupTotals.size(); ++g)
    totals = totals && near(a.list.groupTotals[g], b.list.groupTotals[g]) &&
             near(a.list.groupOpeningTotals[g], b.list.groupOpeningTotals[g]);
  if (!totals) d += "list totals ";
  if (a.list.lastVerNr != b.list.lastVerNr) d += "last number ";
  return d;
}

// Bookkeeping 1 in dir with one saved verification, closed again. Six accounts come before
// the four the workload posts on, so that 1930 is record 7, which a 512-byte sector boundary
// cuts in two.
inline void MakeBooks(const std::string& dir) {
  BfDatabase db(dir);
  ASSERT_TRUE(db.CreateBookkeepingList());
  ASSERT_TRUE(db.BeginNewBookkeeping());
  db.shared().dataBas.name = "prov";
  ASSERT_TRUE(db.FinishNewBookkeeping());
  BfShared& s = db.shared();
  for (const auto& [number, sign, opening] :
       {std::tuple{"1510", '+', 0.0}, {"1610", '+', 0.0}, {"1630", '+', 0.0}, {"1910", '+', 0.0}, {"1920", '+', 0.0},
        {"1940", '+', 0.0}, {"1930", '+', 1000.0}, {"2440", '-', 400.0}, {"3010", '-', 0.0}, {"5010", '+', 0.0}}) {
    KontoRecord k;
    k.number = number;
    k.name = "konto";
    k.sign = sign;
    k.opening = *Real6::FromDouble(opening);
    int32_t recNo = 0;
    ASSERT_TRUE(SaveAccount(s, true, recNo, k));
  }
  VerificationEntry e(s);
  for (const auto& [account, side, amount] : {std::tuple{"1930", "+", "10.00"}, {"3010", "-", "10.00"}}) {
    e.AccountTyped(account);
    e.SideTyped(side);
    e.AmountTyped(amount);
    ASSERT_TRUE(e.AcceptRow());
  }
  e.SetName("start");
  ASSERT_EQ(e.Save(), SaveResult::kSaved);
}

class EntryWorkload {
 public:
  enum class Kind { kRow, kSave, kCancel };
  struct Step {
    Kind kind;
    int verification;  // 0-based
    std::string account, side, amount;
  };

  EntryWorkload(uint32_t seed, int verifications) {
    std::mt19937 rng(seed);
    static const char* const kAccounts[] = {"1930", "2440", "3010", "5010"};
    for (int v = 0; v < verifications; ++v) {
      const int rows = 1 + static_cast<int>(rng() % 3);
      for (int r = 0; r < rows; ++r) {
        const long cents = 1 + static_cast<long>(rng() % 50000);
        steps_.push_back({Kind::kRow, v, kAccounts[rng() % 4], rng() % 2 ? "+" : "-",
                          std::to_string(cents / 100) + "," + std::to_string(cents % 100)});
      }
      steps_.push_back({Kind::kRow, v, kAccounts[rng() % 4], "=", ""});
      steps_.push_back({rng() % 3 == 0 ? Kind::kCancel : Kind::kSave, v, "", "", ""});
    }
  }

  const std::vector<Step>& steps() const { return steps_; }

  // Runs step i (in order); false when the entry refused it.
  bool Run(BfShared& s, size_t i) {
    const Step& step = steps_[i];
    if (!entry_) entry_ = std::make_unique<VerificationEntry>(s);
    switch (step.kind) {
      case Kind::kRow:
        entry_->AccountTyped(step.account);
        entry_->SideTyped(step.side);
        if (step.side != "=") entry_->AmountTyped(step.amount);
        return entry_->AcceptRow();
      case Kind::kSave: {
        entry_->SetName("v" + std::to_string(step.verification));
        const bool saved = entry_->Save() == SaveResult::kSaved;
        entry_.reset();
        return saved;
      }
      case Kind::kCancel: {
        const bool cancelled = entry_->Cancel();
        entry_.reset();
        return cancelled;
      }
    }
    return false;
  }

  // The books allowed after a crash with steps 0..done-1 finished: those before the
  // verification in flight, or after it when its save was the step in flight. states[v] are
  // the books before verification v (and states.back() after the last).
  std::vector<const Books*> Allowed(const std::vector<Books>& states, size_t done) const {
    if (done >= steps_.size()) return {&states.back()};
    const Step& flight = steps_[done];
    std::vector<const Books*> allowed{&states[static_cast<size_t>(flight.verification)]};
    if (flight.kind == Kind::kSave) allowed.push_back(&states[static_cast<size_t>(flight.verification) + 1]);
    return allowed;
  }

  // The books before each verification and after the last, running the whole workload on
  // the open books s.
  std::vector<Books> States(BfShared& s) {
    std::vector<Books> states{ReadBooks(s)};
    for (size_t i = 0; i < steps_.size(); ++i) {
      EXPECT_TRUE(Run(s, i)) << "step " << i;
      if (steps_[i].kind != Kind::kRow) states.push_back(ReadBooks(s));
    }
    return states;
  }

 private:
  std::vector<Step> steps_;
  std::unique_ptr<VerificationEntry> entry_;
};

}  // namespace bf
