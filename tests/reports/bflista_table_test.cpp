// The table reports' captions and the rules that do not need books; the reports on real
// books are tested through bfnolk show (tests/app).
#include "reports/bflista_table.h"

#include <gtest/gtest.h>

#include "common/Ansi.h"
#include "shell/Eerror32.h"
#include "shell/GloDefs.h"

namespace reports {
namespace {

class Captions : public ::testing::Test {
 protected:
  void SetUp() override {
    list_.name = A("Föreningen Gläntan");
    account_.number = "1930";
    account_.name = "Bank";
    ver_.number = 7;
    ver_.date = "2026-03-01";
    ver_.name = "Hyra mars";
  }
  void TearDown() override { glodefs::ProgName = "BFNOLKW64"; }

  bf::BfDataBasRecord list_;
  bf::KontoRecord account_;
  bf::VerRecord ver_;
};

TEST_F(Captions, AreBuiltFromTheirPieces) {
  EXPECT_EQ(LedgerCaption(list_, account_), A("BFNOLKW64: huvudbok: Föreningen Gläntan: 1930 Bank"));
  EXPECT_EQ(JournalCaption(list_, ver_),
            A("BFNOLKW64: grundbok: Föreningen Gläntan: verifikation   7 2026-03-01 Hyra mars"));
}

TEST_F(Captions, EachPieceIsCutWhereTheCaptionWouldGrowPastItsStep) {
  glodefs::ProgName = "PROGRAMMET";  // ten characters: "PROGRAMMET: " fills the first step
  list_.name = std::string(40, 'F');
  account_.number = "123456";
  account_.name = std::string(20, 'N');
  // 12, 22, 48 (the name cut to 26), 50, 54 (the number to 4), 55, 63 (the account name to 8).
  EXPECT_EQ(LedgerCaption(list_, account_),
            "PROGRAMMET: huvudbok: " + std::string(26, 'F') + ": 1234 " + std::string(8, 'N'));
  ver_.name = std::string(60, 'T');
  ver_.number = -1234;  // wider than its three places: kept whole
  // ... 63 after ": verifikation ", 80 after the date and its blank, 132 at the end.
  EXPECT_EQ(JournalCaption(list_, ver_), "PROGRAMMET: grundbok: " + std::string(26, 'F') +
                                             ": verifikation -1234 2026-03-01 " + std::string(52, 'T'));
}

}  // namespace
}  // namespace reports
