// The .bfr files over a real bookkeeping: the lines as written, the round trip with the
// closing balances as the new opening balances, an import into an empty bookkeeping, and
// every refusal changing nothing: a faulty line, the account limit, a failing disk.
#include "exchange/BFImport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "../bookkeeping/BookkeepingFolder.h"
#include "FaultLoop.h"
#include "bookkeeping/BFVerify.h"
#include "common/Ansi.h"
#include "shell/ETider.h"

namespace bfimport {
namespace {

class BfrFile : public bf::BookkeepingFolder {
 protected:
  void SetUp() override {
    bf::BookkeepingFolder::SetUp();
    eixport::SetMainCaption("BFNOLKW64 prov");
    clock_.emplace(set_);
  }
  void TearDown() override {
    clock_.reset();
    bf::BookkeepingFolder::TearDown();
  }

  void Post(const std::string& text, std::initializer_list<std::tuple<int, char, double>> rows) {
    bf::PrepareFreshVerification(s());
    for (const auto& [account, side, amount] : rows)
      ASSERT_EQ(bf::AddVerificationRow(s(), account, side, amount), bf::RowResult::kPosted);
    ASSERT_EQ(bf::SaveVerification(s(), text, "2026-03-01"), bf::SaveResult::kSaved);
  }

  std::vector<std::string> Lines(const std::string& name) {
    std::istringstream in(folder_.Read(name));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.find('\r')));
    return lines;
  }

  void Export(const std::string& name, bool verifications = false) {
    eixport::IxportFile f;
    ASSERT_TRUE(f.OpenByName(0, eixport::Mode::kCreate, folder_ / name, 3));
    if (verifications) ExportVerifications(*db_, f);
    else ExportPlan(*db_, f);
  }

  ImportResult Import(const std::string& name, Balance balance) {
    eixport::IxportFile f;
    f.OpenByName(0, eixport::Mode::kOpen, folder_ / name, 4);
    return ImportPlan(*db_, f, balance);
  }

  ImportResult ImportText(const std::string& text, Balance balance = Balance::kOpening) {
    folder_.Write("in.bfr", text);
    return Import("in.bfr", balance);
  }

  void Verified() { EXPECT_EQ(bf::VerifyBookkeeping(s(), db_->dataDir()), std::vector<std::string>{}); }

  std::string AccountFile() { return folder_.Read("Konto01.DAT"); }

  etider::SetClock set_{2026, 3, 1, 12, 0, 0};
  std::optional<etider::ScopedClock> clock_;
};

TEST_F(BfrFile, PlanAndVerificationsAreWrittenLineByLine) {
  NewAccount("1930", -1250.5);
  NewAccount("3010", 0);
  Post(A("Lön mars"), {{1930, '+', 100.25}, {3010, '-', 100.25}});
  Export("plan.bfr");
  const std::vector<std::string> plan = Lines("plan.bfr");
  ASSERT_EQ(plan.size(), 6u);
  EXPECT_EQ(plan[0], "; BFNOLKW64 prov");
  EXPECT_EQ(plan[1], "; glimmerbodata, vimle drumvik, bfnolk 1.0");
  EXPECT_EQ(plan[2], "; Export kontoplan: BFNOLKW64 prov");
  EXPECT_EQ(plan[3], "; prov " + etider::Format(14));
  EXPECT_EQ(plan[4], "1930,konto, ,,-1250.50,0.00,-1150.25");
  EXPECT_EQ(plan[5], "3010,konto, ,,0.00,0.00,-100.25");

  Export("ver.bfr", true);
  const std::vector<std::string> ver = Lines("ver.bfr");
  ASSERT_EQ(ver.size(), 7u);
  EXPECT_EQ(ver[2], A("; Export vald bokförings verif.: BFNOLKW64 prov"));
  EXPECT_EQ(ver[4], A("*ver,1,2026-03-01,Lön mars,2"));
  EXPECT_EQ(ver[5], "*nr,  1,1930,+,100.25");
  EXPECT_EQ(ver[6], "*nr,  2,3010,-,100.25");
  EXPECT_EQ(progress_.lines.back().text, "  1");
}

TEST_F(BfrFile, ClosingBalancesComeBackAsOpeningBalancesWithTurnoversKept) {
  NewAccount("1930", 1000);
  NewAccount("2440", -300);
  Post("Hyra", {{1930, '-', 200}, {2440, '+', 200}});
  Export("plan.bfr");
  ASSERT_EQ(Import("plan.bfr", Balance::kClosing), ImportResult::kImported);
  const bf::KontoRecord bank = Account("1930");
  EXPECT_DOUBLE_EQ(bank.opening.Value(), 800);  // the former closing balance
  EXPECT_DOUBLE_EQ(bank.credit.Value(), 200);   // kept
  EXPECT_DOUBLE_EQ(bank.closing.Value(), 600);  // old closing plus the turnovers again
  EXPECT_DOUBLE_EQ(Account("2440").opening.Value(), -100);
  EXPECT_EQ(eerror::StatusMsg, "Import klar!! Antal rader:     6");
  EXPECT_NE(progress_.lines.back().text.find(" ..modified!!"), std::string::npos);
  Verified();
}

