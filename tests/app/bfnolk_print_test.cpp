// bfnolk print on the text device: the sum-group report of a small bookkeeping, on a clock
// set by --now, compared line by line with the page as it must look.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BfnolkFolder.h"

namespace {

class BfnolkPrint : public BfnolkFolder {
 protected:
  void SetUp() override {
    BfnolkFolder::SetUp();
    for (const char* command :
         {"init", "new --name Föreningen --from 2026-01-01 --to 2026-12-31 --group 1=1000..1999 --group 3=3000..3999",
          "account add 1930 --name Bank --opening 1000.00", "account add 3010 --name Avgift",
          "ver add --text avgift 1930:+:250.50 3010:-:250.50"})
      Ok(kNow + command);
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  static inline const std::string kNow = "--now '2026-03-15 10:00:00' ";
};

TEST_F(BfnolkPrint, TheSumGroupReportIsOnePageAtItsColumns) {
  std::vector<std::string> page = {
      "Summagrupper",
      " 01 Föreningen                  2026-01-01 2026-12-31    1000.00      0.00   1",
      "     250.50       0.00 -   250.50       0.00       0.00       0.00       0.00",
      "    1250.50       0.00 -   250.50       0.00       0.00       0.00       0.00",
      std::string(96, '-'),
      " Grupp. Range= XXXX..YYYY. Single= ,ZZZZ                             Summa.....",
      " # 0 Övriga                                                                0.00",
  };
  // The group lines: "#" and the group at column 1, its definition at 5, its sum at 69.
  const auto group = [](int g, const std::string& definition, const std::string& sum) {
    std::string line = " # " + std::to_string(g) + " " + definition;
    return line + std::string(69 - line.size(), ' ') + sum;
  };
  page.push_back(group(1, "1000..1999", "   1250.50"));
  page.push_back(group(2, "2000..2999", "      0.00"));
  page.push_back(group(3, "3000..3999", "-   250.50"));
  for (int g = 4; g <= 8; ++g)
    page.push_back(group(g, std::to_string(g) + "000.." + std::to_string(g) + "999", "      0.00"));
  page.resize(61);  // the rest of the page is empty down to the footer
  page.push_back(" " + std::string(95, '-'));
  page.push_back("");  // no title, not continued
  page.push_back(std::string(28, ' ') + "## bokföringsnolk ## 2026-03-15 10:00:00");

  const ProgramRun run = Run(kNow + "print summagrupper");
  ASSERT_EQ(run.status, 0) << run.out;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), page.size()) << run.out;
  for (size_t i = 0; i < page.size(); ++i) EXPECT_EQ(lines[i], page[i]) << "line " << i;

  // A file gets the same page, named from where the command was given.
  ASSERT_EQ(RunProgram("cd '" + root_ + "' && " + Command(kNow + "print summagrupper --to summor.txt")).status, 0);
  EXPECT_EQ(Bytes(root_ + "/summor.txt"), run.out);
  EXPECT_EQ(Run("print bokslut").status, 2);
}

// The lines of a PDF as pdftotext lays them out, blanks left out: the page is set in the
// setting's proportional font, so only the order of the words is the text device's.
std::string PdfWords(const std::string& pdf) {
  const ProgramRun text = RunProgram("pdftotext -layout '" + pdf + "' -");
  EXPECT_EQ(text.status, 0) << text.out;
  std::string words = text.out;
  std::erase(words, ' ');
  return words;
}

TEST_F(BfnolkPrint, APdfFileOrAPrinterTheSystemListsPrintsTheSamePage) {
  // The PDF of --to, replacing a file that was there, with nothing left beside it.
  std::ofstream(root_ + "/summor.pdf") << "gammal";
  const ProgramRun pdf = RunProgram("cd '" + root_ + "' && " + Command(kNow + "print summagrupper --to summor.pdf"));
  ASSERT_EQ(pdf.status, 0) << pdf.out;
  EXPECT_EQ(pdf.out, root_ + "/summor.pdf\n");  // and no notes of Qt's
  EXPECT_EQ(RunProgram("qpdf --check '" + root_ + "/summor.pdf'").status, 0);
  EXPECT_FALSE(std::filesystem::exists(root_ + "/summor.pdf.part"));
  const std::string page = PdfWords(root_ + "/summor.pdf");
  EXPECT_EQ(page.rfind("Summagrupper\n", 0), 0u) << page;
  for (const char* expected : {"01Föreningen2026-01-012026-12-311000.000.001", "250.500.00-250.500.000.000.000.00",
                               "Grupp.Range=XXXX..YYYY.Single=,ZZZZSumma.....", "#0Övriga0.00", "#11000..19991250.50",
                               "#33000..3999-250.50", "#88000..89990.00", "##bokföringsnolk##2026-03-1510:00:00"})
    EXPECT_NE(page.find(std::string("\n") + expected + "\n"), std::string::npos) << expected << "\n" << page;

  // "PDF-fil" by name writes a file of its own in the exchange folder (here the data folder).
  const ProgramRun printer = Run(kNow + "print summagrupper --printer PDF-fil");
  ASSERT_EQ(printer.status, 0) << printer.out;
  const std::string made = root_ + "/data/BFNOLKW64_summagrupper 2026-03-15 10.00.00.pdf";
  EXPECT_EQ(printer.out, made + "\n");
  EXPECT_EQ(PdfWords(made), page);

  // A printer the system does not list, a file that cannot be made, both targets at once.
  const ProgramRun unknown = Run("print summagrupper --printer 'Ingen sådan'");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.out.find("skrivaren finns inte: Ingen sådan\nskrivare: \"PDF-fil\""), std::string::npos)
      << unknown.out;
  const ProgramRun unwritable = Run("print summagrupper --to '" + root_ + "/saknas/summor.pdf'");
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.out.find("Kan inte skriva " + root_ + "/saknas/summor.pdf"), std::string::npos)
      << unwritable.out;
  EXPECT_EQ(Run("print summagrupper --to x.pdf --printer PDF-fil").status, 2);
}

}  // namespace

