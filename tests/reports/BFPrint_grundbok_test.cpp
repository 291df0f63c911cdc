// The journal on the text device, line for line; a verification kept together on the next
// page, and its rows going on under "vernr: " where it is longer than a page.
#include "reports/BFPrint_grundbok.h"

#include "ReportBooks.h"

namespace reports {
namespace {

class Grundbok : public ReportBooks {
 protected:
  static Selection Verifications(std::vector<int32_t> recNos) { return {{}, std::move(recNos)}; }
};

TEST_F(Grundbok, EachVerificationWithItsRowsAndSumsThenTheTotals) {
  std::vector<std::string> expected = Head("Grundbok");
  for (const std::string& line : std::vector<std::string>{
           " Ver Rad Konto   Text                       Debet.....  Kredit....",
           "",
           "   1 2026-03-10  avgift",
           "       1 1930    Bank                           250.50",
           "       2 3010    Avgift                                     250.50",
           "                                                250.50      250.50",
           "",
           "   2 2026-04-10  hyra",
           "       1 5010    Hyra                           500.00",
           "       2 1930    Bank                                       500.00",
           "                                                500.00      500.00",
           "",
           A("   4 2026-05-20  okänd sida"),
           // Rows neither debit nor credit: the amount follows the name, in no sum.
           "       1 1930    Bank     75.00",
           A("       2 1700    Förutb     75.00"),
           // No account 4444: no name.
           "       3 4444                                    10.00",
           "                                                 10.00        0.00",
           "",
           "",
           "                                Omslutning:     760.50      750.50",
       })
    expected.push_back(line);
  ExpectPage(Page("grundbok", Verifications({1, 2, 4})), 0, expected);
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Status2), "VerNr:   4");
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Count), "    3[    3]");
}

TEST_F(Grundbok, ALongVerificationStartsOnANewPageAndGoesOnUnderItsNumber) {
  s().ver = bf::FreshVerRecord(5, "2026-05-30", ' ');
  s().ver.name = A("lång");
  for (int r = 0; r < 60; ++r) Row(r % 2 ? 3010 : 1930, r % 2 ? '-' : '+', 1);
  int32_t recNo = 0;
  ASSERT_TRUE(bf::PutVer(s(), true, recNo));
  const std::vector<std::string> page = Page("grundbok", Verifications({1, 2, 3, recNo}));
  // Centred on the page, trailing blanks trimmed as the text device does.
  const auto centred = [](const std::string& text) {
    const std::string line = std::string((96 - text.size()) / 2, ' ') + text;
    return line.substr(0, line.find_last_not_of(' ') + 1);
  };
  // Page 1 ends after verification 3: 42 rows and 3 more lines would not fit below it.
  EXPECT_EQ(page[21], "");
  EXPECT_EQ(page[22], "");
  EXPECT_EQ(page[62], centred("forts... "));
  EXPECT_EQ(page[64], "\f");
  // Page 2: the continuation heading, then the verification from its head.
  EXPECT_EQ(page[65], centred("forts..  sida:   2"));
  EXPECT_EQ(page[66], std::string(96, '-'));
  EXPECT_EQ(page[68], A("   5 2026-05-30  lång"));
  EXPECT_EQ(page[69], At({{7, "1"}, {9, "1930"}, {17, "Bank"}, {50, "1.00"}}));
  EXPECT_EQ(page[65 + 58], At({{6, "55"}, {9, "1930"}, {17, "Bank"}, {50, "1.00"}}));
  EXPECT_EQ(page[65 + 59], "");
  EXPECT_EQ(page[65 + 62], centred("\"vernr:   5\" forts... "));
  // Page 3: its rows go on under its number, then its sums and the report's.
  EXPECT_EQ(page[130], centred("forts.. \"vernr:   5\"  sida:   3"));
  EXPECT_EQ(page[133], At({{6, "56"}, {9, "3010"}, {17, "Avgift"}, {62, "1.00"}}));
  EXPECT_EQ(page[137], At({{6, "60"}, {9, "3010"}, {17, "Avgift"}, {62, "1.00"}}));
  EXPECT_EQ(page[138], At({{49, "30.00"}, {61, "30.00"}}));
  EXPECT_EQ(page[141], At({{32, "Omslutning:"}, {47, "1280.50"}, {59, "1280.50"}}));
}

}  // namespace
}  // namespace reports
