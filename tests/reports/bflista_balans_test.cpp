// The balance sheet on the text device, line for line.
#include "reports/bflista_balans.h"

#include "ReportBooks.h"

namespace reports {
namespace {

class Balans : public ReportBooks {};

TEST_F(Balans, SectionsOfAssetsDebtsAndEquityWithTheComputedEquity) {
  const auto line = [](const char* number, const std::string& name, const char* opening, const char* change,
                       const char* closing) {
    return At({{1, number}, {8, name}, {38, opening}, {50, change}, {62, closing}});
  };
  const auto sum = [&line](const std::string& label, const char* opening, const char* change, const char* closing) {
    return line("", label, opening, change, closing);
  };
  const char* zero = "      0.00";
  std::vector<std::string> expected = Head("Balansrapport");
  for (const std::string& l : std::vector<std::string>{
           // Column 1 holds the account numbers, headed as in the other reports.
           At({{1, "Konto"}, {8, "Namn.."}, {38, "inSaldo..."}, {50, "Saldo....."}, {62, "utSaldo..."}}),
           A(" Tillgångar 1. .."),
           line("1220", "Kassa", zero, zero, zero),
           sum(A("Summa omsättning 1.:"), zero, zero, zero),
           "",
           A(" Tillgångar 2. .."),
           line("1510", "Kund", zero, zero, zero),
           sum(A("Summa omsättning 2.:"), zero, zero, zero),
           "",
           // 1700 lies in no section.
           A(" Anläggningstillgångar.."),
           // The net change |250.50| - |500.00| is negative.
           line("1930", "Bank", "   1000.00", "-   249.50", "    750.50"),
           sum(A("Summa anläggningar:"), "   1000.00", "-   249.50", "    750.50"),
           "",
           "",
           sum(A("Summa tillgångar:"), "   1000.00", "-   249.50", "    750.50"),
           "",
           " Skulder..",
           line("2440", "Skuld", zero, "-   500.00", "-   500.00"),
           sum("Summa skulder:", zero, "-   500.00", "-   500.00"),
           "",
           " Eget kapital..",
           line("2910", "Kapital", zero, zero, zero),
           sum("Summa eget kapital:", zero, zero, zero),
           "",
           "",
           // The negated sum of all five sections, and of the assets.
           sum(A("Beräknat eget kapital:"), "-  1000.00", "    749.50", "-   250.50"),
           "",
           "",
           sum("Summa skulder kapital:", "-  1000.00", "    249.50", "-   750.50"),
       })
    expected.push_back(l);
  ExpectPage(Page("balans", AllAccounts()), 0, expected);
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Count), "   65[   65]");
}

}  // namespace
}  // namespace reports
