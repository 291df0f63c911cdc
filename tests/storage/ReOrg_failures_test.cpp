// Reorganising when things go wrong: a fileblock in use, a failing call at every step of
// ReStruct from a whole data file and from an interrupted run, and a ReIndex that stops
// half-way. The records are never lost, and the repair tool's check says where they are.
#include <cerrno>
#include <filesystem>

#include "EngineFixture.h"
#include "FaultLoop.h"
#include "storage/FileCheck.h"
#include "storage/ReOrg.h"

using namespace isam;

namespace {

constexpr int32_t kLength = 32;
const IndexDescription kIndexes[] = {{6, false}, {6, true}};

// Index 1: the six bytes from offset 4; index 2: the first two of them.
void Key(std::string& key, const unsigned char* record, int indexNo) {
  key.assign(reinterpret_cast<const char*>(record + 4), indexNo == 1 ? 6 : 2);
}

bool KeepLive(const unsigned char* oldRecord, unsigned char* newRecord) {
  if (oldRecord[0] | oldRecord[1] | oldRecord[2] | oldRecord[3]) return false;
  std::copy(oldRecord, oldRecord + kLength, newRecord);
  return true;
}

class ReorgFailures : public EngineTest {
 protected:
  // "t": records k00001.. with keys, every third deleted.
  void SetUp() override {
    EngineTest::SetUp();
    CreateFileBlock(Name("t"), kLength, 2, kIndexes);
    FileBlock* fb = Open("t");
    for (int i = 1; i <= 30; ++i) {
      char body[8];
      std::snprintf(body, sizeof body, "k%05d", i);
      int32_t n = 0;
      AddRec(fb, n, Record(kLength, body).data());
      AddKey(fb, 1, n, body);
      AddKey(fb, 2, n, std::string(body, 2));
    }
    for (int n = 3; n <= 30; n += 3) DeleteRec(fb, n);
    CloseFileBlock(fb);
    ASSERT_TRUE(IsamSuccess);
    dat_ = dir.Read("t.DAT");
    ix_ = dir.Read("t.IX");
  }

  // Puts the files back as SetUp left them, or as a run cut off after its rename leaves them.
  void Start(bool interrupted) {
    for (const char* f : {"t.DAT", "t.IX", "t.DIA", "t.SAV", "t.MSG"}) std::filesystem::remove(dir / f);
    dir.Write(interrupted ? "t.SAV" : "t.DAT", dat_);
    if (!interrupted) dir.Write("t.IX", ix_);
  }

  bool Exists(const std::string& f) const { return std::filesystem::exists(dir / f); }

  // A fault-free ReOrg from whatever a failed run left, then the fileblock holds the 20
  // live records and the check finds nothing.
  void ExpectReorgMends() {
    ReOrg(Name("t"), kLength, 2, kIndexes, kLength, Key, KeepLive);
    ASSERT_TRUE(IsamSuccess) << IsamError;
    const FileBlockCheck check(Name("t"));
    EXPECT_TRUE(check.sound()) << check.findings().front();
    EXPECT_EQ(check.shape().highRecord, 20);
  }

