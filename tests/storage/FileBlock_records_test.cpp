// The data file on disk and the record operations with their free chain.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <span>

#include "EngineFixture.h"

using namespace isam;

namespace {

class Records : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    CreateFileBlock(Name("acc"), 32, 0, {});
    ASSERT_TRUE(IsamSuccess);
    fb = Open("acc");
  }
  void TearDown() override {
    if (fb) CloseFileBlock(fb);
    EngineTest::TearDown();
  }
  int32_t Add(const std::string& body) {
    const std::string r = Record(32, body);
    int32_t n = 0;
    AddRec(fb, n, r.data());
    EXPECT_TRUE(IsamSuccess) << IsamError;
    return n;
  }
  FileBlock* fb = nullptr;
};

TEST_F(Records, NewDataFileLayoutByteByByte) {
  const std::string dat = dir.Read("acc.DAT");
  ASSERT_EQ(dat.size(), 32u);
  EXPECT_EQ(I32(dat, 0), -1);  // FirstFree
  EXPECT_EQ(I32(dat, 4), 0);   // FreeCount
  EXPECT_EQ(I32(dat, 8), 0);   // HighRecord
  EXPECT_EQ(I32(dat, 12), 32);  // RecordLength
  EXPECT_EQ(I32(dat, 16), 0);  // IndexCount
  EXPECT_EQ(dat[20], 0);       // OpenFlag
  EXPECT_EQ(dat.substr(21), std::string(11, '\0'));
  EXPECT_EQ(FileLen(fb), 1);
  EXPECT_EQ(UsedRecs(fb), 0);
  EXPECT_EQ(dir.Read("acc.DIA").size(), 1u);  // made by the first open
}

TEST_F(Records, RecordsLiveAtTheirSlotsAndReadBack) {
  EXPECT_EQ(Add("first"), 1);
  EXPECT_EQ(Add("second"), 2);
  const std::string dat = dir.Read("acc.DAT");
  ASSERT_EQ(dat.size(), 96u);
  EXPECT_EQ(dat.substr(64, 32), Record(32, "second"));
  EXPECT_EQ(I32(dat, 8), 2);
  std::string back(32, 'x');
  GetRec(fb, 1, back.data());
  EXPECT_EQ(back, Record(32, "first"));
  const std::string changed = Record(32, "changed");
  PutRec(fb, 1, changed.data());
  GetRec(fb, 1, back.data());
  EXPECT_EQ(back, changed);
  GetRec(fb, 3, back.data());
  EXPECT_EQ(IsamError, kErrShortRead);  // beyond the end
  EXPECT_EQ(dir.Read("acc.DIA").size(), 1u);
}

TEST_F(Records, FreeChainIsAStack) {
  for (int i = 0; i < 6; ++i) Add("r" + std::to_string(i));
  DeleteRec(fb, 3);
  DeleteRec(fb, 5);
  const std::string dat = dir.Read("acc.DAT");
  EXPECT_EQ(I32(dat, 5 * 32), 3);   // the previous head, whatever the record held
  EXPECT_EQ(I32(dat, 3 * 32), -1);
  EXPECT_EQ(dat.substr(5 * 32 + 4, 2), "r4");  // the rest of the slot stays
  EXPECT_EQ(I32(dat, 0), 5);
  EXPECT_EQ(I32(dat, 4), 2);
  EXPECT_EQ(UsedRecs(fb), 4);
  EXPECT_EQ(Add("a"), 5);
  EXPECT_EQ(Add("b"), 3);
  EXPECT_EQ(Add("c"), 7);
  EXPECT_EQ(FileLen(fb), 8);
}

TEST_F(Records, NumberChecks) {
  const std::string r = Record(32, "x");
  Add("one");
  PutRec(fb, 0, r.data());
  EXPECT_EQ(IsamError, kErrRecordZero);
  PutRec(fb, 2, r.data());  // beyond HighRecord the slot would be unknown to the header
  EXPECT_EQ(IsamError, kErrRecordZero);
  DeleteRec(fb, 0);
  EXPECT_EQ(IsamError, kErrRecordOutOfRange);
  DeleteRec(fb, 2);
  EXPECT_EQ(IsamError, kErrRecordOutOfRange);
  EXPECT_EQ(dir.Read("acc.DAT").size(), 64u);
}

TEST_F(Records, WithoutJournalHeadersWaitForTheClose) {
  CloseFileBlock(fb);
  fb = Open("acc", false);
  EXPECT_FALSE(std::filesystem::exists(dir / "acc.DIA"));  // deleted by a journal-less open
  Add("x");
  std::string dat = dir.Read("acc.DAT");
  EXPECT_EQ(dat[20], 1);        // not closed properly, if we stopped now
  EXPECT_EQ(I32(dat, 8), 0);    // the header itself is still the old one
  CloseFileBlock(fb);
  dat = dir.Read("acc.DAT");
  EXPECT_EQ(dat[20], 0);
  EXPECT_EQ(I32(dat, 8), 1);
  fb = Open("acc");
  EXPECT_EQ(FileLen(fb), 2);
}

// A rewrite without journal is flushed by the close, not at once: many rewrites cost one
// flush to set the not-closed mark and those of the close, and a crash before the close
// leaves the file refused rather than taken for whole.
TEST_F(Records, WithoutJournalRewritesAreFlushedByTheClose) {
  Add("a");
  Add("b");
  CloseFileBlock(fb);
  fb = Open("acc", false);
  seam::Disarm();  // zeroes the counters
  for (int i = 0; i < 50; ++i) {
    const std::string r = Record(32, "rewrite " + std::to_string(i));
    PutRec(fb, 1 + i % 2, r.data());
    ASSERT_TRUE(IsamSuccess);
  }
  EXPECT_EQ(seam::Calls(seam::Op::Flush), 1);
  EXPECT_EQ(dir.Read("acc.DAT")[20], 1);  // not closed properly, if we stopped now
  CloseFileBlock(fb);
  ASSERT_TRUE(IsamSuccess);
  EXPECT_GT(seam::Calls(seam::Op::Flush), 1);
  const std::string dat = dir.Read("acc.DAT");
  EXPECT_EQ(dat[20], 0);
  EXPECT_EQ(dat.substr(64, 32), Record(32, "rewrite 49"));
  fb = Open("acc");
  EXPECT_EQ(FileLen(fb), 3);
}

