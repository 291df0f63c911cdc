// The general ledger on the text device, line for line as the page must look; its content
// made in one walk whatever the number of accounts; a cancelled job.
#include "reports/BFPrint_huvudbok.h"

#include "ReportBooks.h"

namespace reports {
namespace {

class Huvudbok : public ReportBooks {};

TEST_F(Huvudbok, EachAccountWithItsRowsAndFootThenTheTurnovers) {
  const std::vector<std::string> page = Page("huvudbok", Accounts({"1930", "1700", "1510"}));
  std::vector<std::string> expected = Head("Huvudbok");
  const std::string foot = A("  Ingående balans:");
  const std::string columns = "  Ver    Datum.....    Text                          Debet.....  Kredit....";
  for (const std::string& line : std::vector<std::string>{
           "",
           "  Konto: 1930   Bank",
           "",
           columns,
           "    1    2026-03-10    avgift                            250.50",
           "    2    2026-04-10    hyra                                          500.00",
           // A blank side is neither debit nor credit here: the amount follows the text.
           A("    4    2026-05-20    okänd sida     75.00"),
           "",
           foot + "                 1000.00",
           "  Omslutning:                                   250.50      500.00",
           A("  Utgående balans:                  750.50"),
           "  Budget:                             0.00",
           std::string(96, '-'),
           "",
           A("  Konto: 1700   Förutb"),
           "",
           columns,
           A("    4    2026-05-20    okänd sida     75.00"),
           "",
           foot + "                   50.00",
           "  Omslutning:                                     0.00        0.00",
           A("  Utgående balans:                   50.00"),
           "  Budget:                             0.00",
           std::string(96, '-'),
           "",
           // An account without rows still has its head and foot.
           "  Konto: 1510   Kund",
           "",
           columns,
           "",
           foot + "                    0.00",
           "  Omslutning:                                     0.00        0.00",
           A("  Utgående balans:                    0.00"),
           "  Budget:                             0.00",
           std::string(96, '-'),
           "",
           "",
           "  Omslutning: ******                            250.50      500.00",
       })
    expected.push_back(line);
  ExpectPage(page, 0, expected);
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Status1), "Huvudbok");
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Status2), "Konto: 1510");
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Count), "    3[    3]");
}

TEST_F(Huvudbok, OneWalkListsEveryAccountsRowsInRecordOrder) {
  const std::optional<Ledger> ledger = LedgerOf(s(), AllAccounts().accounts);
  ASSERT_TRUE(ledger);
  ASSERT_EQ(ledger->accounts.size(), 13u);
  // Verification 4 is kept once though two of its rows are listed.
  ASSERT_EQ(ledger->verifications.size(), 4u);
  EXPECT_EQ(ledger->verifications[3].text, A("okänd sida"));
  const auto rows = [&](size_t a) {
    std::vector<int> numbers;
    for (const LedgerRow& r : ledger->accounts[a].rows)
      numbers.push_back(ledger->verifications[static_cast<size_t>(r.verification)].number);
    return numbers;
  };
  EXPECT_EQ(ledger->accounts[3].account.number, "1930");
  EXPECT_EQ(rows(3), (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(rows(8), (std::vector<int>{2, 3}));  // 5010
  EXPECT_TRUE(rows(12).empty());                 // 9999
  EXPECT_DOUBLE_EQ(ledger->debit, 1250.50);
  EXPECT_DOUBLE_EQ(ledger->credit, 1250.50);
}

TEST_F(Huvudbok, ACancelEndsTheWalkWithTheFootsStillWrittenAndTheJobEnded) {
  // Each line written and each progress step lets events run: the title 1, the head 3 and
  // its empty line 1, then 1930's progress step 1 and head 3. Cancel is pressed as its first
  // row is written.
  dialogs_.cancelAtEvent = 1 + 3 + 1 + 1 + 3 + 1;
  printing::TextDevice device;
  printing::PrintJob job(device, dialogs_);
  EXPECT_TRUE(PrintReport(job, s(), *FindReport("huvudbok"), Accounts({"1930", "1700", "1510"}), Setting()));
  EXPECT_TRUE(job.Aborted());
  EXPECT_FALSE(job.IsOpen());
  EXPECT_EQ(dialogs_.closed, dialogs_.created);
  EXPECT_EQ(device.Output(), "");  // a cancelled job leaves nothing
  // 1930's other rows and the other accounts were never written; its foot (6 lines) and
  // the report's (2) were.
  EXPECT_EQ(dialogs_.Last(printing::ReportLine::Count), "    1[    3]");
  EXPECT_EQ(dialogs_.events, dialogs_.cancelAtEvent + 6 + 2);
}

}  // namespace
}  // namespace reports
