// A bookkeeping for the report tests, made through the logic as the dialogs make one: the
// association "Föreningen" of 2026 with an account in every kind of section, 9999, one in
// 1600..1799, budgets of 0 and not 0, three posted verifications and a fourth written as it
// may stand in an older file, with a blank side, one that is neither debit nor credit and an
// account that does not exist.
// Reports print on the text device on a clock set to 2026-06-15 10:00:00.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "../bookkeeping/BookkeepingFolder.h"
#include "bookkeeping/BFMisc_entry.h"
#include "common/Ansi.h"
#include "printing/ewrite32_textdevice.h"
#include "reports/BFPrint_report.h"
#include "shell/ETider.h"

namespace reports {

class ReportBooks : public bf::BookkeepingFolder {
 protected:
  void SetUp() override {
    BookkeepingFolder::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    s().dataBas.name = A("Föreningen");
    Account("1220", "Kassa", 0, 0);
    Account("1510", "Kund", 0, 0);
    Account("1700", A("Förutb"), 50, 0);
    Account("1930", "Bank", 1000, 0, '+');
    Account("2440", "Skuld", 0, 0);
    Account("2910", "Kapital", 0, 0);
    Account("3010", "Avgift", 0, 1200, '-');
    Account("4010", "Varor", 0, 0);
    Account("5010", "Hyra", 0, 6000);
    Account("6110", "Porto", 0, 0);
    Account("7010", "Resor", 0, 0);
    Account("8310", A("Ränta"), 0, 100);
    Account("9999", "Udda", 0, 0);
    Verification("avgift", "2026-03-10", {{1930, '+', 250.50}, {3010, '-', 250.50}});
    Verification("hyra", "2026-04-10", {{5010, '+', 500}, {1930, '-', 500}});
    Verification("hyra maj", "2026-05-10", {{5010, '+', 500}, {2440, '-', 500}});
    s().ver = bf::FreshVerRecord(4, "2026-05-20", ' ');
    s().ver.name = A("okänd sida");
    Row(1930, ' ', 75);
    Row(1700, 'x', 75);
    Row(4444, '+', 10);
    int32_t recNo = 0;
    ASSERT_TRUE(bf::PutVer(s(), true, recNo));
    s().dataBas.lastVerNr = 4;
  }

  struct Posting {
    int account;
    char side;
    double amount;
  };

  void Account(const std::string& number, const std::string& name, double opening, double budget, char sign = ' ') {
    bf::KontoRecord k;
    k.number = number;
    k.name = name;
    k.sign = sign;
    k.opening = *bf::Real6::FromDouble(opening);
    k.budget = *bf::Real6::FromDouble(budget);
    int32_t recNo = 0;
    ASSERT_TRUE(bf::SaveAccount(s(), true, recNo, k)) << number;
  }
  void Verification(const std::string& text, const std::string& date, const std::vector<Posting>& rows) {
    bf::PrepareFreshVerification(s());
    for (const Posting& p : rows) ASSERT_EQ(bf::AddVerificationRow(s(), p.account, p.side, p.amount), bf::RowResult::kPosted);
    ASSERT_EQ(bf::SaveVerification(s(), text, date), bf::SaveResult::kSaved);
  }
  // A row added to the verification buffer as it stands, unposted.
  void Row(int account, char side, double amount) {
    const auto r = static_cast<size_t>(++s().ver.accounts[0]);
    s().ver.accounts[r] = static_cast<int16_t>(account);
    s().ver.sides[r] = side;
    s().ver.amounts[r] = *bf::Real6::FromDouble(amount);
  }

  // The accounts with these numbers, in this order, as a pick list gives them.
  Selection Accounts(const std::vector<std::string>& numbers) {
    Selection selection;
    for (const std::string& n : numbers) {
      bf::KontoRecord k;
      int32_t recNo = 0;
      EXPECT_EQ(bf::FindAccount(s(), n, k, recNo), bf::Lookup::kFound) << n;
      selection.accounts.push_back(k);
    }
    return selection;
  }
  Selection AllAccounts() {
    Selection selection;
    bf::ForEachAccount(s(), [&](const bf::KontoRecord& k, int32_t) {
      selection.accounts.push_back(k);
      return true;
    });
    return selection;
  }

  static glodefs::TRapportEnv Setting() {
    printing::TPrinterEnv printer;
    printer.SetDefaultPageSetup(printing::kPaperA4, printing::kPortrait);
    glodefs::TKonfigRec konfig;
    glodefs::TRapportEnv setting;
    setting.FillDefaults(1, printer, konfig);
    setting.SetFooter("fot");
    return setting;
  }

  // The report printed on the text device, line by line.
  std::vector<std::string> Page(const char* word, const Selection& selection) {
    printing::TextDevice device;
    printing::PrintJob job(device, dialogs_);
    EXPECT_TRUE(PrintReport(job, s(), *FindReport(word), selection, Setting()));
    std::vector<std::string> lines;
    std::istringstream in(device.Output());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // A line of texts at their columns, trailing blanks trimmed as the text device does.
  static std::string At(std::initializer_list<std::pair<int, std::string>> texts) {
    std::string line;
    for (const auto& [column, text] : texts) {
      if (line.size() < static_cast<size_t>(column)) line.resize(static_cast<size_t>(column), ' ');
      line.replace(static_cast<size_t>(column), text.size(), text);
    }
    return line.substr(0, line.find_last_not_of(' ') + 1);
  }

  // Compares the lines of a page with those expected (Windows-1252), then the rest of the
  // page down to its footer "fot 2026-06-15 10:00:00".
  static void ExpectPage(const std::vector<std::string>& page, size_t from, const std::vector<std::string>& expected,
                         bool last = true) {
    ASSERT_GE(page.size(), from + expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
      EXPECT_EQ(page[from + i], expected[i]) << "line " << from + i;
    if (!last) return;
    ASSERT_EQ(page.size() % 65, 64u) << "pages of 64 lines and a form feed";
    for (size_t i = from + expected.size(); i + 3 < page.size(); ++i) EXPECT_EQ(page[i], "") << "line " << i;
    EXPECT_EQ(page[page.size() - 3], " " + std::string(95, '-'));
    EXPECT_EQ(page.back(), std::string(36, ' ') + "fot 2026-06-15 10:00:00");
  }

  // The title and the header block of the books.
  static std::vector<std::string> Head(const std::string& title) {
    return {title,
            A(" 01 Föreningen                  2026-01-01 2026-12-31    1050.00      0.00   4"),
            " -   249.50 -   500.00 -   250.50       0.00    1000.00       0.00       0.00",
            "     800.50 -   500.00 -   250.50       0.00    1000.00       0.00       0.00",
            std::string(96, '-')};
  }

  etider::SetClock clock_{2026, 6, 15, 10, 0, 0};
  etider::ScopedClock installedClock_{clock_};
  printing::RecordingReportDialogs dialogs_;
};

}  // namespace reports