  std::string dat_, ix_;
};

TEST_F(ReorgFailures, AFileblockInUseIsRefusedAndStaysUsable) {
  FileBlock* fb = Open("t");
  ReStruct(Name("t"), kLength, kLength, KeepLive);
  EXPECT_EQ(IsamError, kErrRenameFailed);
  EXPECT_FALSE(Exists("t.SAV"));
  ReIndex(Name("t"), 2, kIndexes, Key, true);
  EXPECT_EQ(IsamError, kErrSystemFailure);
  int32_t n = 0;
  AddRec(fb, n, Record(kLength, "k99999").data());
  EXPECT_TRUE(IsamSuccess) << IsamError;
  EXPECT_EQ(n, 30);  // the last deleted slot, from the chain the open fileblock keeps
  CloseFileBlock(fb);
  EXPECT_EQ(dir.Read("t.IX"), ix_);
}

TEST_F(ReorgFailures, ARenameThatCannotBeDoneTouchesNothing) {
  ReStruct(Name("t") + ";" + Name("t") + ";" + (dir / "no/such/folder/t"), kLength, kLength, KeepLive);
  EXPECT_FALSE(IsamSuccess);
  EXPECT_EQ(dir.Read("t.DAT"), dat_);
  EXPECT_EQ(dir.Read("t.IX"), ix_);
}

// Every read, write, truncate and flush of ReStruct made to fail in turn, from a whole data
// file and from a saved copy: either the run succeeded, or the old records are back in
// t.DAT, or the saved copy is kept and the check names it first.
TEST_F(ReorgFailures, EveryFailingCallLeavesTheRecordsWhereTheCheckSaysTheyAre) {
  for (bool interrupted : {false, true}) {
    SCOPED_TRACE(interrupted ? "from t.SAV" : "from t.DAT");
    faultloop::EveryFault(
        [&] { Start(interrupted); },
        [&] {
          ReStruct(Name("t"), kLength, kLength, KeepLive);
          return Result();
        },
        [&](const Outcome& r, const faultloop::Injection&) {
          const FileBlockCheck check(Name("t"));
          if (r.ok) {
            EXPECT_FALSE(Exists("t.SAV"));
            EXPECT_EQ(check.shape().highRecord, 20);
          } else if (interrupted) {
            EXPECT_NE(r.error, 0);
            EXPECT_EQ(dir.Read("t.SAV"), dat_);
            EXPECT_FALSE(Exists("t.DAT"));
            ASSERT_FALSE(check.sound());
            EXPECT_EQ(check.findings().front().rfind("saved copy ", 0), 0u) << check.findings().front();
          } else {
            EXPECT_EQ(dir.Read("t.DAT"), dat_);
            EXPECT_FALSE(Exists("t.SAV"));
            for (const std::string& f : check.findings()) EXPECT_EQ(f.find("saved copy"), std::string::npos) << f;
          }
          ExpectReorgMends();
        });
    if (HasFailure()) return;
  }
}

// A ReIndex that stops after the old index file went leaves a fileblock that the engine
// refuses and the check flags, until a ReIndex finishes; a wrong call touches nothing.
TEST_F(ReorgFailures, AReIndexThatStopsLeavesTheFileblockRefusedUntilRebuilt) {
  int calls = 0;
  ReIndex(Name("t"), 2, kIndexes, [&](std::string& key, const unsigned char* r, int k) {
    if (k == 2 && ++calls == 5) IsamSuccess = false;
    Key(key, r, k);
  }, true);
  EXPECT_EQ(IsamError, kErrKeyFunctionStopped);
  FileBlock* fb = nullptr;
  OpenFileBlock(fb, Name("t"), true);
  EXPECT_EQ(IsamError, kErrOpenRefused);
  const FileBlockCheck half(Name("t"));
  ASSERT_FALSE(half.sound());
  EXPECT_NE(half.findings().front().find("OpenFlag"), std::string::npos) << half.findings().front();

  const IndexDescription wrong[] = {{6, false}, {31, true}};
  const std::string before = dir.Read("t.DAT");
  ReIndex(Name("t"), 2, wrong, Key, true);
  EXPECT_EQ(IsamError, kErrBadKeyLength);
  EXPECT_EQ(dir.Read("t.DAT"), before);

  ReIndex(Name("t"), 2, kIndexes, Key, true);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  const FileBlockCheck whole(Name("t"));
  EXPECT_TRUE(whole.sound()) << whole.findings().front();
  fb = Open("t");
  int32_t n = 0;
  FindKey(fb, 2, n, "k0");
  EXPECT_EQ(n, 1);
  CloseFileBlock(fb);
}

TEST_F(ReorgFailures, AReIndexWithAFailingWriteIsNeverTakenForWhole) {
  faultloop::EveryFault(
      [&] { Start(false); },
      [&] {
        ReIndex(Name("t"), 2, kIndexes, Key, true);
        return Result();
      },
      [&](const Outcome& r, const faultloop::Injection&) {
        FileBlock* fb = nullptr;
        OpenFileBlock(fb, Name("t"), true);
        // A failed rebuild either touched nothing or is refused.
        const bool untouched = dir.Read("t.IX") == ix_;
        if (!r.ok && !untouched) {
          EXPECT_FALSE(IsamSuccess) << "a failed rebuild opened";
        }
        if (fb) CloseFileBlock(fb);
        ReIndex(Name("t"), 2, kIndexes, Key, true);
        ASSERT_TRUE(IsamSuccess) << IsamError;
        const FileBlockCheck check(Name("t"));
        EXPECT_TRUE(check.sound()) << check.findings().front();
      },
      {{seam::Op::Write, 0, EIO, 0}, {seam::Op::Write, 0, EIO, 1}});
}

// What a power cut during a ReIndex could leave: the data file's OpenFlag as it stands on
// disk at each of its flushes. It may say "closed" only once, at the end, when every index
// page and header written before is on disk too.
TEST_F(ReorgFailures, AReIndexSaysClosedOnDiskOnlyWhenItsIndexesAreWhole) {
  Start(false);
  struct Flushed {
    char flag;
    bool indexPending;
  };
  std::vector<Flushed> flushes;
  char flag = dat_.at(20);
  bool indexPending = false;
  seam::Observe([&](const seam::Event& e) {
    const std::string file = std::filesystem::path(e.path).filename().string();
    if (file == "t.IX" && (e.op == seam::Op::Write || e.op == seam::Op::Truncate)) indexPending = true;
    if (file == "t.IX" && e.op == seam::Op::Flush) indexPending = false;
    if (file == "t.DAT" && e.op == seam::Op::Write && e.pos <= 20 &&
        e.pos + static_cast<int64_t>(e.data.size()) > 20)
      flag = e.data[static_cast<size_t>(20 - e.pos)];
    if (file == "t.DAT" && e.op == seam::Op::Flush) flushes.push_back({flag, indexPending});
  });
  ReIndex(Name("t"), 2, kIndexes, Key, true);
  seam::Observe(nullptr);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  ASSERT_GE(flushes.size(), 2u);
  for (size_t i = 0; i + 1 < flushes.size(); ++i) EXPECT_EQ(flushes[i].flag, 1) << "flush " << i;
  EXPECT_EQ(flushes.back().flag, 0);
  EXPECT_FALSE(flushes.back().indexPending);
  const FileBlockCheck check(Name("t"));
  EXPECT_TRUE(check.sound()) << check.findings().front();
}

TEST_F(ReorgFailures, ADumpLogThatCannotBeWrittenStopsTheRunWith9500AndTheSystemsCode) {
  std::filesystem::create_directory(dir / "t.MSG");  // EISDIR on opening it to write
  const IndexDescription unique[] = {{2, false}};
  const auto same = [](std::string& key, const unsigned char*, int) { key = "k0"; };
  ReIndex(Name("t"), 1, unique, same, true);
  EXPECT_EQ(IsamError, kErrDumpLogBase + EISDIR);
  FileBlock* fb = nullptr;
  OpenFileBlock(fb, Name("t"), true);
  EXPECT_EQ(IsamError, kErrOpenRefused);
  std::filesystem::remove(dir / "t.MSG");
  ReIndex(Name("t"), 1, unique, same, true);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  fb = Open("t");
  EXPECT_EQ(UsedRecs(fb), 1);  // every later record had the first one's key
  CloseFileBlock(fb);
}

}  // namespace
