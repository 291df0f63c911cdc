// The journal around the record operations: a failure at any point of AddRec or DeleteRec is
// undone and leaves the files as they were; a journal left behind by a crash is replayed at
// the next open, and a journal or data file that cannot be trusted refuses the open.
#include <filesystem>

#include "EngineFixture.h"
#include "FaultLoop.h"
#include "IndexFileReader.h"

using namespace isam;

namespace {

constexpr int32_t kLength = 32;

// A little-endian byte string built field by field, for journals and headers written by hand.
struct Bytes {
  std::string s;
  Bytes& u8(uint8_t v) { s.push_back(static_cast<char>(v)); return *this; }
  Bytes& i16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
  Bytes& i32(int64_t v) {
    for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
    return *this;
  }
  Bytes& text(const std::string& t) { s += t; return *this; }
  Bytes& zeros(size_t n) { s.append(n, '\0'); return *this; }
};

// Header image of the data file: 21 header bytes, 8 of no meaning, the relink value.
std::string DataHeaderImage(int32_t firstFree, int32_t freeCount, int32_t high, int32_t relink,
                            int indexCount = 0) {
  return Bytes()
      .i16(1000).i16(0)
      .i32(firstFree).i32(freeCount).i32(high).i32(kLength).i32(indexCount).u8(0)
      .zeros(8)
      .i32(relink)
      .s;
}

class Journal : public EngineTest {
 protected:
  void TearDown() override {
    if (fb) CloseFileBlock(fb);
    EngineTest::TearDown();
  }

  // "t" with `live` records numbered 1.. and then the records in `deleted` deleted in order.
  void Make(int live, const std::vector<int32_t>& deleted = {}, int indexes = 0) {
    std::vector<IndexDescription> ix(static_cast<size_t>(indexes), IndexDescription{4, false});
    CreateFileBlock(Name("t"), kLength, static_cast<uint16_t>(indexes), ix);
    ASSERT_TRUE(IsamSuccess) << IsamError;
    fb = Open("t");
    ASSERT_NE(fb, nullptr);
    for (int n = 1; n <= live; ++n) {
      int32_t rec = 0;
      AddRec(fb, rec, Record(kLength, "record " + std::to_string(n)).data());
      ASSERT_TRUE(IsamSuccess) << IsamError;
    }
    for (int32_t n : deleted) {
      DeleteRec(fb, n);
      ASSERT_TRUE(IsamSuccess) << IsamError;
    }
    CloseFileBlock(fb);
    ASSERT_TRUE(IsamSuccess);
  }

  struct Files {
    std::string dat, ix, dia;
    bool operator==(const Files&) const = default;
  };
  Files Snapshot() const { return {dir.Read("t.DAT"), dir.Read("t.IX"), dir.Read("t.DIA")}; }
  void Restore(const Files& f) const {
    dir.Write("t.DAT", f.dat);
    dir.Write("t.IX", f.ix);
    dir.Write("t.DIA", f.dia);
  }

  // The data file with every free slot cut to its link: the rest of a free slot has no
  // meaning, and an undone AddRec of a slot off the free chain only puts its link back.
  static std::string MeaningfulData(std::string dat) {
    if (dat.size() < 12) return dat;
    const int32_t high = I32(dat, 8);
    int32_t slot = I32(dat, 0);
    for (int32_t steps = 0; slot >= 1 && slot <= high && steps <= high; ++steps) {
      const size_t at = static_cast<size_t>(slot) * kLength;
      if (at + kLength > dat.size()) break;
      std::fill(dat.begin() + static_cast<std::ptrdiff_t>(at + 4),
                dat.begin() + static_cast<std::ptrdiff_t>(at + kLength), '\0');
      slot = I32(dat, at);
    }
    return dat;
  }

  // Opens "t" expecting the open to fail with `error`, leaving every file as it was.
  void ExpectOpenRefused(int32_t error) {
    const Files before = Snapshot();
    FileBlock* refused = nullptr;
    OpenFileBlock(refused, Name("t"), true);
    EXPECT_EQ(IsamError, error);
    EXPECT_EQ(refused, nullptr);
    EXPECT_TRUE(Snapshot() == before) << "a refused open changed the files";
  }

