// A backup brought back into the data directory: checked aside first, so a damaged one
// changes nothing, and a sound one comes back whole in the slot the list gives next.
#include <gtest/gtest.h>

#include <filesystem>

#include "BookkeepingFolder.h"
#include "bookkeeping/BFVerify.h"
#include "common/Ansi.h"

namespace bf {
namespace {

namespace fs = std::filesystem;

class Restore : public BookkeepingFolder {
 protected:
  void SetUp() override {
    BookkeepingFolder::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    NewAccount("1930", 1000);
    NewAccount("3010", 0);
    PrepareFreshVerification(s());
    ASSERT_EQ(AddVerificationRow(s(), 1930, '+', 75.5), RowResult::kPosted);
    ASSERT_EQ(AddVerificationRow(s(), 3010, '-', 75.5), RowResult::kPosted);
    ASSERT_EQ(SaveVerification(s(), "medlemsavgift", "2026-02-01"), SaveResult::kSaved);
    backup_.MakeFolder("kopia");
    ASSERT_TRUE(db_->CopyBookkeeping(CopyMode::kBackup, backup_ / "kopia"));
  }

  // Every file of the data directory with its size.
  std::map<std::string, uintmax_t> DataFiles() const {
    std::map<std::string, uintmax_t> files;
    for (const auto& e : fs::directory_iterator(folder_.path()))
      files[e.path().filename().string()] = e.is_regular_file() ? e.file_size() : 0;
    return files;
  }

  TempFolder backup_;
};

TEST_F(Restore, ASoundBackupComesBackIntoAFreeSlotAndVerifies) {
  boxes_.answers.push_back(eerror::kYes);
  ASSERT_TRUE(db_->DeleteBookkeeping(1));
  ASSERT_TRUE(db_->RestoreBookkeeping(backup_ / "kopia", 0, false)) << eerror::StatusMsg;
  ASSERT_TRUE(db_->bookkeepingOpen());
  EXPECT_EQ(db_->current(), 1);
  EXPECT_EQ(s().dataBas.name, "prov");
  EXPECT_EQ(s().dataBas.lastVerNr, 1);
  EXPECT_DOUBLE_EQ(Account("1930").closing.Value(), 1075.5);
  EXPECT_TRUE(VerifyBookkeeping(s(), folder_.path()).empty());
  EXPECT_FALSE(fs::exists(folder_ / "restore.tmp"));

  // Beside the bookkeeping it came from, it takes the next slot.
  ASSERT_TRUE(db_->RestoreBookkeeping(backup_ / "kopia", 1, false)) << eerror::StatusMsg;
  EXPECT_EQ(db_->current(), 2);
  EXPECT_EQ(s().dataBas.number, "02");
  EXPECT_DOUBLE_EQ(Account("3010").credit.Value(), 75.5);
  EXPECT_TRUE(VerifyBookkeeping(s(), folder_.path()).empty());
}

TEST_F(Restore, ADamagedBackupIsRefusedWithItsReasonAndChangesNothing) {
  // An account whose postings its verifications no longer give.
  std::string bytes = backup_.Read("kopia/Konto01.Dat");
  ASSERT_GT(bytes.size(), static_cast<size_t>(2 * KontoRecord::kLength));
  bytes.back() ^= 0x40;
  backup_.Write("kopia/Konto01.Dat", bytes);
  const auto before = DataFiles();
  const int inUse = s().listInUse;

  EXPECT_FALSE(db_->RestoreBookkeeping(backup_ / "kopia", 0, false));
  ASSERT_FALSE(boxes_.boxes.empty());
  EXPECT_NE(boxes_.boxes.back().text.find(A("återställs inte")), std::string::npos) << boxes_.boxes.back().text;
  EXPECT_NE(boxes_.boxes.back().text.find("konto"), std::string::npos) << boxes_.boxes.back().text;
  EXPECT_EQ(DataFiles(), before);
  EXPECT_EQ(s().listInUse, inUse);
  EXPECT_TRUE(db_->bookkeepingOpen());

  // A folder with no backup in it is named, not taken for an empty bookkeeping.
  EXPECT_FALSE(db_->RestoreBookkeeping(backup_.path(), 0, false));
  EXPECT_NE(boxes_.boxes.back().text.find("Ingen"), std::string::npos);
}

}  // namespace
}  // namespace bf
