// bfnolk show: the ledger of an account and the journal of a verification of a bookkeeping
// made with bfnolk, as the table window builds them, in each format.
#include <gtest/gtest.h>

#include <string>

#include "BfnolkFolder.h"

namespace {

class BfnolkShow : public BfnolkFolder {
 protected:
  void SetUp() override {
    BfnolkFolder::SetUp();
    for (const char* command :
         {"init", "new --name 'Föreningen Gläntan' --from 2026-01-01 --to 2026-12-31",
          "account add 1930 --name Bank --sign + --opening 1000.00 --budget 5000.00",
          "account add 3010 --name Avgift --sign -", "account add 5010 --name Hyra --sign +",
          "ver add --date 2026-01-05 --text 'Avgift & <extra>' 1930:+:100.00 3010:-:100.00",
          "ver add --date 2026-02-01 --text Hyra 1930:-:40.00 5010:+:40.00",
          "ver add --date 2026-02-03 --text Delad 5010:+:30.00 3010:-:10.00 1930:-:20.00"})
      Ok(kNow + command);
  }
  static inline const std::string kNow = "--now '2026-03-15 10:00:00' ";
  static inline const std::string kBom = "\xEF\xBB\xBF";
};

TEST_F(BfnolkShow, TheLedgerListsTheNewestVerificationFirstAndEndsInTheAccountsFigures) {
  const ProgramRun run = Run("show ledger 1930 --format csv");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, kBom +
                         "ver;datum;text;debet;kredit;\r\n"
                         "3;2026-02-03;Delad;;20,00;\r\n"
                         "2;2026-02-01;Hyra;;40,00;\r\n"
                         "1;2026-01-05;Avgift & <extra>;100,00;;\r\n"
                         ";;;;;\r\n"
                         ";;Ingående balans:;1000,00;;\r\n"
                         ";;Omslutning:;100,00;60,00;\r\n"
                         ";;Utgående balans:;1040,00;;\r\n"
                         ";;Budget:;5000,00;;\r\n"
                         ";;;;;\r\n");
}

TEST_F(BfnolkShow, TheJournalNamesTheAccountsAndSumsTheSides) {
  const ProgramRun run = Run("show journal 3");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out,
            "BFNOLKW64: grundbok: Föreningen Gläntan: verifikation   3 2026-02-03 Delad\n"
            "\n"
            "  rad      konto      text        debet           kredit\n"
            "    1      5010       Hyra             30.00\n"
            "    2      3010       Avgift                           10.00\n"
            "    3      1930       Bank                             20.00\n"
            "                                       30.00           30.00\n"
            "\n");
}

TEST_F(BfnolkShow, TheLedgerAsTextHasItsCaption) {
  const ProgramRun run = Run("show ledger 3010");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "BFNOLKW64: huvudbok: Föreningen Gläntan: 3010 Avgift");
  // A credit row has its amount under "kredit".
  EXPECT_NE(run.out.find("    3      2026-02-03      Delad                                      10.00\n"),
            std::string::npos)
      << run.out;
}

TEST_F(BfnolkShow, EveryFileFormatIsReadByAToolThatDidNotWriteIt) {
  Ok("show ledger 1930 --to '" + root_ + "/bok.html'");
  EXPECT_EQ(RunProgram("xmllint --html --noout '" + root_ + "/bok.html'").status, 0);
  EXPECT_NE(Bytes(root_ + "/bok.html").find("Avgift &amp; &lt;extra&gt;"), std::string::npos);

  Ok("show ledger 1930 --to '" + root_ + "/bok.xml'");
  const ProgramRun html = RunProgram("cd '" + root_ + "' && xsltproc bok.xsl bok.xml");
  ASSERT_EQ(html.status, 0) << html.out;
  EXPECT_NE(html.out.find("Ingående balans:"), std::string::npos) << html.out;

  Ok("show journal 1 --to '" + root_ + "/ver.pdf'");
  EXPECT_EQ(RunProgram("qpdf --check '" + root_ + "/ver.pdf'").status, 0);
  const ProgramRun text = RunProgram("pdftotext -layout '" + root_ + "/ver.pdf' -");
  EXPECT_NE(text.out.find("Bank"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("100.00"), std::string::npos) << text.out;

  Ok("show ledger 1930 --format jpg --to '" + root_ + "/bok.bild'");
  const std::string jpeg = Bytes(root_ + "/bok.bild");
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
}

TEST_F(BfnolkShow, AFileNamedWithoutItsFolderIsTheCallersAndThePdfHasTheSettingsPicture) {
  const ProgramRun run = RunProgram("cd '" + root_ + "' && " + Command("show ledger 1930 --to bok.pdf") + " </dev/null");
  ASSERT_EQ(run.status, 0) << run.out;
  ASSERT_FALSE(Bytes(root_ + "/bok.pdf").empty());
  // The report setting has picture 0 active without a file: the program's own is drawn.
  const ProgramRun images = RunProgram("pdfimages -list '" + root_ + "/bok.pdf'");
  EXPECT_NE(images.out.find("160   120  rgb"), std::string::npos) << images.out;
}

TEST_F(BfnolkShow, RefusesWhatItCannotShow) {
  EXPECT_EQ(Run("show ledger 2000").status, 1);
  EXPECT_NE(Run("show ledger 2000").out.find("konto 2000 finns inte"), std::string::npos);
  EXPECT_EQ(Run("show journal 9").status, 1);
  EXPECT_EQ(Run("show ledger 19").status, 1);
  EXPECT_EQ(Run("show ledger 1930 --format pdf").status, 2);  // a PDF needs a file
  EXPECT_EQ(Run("show ledger 1930 --format doc").status, 2);
  EXPECT_EQ(Run("show kontoplan 1930").status, 2);
  EXPECT_EQ(Run("show ledger 1930 --to '" + root_ + "/saknas/bok.pdf'").status, 1);

  Ok("new --name Tom --from 2026-01-01 --to 2026-12-31");
  Ok("account add 1930 --name Bank");
  const ProgramRun empty = Run("show ledger 1930");
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.out.find("Ej tillräckliga data!"), std::string::npos) << empty.out;
}

}  // namespace
