// The row log of the verification in progress: made with its first row, one image of each
// account, gone with the save or the cancel; a bookkeeping closed with a verification open
// takes it back, month sums included; a crash's log is played back by the next open, one
// that only reads too; and every file call of the playback made to fail leaves the log for
// the next try and never half the books.
#include "bookkeeping/BFMisc_rowlog.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "EntryWorkload.h"
#include "FaultLoop.h"
#include "bookkeeping/BFVerify.h"
#include "common/Ansi.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace bf {
namespace {

namespace fs = std::filesystem;

class RowLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    ekonfig::Konfig.SetCurBase(1);
    MakeBooks(dir_.path());
    ASSERT_FALSE(HasFatalFailure());
  }
  void TearDown() override {
    db_.reset();
    isam::seam::Disarm();
    isam::ExitIsam();
  }

  BfShared& Open(Access access = Access::kReadWrite) {
    ekonfig::Konfig.SetCurBase(1);  // a faulted open may have given it up
    db_ = std::make_unique<BfDatabase>(dir_.path(), access);
    db_->OpenBookkeepingList();
    db_->SelectRemembered();
    return db_->shared();
  }

  static void Row(VerificationEntry& e, const char* account, const char* side, const char* amount) {
    e.AccountTyped(account);
    e.SideTyped(side);
    e.AmountTyped(amount);
    ASSERT_TRUE(e.AcceptRow()) << e.status();
  }

  // Rows posted by another process that then ends without closing anything, as a crash.
  void CrashWithRowsPosted() {
    db_.reset();
    const pid_t child = ::fork();
    if (child == 0) {
      BfShared& s = Open();
      VerificationEntry e(s);
      Row(e, "1930", "+", "100.00");
      Row(e, "2440", "-", "30.00");
      Row(e, "1930", "-", "5.00");
      ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  std::string Log() const { return RowLog::FileName(1, dir_.path()); }

  TempFolder dir_{FastTempParent()};
  std::unique_ptr<BfDatabase> db_;
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installed_{boxes_};
  etider::SetClock clock_{2026, 4, 2, 12, 0, 0};
  etider::ScopedClock scopedClock_{clock_};
};

TEST_F(RowLogTest, TheLogKeepsEachAccountOnceAndGoesWithTheSaveOrTheCancel) {
  BfShared& s = Open();
  {
    VerificationEntry e(s);
    EXPECT_FALSE(fs::exists(Log()));
    Row(e, "1930", "+", "100.00");
    Row(e, "1930", "+", "1.00");
    Row(e, "3010", "-", "101.00");
    const std::vector<RowLog::Entry> entries = RowLog::Entries(dir_.Read("Bf01.Rad"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].kind, RowLog::kAccount);
    EXPECT_EQ(entries[0].recNo, 7);  // 1930, as it was before the first row
    EXPECT_EQ(entries[0].bytes.size(), static_cast<size_t>(KontoRecord::kLength));
    EXPECT_EQ(e.Save(), SaveResult::kSaved);
    EXPECT_FALSE(fs::exists(Log()));
  }
  {
    VerificationEntry e(s);
    Row(e, "5010", "+", "3.00");
    EXPECT_TRUE(fs::exists(Log()));
    EXPECT_TRUE(e.Cancel());
    EXPECT_FALSE(fs::exists(Log()));
  }
  EXPECT_TRUE(VerifyBookkeeping(s, dir_.path()).empty());
}

TEST_F(RowLogTest, ClosingWithAVerificationOpenTakesItBackMonthSumsIncluded) {
  BfShared& s = Open();
  const Books before = ReadBooks(s);
  {
    VerificationEntry e(s);
    Row(e, "1930", "+", "100.00");
    Row(e, "3010", "-", "40.00");
    db_->CloseBookkeeping();  // the program ends with the dialog still open
  }
  EXPECT_EQ(Differences(ReadBooks(Open()), before), "");
  EXPECT_FALSE(fs::exists(Log()));
}

TEST_F(RowLogTest, TheNextOpenTakesBackWhatACrashLeftAlsoOneThatOnlyReads) {
  const Books before = ReadBooks(Open());
  CrashWithRowsPosted();
  ASSERT_TRUE(fs::exists(Log()));
  for (const Access access : {Access::kReadOnly, Access::kReadWrite}) {
    BfShared& s = Open(access);
    ASSERT_TRUE(db_->bookkeepingOpen());
    EXPECT_EQ(Differences(ReadBooks(s), before), "");
    EXPECT_TRUE(VerifyBookkeeping(s, dir_.path()).empty());
    EXPECT_FALSE(fs::exists(Log()));
  }
}

TEST_F(RowLogTest, ALogGoesWithTheFilesOfItsBookkeeping) {
  CrashWithRowsPosted();
  const std::string left = dir_.Read("Bf01.Rad");
  ASSERT_FALSE(left.empty());
  boxes_.defaultAnswer = eerror::kYes;
  db_ = std::make_unique<BfDatabase>(dir_.path());
  db_->OpenBookkeepingList();
  ASSERT_TRUE(db_->DeleteBookkeeping(1));
  EXPECT_FALSE(fs::exists(Log()));
  // Nor does a log left beside a slot reach the new bookkeeping made in it.
  dir_.Write("Bf01.Rad", left);
  ASSERT_TRUE(db_->BeginNewBookkeeping());
  ASSERT_TRUE(db_->FinishNewBookkeeping());
  EXPECT_EQ(db_->current(), 1);
  EXPECT_FALSE(fs::exists(Log()));
  EXPECT_EQ(eerror::StatusMsg.find(A("togs tillbaka")), std::string::npos) << eerror::StatusMsg;
}

TEST_F(RowLogTest, AnAccountTornInItsRewriteIsMendedAndTheUserIsTold) {
  const Books before = ReadBooks(Open());
  CrashWithRowsPosted();
  // Half of 1930's record new garbage, as a power cut in the middle of its rewrite leaves it.
  {
    std::fstream dat(dir_ / "Konto01.Dat", std::ios::in | std::ios::out | std::ios::binary);
    dat.seekp(7 * KontoRecord::kLength + 40);
    dat.write("\x7F\x7F\x7F\x7F\x7F\x7F\x7F\x7F\x7F\x7F", 10);
  }
  BfShared& s = Open();
  EXPECT_EQ(Differences(ReadBooks(s), before), "");
  EXPECT_EQ(eerror::StatusMsg, A("En verifikation som aldrig sparades togs tillbaka: kontona är som före dess första rad"));
}

TEST_F(RowLogTest, APlaybackThatFailsLeavesTheLogAndNeverHalfTheBooks) {
  const Books before = ReadBooks(Open());
  CrashWithRowsPosted();
  const TempFolder crashed(FastTempParent());
  for (const auto& f : fs::directory_iterator(dir_.path())) fs::copy(f.path(), crashed / f.path().filename().string());
  faultloop::EveryFault(
      [&] {
        db_.reset();
        for (const auto& f : fs::directory_iterator(crashed.path()))
          fs::copy(f.path(), dir_ / f.path().filename().string(), fs::copy_options::overwrite_existing);
      },
      [&] {
        Open();
        return db_->bookkeepingOpen();
      },
      [&](bool opened, const faultloop::Injection&) {
        isam::seam::Disarm();
        db_.reset();
        if (!opened) {
          EXPECT_TRUE(fs::exists(Log()));
        }
        // Whatever the fault did, the next open without one has the books as they were.
        BfShared& s = Open();
        ASSERT_TRUE(db_->bookkeepingOpen()) << eerror::StatusMsg << " " << db_->openFailure();
        EXPECT_EQ(Differences(ReadBooks(s), before), "");
        EXPECT_FALSE(fs::exists(Log()));
      },
      {{faultloop::Op::Read, 0, EIO, 0}, {faultloop::Op::Write, 0, EIO, 0}, {faultloop::Op::Flush, 0, EIO, 0}});
}

TEST_F(RowLogTest, ARowWhoseAccountCannotBeKeptIsNotPosted) {
  faultloop::EveryFault(
      [&] {
        db_.reset();
        fs::remove_all(dir_.path());
        fs::create_directories(dir_.path());
        MakeBooks(dir_.path());
        Open();
      },
      [&] {
        VerificationEntry e(db_->shared());
        bool all = true;
        for (const auto& [account, side, amount] : {std::tuple{"1930", "+", "9.00"}, {"3010", "-", "9.00"}}) {
          e.AccountTyped(account);
          e.SideTyped(side);
          e.AmountTyped(amount);
          all = e.AcceptRow() && all;
        }
        return all && e.Save() == SaveResult::kSaved;
      },
      [&](bool saved, const faultloop::Injection& injection) {
        isam::seam::Disarm();
        db_.reset();
        BfShared& s = Open();
        EXPECT_TRUE(saved || !injection.none());
        const std::vector<std::string> findings = VerifyBookkeeping(s, dir_.path());
        EXPECT_TRUE(findings.empty()) << findings.front();
        EXPECT_EQ(s.dataBas.lastVerNr, saved ? 2 : 1);
        EXPECT_FALSE(fs::exists(Log()));
      },
      {{faultloop::Op::Write, 0, EIO, 0}, {faultloop::Op::Flush, 0, EIO, 0}});
}

}  // namespace
}  // namespace bf
