// Every file call of the rebuild, the year-end reset, the copy and the backup made to fail
// in turn, through the engine's seam: the operation either goes through whole or leaves the
// bookkeeping as it was, nothing it reports as done is missing, and the consistency check
// finds nothing either way, also after the program has closed and opened everything again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "FaultLoop.h"
#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFMisc_entry.h"
#include "bookkeeping/BFVerify.h"
#include "shell/ECountForm.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/BTFileIO_seam.h"
#include "storage/Filer.h"

namespace bf {
namespace {

namespace fs = std::filesystem;
using isam::seam::Op;

// What a user would call the contents of bookkeeping n: its list entry, accounts,
// verifications and month sums, without the record numbers and free slots a rebuild may
// change.
struct Contents {
  BfDataBasRecord list;
  std::vector<KontoRecord> accounts;
  std::vector<VerRecord> verifications;
  std::vector<SumsRecord> months;
  friend bool operator==(const Contents&, const Contents&) = default;
};

template <typename Record>
std::vector<Record> LiveRecords(isam::FileBlock* fb) {
  std::vector<Record> records;
  std::array<uint8_t, Record::kLength> bytes;
  for (int32_t r = 1; r < isam::FileLen(fb); ++r) {
    isam::GetRec(fb, r, bytes.data());
    Record record;
    if (isam::IsamSuccess && Decode(bytes, record) && record.chain == 0) records.push_back(record);
  }
  return records;
}

Contents Read(BfShared& s) {
  Contents c;
  c.list = s.dataBas;
  c.list.backupDir.clear();  // a backup notes where it went
  c.accounts = LiveRecords<KontoRecord>(s.kontoFile);
  std::sort(c.accounts.begin(), c.accounts.end(),
            [](const KontoRecord& a, const KontoRecord& b) { return a.number < b.number; });
  c.verifications = LiveRecords<VerRecord>(s.verFile);
  std::sort(c.verifications.begin(), c.verifications.end(),
            [](const VerRecord& a, const VerRecord& b) { return a.number < b.number; });
  c.months = LiveRecords<SumsRecord>(s.sumsFile);
  std::sort(c.months.begin(), c.months.end(),
            [](const SumsRecord& a, const SumsRecord& b) { return a.month < b.month; });
  return c;
}

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Faults : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    root_ = fs::temp_directory_path() / ("bfbas-faults-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "template");
    previousProgress_ = ecountform::InstallProgressWindows(&progress_);
    boxes_.defaultAnswer = eerror::kYes;
    MakeTemplate();
  }
  void TearDown() override {
    db_.reset();
    isam::seam::Disarm();
    ecountform::InstallProgressWindows(previousProgress_);
    isam::ExitIsam();
    fs::remove_all(root_);
  }

  // One bookkeeping with accounts, a deleted account (a free slot), verifications of
  // several rows, a cancelled one (postings undone), and month sums on file: two months
  // of the period and today's, outside it.
  void MakeTemplate() {
    ekonfig::Konfig.SetCurBase(0);
    BfDatabase db((root_ / "template").string());
    ASSERT_TRUE(db.CreateBookkeepingList());
    ASSERT_TRUE(db.BeginNewBookkeeping());
    db.shared().dataBas.name = "bok";
    db.shared().dataBas.fromDate = "2026-01-01";
    db.shared().dataBas.toDate = "2026-12-31";
    ASSERT_TRUE(db.FinishNewBookkeeping());
    BfShared& s = db.shared();
    for (const auto& [number, opening] :
         {std::pair{"1930", 1000.0}, {"2440", -300.0}, {"3010", 0.0}, {"5010", 0.0}, {"6110", 0.0}}) {
      KontoRecord k;
      k.number = number;
      k.name = "konto";
      k.opening = *Real6::FromDouble(opening);
      int32_t recNo = 0;
      ASSERT_TRUE(SaveAccount(s, true, recNo, k)) << number;
    }
    ASSERT_TRUE(DeleteKonto(s, kFindKey, "5010", 0, true));
    const auto post = [&](std::vector<std::tuple<int, char, double>> rows, bool save) {
      PrepareFreshVerification(s);
      for (const auto& [account, side, amount] : rows)
        ASSERT_EQ(AddVerificationRow(s, account, side, amount), RowResult::kPosted);
      if (save)
        ASSERT_EQ(SaveVerification(s, "ver", "2026-03-01"), SaveResult::kSaved);
      else
        ASSERT_TRUE(CancelVerification(s));
    };
    post({{1930, '+', 250.0}, {3010, '-', 250.0}}, true);
    post({{6110, '+', 99.5}, {1930, '-', 80.0}, {2440, '-', 19.5}}, true);
    db.SelectBookkeeping(1);  // March's sums filed
    clock_.Set(2026, 5, 12);
    post({{6110, '+', 5.0}, {1930, '-', 5.0}}, false);
    post({{2440, '+', 300.0}, {1930, '-', 300.0}}, true);
    clock_.Set(2027, 2, 10);  // after the period: the fault runs file under this month
    // The destructor closes the bookkeeping (its list record written) and the list.
  }

