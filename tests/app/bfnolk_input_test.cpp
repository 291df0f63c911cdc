// What bfnolk refuses to store, run as a script would run it: input a field cannot hold,
// named with the field and its limit and exit status 2, and a new number for an account
// that has postings. Either way the files stay as they were, byte for byte.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "BfnolkFolder.h"

namespace fs = std::filesystem;

namespace {

class BfnolkInput : public BfnolkFolder {
 protected:
  void SetUp() override {
    BfnolkFolder::SetUp();
    Ok("init");
    Ok("new --name Hemmet --from 2026-01-01 --to 2026-12-31");
    Ok("account add 1930 --name Bank --opening 1000");
    Ok("account add 3010 --name Lön");
    Ok("ver add --text Lön --date 2026-03-01 1930:+:100.00 3010:-:100.00");
  }
  // Every file of the data directory with its bytes.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(root_ + "/data")) {
      std::ostringstream bytes;
      bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
      files[entry.path().filename().string()] = bytes.str();
    }
    return files;
  }
};

TEST_F(BfnolkInput, WhatAFieldCannotHoldIsRefusedWithItsLimitAndNothingIsWritten) {
  std::string rows;
  for (int r = 0; r < 101; ++r) rows += " 1930:+:0";
  const struct {
    std::string args;
    std::string says;
  } cases[] = {
      {"new --name 'Bostadsrättsföreningen Ekbacken' --from 2026-01-01 --to 2026-12-31",
       "--name: namn rymmer högst 26 tecken, texten har 31"},
      {"new --name 'Hus ☃' --from 2026-01-01 --to 2026-12-31", "--name: namn kan inte lagra tecknet U+2603"},
      {"new --name X --from 2026-01-01 --to 2026-12-31 --group 1=" + std::string(256, '1'),
       "--group 1: summagrupp rymmer högst 255 tecken, texten har 256"},
      {"new --name X --from 2026-02-30 --to 2026-12-31", "--from: 2026-02-30 är inget datum"},
      {"change 1 --name 'Hemmet och sommarstugan i Ed'", "--name: namn rymmer högst 26 tecken, texten har 28"},
      {"change 1 --group '0=Övriga → resten'", "--group 0: summagrupp kan inte lagra tecknet U+2192"},
      {"account add 1940 --name Sparkonto", "--name: kontonamn rymmer högst 8 tecken, texten har 9"},
      {"account add 1940 --name Spar --ref 'SE45 5000 0000 0583 9825 7466'",
       "--ref: referens rymmer högst 23 tecken, texten har 29"},
      {"account add 1940 --name 'Spar\xff'", "--name: kontonamn kan inte lagra texten: den är inte UTF-8"},
      {"account add 1940 --name Spar --budget -1", "--budget: endast numeriskt värde tillåtet mellan 0.00..9999999.99!"},
      {"account add 1940 --name Spar --budget 10000000", "--budget: endast numeriskt värde tillåtet mellan 0.00..9999999.99!"},
      {"account add 1940 --name Spar --opening 1.005",
       "--opening: ingående saldo: endast numeriskt värde tillåtet mellan -9999999.99..9999999.99!"},
      {"account change 1930 --name Bankkonto", "--name: kontonamn rymmer högst 8 tecken, texten har 9"},
      {"account change 1930 --name 'Bank ✓'", "--name: kontonamn kan inte lagra tecknet U+2713"},
      {"ver add --text 'Lön för mars, april och maj' 1930:+:1 3010:-:1",
       "--text: verifikatnamn rymmer högst 25 tecken, texten har 27"},
      {"ver add --text 'Kaffe → kontoret' 1930:+:1 3010:-:1", "--text: verifikatnamn kan inte lagra tecknet U+2192"},
      {"ver add --text Lön 1930:+:10000000 3010:-:10000000",
       "raden 1930:+:10000000: belopp: endast numeriskt värde tillåtet mellan 0.00..9999999.99!"},
      {"ver add --text Lön 1930:+:-5 3010:+:5", "raden 1930:+:-5: belopp: endast numeriskt"},
      {"ver add --text Noll" + rows, "ver add behöver 1..100 rader"},
  };
  const auto files = Files();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const ProgramRun run = Run(c.args);
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_NE(run.out.find("bfnolk: " + c.says), std::string::npos) << run.out;
    EXPECT_EQ(Files(), files);
  }
  // At the limits the text is taken whole: characters count, not bytes of UTF-8.
  Ok("account add 1940 --name Lönekont --ref 'SE45 5000 0000 0583 982'");
  EXPECT_NE(Run("account show 1940 --json").out.find(R"("namn":"Lönekont","referens":"SE45 5000 0000 0583 982")"),
            std::string::npos);
}

// The rows of the verifications keep the number they were posted on, so bfnolk verify would
// find them pointing at an account that is gone.
TEST_F(BfnolkInput, AnAccountWithPostingsKeepsItsNumber) {
  const auto files = Files();
  const ProgramRun renumber = Run("account change 1930 --number 1940");
  EXPECT_EQ(renumber.status, 1);
  EXPECT_NE(renumber.out.find("Konto \"1930\" har bokförda rader, numret kan inte ändras!"), std::string::npos)
      << renumber.out;
  EXPECT_EQ(Files(), files);
  const ProgramRun verify = Run("verify");
  EXPECT_EQ(verify.status, 0) << verify.out;
  EXPECT_EQ(Run("account show 1940").status, 1);

  // Nothing posted: the number may change, and the books still agree.
  Ok("account add 1950 --name Kassa --opening 50");
  Ok("account change 1950 --number 2950");
  EXPECT_EQ(Run("account show 1950").status, 1);
  EXPECT_NE(Run("account show 2950 --json").out.find(R"("nummer":"2950","namn":"Kassa")"), std::string::npos);
  const ProgramRun after = Run("verify");
  EXPECT_EQ(after.status, 0) << after.out;
}

}  // namespace
