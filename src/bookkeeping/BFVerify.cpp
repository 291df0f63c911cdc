#include "bookkeeping/BFVerify.h"

#include <cmath>
#include <map>
#include <set>

#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFMisc_amount.h"
#include "bookkeeping/BFMisc_entry.h"
#include "bookkeeping/BFdefs_groups.h"
#include "common/Ansi.h"
#include "storage/BTFileIO.h"
#include "storage/FileCheck.h"

namespace bf {

namespace {

constexpr double kCent = 0.005;

bool Differs(double a, double b) { return std::fabs(a - b) >= kCent; }

std::string Money(double v) { return AmountText(v, 0); }

// Sums are added up in whole öre, so that no number of rows can make them drift: a double
// holds every whole number of öre up to 2^53 exactly.
double Ore(double v) { return std::round(v * 100); }
double Kronor(double ore) { return ore / 100; }

bool IsMonth(const std::string& m) {
  const auto digit = [&](size_t i) { return m[i] >= '0' && m[i] <= '9'; };
  if (m.size() != 7 || m[4] != '-') return false;
  for (const size_t i : {0, 1, 2, 3, 5, 6})
    if (!digit(i)) return false;
  const int month = (m[5] - '0') * 10 + (m[6] - '0');
  return month >= 1 && month <= 12;
}

struct AccountSums {
  double debit = 0, credit = 0;  // öre
};

}  // namespace

std::vector<std::string> VerifyBookkeeping(BfShared& s, const std::string& dataDir) {
  std::vector<std::string> findings;
  const BfDataBasRecord& d = s.dataBas;
  const auto unread = [&](const std::string& file) { findings.push_back(file + A(" kunde inte läsas till slut")); };
  // A log left behind means rows of an unsaved verification may still be in the accounts.
  const std::string log = RowLog::FileName(s.current, dataDir);
  if (s.current != 0 && !s.rowLog.InProgress() && isam::FileExists(log))
    findings.push_back(log + A(": en verifikation som aldrig sparades väntar på att tas tillbaka (öppna bokföringen med skrivrätt)"));

  // Rows of the saved verifications, per account.
  std::map<int, AccountSums> rows;
  std::set<int16_t> numbers;
  int32_t verifications = 0;
  std::vector<std::pair<int, int16_t>> rowAccounts;  // (account, verification number)
  const bool versRead = ForEachVerification(s, [&](const VerRecord& v, int32_t) {
    ++verifications;
    const std::string which = "verifikation " + std::to_string(v.number);
    if (!numbers.insert(v.number).second) findings.push_back(which + ": numret finns redan");
    if (v.number > d.lastVerNr)
      findings.push_back(which + A(": numret är över senaste numret ") + std::to_string(d.lastVerNr));
    double balance = 0;  // öre
    for (int r = 1; r <= v.RowCount(); ++r) {
      const auto i = static_cast<size_t>(r);
      const double amount = Ore(v.amounts[i].Value());
      const char side = v.sides[i];
      if (IsCreditSide(side)) {
        rows[v.accounts[i]].credit += amount;
        balance -= amount;
      } else if (IsDebitSide(side)) {
        rows[v.accounts[i]].debit += amount;
        balance += amount;
      } else {
        findings.push_back(which + ": rad " + std::to_string(r) + A(" är varken debet eller kredit"));
      }
      rowAccounts.emplace_back(v.accounts[i], v.number);
    }
    if (!IsBalanced(v) || balance != 0)
      findings.push_back(which + ": balanserar inte (" + Money(Kronor(balance)) + ")");
    return true;
  });
  if (!versRead) unread(BfFileName(kVerFile, s.current));
  if (verifications > d.lastVerNr)
    findings.push_back(std::to_string(verifications) + A(" verifikationer men senaste numret är ") +
                       std::to_string(d.lastVerNr));

  // Accounts and the list totals they add up to.
  double grand = 0, total1020 = 0;  // öre
  std::array<double, kGroupCount> groups{}, openings{};
  std::set<int> accounts;
  int32_t accountCount = 0;
  const bool accountsRead = ForEachAccount(s, [&](const KontoRecord& k, int32_t) {
    ++accountCount;
    const std::string which = "konto " + k.number;
    const double opening = k.opening.Value(), debit = k.debit.Value(), credit = k.credit.Value();
    const double expected = opening + std::fabs(debit) - std::fabs(credit);
    if (Differs(k.closing.Value(), expected))
      findings.push_back(which + A(": utgående saldo ") + Money(k.closing.Value()) + A(", men ingående + debet - kredit är ") +
                         Money(expected));
    if (const std::optional<int> number = RowAccount(k.number)) {
      accounts.insert(*number);
      const AccountSums& r = rows[*number];
      if (Differs(debit, Kronor(r.debit)) || Differs(credit, Kronor(r.credit)))
        findings.push_back(which + ": debet " + Money(debit) + " och kredit " + Money(credit) +
                           ", men verifikationernas rader ger " + Money(Kronor(r.debit)) + " och " +
                           Money(Kronor(r.credit)));
    }
    const int g = GroupOfAccount(d, k.number);
    const double posted = Ore(debit) - Ore(credit);
    grand += Ore(opening) + posted;
    openings[static_cast<size_t>(g)] += Ore(opening);
    groups[static_cast<size_t>(g)] += posted;
    if (k.number == "1020") total1020 += Ore(opening) + posted;
    return true;
  });
  if (!accountsRead) unread(BfFileName(kKontoFile, s.current));
  else if (accountCount != isam::UsedRecs(s.kontoFile))
    findings.push_back(std::to_string(isam::UsedRecs(s.kontoFile)) + A(" konton i kontofilen, men ") +
                       std::to_string(accountCount) + A(" i dess nyckel"));
  for (const auto& [account, number] : rowAccounts)
    if (!accounts.count(account))
      findings.push_back("verifikation " + std::to_string(number) + ": kontot " + KontoKey(account) + " finns inte");
  if (Differs(d.grandTotal, Kronor(grand)))
    findings.push_back("totalsumman " + Money(d.grandTotal) + ", men kontona ger " + Money(Kronor(grand)));
  if (Differs(d.total1020, Kronor(total1020)))
    findings.push_back(A("summan för 1020 ") + Money(d.total1020) + ", men kontot ger " + Money(Kronor(total1020)));
  for (int g = 0; g < kGroupCount; ++g) {
    const auto i = static_cast<size_t>(g);
    if (Differs(d.groupTotals[i], Kronor(groups[i])))
      findings.push_back("grupp " + std::to_string(g) + ": summan " + Money(d.groupTotals[i]) + ", men kontona ger " +
                         Money(Kronor(groups[i])));
    if (Differs(d.groupOpeningTotals[i], Kronor(openings[i])))
      findings.push_back("grupp " + std::to_string(g) + A(": ingående summa ") + Money(d.groupOpeningTotals[i]) +
                         ", men kontona ger " + Money(Kronor(openings[i])));
  }

  // Month sums are filed under the month of the posting, in the sum groups of that day, and
  // stay across a year-end, so no total of the list record is theirs to match. What holds of
  // every month record is checked: it is one month, filed once, and its debit sums gather
  // what was posted above zero, its credit sums what was posted below.
  std::set<std::string> months;
  const bool monthsRead = ForEachMonth(s, [&](const SumsRecord& m, int32_t) {
    const std::string which = A("månadssummor ") + m.month;
    if (!IsMonth(m.month)) findings.push_back(which + A(": ingen månad (åååå-mm)"));
    if (!months.insert(m.month).second) findings.push_back(which + A(": månaden finns redan"));
    for (int g = 0; g < kGroupCount; ++g) {
      const double debit = m.debitSums[static_cast<size_t>(g)].Value();
      const double credit = m.creditSums[static_cast<size_t>(g)].Value();
      if (debit < 0)
        findings.push_back(which + ": grupp " + std::to_string(g) + " har debetsumman " + Money(debit) +
                           ", under noll");
      if (credit > 0)
        findings.push_back(which + ": grupp " + std::to_string(g) + A(" har kreditsumman ") + Money(credit) +
                           A(", över noll"));
    }
    return true;
  });
  if (!monthsRead) unread(BfFileName(kSumsFile, s.current));

  for (const BfFile file : {kKontoFile, kVerFile, kSumsFile}) {
    const std::string name = BfFileName(file, s.current, dataDir);
    const isam::FileBlockCheck check(name);
    for (const std::string& f : check.findings()) findings.push_back(name + ": " + f);
  }

  return findings;
}

}  // namespace bf