TEST_F(BfrFile, AnEmptyBookkeepingTakesEveryAccountAndSkipsCommentsAndBlankLines) {
  ASSERT_EQ(ImportText("; plan\r\n1930,Bank,+,5000-1234,1500.00,0.00,99.00\r\n\r\n; mitt i\r\n"
                       "2440,Skuld,-,,-250.50,10.00,0\r\n; sist\r\n"),
            ImportResult::kImported);
  const bf::KontoRecord bank = Account("1930");
  EXPECT_EQ(bank.name, "Bank");
  EXPECT_EQ(bank.sign, '+');
  EXPECT_EQ(bank.reference, "5000-1234");
  EXPECT_DOUBLE_EQ(bank.opening.Value(), 1500);
  EXPECT_DOUBLE_EQ(bank.closing.Value(), 1500);
  EXPECT_DOUBLE_EQ(bank.debit.Value(), 0);
  EXPECT_DOUBLE_EQ(Account("2440").budget.Value(), 10);
  // The file ending with a comment does not take its last account line twice.
  EXPECT_EQ(isam::UsedRecs(s().kontoFile), 2);
  EXPECT_DOUBLE_EQ(s().dataBas.grandTotal, 1249.5);
  Verified();
}

TEST_F(BfrFile, APlanSavedAsUtf8KeepsItsLettersAndOneWindowsCannotHoldChangesNothing) {
  ASSERT_EQ(ImportText("2440,Lån Åsa,-,,-250.50,0,0\n"), ImportResult::kImported);
  EXPECT_EQ(Account("2440").name, A("Lån Åsa"));
  const std::string before = AccountFile();
  EXPECT_EQ(ImportText("1930,Bank,+,,20.00,0,0\n3010,Försäljning ↑,-,,0,0,0\n"), ImportResult::kNotOpened);
  EXPECT_EQ(AccountFile(), before);
  Verified();
}

TEST_F(BfrFile, AFaultyLineChangesNothingAndEveryOneIsNamed) {
  NewAccount("1930", 10);
  const std::string before = AccountFile();
  const bf::BfDataBasRecord list = s().dataBas;
  EXPECT_EQ(ImportText("1930,Bank,+,,20.00,0,0\n193,Kort,+,,1,0,0\n2440,Skuld,-,,tolv,0,0\n"), ImportResult::kRefused);
  ASSERT_FALSE(boxes_.boxes.empty());
  EXPECT_EQ(boxes_.boxes.back().text, A("Felaktiga rader, inget importerat: rad 2 (kontonummer), rad 3 (belopp)"));
  EXPECT_EQ(AccountFile(), before);
  EXPECT_TRUE(s().dataBas == list);
  EXPECT_DOUBLE_EQ(Account("1930").opening.Value(), 10);
}

TEST_F(BfrFile, TheAccountLimitRefusesTheWholeFile) {
  for (int n = 1000; n < 1253; ++n) NewAccount(std::to_string(n), 1);
  ASSERT_EQ(isam::UsedRecs(s().kontoFile), 253);
  const std::string before = AccountFile();
  EXPECT_EQ(ImportText("1000,Ett,+,,5,0,0\n3000,Ny,+,,1,0,0\n3001,Ny,+,,1,0,0\n3001,Igen,+,,1,0,0\n3002,Ny,,,1,0,0\n"),
            ImportResult::kRefused);
  ASSERT_FALSE(boxes_.boxes.empty());
  EXPECT_EQ(boxes_.boxes.back().text, A("Max antal konton uppnått kan ej addera! Inget importerat, rad 3, 5"));
  EXPECT_EQ(AccountFile(), before);
  // One more fits.
  EXPECT_EQ(ImportText("1000,Ett,+,,5,0,0\n3000,Ny,+,,1,0,0\n"), ImportResult::kImported);
  EXPECT_DOUBLE_EQ(Account("1000").opening.Value(), 5);
  Verified();
}

TEST_F(BfrFile, NoBookkeepingOpenImportsNothing) {
  db_->CloseBookkeeping();
  EXPECT_EQ(ImportText("1930,Bank,+,,1,0,0\n"), ImportResult::kNotOpened);
  db_->CloseBookkeepingList();
  EXPECT_EQ(ImportText("1930,Bank,+,,1,0,0\n"), ImportResult::kNotOpened);
  EXPECT_EQ(eerror::StatusMsg.rfind("Import/export av", 0), 0u);
}

// A disk that fails anywhere in the import leaves the accounts and totals as they were, or
// the whole import done; the books add up either way.
TEST_F(BfrFile, AFailingDiskLeavesAllOrNothing) {
  NewAccount("1930", 10);
  NewAccount("2440", -10);
  folder_.Write("in.bfr", "1930,Bank,+,,20.00,0,0\n2440,Skuld,-,,-20.00,0,0\n3010,Ny,-,,0,0,0\n");
  db_->CloseBookkeepingList();
  TempFolder pristine;
  for (const auto& file : std::filesystem::directory_iterator(folder_.path()))
    std::filesystem::copy(file.path(), pristine / file.path().filename().string());
  faultloop::EveryFault(
      [&] {
        db_->CloseBookkeepingList();
        for (const auto& file : std::filesystem::directory_iterator(pristine.path()))
          std::filesystem::copy(file.path(), folder_ / file.path().filename().string(),
                                std::filesystem::copy_options::overwrite_existing);
        db_->OpenBookkeepingList();
        ASSERT_TRUE(db_->SelectBookkeeping(1));
      },
      [&] { return Import("in.bfr", Balance::kOpening); },
      [&](ImportResult result, const faultloop::Injection& injection) {
        db_->CloseBookkeepingList();
        db_->OpenBookkeepingList();
        ASSERT_TRUE(db_->SelectBookkeeping(1)) << injection.what;
        int32_t recNo = 0;
        bf::KontoRecord k;
        const bool whole = bf::FindAccount(s(), "3010", k, recNo) == bf::Lookup::kFound;
        if (result == ImportResult::kImported) {
          EXPECT_TRUE(whole) << injection.what;
        }
        EXPECT_DOUBLE_EQ(Account("1930").opening.Value(), whole ? 20 : 10) << injection.what;
        Verified();
      });
}

}  // namespace
}  // namespace bfimport
