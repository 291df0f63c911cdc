// The account plan and the balance list on the text device, line for line.
#include "reports/bflista_kontoplan.h"

#include "ReportBooks.h"
#include "reports/bflista_saldolista.h"

namespace reports {
namespace {

class AccountLists : public ReportBooks {};

TEST_F(AccountLists, TheAccountPlanListsOpeningBudgetAndSignWithTheirSums) {
  std::vector<std::string> expected = Head("Kontoplan");
  expected.push_back(At({{1, "Konto"}, {8, "Namn.."}, {24, "IngBalans."}, {36, "Budget...."}, {48, "D/K"}}));
  expected.push_back("");
  const auto line = [](const char* number, const std::string& name, const char* opening, const char* budget,
                       const char* sign) {
    return At({{1, number}, {8, name}, {24, opening}, {36, budget}, {48, sign}});
  };
  const char* zero = "      0.00";
  expected.push_back(line("1220", "Kassa", zero, zero, ""));
  expected.push_back(line("1510", "Kund", zero, zero, ""));
  expected.push_back(line("1700", A("Förutb"), "     50.00", zero, ""));
  expected.push_back(line("1930", "Bank", "   1000.00", zero, "+"));
  expected.push_back(line("2440", "Skuld", zero, zero, ""));
  expected.push_back(line("2910", "Kapital", zero, zero, ""));
  expected.push_back(line("3010", "Avgift", zero, "   1200.00", "-"));
  expected.push_back(line("4010", "Varor", zero, zero, ""));
  expected.push_back(line("5010", "Hyra", zero, "   6000.00", ""));
  expected.push_back(line("6110", "Porto", zero, zero, ""));
  expected.push_back(line("7010", "Resor", zero, zero, ""));
  expected.push_back(line("8310", A("Ränta"), zero, "    100.00", ""));
  expected.push_back(line("9999", "Udda", zero, zero, ""));
  expected.push_back("");
  expected.push_back(At({{1, "      Summa:"}, {24, "   1050.00"}, {36, "   7300.00"}}));
  ExpectPage(Page("kontoplan", AllAccounts()), 0, expected);
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Count), "   13[   13]");
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Status2), "Konto: 9999");
}

TEST_F(AccountLists, TheBalanceListShowsTheTurnoversAndTheFourSums) {
  std::vector<std::string> expected = Head("Saldolista");
  expected.push_back(
      At({{1, "Konto"}, {8, "Namn.."}, {26, "IngSaldo.."}, {40, "Debet....."}, {54, "Kredit...."}, {68, "UtgSaldo.."}}));
  expected.push_back("");
  const auto line = [](const char* number, const std::string& name, const char* opening, const char* debit,
                       const char* credit, const char* closing) {
    return At({{1, number}, {8, name}, {26, opening}, {40, debit}, {54, credit}, {68, closing}});
  };
  const char* zero = "      0.00";
  expected.push_back(line("1930", "Bank", "   1000.00", "    250.50", "    500.00", "    750.50"));
  expected.push_back(line("2440", "Skuld", zero, zero, "    500.00", "-   500.00"));
  expected.push_back(line("5010", "Hyra", zero, "   1000.00", zero, "   1000.00"));
  expected.push_back("");
  expected.push_back(
      At({{1, "      Saldotaler:"}, {26, "   1000.00"}, {40, "   1250.50"}, {54, "   1000.00"}, {68, "   1250.50"}}));
  ExpectPage(Page("saldolista", Accounts({"1930", "2440", "5010"})), 0, expected);
}

}  // namespace
}  // namespace reports
