// The income statement on the text device, line for line; the divisor of the budget; the
// sum lines' own percentage; a period that has ended; a cancel between sections.
#include "reports/bflista_resultat.h"

#include "ReportBooks.h"

namespace reports {
namespace {

class Resultat : public ReportBooks {
 protected:
  static std::string Line(const char* number, const std::string& name, const char* closing) {
    return At({{1, number}, {8, name}, {34, closing}});
  }
  static std::string Line(const char* number, const std::string& name, const char* closing, const char* budget,
                          const char* percent, const char* deviation) {
    return At({{1, number}, {8, name}, {34, closing}, {46, budget}, {58, std::string(" %") + percent}, {70, deviation}});
  }
  static std::string Sum(const std::string& label, const char* closing, const char* budget, const char* percent,
                         const char* deviation) {
    return Line("", label, closing, budget, percent, deviation);
  }
};

etider::DateTime Day(int year, int month) {
  etider::DateTime day;
  day.year = year;
  day.month = month;
  day.day = 15;
  return day;
}

TEST_F(Resultat, TheDivisorIsTheMonthsOfThePeriodOverTheMonthsGone) {
  EXPECT_EQ(BudgetDivisor("2026-01-01", "2026-12-31", Day(2026, 5)), 2);  // five months: half the budget
  EXPECT_EQ(BudgetDivisor("2026-01-01", "2026-12-31", Day(2026, 7)), 1);  // seven: the whole
  EXPECT_EQ(BudgetDivisor("2026-01-01", "2026-12-31", Day(2026, 1)), 12);
  EXPECT_EQ(BudgetDivisor("2026-01-01", "2026-03-31", Day(2026, 6)), 0);  // ended earlier this year
  EXPECT_EQ(BudgetDivisor("2026-01-01", "2026-03-31", Day(2027, 1)), 1);  // a later year
  EXPECT_EQ(BudgetDivisor("2025-07-01", "2026-06-30", Day(2025, 9)), 4);  // a broken year
  EXPECT_EQ(BudgetDivisor("2026-01-01", "2026-12-31", Day(2025, 12)), 0);  // not begun
  // Dates that are no dates, or a period ending before it begins, give no budget to date.
  EXPECT_EQ(BudgetDivisor("", "2026-12-31", Day(2026, 5)), 0);
  EXPECT_EQ(BudgetDivisor("2026-xx-01", "2026-12-31", Day(2026, 5)), 0);
  EXPECT_EQ(BudgetDivisor("2026-12-01", "2026-01-31", Day(2026, 1)), 0);
}

TEST_F(Resultat, SectionsSumsAndResultsWithTheDeviationFromTheBudgetToDate) {
  // June: six months of twelve gone, q = 2, half of each budget.
  std::vector<std::string> expected = Head("Resultatlista");
  const char* zero = "      0.00";
  const char* zeroPercent = "    0.00";
  for (const std::string& line : std::vector<std::string>{
           At({{1, "Konto"}, {8, "Namn.."}, {34, "Belopp...."}, {46, "Budget...."}, {58, "Avvik%...."},
               {70, "AvvikKr..."}}),
           "",
           A(" Tillgångar .."),
           Line("1220", "Kassa", zero),
           Line("1510", "Kund", zero),
           Line("1700", A("Förutb"), "     50.00"),
           Line("1930", "Bank", "    750.50"),
           Sum(A("Tillgångar :"), "    800.50", zero, zeroPercent, zero),
           "",
           " Skulder och eget kapital..",
           Line("2440", "Skuld", "-   500.00"),
           Sum("Skulder och kapital:", "-   500.00", zero, zeroPercent, zero),
           "",
           " Eget kapital ..",
           Line("2910", "Kapital", zero),
           Sum("Eget kapital :", zero, zero, zeroPercent, zero),
           "",
           Sum("Tillg/skulder", "    300.50", zero, zeroPercent, zero),
           "",
           A(" Intäkter .."),
           // 600.00 to date less a net -250.50 is 850.50 more than budgeted, 141.75 %.
           Line("3010", "Avgift", "-   250.50", "    600.00", "  141.75", "    850.50"),
           Sum(A("Intäkter :"), "-   250.50", "    600.00", "  141.75", "    850.50"),
           "",
           " Kostnader varor/matriel",
           Line("4010", "Varor", zero),
           Sum("Varor/Material:", zero, zero, zeroPercent, zero),
           "",
           " Kostnader personal..",
           Line("5010", "Hyra", "   1000.00", "   3000.00", "   66.67", "   2000.00"),
           Sum("Personal:", "   1000.00", "   3000.00", "   66.67", "   2000.00"),
           "",
           " Kostnader I",
           Line("6110", "Porto", zero),
           Sum("Kostnader I:", zero, zero, zeroPercent, zero),
           "",
           " Kostnader II",
           Line("7010", "Resor", zero),
           Sum("Kostnader II:", zero, zero, zeroPercent, zero),
           "",
           // Its own percentage: 2850.50 over 3600.00, not 141.75 + 66.67.
           Sum(A("Intäkter/kostnader"), "    749.50", "   3600.00", "   79.18", "   2850.50"),
           "",
           "",
           Sum(A("Resultat före:"), "   1050.00", "   3600.00", "   79.18", "   2850.50"),
           "",
           A(" Intäkter och kostnader utanför resultat .."),
           Line("8310", A("Ränta"), zero, "     50.00", "  100.00", "     50.00"),
           Sum(A("Intäkt/kostn"), zero, "     50.00", "  100.00", "     50.00"),
           "",
           "",
           // 9999 is in no section.
           Sum(A("Årets resultat:"), "   1050.00", "   3650.00", "   79.47", "   2900.50"),
       })
    expected.push_back(line);
  const std::vector<std::string> page = Page("resultat", AllAccounts());
  ExpectPage(page, 0, expected, false);
  EXPECT_EQ(page[expected.size()], "");
  // Every account counted once a section: 13 accounts in 9 sections.
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Count), "  117[  117]");
}