  FileBlock* fb = nullptr;
};

// ---- failures inside the record operations ----

struct RecordCase {
  const char* name;
  int live;
  std::vector<int32_t> deleted;
  bool add;             // AddRec, else DeleteRec of `target`
  int32_t target;       // the record AddRec must return, or the one to delete
};

class RecordFaults : public Journal, public ::testing::WithParamInterface<RecordCase> {
 protected:
  void Run(const RecordCase& c) {
    if (c.add) {
      int32_t rec = 0;
      AddRec(fb, rec, Record(kLength, "the new one").data());
      if (IsamSuccess) {
        EXPECT_EQ(rec, c.target);
      }
    } else {
      DeleteRec(fb, c.target);
    }
  }
};

TEST_P(RecordFaults, EveryFailureIsUndoneAndTheOperationGoesThroughAfterwards) {
  const RecordCase& c = GetParam();
  Make(c.live, c.deleted);
  ASSERT_FALSE(HasFatalFailure());
  const Files before = Snapshot();
  ASSERT_EQ(before.dia.size(), 1u);

  const int32_t undone = c.add ? kErrAddRecUndone : kErrDeleteRecUndone;
  Files reference;  // the files once the operation went through
  const auto judge = [&](const Outcome& r, const faultloop::Injection& at) {
    if (at.none()) {
      ASSERT_TRUE(r.ok) << r.error;
      CloseFileBlock(fb);
      reference = Snapshot();
      return;
    }
    if (r.ok) {
      // Only the flush after the journal was cut may fail without an undo.
      EXPECT_EQ(at.fault.op, seam::Op::Flush);
      CloseFileBlock(fb);
      EXPECT_TRUE(Snapshot() == reference) << "a standing operation left other files";
      return;
    }
    // A read refused before anything was changed reports the read's own error.
    if (at.fault.op != seam::Op::Read || r.error == undone) {
      EXPECT_EQ(r.error, undone);
      EXPECT_EQ(ErrorClassOf(r.error), 3);
    }
    const Files after = Snapshot();
    EXPECT_TRUE(MeaningfulData(after.dat) == MeaningfulData(before.dat))
        << "the failed operation changed the data file";
    EXPECT_TRUE(after.ix == before.ix) << "the failed operation changed the index file";
    EXPECT_EQ(after.dia.size(), 1u);
    // The retry runs once in the same fileblock and once after a reopen.
    if (at.fault.nth % 2 == 0) {
      CloseFileBlock(fb);
      ASSERT_TRUE(IsamSuccess);
      fb = Open("t");
    }
    Run(c);
    EXPECT_TRUE(IsamSuccess) << "retry: " << IsamError;
    CloseFileBlock(fb);
    ASSERT_TRUE(IsamSuccess);
    EXPECT_TRUE(Snapshot() == reference) << "the retry left other files";
  };
  const faultloop::Calls calls = faultloop::EveryFault(
      [&] {
        Restore(before);
        fb = Open("t");
        ASSERT_NE(fb, nullptr);
      },
      [&] {
        Run(c);
        return Result();
      },
      judge);
  for (const seam::Op op : {seam::Op::Write, seam::Op::Truncate, seam::Op::Flush}) EXPECT_GT(calls[op], 0);
}

const RecordCase kRecordCases[] = {
    {"AddAtTheEnd", 3, {}, true, 4},
    {"AddFromTheFreeChain", 5, {3, 5}, true, 5},
    {"AddTheLastFreeSlot", 5, {3}, true, 3},
    {"Delete", 4, {}, false, 2},
    {"DeleteOntoTheFreeChain", 5, {4}, false, 1},
};

INSTANTIATE_TEST_SUITE_P(Records, RecordFaults, ::testing::ValuesIn(kRecordCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- journals left behind by a crash ----

TEST_F(Journal, AnAppendCutOffBeforeItsEndIsTakenBackAtTheOpen) {
  Make(3);
  // The crash came after record 3 was written: the journal still holds the header from before.
  dir.Write("t.DIA", Bytes().u8(0x5A).text(DataHeaderImage(-1, 0, 2, -2)).s);
  fb = Open("t");
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(FileLen(fb), 3);
  EXPECT_EQ(UsedRecs(fb), 2);
  EXPECT_EQ(dir.Read("t.DIA").size(), 1u);
  EXPECT_EQ(dir.Read("t.DAT").size(), 3u * kLength);  // the slot nobody owns is gone
  int32_t rec = 0;
  AddRec(fb, rec, Record(kLength, "again").data());
  EXPECT_EQ(rec, 3);
}

TEST_F(Journal, TheRelinkValuePutsTheTakenSlotBackOnTheFreeChain) {
  Make(4, {2});  // chain: 2 → end
  fb = Open("t");
  int32_t rec = 0;
  AddRec(fb, rec, Record(kLength, "took slot 2").data());
  ASSERT_EQ(rec, 2);
  CloseFileBlock(fb);
  // As if the crash came between the record's write and the commit.
  dir.Write("t.DIA", Bytes().u8(0).text(DataHeaderImage(2, 1, 4, -1)).s);
  fb = Open("t");
  ASSERT_NE(fb, nullptr);
  const std::string dat = dir.Read("t.DAT");
  EXPECT_EQ(I32(dat, 0), 2);            // FirstFree
  EXPECT_EQ(I32(dat, 4), 1);            // FreeCount
  EXPECT_EQ(I32(dat, 2 * kLength), -1);  // the slot's link again
  EXPECT_EQ(UsedRecs(fb), 3);
  AddRec(fb, rec, Record(kLength, "takes it once more").data());
  EXPECT_EQ(rec, 2);
  AddRec(fb, rec, Record(kLength, "then past the end").data());
  EXPECT_EQ(rec, 5);
}

TEST_F(Journal, PageAndHeaderImagesOfAnIndexAreReplayed) {
  Make(2, {}, 1);
  fb = Open("t");
  AddKey(fb, 1, 1, "aaaa");
  ASSERT_TRUE(IsamSuccess);
  AddKey(fb, 1, 2, "bbbb");
  ASSERT_TRUE(IsamSuccess);
  CloseFileBlock(fb);
  const int pageBytes = 6 + kPageItems * (4 + 9);
  // Before "bbbb" went in: page 1 held "aaaa" alone, the header counted one entry.
  const std::string journal =
      Bytes()
          .u8(0)
          .i16(1).i16(1).i16(0)              // page image of one item, index 1
          .i32(1).i32(0).u8(4).text("aaaa")  // record 1, no right child, the key
          .i32(1).i32(0)                     // page 1, no left child
          .i16(1000).i16(1)
          .i32(-1).i32(0).i32(1).i32(pageBytes).i32(1).u8(0).zeros(2).i32(1).i16(kPageItems)
          .i32(-2)
          .s;
  dir.Write("t.DIA", journal);
  fb = Open("t");
  ASSERT_NE(fb, nullptr);
  int32_t rec = 0;
  FindKey(fb, 1, rec, "aaaa");
  EXPECT_TRUE(IsamSuccess);
  EXPECT_EQ(rec, 1);
  FindKey(fb, 1, rec, "bbbb");
  EXPECT_FALSE(IsamSuccess);
  CloseFileBlock(fb);
  const IndexFileReader ix(dir.Read("t.IX"), 1);
  EXPECT_EQ(ix.Check(1), "");
  EXPECT_EQ(ix.Header(1).entryCount, 1u);
}

TEST_F(Journal, AnEntryCutOffByTheCrashEndsTheReplayAfterTheCompleteOnes) {
  Make(3);
  const std::string second = DataHeaderImage(-1, 0, 1, -2);
  dir.Write("t.DIA", Bytes().u8(0).text(DataHeaderImage(-1, 0, 2, -2)).text(second.substr(0, 11)).s);
  fb = Open("t");
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(FileLen(fb), 3);  // the complete image counts, the cut one not
  EXPECT_EQ(dir.Read("t.DIA").size(), 1u);
}

TEST_F(Journal, AJournalThatCannotBeReadRefusesTheOpenAndIsKept) {
  Make(3, {}, 1);
  const std::string headerImage = DataHeaderImage(-1, 0, 2, -2, 1);
  struct Bad {
    const char* name;
    std::string entries;
  };
  const Bad bad[] = {
      {"unknown tag", Bytes().i16(7777).zeros(40).s},
      {"page of an index that does not exist", Bytes().i16(1).i16(2).zeros(40).s},
      {"page beyond the index file", Bytes().i16(1).i16(1).i16(0).i32(1).i32(0).u8(4).text("aaaa")
                                         .i32(9).i32(0).s},
      {"header of another record length",
       Bytes().i16(1000).i16(0).i32(-1).i32(0).i32(2).i32(64).i32(1).u8(0).zeros(8).i32(-2).s},
      {"header image whose free chain lies outside",
       Bytes().i16(1000).i16(0).i32(9).i32(1).i32(2).i32(kLength).i32(1).u8(0).zeros(8).i32(-2).s},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.name);
    // A good image first: nothing of it may be applied when a later entry is bad.
    dir.Write("t.DIA", Bytes().u8(0).text(headerImage).text(b.entries).s);
    const std::string dat = dir.Read("t.DAT");
    FileBlock* refused = nullptr;
    OpenFileBlock(refused, Name("t"), true);
    EXPECT_EQ(IsamError, kErrReplayFailed);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(dir.Read("t.DIA"), Bytes().u8(0).text(headerImage).text(b.entries).s);
    EXPECT_EQ(I32(dir.Read("t.DAT"), 8), 3);  // HighRecord as the crash left it
  }
}

TEST_F(Journal, OpeningWithoutJournalReplaysAPendingOneAndRemovesIt) {
  Make(3);
  dir.Write("t.DIA", Bytes().u8(0).text(DataHeaderImage(-1, 0, 2, -2)).s);
  fb = Open("t", false);
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(FileLen(fb), 3);
  EXPECT_FALSE(std::filesystem::exists(dir / "t.DIA"));
}

// ---- data files and journals that refuse the open ----

TEST_F(Journal, DamagedHeadersAndJournalsRefuseTheOpen) {
  Make(2);
  const std::string dat = dir.Read("t.DAT");
  auto withWord = [&](size_t at, int32_t v) {
    std::string d = dat;
    const std::string w = Bytes().i32(v).s;
    d.replace(at, 4, w);
    return d;
  };
  struct Damage {
    const char* name;
    std::string dat, dia;
    int32_t error;
  };
  const Damage damage[] = {
      {"journal of no bytes", dat, "", kErrShortRead},
      {"data file shorter than its header", dat.substr(0, 12), std::string(1, '\0'), kErrShortRead},
      {"record length 0", withWord(12, 0), std::string(1, '\0'), kErrRecordTooShort},
      {"record length negative", withWord(12, -32), std::string(1, '\0'), kErrRecordTooShort},
      {"record length 20", withWord(12, 20), std::string(1, '\0'), kErrRecordTooShort},
      {"free chain head beyond the highest record", withWord(0, 3), std::string(1, '\0'), kErrOutOfRange},
      {"free chain head 0", withWord(0, 0), std::string(1, '\0'), kErrOutOfRange},
      {"more free records than records", withWord(4, 3), std::string(1, '\0'), kErrOutOfRange},
  };
  for (const Damage& d : damage) {
    SCOPED_TRACE(d.name);
    dir.Write("t.DAT", d.dat);
    dir.Write("t.DIA", d.dia);
    ExpectOpenRefused(d.error);
  }
}

TEST_F(Journal, ABrokenLinkInTheFreeChainIsReportedAndChangesNothing) {
  Make(4, {2});
  std::string dat = dir.Read("t.DAT");
  dat.replace(2 * kLength, 4, Bytes().i32(0).s);  // 0 is never a link
  dir.Write("t.DAT", dat);
  fb = Open("t");
  ASSERT_NE(fb, nullptr);
  const Files before = Snapshot();
  int32_t rec = 0;
  AddRec(fb, rec, Record(kLength, "no room").data());
  EXPECT_EQ(IsamError, kErrOutOfRange);
  EXPECT_TRUE(Snapshot() == before);
  EXPECT_EQ(UsedRecs(fb), 3);
}

}  // namespace
