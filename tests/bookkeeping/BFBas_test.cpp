// The bookkeeping database over real files in a fresh data directory: the list, the eight
// slots, selection, deletion with its question, copy and backup with their failures.
#include "bookkeeping/BFBas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/Ansi.h"
#include "bookkeeping/BFMisc.h"
#include "shell/ECountForm.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace bf {
namespace {

namespace fs = std::filesystem;

class Database : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    root_ = fs::temp_directory_path() / ("bfbas-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "data");
    fs::create_directories(root_ / "backup");
    data_ = (root_ / "data").string();
    ekonfig::Konfig.SetCurBase(0);
    previousProgress_ = ecountform::InstallProgressWindows(&progress_);
    db_ = std::make_unique<BfDatabase>(data_);
  }
  void TearDown() override {
    db_.reset();
    ecountform::InstallProgressWindows(previousProgress_);
    isam::ExitIsam();
    fs::remove_all(root_);
  }

  // A fresh list, opened.
  void MakeList() {
    ASSERT_TRUE(db_->CreateBookkeepingList());
    ASSERT_TRUE(db_->listOpen());
  }

  int NewBookkeeping(const std::string& name) {
    EXPECT_TRUE(db_->BeginNewBookkeeping()) << eerror::StatusMsg;
    BfDataBasRecord& r = db_->shared().dataBas;
    r.name = name;
    r.fromDate = "2026-01-01";
    r.toDate = "2026-12-31";
    EXPECT_TRUE(db_->FinishNewBookkeeping());
    return db_->current();
  }

  bool Exists(const std::string& name) const { return fs::exists(root_ / "data" / name); }

  fs::path root_;
  std::string data_;
  std::unique_ptr<BfDatabase> db_;
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes boxesInstalled_{boxes_};
  ecountform::RecordingProgressWindows progress_;
  ecountform::ProgressWindows* previousProgress_ = nullptr;
};

TEST_F(Database, OpeningWithoutAListSaysTheFilesAreMissing) {
  db_->OpenBookkeepingList();
  EXPECT_FALSE(db_->listOpen());
  EXPECT_EQ(eerror::StatusMsg, "Datafiler saknas/ ej i aktuellt bibliotek");
  EXPECT_FALSE(db_->BeginNewBookkeeping());
}

TEST_F(Database, NineBookkeepingsAreOneTooMany) {
  MakeList();
  EXPECT_EQ(eerror::StatusMsg, A("Filerna öppna...."));
  for (int n = 1; n <= kMaxBookkeepings; ++n) {
    EXPECT_EQ(NewBookkeeping("bok " + std::to_string(n)), n);
    EXPECT_TRUE(db_->bookkeepingOpen());
    EXPECT_TRUE(Exists("Konto" + TwoDigits(n) + ".DAT"));
  }
  EXPECT_FALSE(db_->BeginNewBookkeeping());
  EXPECT_EQ(eerror::StatusMsg, A("Max antal bokföringar uppnått!"));
  EXPECT_EQ(boxes_.beeps, 1);
  EXPECT_EQ(db_->current(), kMaxBookkeepings);  // the open one stays open
  EXPECT_TRUE(db_->bookkeepingOpen());
  EXPECT_FALSE(db_->CopyBookkeeping(CopyMode::kCopy));
  EXPECT_EQ(eerror::StatusMsg, A("Max antal baser uppnått kan ej kopiera!"));
}

TEST_F(Database, ADeletedSlotIsTakenByTheNextNewBookkeeping) {
  MakeList();
  for (int n = 1; n <= 4; ++n) NewBookkeeping("bok " + std::to_string(n));
  boxes_.answers = {eerror::kYes};
  ASSERT_TRUE(db_->DeleteBookkeeping(3));
  EXPECT_EQ(boxes_.boxes.back().text, "BfDataBas: bok 3 2026-12-31 raderas ");
  EXPECT_EQ(eerror::StatusMsg, "BfDataBas: bok 3 2026-12-31 raderad");
  EXPECT_FALSE(Exists("Konto03.DAT"));
  EXPECT_FALSE(Exists("Bf03.DAT"));
  EXPECT_FALSE(Exists("BfSums03.DAT"));
  EXPECT_EQ(db_->current(), 4);  // the one open before is open again
  EXPECT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(NewBookkeeping("ny"), 3);
  EXPECT_EQ(db_->shared().dataBas.number, "03");
  EXPECT_TRUE(Exists("Konto03.DAT"));
  EXPECT_TRUE(Exists("Bf03.DAT"));
  EXPECT_TRUE(Exists("BfSums03.DAT"));
}

