// bfnolk's account and bookkeeping commands run the account register's and the info form's
// rules: the same refusals with the same messages as the dialogs, and books that agree.
#include <gtest/gtest.h>

#include <string>

#include "BfnolkFolder.h"

namespace {

class BfnolkAccounts : public BfnolkFolder {
 protected:
  void SetUp() override {
    BfnolkFolder::SetUp();
    Ok("init");
    Ok("new --name Hemmet --from 2026-01-01 --to 2026-12-31");
  }
  // The run's status, and its output holds says.
  void Says(const std::string& args, int status, const std::string& says) {
    const ProgramRun run = Run(args);
    EXPECT_EQ(run.status, status) << args << "\n" << run.out;
    EXPECT_NE(run.out.find(says), std::string::npos) << args << "\n" << run.out;
  }
};

TEST_F(BfnolkAccounts, TheDialogsRulesRefuseWithTheDialogsMessages) {
  Ok("account add 1930 --name Bank --sign + --opening 100");
  Says("account add 0000 --name Noll", 1, "bfnolk: Kontobeteckningen kan inte vara \"0000\"");
  Says("account add 1930 --name Bank", 1, "bfnolk: Kontobeteckningen finns redan registrerad. \"1930\" Måste vara unik.");
  Says("account add 1940 --name Spar --sign x", 2,
       "bfnolk: --sign: endast plus (+), minus (-), ( ) mellanslag eller likamed (=) tillåtna!");
  Says("account add 1940 --name Spar --budget 10000000", 2,
       "bfnolk: --budget: endast numeriskt värde tillåtet mellan 0.00..9999999.99!");
  Says("account add 1940", 2, "bfnolk: --name: ange ett namn på kontot");
  Says("account change 1940 --name Spar", 1, "bfnolk: kontot 1940 finns inte");
  Ok("account add 2440 --name Skuld --sign = --opening -20.5");
  Ok("account change 2440 --sign ' '");
  EXPECT_NE(Run("account show 2440 --json").out.find(R"("tecken":" ","ingaende":-20.50)"), std::string::npos)
      << Run("account show 2440 --json").out;
  Verified("after the accounts");
}

TEST_F(BfnolkAccounts, TheOpeningBalanceOf1020MovesTheTotalsAndOnlyAZeroedAccountGoes) {
  Ok("account add 1020 --name Kassa --opening 100.00");
  Ok("account add 3010 --name Lön");
  Ok("account change 1020 --opening 150.00");
  EXPECT_NE(Run("account show 1020 --json").out.find(R"("ingaende":150.00,"debet":0.00,"kredit":0.00,"utgaende":150.00)"),
            std::string::npos);
  Verified("after the change");
  Says("account delete 1020", 1, "Konto \"1020\" ej nollställd! 0.00 0.00 150.00");
  EXPECT_EQ(Run("account show 1020").status, 0);
  Ok("account delete 3010");
  EXPECT_EQ(Run("account show 3010").status, 1);
  Verified("after the deletion");
}

TEST_F(BfnolkAccounts, AGroupChosenByListTakesAtMostThirteenAccounts) {
  std::string fourteen;
  for (int n = 1; n <= 14; ++n) {
    const std::string number = std::to_string(4000 + n * 10);
    Ok("account add " + number + " --name K");
    if (n <= 13) fourteen += (n > 1 ? "," : "") + number;
  }
  Ok("change 1 --group-accounts 4=" + fourteen);
  EXPECT_NE(Bytes(root_ + "/data/BfNolk.DAT").find("4010,4020,4030,4040,4050,4060,4070,4080,4090,4100,4110,4120,4130"),
            std::string::npos);
  Says("change 1 --group-accounts 4=" + fourteen + ",4140", 2,
       "bfnolk: --group-accounts 4: en summagrupp rymmer högst 13 konton ur kontolistan, här är de 14");
  Says("change 1 --group-accounts 4=4010,5000", 2, "bfnolk: --group-accounts 4: kontot 5000 finns inte");
  Says("change 1 --group-accounts 0=4010", 2, "bfnolk: --group-accounts väntar N=... med N 1..8");
  Says("new --name Ny --from 2026-01-01 --to 2026-12-31 --group-accounts 1=4010", 2, "en ny bokföring har inga konton");
  Says("change 1 --from 2026-06-01 --to 2026-05-31", 2, "bfnolk: --to: perioden slutar före sin början");
  Verified("after the groups");
}

}  // namespace