TEST_F(Records, OpenFlagLeftSetRefusesTheOpen) {
  CloseFileBlock(fb);
  std::string dat = dir.Read("acc.DAT");
  dat[20] = 1;
  dir.Write("acc.DAT", dat);
  FileBlock* other = nullptr;
  OpenFileBlock(other, Name("acc"), true);
  EXPECT_EQ(IsamError, kErrOpenRefused);
  EXPECT_EQ(other, nullptr);
}

TEST_F(Records, SecondOpenIsRefusedInThisAndAnotherProcess) {
  FileBlock* again = nullptr;
  OpenFileBlock(again, Name("acc"), true);
  EXPECT_EQ(IsamError, kErrSystemFailure);
  EXPECT_EQ(again, nullptr);
  // Another process: isamtool opening the same fileblock.
  dir.Write("s", "init\nopen " + Name("acc") + "\n");
  const std::string cmd = "'" BFN_BIN_DIR "/isamtool' script '" + (dir / "s") + "'";
  FILE* p = ::popen(cmd.c_str(), "r");
  char line[128] = {};
  std::fgets(line, sizeof line, p);
  std::fgets(line, sizeof line, p);
  ::pclose(p);
  EXPECT_STREQ(line, "error 10140 class 4\n");
  CloseFileBlock(fb);
  fb = Open("acc");  // free again once closed
}

TEST_F(Records, OpensForReadingShareTheFileKeepAWriterOutAndChangeNothing) {
  Add("kept");
  CloseFileBlock(fb);
  std::filesystem::remove(dir / "acc.DIA");
  const std::string dat = dir.Read("acc.DAT");
  FileBlock* first = nullptr;
  FileBlock* second = nullptr;
  OpenFileBlockReadOnly(first, Name("acc"));
  ASSERT_TRUE(IsamSuccess) << IsamError;
  OpenFileBlockReadOnly(second, Name("acc"));
  ASSERT_TRUE(IsamSuccess) << IsamError;
  EXPECT_FALSE(std::filesystem::exists(dir / "acc.DIA"));  // no journal made for reading
  std::string back(32, 'x');
  GetRec(second, 1, back.data());
  EXPECT_EQ(back, Record(32, "kept"));

  int32_t n = 0;
  AddRec(first, n, back.data());
  EXPECT_EQ(IsamError, kErrAccessDenied);
  PutRec(first, 1, back.data());
  EXPECT_EQ(IsamError, kErrAccessDenied);
  DeleteRec(first, 1);
  EXPECT_EQ(IsamError, kErrAccessDenied);
  BeginUnit(first);
  EXPECT_EQ(IsamError, kErrAccessDenied);

  OpenFileBlock(fb, Name("acc"), true);
  EXPECT_EQ(IsamError, kErrSystemFailure);
  EXPECT_EQ(IsamDosError, EWOULDBLOCK);
  CloseFileBlock(first);
  CloseFileBlock(second);
  EXPECT_EQ(dir.Read("acc.DAT"), dat);

  fb = Open("acc");  // a writer, which keeps a reader out in turn
  OpenFileBlockReadOnly(first, Name("acc"));
  EXPECT_EQ(IsamError, kErrSystemFailure);
  CloseFileBlock(fb);

  // An unfinished change in the journal (room given to it, nothing written yet) needs a
  // writer to put it right; a reader is refused until one has.
  dir.Write("acc.DIA", std::string(3, '\0'));
  OpenFileBlockReadOnly(first, Name("acc"));
  EXPECT_EQ(IsamError, kErrReplayFailed);
  EXPECT_EQ(dir.Read("acc.DIA").size(), 3u);
  fb = Open("acc");
  CloseFileBlock(fb);
  OpenFileBlockReadOnly(first, Name("acc"));
  EXPECT_TRUE(IsamSuccess) << IsamError;
  CloseFileBlock(first);
}

TEST_F(Records, KeysOfAFileOpenForReadingCannotChange) {
  const IndexDescription index{8, false};
  CreateFileBlock(Name("keyed"), 32, 1, std::span<const IndexDescription>(&index, 1));
  FileBlock* reader = nullptr;
  OpenFileBlockReadOnly(reader, Name("keyed"));
  ASSERT_TRUE(IsamSuccess) << IsamError;
  AddKey(reader, 1, 1, "key");
  EXPECT_EQ(IsamError, kErrAccessDenied);
  DeleteKey(reader, 1, 1, "key");
  EXPECT_EQ(IsamError, kErrAccessDenied);
  CloseFileBlock(reader);
}

TEST_F(Records, HandleChecks) {
  FileBlock* closed = fb;
  CloseFileBlock(fb);
  EXPECT_EQ(fb, nullptr);
  EXPECT_EQ(FileLen(closed), 0);
  EXPECT_EQ(IsamError, kErrNotAFileBlock);
  EXPECT_EQ(UsedRecs(nullptr), 0);
  EXPECT_EQ(IsamError, kErrNotAFileBlock);
  CloseFileBlock(closed);
  EXPECT_EQ(IsamError, kErrNotOpen);
}

}  // namespace