TEST_F(Database, DeletingTheSelectedBookkeepingAndAnsweringNoLeavesNoneSelected) {
  MakeList();
  NewBookkeeping("hem");
  boxes_.answers = {eerror::kNo};
  EXPECT_FALSE(db_->DeleteBookkeeping(1));
  EXPECT_TRUE(Exists("Konto01.DAT"));
  EXPECT_EQ(db_->current(), 0);
  EXPECT_FALSE(db_->bookkeepingOpen());
  EXPECT_EQ(ekonfig::Konfig.CurBase(), 0);
}

TEST_F(Database, TheSelectionIsRememberedAcrossAClose) {
  MakeList();
  NewBookkeeping("ett");
  NewBookkeeping("två");
  db_->SelectBookkeeping(1);
  EXPECT_EQ(db_->current(), 1);
  EXPECT_EQ(db_->shared().dataBas.name, "ett");
  EXPECT_EQ(ekonfig::Konfig.CurBase(), 1);
  db_ = std::make_unique<BfDatabase>(data_);
  db_->OpenBookkeepingList();
  db_->SelectRemembered();
  EXPECT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(db_->current(), 1);
}

TEST_F(Database, DecliningANewListKeepsTheOldOneOpen) {
  MakeList();
  NewBookkeeping("kvar");
  boxes_.answers = {eerror::kNo};
  EXPECT_FALSE(db_->CreateBookkeepingList());
  EXPECT_EQ(boxes_.boxes.back().text, A("Befintliga datafiler kommer att förstöras OK?"));
  EXPECT_TRUE(db_->listOpen());
  EXPECT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(db_->shared().dataBas.name, "kvar");
}

TEST_F(Database, ABackupIntoTheDataDirectoryInOtherLetterCaseIsRefused) {
  MakeList();
  NewBookkeeping("hem");
  EXPECT_FALSE(db_->CopyBookkeeping(CopyMode::kBackup, (root_ / "DATA").string() + "/"));
  EXPECT_EQ(eerror::StatusMsg, "Kopiering till samma bibliotek, ange annat bibliotek!");
  EXPECT_TRUE(db_->bookkeepingOpen());
}

TEST_F(Database, ABackupWithoutPayeeFilesSucceedsAndTakesTheList) {
  MakeList();
  NewBookkeeping("hem");
  const std::string target = (root_ / "backup").string();
  EXPECT_TRUE(db_->CopyBookkeeping(CopyMode::kBackup, target));
  EXPECT_EQ(eerror::StatusMsg, "BfDataBas nr.01 kopierad till " + target + " ..lyckad kopiering!!");
  for (const char* name : {"BfNolk.Dat", "Konto01.Dat", "Bf01.Dat", "Konto01.Ix", "BfSums01.Ix", "BfSums01.Dat"})
    EXPECT_TRUE(fs::exists(root_ / "backup" / name)) << name;
  EXPECT_FALSE(fs::exists(root_ / "backup" / "girop.dat"));
  EXPECT_EQ(db_->current(), 1);
  EXPECT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(db_->shared().dataBas.backupDir, target);
}

TEST_F(Database, ACopyGoesIntoANewSlotWithTheSameRecords) {
  MakeList();
  NewBookkeeping("original");
  EXPECT_TRUE(db_->CopyBookkeeping(CopyMode::kCopy));
  EXPECT_EQ(db_->current(), 2);
  EXPECT_EQ(db_->shared().dataBas.name, "original");
  EXPECT_EQ(db_->shared().dataBas.number, "02");
  EXPECT_TRUE(Exists("Konto02.Dat"));
  EXPECT_EQ(db_->shared().listInUse, 2);
}