TEST_F(Resultat, AfterTheEndOfThePeriodTheAccountsShowNoDeviationAndTheSumsZero) {
  s().dataBas.toDate = "2026-03-31";  // ended before June
  const IncomeStatement statement = IncomeStatementOf(AllAccounts().accounts, s().dataBas, etider::Today());
  EXPECT_EQ(statement.divisor, 0);
  const std::vector<std::string> page = Page("resultat", AllAccounts());
  EXPECT_NE(std::find(page.begin(), page.end(), Line("3010", "Avgift", "-   250.50")), page.end());
  EXPECT_NE(std::find(page.begin(), page.end(),
                      Sum(A("Årets resultat:"), "   1050.00", "      0.00", "    0.00", "      0.00")),
            page.end());
}

TEST_F(Resultat, ACancelEndsTheSectionsAfterTheSumLinesOfTheOneInProgress) {
  // Each line written and each progress step lets events run: the title 1, the head 3, the
  // column heads and their empty line 2, section 1's title 1. Cancel is pressed at the step
  // of its first account.
  dialogs_.cancelAtEvent = 1 + 3 + 2 + 1 + 1;
  printing::TextDevice device;
  printing::PrintJob job(device, dialogs_);
  EXPECT_TRUE(PrintReport(job, s(), *FindReport("resultat"), AllAccounts(), Setting()));
  EXPECT_FALSE(job.IsOpen());
  EXPECT_EQ(dialogs_.closed, dialogs_.created);
  // The walk stopped after 1220's line (1 line), the section's sum line was written (2) and
  // no other section.
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Count), "    1[  117]");
  EXPECT_EQ(dialogs_.events, dialogs_.cancelAtEvent + 1 + 2);
}

}  // namespace
}  // namespace reports
