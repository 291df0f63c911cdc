// A small year of books driven through bfnolk as a script would: twenty accounts, two
// hundred verifications, a backup, a rebuild, the year-end reset, the next period, other
// sum groups and a period that does not hold today, with bfnolk verify after each step and
// the balances it prints compared with sums worked out here; the year that ended is then
// opened from its archive.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "BfnolkFolder.h"

namespace fs = std::filesystem;

namespace {

class BfnolkYear : public BfnolkFolder {
 protected:
  static std::string Cents(long cents) {
    char s[32];
    std::snprintf(s, sizeof s, "%s%ld.%02ld", cents < 0 ? "-" : "", std::labs(cents) / 100, std::labs(cents) % 100);
    return s;
  }
  // The closing balance bfnolk prints for an account, as "1234.50" text.
  std::string Closing(int account) const {
    const ProgramRun run = Run("account show " + std::to_string(account) + " --json");
    const auto at = run.out.find("\"utgaende\":");
    if (at == std::string::npos) return "?" + run.out;
    const auto end = run.out.find_first_of(",}", at);
    return run.out.substr(at + 11, end - at - 11);
  }
};

TEST_F(BfnolkYear, TwoHundredVerificationsThroughBackupRebuildAndReset) {
  Ok("init");
  Ok("new --name Året --from 2026-01-01 --to 2026-12-31");
  std::map<int, long> opening, closing;  // in cents
  std::mt19937 rng(2026);
  std::vector<int> accounts;
  for (int i = 0; i < 20; ++i) {
    const int number = 1000 + i * 400 + (i % 3) * 10;  // 1000 .. 8610, some from 29xx on
    accounts.push_back(number);
    const long cents = i % 4 == 0 ? static_cast<long>(rng() % 500000) : 0;
    opening[number] = closing[number] = cents;
    Ok("account add " + std::to_string(number) + " --name k" + std::to_string(i) + " --opening " + Cents(cents));
  }
  Verified("accounts");
  for (int v = 0; v < 200; ++v) {
    const int debit = accounts[rng() % accounts.size()];
    int credit = accounts[rng() % accounts.size()];
    if (credit == debit) credit = accounts[(std::find(accounts.begin(), accounts.end(), debit) - accounts.begin() + 1) % accounts.size()];
    const long a = static_cast<long>(rng() % 100000) + 1, b = static_cast<long>(rng() % 100000) + 1;
    // Two debit rows, one credit row that balances them.
    Ok("ver add --text v" + std::to_string(v) + " --date 2026-06-01 " + std::to_string(debit) + ":+:" + Cents(a) +
       " " + std::to_string(debit) + ":+:" + Cents(b) + " " + std::to_string(credit) + ":-:" + Cents(a + b));
    closing[debit] += a + b;
    closing[credit] -= a + b;
  }
  // An unbalanced one is refused and leaves nothing behind.
  EXPECT_EQ(Run("ver add --text fel 1000:+:1.00 1400:-:0.99").status, 1);
  Verified("verifications");
  for (int number : accounts) EXPECT_EQ(Closing(number), Cents(closing[number])) << number;

  fs::create_directories(root_ + "/kopia");
  Ok("backup '" + root_ + "/kopia'");
  Verified("backup");
  Ok("rebuild");
  Verified("rebuild");
  for (int number : accounts) EXPECT_EQ(Closing(number), Cents(closing[number])) << number;
  EXPECT_NE(Run("list").out.find("   200  vald"), std::string::npos) << Run("list").out;

  const ProgramRun reset = Run("reset --yes");
  ASSERT_EQ(reset.status, 0) << reset.out;
  EXPECT_NE(reset.out.find("bokslut/Året 2026-01-01--2026-12-31"), std::string::npos) << reset.out;
  Verified("year-end");  // the month sums of the year gone stay on file
  Ok("change 1 --from 2027-01-01 --to 2027-12-31");
  Verified("next period");

  // The year that ended is kept whole and can be opened as a data directory of its own.
  const std::string archive = "data/bokslut/Året 2026-01-01--2026-12-31";
  const ProgramRun old = Run("verify", archive);
  EXPECT_EQ(old.status, 0) << old.out;
  const ProgramRun oldList = Run("ver list", archive);
  EXPECT_NE(oldList.out.find("v199"), std::string::npos) << oldList.out;
  for (int number : accounts) {
    const long carried = number >= 2900 ? 0 : closing[number];
    EXPECT_EQ(Closing(number), Cents(carried)) << number;
  }
  // Postings filed under today's month, whichever period holds it, and other sum groups
  // for the books made so far.
  Ok("ver add --text ny 1000:+:10.00 8610:-:10.00");
  Ok("change 1 --group 1=1000..1499 --group 8=1500..8999");
  Ok("rebuild");
  Verified("other sum groups");
  Ok("change 1 --from 2020-01-01 --to 2020-12-31");
  Ok("ver add --text gammal 1410:+:2.50 1000:-:2.50");
  Verified("a period that does not hold today");
  const ProgramRun list = Run("ver list");
  EXPECT_EQ(list.out.find("v0"), std::string::npos);
}

}  // namespace