TEST_F(Database, AFailedCopyLeavesTheSourceAndNamesWhatItLeftBehind) {
  MakeList();
  NewBookkeeping("källa");
  const std::string before = [&] {
    std::ifstream in(root_ / "data" / "Konto01.DAT", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  // A folder where the copy's sums index would go: that file cannot be made.
  fs::create_directories(root_ / "backup" / "BfSums01.Ix");
  EXPECT_FALSE(db_->CopyBookkeeping(CopyMode::kBackup, (root_ / "backup").string()));
  EXPECT_EQ(boxes_.boxes.back().caption, "info");
  EXPECT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(db_->current(), 1);
  std::ifstream in(root_ / "data" / "Konto01.DAT", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), before);
}

// A bookkeeping with accounts 1930 (opening 1000.00), 3010 and 6110, and verifications that
// move money between them, posted row by row as the entry dialog does.
class Rebuild : public Database {
 protected:
  void SetUp() override {
    Database::SetUp();
    MakeList();
    NewBookkeeping("bok");
    for (const auto& [number, opening] : {std::pair{"1930", 1000.0}, {"3010", 0.0}, {"6110", 0.0}}) {
      BfShared& s = db_->shared();
      s.konto = KontoRecord{};
      s.konto.number = number;
      s.konto.opening = *Real6::FromDouble(opening);
      s.konto.closing = s.konto.opening;
      PutOpeningBack(s);
      int32_t recNo = 0;
      ASSERT_TRUE(PutKonto(s, true, recNo));
    }
    Post({{1930, '+', 250.0}, {3010, '-', 250.0}});
    Post({{6110, '+', 99.5}, {1930, '-', 99.5}});
    Post({{1930, '+', 10.0}, {3010, '-', 10.0}});
  }

  struct Row {
    int account;
    char side;
    double amount;
  };
  void Post(const std::vector<Row>& rows) {
    BfShared& s = db_->shared();
    s.ver = FreshVerRecord(static_cast<int16_t>(s.dataBas.lastVerNr + 1), "2026-03-01", '+');
    for (const Row& row : rows) {
      const int r = s.ver.RowCount() + 1;
      s.ver.accounts[0] = static_cast<int16_t>(r);
      s.ver.accounts[static_cast<size_t>(r)] = static_cast<int16_t>(row.account);
      s.ver.amounts[static_cast<size_t>(r)] = *Real6::FromDouble(row.amount);
      s.ver.sides[static_cast<size_t>(r)] = row.side;
      int32_t at = 0;
      bool found = false, atEnd = false;
      BfAccess(s, kKontoFile, kFindKey, KontoKey(row.account), at, found, atEnd);
      ASSERT_TRUE(found) << row.account;
      ASSERT_TRUE(PostRow(s, row.side, 1, r));
      ASSERT_TRUE(RewriteKonto(s, at));
    }
    ++s.dataBas.lastVerNr;
    int32_t recNo = 0;
    ASSERT_TRUE(PutVer(s, true, recNo));
  }

  KontoRecord Account(int number) {
    BfShared& s = db_->shared();
    int32_t at = 0;
    bool found = false, atEnd = false;
    BfAccess(s, kKontoFile, kFindKey, KontoKey(number), at, found, atEnd);
    EXPECT_TRUE(found);
    return s.konto;
  }
};

TEST_F(Rebuild, TotalsComeBackFromTheVerificationsAndNumbersCloseUp) {
  BfShared& s = db_->shared();
  ASSERT_EQ(s.dataBas.lastVerNr, 3);
  isam::DeleteRec(s.verFile, 2);  // a verification gone: its rows no longer count
  s.dataBas.grandTotal = 12345;   // and totals gone wrong
  s.dataBas.groupTotals[1] = -7;
  ASSERT_TRUE(db_->RebuildBookkeeping()) << eerror::StatusMsg;
  EXPECT_TRUE(db_->bookkeepingOpen());
  // Two are left, numbered 1 and 3: the next is 4, not a second 3.
  EXPECT_EQ(s.dataBas.lastVerNr, 3);
  EXPECT_EQ(eerror::StatusMsg.find(A("stämdes av")), std::string::npos) << eerror::StatusMsg;
  const KontoRecord bank = Account(1930);
  EXPECT_DOUBLE_EQ(bank.debit.Value(), 260.0);
  EXPECT_DOUBLE_EQ(bank.credit.Value(), 0.0);
  EXPECT_DOUBLE_EQ(bank.closing.Value(), 1260.0);
  const KontoRecord costs = Account(6110);
  EXPECT_DOUBLE_EQ(costs.debit.Value(), 0.0);
  EXPECT_DOUBLE_EQ(costs.closing.Value(), 0.0);
  EXPECT_DOUBLE_EQ(Account(3010).credit.Value(), 260.0);
  EXPECT_DOUBLE_EQ(s.dataBas.grandTotal, 1000.0);  // the opening balance; the postings balance
  EXPECT_DOUBLE_EQ(s.dataBas.groupOpeningTotals[1], 1000.0);
  EXPECT_DOUBLE_EQ(s.dataBas.groupTotals[1], 260.0);
  EXPECT_EQ(isam::UsedRecs(s.verFile), 2);
  EXPECT_EQ(isam::FileLen(s.verFile), 3);  // no gap left
}

TEST_F(Rebuild, ARowOfAnAccountThatIsGoneIsKeptButNotPosted) {
  BfShared& s = db_->shared();
  int32_t at = 0;
  bool found = false, atEnd = false;
  BfAccess(s, kKontoFile, kFindKey, "6110", at, found, atEnd);
  ASSERT_TRUE(found);
  isam::DeleteKey(s.kontoFile, 1, at, "6110");
  isam::DeleteRec(s.kontoFile, at);
  ASSERT_TRUE(db_->RebuildBookkeeping()) << eerror::StatusMsg;
  EXPECT_EQ(s.dataBas.lastVerNr, 3);
  EXPECT_DOUBLE_EQ(Account(1930).credit.Value(), 99.5);
  EXPECT_DOUBLE_EQ(s.dataBas.grandTotal, 1000.0 - 99.5);
}

TEST_F(Rebuild, AFailureHalfWayPutsEverythingBack) {
  BfShared& s = db_->shared();
  const BfDataBasRecord listBefore = s.dataBas;
  db_->CloseBookkeeping();
  const auto read = [&](const std::string& name) {
    std::ifstream in(root_ / "data" / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string konto = read("Konto01.DAT"), bf = read("Bf01.DAT");
  db_->SelectBookkeeping(1);
  std::ofstream(root_ / "data" / "Bf01.SAV") << "left by an earlier run";  // the last step refuses
  EXPECT_FALSE(db_->RebuildBookkeeping());
  EXPECT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(s.dataBas, listBefore);
  db_->CloseBookkeeping();
  EXPECT_EQ(read("Konto01.DAT"), konto);
  EXPECT_EQ(read("Bf01.DAT"), bf);
  EXPECT_FALSE(fs::exists(root_ / "data" / "Konto01.DAT~"));
}

TEST_F(Rebuild, TheYearEndCarriesBalancesAndEmptiesTheVerifications) {
  BfShared& s = db_->shared();
  boxes_.answers = {eerror::kYes};
  ASSERT_TRUE(db_->ResetBookkeeping()) << eerror::StatusMsg;
  EXPECT_EQ(s.dataBas.lastVerNr, 0);
  EXPECT_EQ(isam::UsedRecs(s.verFile), 0);
  EXPECT_EQ(s.ver.number, 1);
  const KontoRecord bank = Account(1930);
  EXPECT_DOUBLE_EQ(bank.opening.Value(), 1000.0 + 260.0 - 99.5);
  EXPECT_DOUBLE_EQ(bank.debit.Value(), 0.0);
  // Accounts from 29xx on start the new year at 0.
  EXPECT_DOUBLE_EQ(Account(3010).opening.Value(), 0.0);
  EXPECT_DOUBLE_EQ(Account(6110).closing.Value(), 0.0);
  EXPECT_DOUBLE_EQ(s.dataBas.grandTotal, 1160.5);
  EXPECT_DOUBLE_EQ(s.dataBas.groupOpeningTotals[1], 1160.5);
  EXPECT_DOUBLE_EQ(s.dataBas.groupTotals[1], 0.0);

  // The year it ended is kept whole, in a folder named after the bookkeeping and its period.
  const std::string folder = "bokslut/" + s.dataBas.name + " " + s.dataBas.fromDate + "--" + s.dataBas.toDate;
  const fs::path archive = root_ / "data" / folder;
  EXPECT_NE(eerror::StatusMsg.find(folder), std::string::npos) << eerror::StatusMsg;
  EXPECT_EQ(fs::file_size(archive / "Bf01.Dat"), 4u * VerRecord::kLength);  // the header and three
  EXPECT_TRUE(fs::exists(archive / "BfNolk.Dat"));
  EXPECT_TRUE(s.dataBas.backupDir.empty());  // the user's backup folder is not the archive
}

TEST_F(Rebuild, TheYearEndArchiveListsOnlyTheBookkeepingItHolds) {
  ASSERT_EQ(NewBookkeeping("andra"), 2);
  boxes_.answers = {eerror::kYes};
  ASSERT_TRUE(db_->ResetBookkeeping()) << eerror::StatusMsg;
  BfDatabase archive((root_ / "data" / "bokslut" / "andra 2026-01-01--2026-12-31").string(), Access::kReadOnly);
  archive.OpenBookkeepingList();
  ASSERT_TRUE(archive.listOpen());
  EXPECT_EQ(archive.shared().listInUse, 1);
  BfDataBasRecord held;
  EXPECT_EQ(ReadBookkeeping(archive.shared(), 1, held), Lookup::kAbsent);
  ASSERT_EQ(ReadBookkeeping(archive.shared(), 2, held), Lookup::kFound);
  EXPECT_EQ(held.name, "andra");
  // The live list keeps both.
  EXPECT_EQ(db_->shared().listInUse, 2);
}

TEST_F(Rebuild, AYearEndThatFailsPutsEverythingBack) {
  BfShared& s = db_->shared();
  const BfDataBasRecord listBefore = s.dataBas;
  const KontoRecord bank = Account(1930);
  // The verification file's journal name is taken by a folder: the files cannot be opened
  // again once the year end has closed them to keep them aside.
  const fs::path dia = root_ / "data" / "Bf01.DIA";
  fs::remove(dia);
  fs::create_directories(dia);
  boxes_.answers = {eerror::kYes};
  EXPECT_FALSE(db_->ResetBookkeeping());
  fs::remove(dia);
  db_->SelectBookkeeping(1);
  ASSERT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(s.dataBas.lastVerNr, listBefore.lastVerNr);
  EXPECT_DOUBLE_EQ(s.dataBas.grandTotal, listBefore.grandTotal);
  EXPECT_EQ(isam::UsedRecs(s.verFile), 3);
  EXPECT_EQ(Account(1930), bank);
  EXPECT_FALSE(fs::exists(root_ / "data" / "Bf01.DAT~"));
}

TEST_F(Database, TheFirstFlushOfAMonthStartsItsRecordFromZero) {
  const etider::SetClock march(2026, 3, 15);
  const etider::ScopedClock clock(march);
  MakeList();
  NewBookkeeping("ett");
  BfShared& s = db_->shared();
  s.konto = KontoRecord{};
  s.konto.number = "1930";
  Real6 amount = *Real6::FromDouble(100);
  ASSERT_TRUE(PostTotal(s, amount, kPostRow));
  NewBookkeeping("två");  // closes "ett", which files its March sums
  db_->SelectBookkeeping(1);
  int32_t recNo = 0;
  bool found = false, atEnd = false;
  BfAccess(s, kSumsFile, kFindKey, "2026-03", recNo, found, atEnd);
  ASSERT_TRUE(found);
  const int g = 1;  // 1930 is in 1000..1999
  EXPECT_DOUBLE_EQ(s.sums.debitSums[g].Value(), 100);
  EXPECT_DOUBLE_EQ(s.sums.groupBalances[g].Value(), 100);
  db_->SelectBookkeeping(2);
  amount = *Real6::FromDouble(40);
  ASSERT_TRUE(PostTotal(s, amount, kPostRow));
  db_->SelectBookkeeping(1);  // "två" files its own March, not what the buffer held of "ett"
  db_->SelectBookkeeping(2);
  BfAccess(s, kSumsFile, kFindKey, "2026-03", recNo, found, atEnd);
  ASSERT_TRUE(found);
  for (int k = 0; k < kGroupCount; ++k) EXPECT_EQ(s.sums.debitSums[k].Value(), k == g ? 40 : 0) << k;
}

}  // namespace
}  // namespace bf
