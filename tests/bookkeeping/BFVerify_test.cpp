// The consistency check: nothing to find after the operations a user makes in a year
// (postings, closes, a year-end, a new period, other sum groups, a rebuild, a period that
// does not hold today), and every kind of damage named.
#include "bookkeeping/BFVerify.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "BookkeepingFolder.h"
#include "bookkeeping/BFMisc.h"
#include "common/Ansi.h"
#include "shell/ETider.h"
#include "storage/BTFileIO.h"

namespace bf {
namespace {

class Verify : public BookkeepingFolder {
 protected:
  void SetUp() override {
    BookkeepingFolder::SetUp();
    NewAccount("1020", 500);
    NewAccount("1930", 1000);
    NewAccount("2440", -300);
    NewAccount("3010", 0);
    NewAccount("6110", 0);
  }

  // Findings as UTF-8, for the failure messages.
  std::vector<std::string> Findings() {
    std::vector<std::string> findings;
    for (const std::string& f : VerifyBookkeeping(s(), folder_.path())) findings.push_back(ansi::ToUtf8(f));
    return findings;
  }
  void ExpectSound(const std::string& when) {
    for (const std::string& f : Findings()) ADD_FAILURE() << when << ": " << f;
  }

  void Enter(std::vector<std::tuple<int, char, double>> rows, bool save = true) {
    PrepareFreshVerification(s());
    for (const auto& [account, side, amount] : rows)
      ASSERT_EQ(AddVerificationRow(s(), account, side, amount), RowResult::kPosted) << account;
    if (save)
      ASSERT_EQ(SaveVerification(s(), "ver", "2026-03-01"), SaveResult::kSaved);
    else
      ASSERT_TRUE(CancelVerification(s()));
  }
  void AFewVerifications() {
    Enter({{1930, '+', 250.0}, {3010, '-', 250.0}});
    Enter({{6110, '+', 99.5}, {1020, '-', 80.0}, {2440, '-', 19.5}});
    Enter({{6110, '+', 5.0}, {1930, '-', 5.0}}, false);
    Enter({{2440, '+', 300.0}, {1930, '-', 300.0}});
  }

  // Closes and opens the bookkeeping again: the pending month sums go to their file.
  void Reopen() {
    db_->SelectBookkeeping(1);
    ASSERT_TRUE(db_->bookkeepingOpen());
  }