namespace {

TEST_F(BfnolkPrint, ListsOfAccountsAndVerificationsChooseWhatIsPrinted) {
  Ok("account add 2440 --name Skuld");
  Ok(kNow + "ver add --text lån 1930:+:100.00 2440:-:100.00");
  const ProgramRun plan = Run(kNow + "print kontoplan --accounts 1000-1999,3010");
  ASSERT_EQ(plan.status, 0) << plan.out;
  EXPECT_NE(plan.out.find("\n 1930   Bank"), std::string::npos) << plan.out;
  EXPECT_NE(plan.out.find("\n 3010   Avgift"), std::string::npos);
  EXPECT_EQ(plan.out.find("\n 2440"), std::string::npos);

  const ProgramRun journal = Run(kNow + "print grundbok --vers 2");
  ASSERT_EQ(journal.status, 0) << journal.out;
  EXPECT_NE(journal.out.find("\n   2 2026-03-15  lån\n"), std::string::npos) << journal.out;
  EXPECT_EQ(journal.out.find("avgift"), std::string::npos);

  // Lists that are no lists, options a report does not take, formats there are not.
  for (const char* wrong : {"print kontoplan --accounts 2000-1000", "print kontoplan --accounts 1930,",
                            "print kontoplan --accounts 10000", "print kontoplan --accounts x",
                            "print kontoplan --vers 1", "print grundbok --accounts 1930",
                            "print summagrupper --accounts 1930", "print kontoplan --format xml",
                            "print kontoplan --format json --to k.pdf", "print kontoplan --format json --printer PDF-fil",
                            "print", "print kontoplan saldolista"}) {
    const ProgramRun run = Run(wrong);
    EXPECT_EQ(run.status, 2) << wrong << "\n" << run.out;
  }
  EXPECT_NE(Run("print kontoplan --accounts 2000-1000").out.find("--accounts 2000-1000: ange nummer och intervall"),
            std::string::npos);
}

TEST_F(BfnolkPrint, TheContentAsJson) {
  const ProgramRun json = Run(kNow + "print kontoplan --format json");
  ASSERT_EQ(json.status, 0) << json.out;
  EXPECT_EQ(json.out,
            "{\"rapport\":\"kontoplan\",\"titel\":\"Kontoplan\",\"bokforing\":{\"nummer\":\"01\",\"namn\":\"Föreningen\","
            "\"fom\":\"2026-01-01\",\"tom\":\"2026-12-31\"},\"konton\":["
            "{\"nummer\":\"1930\",\"namn\":\"Bank\",\"ingaende\":1000.00,\"budget\":0.00,\"tecken\":\" \"},"
            "{\"nummer\":\"3010\",\"namn\":\"Avgift\",\"ingaende\":0.00,\"budget\":0.00,\"tecken\":\" \"}],"
            "\"ingaende\":1000.00,\"budget\":0.00}\n");
  // Every report's content is JSON a reader takes, to standard output or a file.
  for (const char* report : {"huvudbok", "grundbok", "saldolista", "resultat", "balans", "summagrupper", "grafiskt"}) {
    const ProgramRun run = RunProgram(Command(kNow + "print " + report + " --format json --to '" + root_ + "/r.json'") +
                                      " && python3 -m json.tool '" + root_ + "/r.json' >/dev/null");
    EXPECT_EQ(run.status, 0) << report << "\n" << run.out;
  }
  const ProgramRun statement = Run(kNow + "print resultat --format json");
  EXPECT_NE(statement.out.find("\"divisor\":4,"), std::string::npos) << statement.out;  // March: 12 / 3
  EXPECT_NE(statement.out.find("{\"nummer\":\"1930\",\"namn\":\"Bank\",\"belopp\":1250.50,\"budget\":null,"
                               "\"procent\":null,\"avvikelse\":null}"),
            std::string::npos)
      << statement.out;
}

TEST_F(BfnolkPrint, TheLedgerAsPdfHoldsTheLinesOfTheTextDevice) {
  const ProgramRun text = Run(kNow + "print huvudbok");
  ASSERT_EQ(text.status, 0) << text.out;
  const ProgramRun pdf = RunProgram("cd '" + root_ + "' && " + Command(kNow + "print huvudbok --to bok.pdf"));
  ASSERT_EQ(pdf.status, 0) << pdf.out;
  EXPECT_EQ(RunProgram("qpdf --check '" + root_ + "/bok.pdf'").status, 0);
  // Word for word: the PDF's font is proportional, so blanks differ; rules are lines there.
  std::string words = PdfWords(root_ + "/bok.pdf");
  std::string expected = text.out;
  std::erase(expected, ' ');
  std::istringstream lines(expected);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line.find_first_not_of('-') == std::string::npos) continue;
    EXPECT_NE(words.find(line + "\n"), std::string::npos) << line << "\n" << words;
  }
}

TEST_F(BfnolkPrint, ABookkeepingWithoutVerificationsHasNoJournal) {
  Ok("new --name Tom --from 2026-01-01 --to 2026-12-31");
  Ok("select 2");
  Ok("account add 1930 --name Bank");
  const ProgramRun journal = Run("print grundbok");
  EXPECT_EQ(journal.status, 1);
  EXPECT_EQ(journal.out, "Ej tillräckliga data!\n");
  EXPECT_EQ(Run("print kontoplan").status, 0);
}

}  // namespace
