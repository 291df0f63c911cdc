// bfnolk export and import of .bfr files: a plan carried from one bookkeeping to another
// with its closing balances, a faulty file refused whole, and the usage.
#include <gtest/gtest.h>

#include <string>

#include "BfnolkFolder.h"

namespace {

class BfnolkExchange : public BfnolkFolder {
 protected:
  void SetUp() override {
    BfnolkFolder::SetUp();
    for (const char* command :
         {"init", "new --name 'Föreningen Gläntan' --from 2026-01-01 --to 2026-12-31",
          "account add 1930 --name Bank --sign + --opening 1000.00",
          "account add 2440 --name Skulder --sign - --opening -1250.50",
          "ver add --date 2026-01-05 --text Avgift 1930:+:100.00 2440:-:100.00"})
      Ok(kNow + command);
  }
  static inline const std::string kNow = "--now '2026-03-15 10:00:00' ";
};

TEST_F(BfnolkExchange, APlanMovesToANewBookkeepingWithItsClosingBalances) {
  Ok(kNow + "export plan '" + root_ + "/plan.bfr'");
  EXPECT_EQ(Bytes(root_ + "/plan.bfr"),
            "; bfnolk\r\n"
            "; glimmerbodata, vimle drumvik, bfnolk 1.0\r\n"
            "; Export kontoplan: bfnolk\r\n"
            "; F\xF6reningen Gl\xE4ntan S\xF6ndag  2026-03-15 10:00:00\r\n"
            "1930,Bank,+,,1000.00,0.00,1100.00\r\n"
            "2440,Skulder,-,,-1250.50,0.00,-1350.50\r\n");
  Ok("export ver '" + root_ + "/ver.bfr'");
  EXPECT_NE(Bytes(root_ + "/ver.bfr").find("*ver,1,2026-01-05,Avgift,2\r\n*nr,  1,1930,+,100.00\r\n"),
            std::string::npos);
  Ok("new --name Nästa --from 2027-01-01 --to 2027-12-31");
  Ok("import plan '" + root_ + "/plan.bfr' --balance closing");
  const ProgramRun shown = Run("account show 2440 --json");
  EXPECT_NE(shown.out.find("\"ingaende\":-1350.50"), std::string::npos) << shown.out;
  Verified("after the import");
}

TEST_F(BfnolkExchange, AFaultyFileChangesNothing) {
  const std::string file = root_ + "/fel.bfr";
  std::FILE* f = std::fopen(file.c_str(), "wb");
  std::fputs("1930,Bank,+,,5.00,0,0\n19x0,Fel,+,,1,0,0\n", f);
  std::fclose(f);
  const ProgramRun run = Run("import plan '" + file + "' --balance opening");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("rad 2 (kontonummer)"), std::string::npos) << run.out;
  EXPECT_NE(Run("account show 1930 --json").out.find("\"ingaende\":1000.00"), std::string::npos);
  EXPECT_EQ(Run("import plan x.bfr").status, 2);
  EXPECT_EQ(Run("export kontot x").status, 2);
}

TEST_F(BfnolkExchange, SieGoesToANewBookkeepingAndBack) {
  Ok("export sie '" + root_ + "/bok.se'");
  EXPECT_NE(Bytes(root_ + "/bok.se").find("#TRANS 2440 {} -100.00\r\n"), std::string::npos);
  EXPECT_EQ(Run("import sie '" + root_ + "/bok.se'").status, 1);  // the open one has verifications
  Ok("import sie '" + root_ + "/bok.se' --new");
  const ProgramRun listed = Run("ver list");
  EXPECT_NE(listed.out.find("2026-01-05  Avgift"), std::string::npos) << listed.out;
  EXPECT_NE(Run("account show 2440 --json").out.find("\"utgaende\":-1350.50"), std::string::npos);
  Verified("after the SIE import");
  EXPECT_EQ(Run("export sie x --new").status, 2);
}

}  // namespace
