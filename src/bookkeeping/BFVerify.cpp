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

struct AccountSums {
  double debit = 0, credit = 0;
};

// Walks every record of a file by number; calls each with the buffer filled.
template <typename Each>
void EveryRecord(BfShared& s, BfFile file, Each each) {
  const int32_t last = isam::FileLen(s.Handle(file)) - 1;
  for (int32_t n = 1; n <= last; ++n) {
    int32_t recNo = n;
    bool found = false, atEnd = false;
    BfAccess(s, file, 1, "", recNo, found, atEnd);
    if (found) each(n);
  }
}

}  // namespace

std::vector<std::string> VerifyBookkeeping(BfShared& s, const std::string& dataDir) {
  std::vector<std::string> findings;
  const KontoRecord keptKonto = s.konto;
  const VerRecord keptVer = s.ver;
  const SumsRecord keptSums = s.sums;
  const int32_t keptKontoRecNo = s.kontoRecNo, keptVerRecNo = s.verRecNo;
  const BfDataBasRecord& d = s.dataBas;

  // Rows of the saved verifications, per account.
  std::map<int, AccountSums> rows;
  std::set<int16_t> numbers;
  int32_t verifications = 0;
  std::vector<std::pair<int, int16_t>> rowAccounts;  // (account, verification number)
  EveryRecord(s, kVerFile, [&](int32_t) {
    const VerRecord& v = s.ver;
    ++verifications;
    const std::string which = "verifikation " + std::to_string(v.number);
    if (!numbers.insert(v.number).second) findings.push_back(which + ": numret finns redan");
    if (v.number > d.lastVerNr)
      findings.push_back(which + A(": numret är över senaste numret ") + std::to_string(d.lastVerNr));
    double balance = 0;
    for (int r = 1; r <= v.RowCount(); ++r) {
      const auto i = static_cast<size_t>(r);
      const double amount = v.amounts[i].Value();
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
    if (!IsBalanced(v) || Differs(balance, 0))
      findings.push_back(which + ": balanserar inte (" + Money(balance) + ")");
  });
  if (verifications > d.lastVerNr)
    findings.push_back(std::to_string(verifications) + A(" verifikationer men senaste numret är ") +
                       std::to_string(d.lastVerNr));

  // Accounts and the list totals they add up to.
  double grand = 0, total1020 = 0;
  std::array<double, kGroupCount> groups{}, openings{};
  std::set<int> accounts;
  EveryRecord(s, kKontoFile, [&](int32_t) {
    const KontoRecord& k = s.konto;
    const std::string which = "konto " + k.number;
    const double opening = k.opening.Value(), debit = k.debit.Value(), credit = k.credit.Value();
    const double expected = opening + std::fabs(debit) - std::fabs(credit);
    if (Differs(k.closing.Value(), expected))
      findings.push_back(which + A(": utgående saldo ") + Money(k.closing.Value()) + A(", men ingående + debet - kredit är ") +
                         Money(expected));
    int number = 0;
    bool digits = !k.number.empty();
    for (char c : k.number) {
      if (c < '0' || c > '9') digits = false;
      else number = number * 10 + (c - '0');
    }
    if (digits) {
      accounts.insert(number);
      const AccountSums& r = rows[number];
      if (Differs(debit, r.debit) || Differs(credit, r.credit))
        findings.push_back(which + ": debet " + Money(debit) + " och kredit " + Money(credit) +
                           ", men verifikationernas rader ger " + Money(r.debit) + " och " + Money(r.credit));
    }
    const int g = GroupOfAccount(d, k.number);
    grand += opening + debit - credit;
    openings[static_cast<size_t>(g)] += opening;
    groups[static_cast<size_t>(g)] += debit - credit;
    if (k.number == "1020") total1020 += opening + debit - credit;
  });
  for (const auto& [account, number] : rowAccounts)
    if (!accounts.count(account))
      findings.push_back("verifikation " + std::to_string(number) + ": kontot " + KontoKey(account) + " finns inte");
  if (Differs(d.grandTotal, grand))
    findings.push_back("totalsumman " + Money(d.grandTotal) + ", men kontona ger " + Money(grand));
  if (Differs(d.total1020, total1020))
    findings.push_back(A("summan för 1020 ") + Money(d.total1020) + ", men kontot ger " + Money(total1020));
  for (int g = 0; g < kGroupCount; ++g) {
    const auto i = static_cast<size_t>(g);
    if (Differs(d.groupTotals[i], groups[i]))
      findings.push_back("grupp " + std::to_string(g) + ": summan " + Money(d.groupTotals[i]) + ", men kontona ger " +
                         Money(groups[i]));
    if (Differs(d.groupOpeningTotals[i], openings[i]))
      findings.push_back("grupp " + std::to_string(g) + A(": ingående summa ") + Money(d.groupOpeningTotals[i]) +
                         ", men kontona ger " + Money(openings[i]));
  }

  // Month sums of the period, with what is still pending, against the group totals.
  if (d.fromDate.size() >= 7 && d.toDate.size() >= 7) {
    std::array<double, kGroupCount> months{};
    for (int g = 0; g < kGroupCount; ++g)
      months[static_cast<size_t>(g)] = s.pendingSums.debitSums[static_cast<size_t>(g)].Value() +
                                       s.pendingSums.creditSums[static_cast<size_t>(g)].Value();
    EveryRecord(s, kSumsFile, [&](int32_t) {
      if (s.sums.month < d.fromDate.substr(0, 7) || s.sums.month > d.toDate.substr(0, 7)) return;
      for (int g = 0; g < kGroupCount; ++g)
        months[static_cast<size_t>(g)] +=
            s.sums.debitSums[static_cast<size_t>(g)].Value() + s.sums.creditSums[static_cast<size_t>(g)].Value();
    });
    for (int g = 0; g < kGroupCount; ++g)
      if (Differs(months[static_cast<size_t>(g)], d.groupTotals[static_cast<size_t>(g)]))
        findings.push_back("grupp " + std::to_string(g) + A(": månadssummorna ger ") + Money(months[static_cast<size_t>(g)]) +
                           A(", men gruppsumman är ") + Money(d.groupTotals[static_cast<size_t>(g)]));
  }

  for (const BfFile file : {kKontoFile, kVerFile, kSumsFile}) {
    const std::string name = BfFileName(file, s.current, dataDir);
    const isam::FileBlockCheck check(name);
    for (const std::string& f : check.findings()) findings.push_back(name + ": " + f);
  }

  s.konto = keptKonto;
  s.ver = keptVer;
  s.sums = keptSums;
  s.kontoRecNo = keptKontoRecNo;
  s.verRecNo = keptVerRecNo;
  return findings;
}

}  // namespace bf