  // The period as `bfnolk change` sets it: the list record rewritten.
  void ChangePeriod(const std::string& from, const std::string& to) {
    s().dataBas.fromDate = from;
    s().dataBas.toDate = to;
    ASSERT_TRUE(db_->FinishChangeBookkeeping());
  }
};

TEST_F(Verify, AYearOfPostingsAYearEndAndTheNextPeriodLeaveNothingToFind) {
  etider::SetClock clock(2026, 3, 10);
  const etider::ScopedClock installed(clock);
  AFewVerifications();
  ExpectSound("postings");
  Reopen();
  ExpectSound("postings filed");
  clock.Set(2026, 12, 30);
  Enter({{1930, '+', 12.34}, {3010, '-', 12.34}});
  Reopen();
  ExpectSound("December");

  boxes_.answers = {eerror::kYes};
  ASSERT_TRUE(db_->ResetBookkeeping()) << eerror::StatusMsg;
  ExpectSound("year-end");
  Reopen();
  ExpectSound("year-end, reopened");
  ChangePeriod("2027-01-01", "2027-12-31");
  ExpectSound("next period");
  clock.Set(2027, 1, 15);
  Enter({{1930, '+', 40.0}, {6110, '-', 40.0}});
  Reopen();
  ExpectSound("next year's postings");
  ASSERT_TRUE(db_->RebuildBookkeeping()) << eerror::StatusMsg;
  ExpectSound("rebuild");
}

TEST_F(Verify, APeriodThatDoesNotHoldTodayLeavesNothingToFind) {
  // Month sums go under the month of the posting, here one outside the period.
  const etider::SetClock clock(2026, 12, 7);
  const etider::ScopedClock installed(clock);
  ChangePeriod("2020-01-01", "2020-12-31");
  Enter({{1930, '+', 100.0}, {3010, '-', 100.0}});
  ExpectSound("pending");
  Reopen();
  ExpectSound("filed");
}

TEST_F(Verify, OtherSumGroupsLeaveNothingToFind) {
  const etider::SetClock clock(2026, 3, 10);
  const etider::ScopedClock installed(clock);
  AFewVerifications();
  Reopen();
  // The month sums stay filed under the groups of the day they were posted.
  s().dataBas.sumGroups[1] = "1900..1999";
  s().dataBas.sumGroups[6] = "2000..6999";
  ASSERT_TRUE(db_->FinishChangeBookkeeping());
  ASSERT_TRUE(db_->RebuildBookkeeping()) << eerror::StatusMsg;  // the totals in the new groups
  ExpectSound("new groups");
  Enter({{1930, '+', 1.0}, {6110, '-', 1.0}});
  Reopen();
  ExpectSound("new groups, posted");
}

// One damage at a time on the sound bookkeeping, each undone before the next.
TEST_F(Verify, EveryKindOfDamageIsNamed) {
  const etider::SetClock clock(2026, 3, 10);
  const etider::ScopedClock installed(clock);
  AFewVerifications();
  Reopen();
  ExpectSound("before");

  const auto account = [&](const std::string& number, const std::function<void(KontoRecord&)>& change) {
    return [=, this] {
      int32_t at = 0;
      bool found = false, atEnd = false;
      BfAccess(s(), kKontoFile, kFindKey, number, at, found, atEnd);
      ASSERT_TRUE(found);
      change(s().konto);
      ASSERT_TRUE(RewriteKonto(s(), at));
    };
  };
  const auto verification = [&](int32_t recNo, const std::function<void(VerRecord&)>& change) {
    return [=, this] {
      int32_t at = recNo;
      bool found = false, atEnd = false;
      BfAccess(s(), kVerFile, kAtRecord, "", at, found, atEnd);
      ASSERT_TRUE(found);
      change(s().ver);
      ASSERT_TRUE(PutVer(s(), false, at));
    };
  };
  const auto month = [&](const std::function<void(SumsRecord&)>& change) {
    return [=, this] {
      int32_t at = 0;
      bool found = false, atEnd = false;
      BfAccess(s(), kSumsFile, kFindKey, "2026-03", at, found, atEnd);
      ASSERT_TRUE(found);
      change(s().sums);
      ASSERT_TRUE(PutSums(s(), false, at));
    };
  };
  const auto list = [&](const std::function<void(BfDataBasRecord&)>& change) {
    return [=, this] { change(s().dataBas); };
  };
  const auto money = [](double v) { return *Real6::FromDouble(v); };

  struct Damage {
    const char* what;
    std::function<void()> make;
    const char* finding;  // UTF-8
  };
  const Damage damages[] = {
      {"closing", account("1930", [&](KontoRecord& k) { k.closing = money(1.0); }),
       "konto 1930: utgående saldo 1.00, men ingående + debet - kredit är 950.00"},
      {"debit", account("3010", [&](KontoRecord& k) { k.debit = money(7.0); k.closing = money(-243.0); }),
       "konto 3010: debet 7.00 och kredit 250.00, men verifikationernas rader ger 0.00 och 250.00"},
      {"grand total", list([](BfDataBasRecord& d) { d.grandTotal += 1; }),
       "totalsumman 1201.00, men kontona ger 1200.00"},
      {"total 1020", list([](BfDataBasRecord& d) { d.total1020 = 0; }),
       "summan för 1020 0.00, men kontot ger 420.00"},
      {"group total", list([](BfDataBasRecord& d) { d.groupTotals[6] = 0; }),
       "grupp 6: summan 0.00, men kontona ger 99.50"},
      {"group opening", list([](BfDataBasRecord& d) { d.groupOpeningTotals[2] = 0; }),
       "grupp 2: ingående summa 0.00, men kontona ger -300.00"},
      {"unbalanced", verification(1, [&](VerRecord& v) { v.amounts[1] = money(251.0); }),
       "verifikation 1: balanserar inte (1.00)"},
      {"side", verification(1, [](VerRecord& v) { v.sides[1] = '='; }),
       "verifikation 1: rad 1 är varken debet eller kredit"},
      {"number twice", verification(2, [](VerRecord& v) { v.number = 1; }), "verifikation 1: numret finns redan"},
      {"number above the last", verification(3, [](VerRecord& v) { v.number = 9; }),
       "verifikation 9: numret är över senaste numret 3"},
      {"account gone", verification(3, [](VerRecord& v) { v.accounts[1] = 2441; }),
       "verifikation 3: kontot 2441 finns inte"},
      {"month", month([](SumsRecord& m) { m.month = "2026-13"; }), "månadssummor 2026-13: ingen månad (åååå-mm)"},
      {"debit sum", month([&](SumsRecord& m) { m.debitSums[1] = money(-5.0); }),
       "månadssummor 2026-03: grupp 1 har debetsumman -5.00, under noll"},
      {"credit sum", month([&](SumsRecord& m) { m.creditSums[2] = money(5.0); }),
       "månadssummor 2026-03: grupp 2 har kreditsumman 5.00, över noll"},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.what);
    const std::string folder = folder_.path();
    db_->CloseBookkeeping();
    for (const char* name : {"Konto01.DAT", "Konto01.IX", "Bf01.DAT", "BfSums01.DAT", "BfSums01.IX"})
      ASSERT_TRUE(isam::CopyFile(folder + "/" + name, folder + "/" + name + "~", false));
    Reopen();
    const BfDataBasRecord list = s().dataBas;
    damage.make();
    const std::vector<std::string> findings = Findings();
    EXPECT_NE(std::find(findings.begin(), findings.end(), damage.finding), findings.end())
        << ::testing::PrintToString(findings);
    // Undone: the list record and the files as they were.
    s().dataBas = list;
    db_->CloseBookkeeping();
    for (const char* name : {"Konto01.DAT", "Konto01.IX", "Bf01.DAT", "BfSums01.DAT", "BfSums01.IX"})
      ASSERT_TRUE(isam::RenameFile(folder + "/" + name + "~", folder + "/" + name));
    Reopen();
    ExpectSound("undone");
  }

  // A month filed twice, and a month sums file that is damaged itself.
  int32_t at = 0;
  bool found = false, atEnd = false;
  BfAccess(s(), kSumsFile, kFindKey, "2026-03", at, found, atEnd);
  ASSERT_TRUE(found);
  ASSERT_TRUE(PutSums(s(), true, at));
  EXPECT_EQ(Findings(), std::vector<std::string>{"månadssummor 2026-03: månaden finns redan"});
  // The header of the sums file on disk claims records the file does not hold.
  {
    std::FILE* dat = std::fopen((folder_.path() + "/BfSums01.DAT").c_str(), "r+b");
    ASSERT_NE(dat, nullptr);
    std::fseek(dat, 8, SEEK_SET);  // the highest record number
    std::fputc(0x70, dat);
    std::fclose(dat);
  }
  const std::vector<std::string> findings = Findings();
  EXPECT_TRUE(std::any_of(findings.begin(), findings.end(),
                          [](const std::string& f) { return f.find("BfSums01: ") != std::string::npos; }))
      << ::testing::PrintToString(findings);
}

}  // namespace
}  // namespace bf