  // The template as a fresh data directory with bookkeeping 1 open.
  BfShared& Start(const fs::path& data) {
    db_.reset();
    fs::remove_all(data);
    fs::copy(root_ / "template", data, fs::copy_options::recursive);
    ekonfig::Konfig.SetCurBase(1);
    db_ = std::make_unique<BfDatabase>(data.string());
    db_->OpenBookkeepingList();
    db_->SelectRemembered();
    return db_->shared();
  }

  // Closes everything and opens the data directory again, as the next start would.
  BfShared& Restart(const fs::path& data, int n) {
    db_.reset();
    ekonfig::Konfig.SetCurBase(n);
    db_ = std::make_unique<BfDatabase>(data.string());
    db_->OpenBookkeepingList();
    db_->SelectRemembered();
    return db_->shared();
  }

  // The bookkeeping n of data, opened afresh: its contents, and that it is sound.
  Contents Check(const fs::path& data, int n, const std::string& what) {
    BfShared& s = Restart(data, n);
    EXPECT_TRUE(db_->bookkeepingOpen()) << what << ": " << eerror::StatusMsg;
    if (!db_->bookkeepingOpen()) return {};
    for (const std::string& finding : VerifyBookkeeping(s, data.string())) ADD_FAILURE() << what << ": " << finding;
    return Read(s);
  }

  // Runs operation once without faults (its result and the calls it makes), then once with
  // every single call of each kind failing, and a short write for every write. judge sees
  // each run's result.
  void EveryFault(const std::function<bool()>& operation,
                  const std::function<void(bool ok, const std::string& what)>& judge) {
    const fs::path data = root_ / "data";
    const faultloop::Calls calls = faultloop::EveryFault(
        [&] {
          Start(data);
          boxes_.boxes.clear();
        },
        operation,
        [&](bool ok, const faultloop::Injection& at) {
          if (at.none()) {
            ASSERT_TRUE(ok) << eerror::StatusMsg;
          }
          for (const auto& box : boxes_.boxes)
            EXPECT_EQ(box.text.find("Inget fel"), std::string::npos) << at.what << ": a failure reported as none";
          judge(ok, at.what);
        });
    EXPECT_GT(calls[Op::Write], 0);
  }

  // No file an operation works with is left behind in the data directory.
  void ExpectNoWorkFiles(const fs::path& data, const std::string& what) {
    for (const auto& entry : fs::directory_iterator(data)) {
      const std::string name = entry.path().filename().string();
      const std::string ext = entry.path().extension().string();
      EXPECT_FALSE(name.back() == '~' || ext == ".SAV" || ext == ".MSG") << what << ": " << name << " left";
    }
  }

  Contents Template() {
    const fs::path data = root_ / "original";
    Start(data);
    return Check(data, 1, "template");
  }

  fs::path root_;
  std::unique_ptr<BfDatabase> db_;
  // Every close files the month sums under today's month.
  etider::SetClock clock_{2026, 3, 1};
  const etider::ScopedClock clockInstalled_{clock_};
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes boxesInstalled_{boxes_};
  ecountform::RecordingProgressWindows progress_;
  ecountform::ProgressWindows* previousProgress_ = nullptr;
};

TEST_F(Faults, ARebuildGoesThroughOrLeavesEverythingAsItWas) {
  const Contents before = Template();
  ASSERT_EQ(before.verifications.size(), 3u);
  const fs::path data = root_ / "data";
  EveryFault([&] { return db_->RebuildBookkeeping(); },
             [&](bool, const std::string& what) {
               // The template is sound, so a rebuild changes nothing a user can see.
               EXPECT_EQ(Check(data, 1, what), before) << what;
               ExpectNoWorkFiles(data, what);
             });
}

// The rebuild works on files kept aside, so the rows it posts again are not flushed one by
// one: its flushes do not grow with the verifications.
TEST_F(Faults, ARebuildFlushesAsOftenForAHundredVerificationsAsForThree) {
  BfShared& s = Start(root_ / "data");
  const auto flushesOfARebuild = [&] {
    db_->SelectBookkeeping(1);  // what the postings left to close is not the rebuild's
    isam::seam::Disarm();       // zeroes the counters
    EXPECT_TRUE(db_->RebuildBookkeeping()) << eerror::StatusMsg;
    return isam::seam::Calls(Op::Flush);
  };
  const int64_t few = flushesOfARebuild();
  while (s.dataBas.lastVerNr < 100) {
    PrepareFreshVerification(s);
    ASSERT_EQ(AddVerificationRow(s, 1930, '+', 1.25), RowResult::kPosted);
    ASSERT_EQ(AddVerificationRow(s, 6110, '+', 2.50), RowResult::kPosted);
    ASSERT_EQ(AddVerificationRow(s, 3010, '-', 3.75), RowResult::kPosted);
    ASSERT_EQ(SaveVerification(s, "fler", "2026-05-12"), SaveResult::kSaved);
  }
  EXPECT_EQ(flushesOfARebuild(), few);
  Check(root_ / "data", 1, "a hundred verifications rebuilt");
}

TEST_F(Faults, AYearEndGoesThroughWholeOrNotAtAll) {
  const Contents before = Template();
  const fs::path data = root_ / "data";
  Contents after;
  EveryFault([&] { return db_->ResetBookkeeping(); },
             [&](bool ok, const std::string& what) {
               const Contents now = Check(data, 1, what);
               if (what == "no fault") after = now;
               ASSERT_TRUE(after.verifications.empty());
               if (ok)
                 EXPECT_EQ(now, after) << what << ": reported done";
               else
                 EXPECT_EQ(now, before) << what << ": reported failed";
               ExpectNoWorkFiles(data, what);
             });
}

TEST_F(Faults, ABackupIsWholeWhenReportedAndNeverHarmsTheSource) {
  const Contents before = Template();
  const fs::path data = root_ / "data", target = root_ / "backup";
  EveryFault(
      [&] {
        fs::remove_all(target);
        fs::create_directories(target);
        return db_->CopyBookkeeping(CopyMode::kBackup, target.string());
      },
      [&](bool ok, const std::string& what) {
        if (!ok) {
          for (const std::string& partial : db_->partialFiles()) EXPECT_TRUE(fs::exists(partial)) << what;
        }
        EXPECT_EQ(Check(data, 1, what), before) << what << ": the source";
        if (ok) {
          EXPECT_EQ(Check(target, 1, what + ", the backup"), before) << what << ": the backup";
        }
      });
}

TEST_F(Faults, ACopyIsWholeWhenReportedAndLeavesNoHalfSlot) {
  const Contents before = Template();
  const fs::path data = root_ / "data";
  EveryFault([&] { return db_->CopyBookkeeping(CopyMode::kCopy); },
             [&](bool ok, const std::string& what) {
               EXPECT_EQ(Check(data, 1, what), before) << what << ": the source";
               if (ok) {
                 Contents copy = Check(data, 2, what + ", the copy");
                 copy.list.number = before.list.number;
                 EXPECT_EQ(copy, before) << what << ": the copy";
               } else {
                 EXPECT_TRUE(Bytes(data / "BfNolk.DAT") == Bytes(root_ / "template" / "BfNolk.DAT"))
                     << what << ": the list changed";
                 EXPECT_EQ(db_->shared().listInUse, 1) << what << ": a slot left for a failed copy";
                 EXPECT_FALSE(fs::exists(data / "Konto02.DAT")) << what;
               }
             });
}

}  // namespace
}  // namespace bf
