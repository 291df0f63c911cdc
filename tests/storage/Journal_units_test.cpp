// Units: the journaled calls between BeginUnit and CommitUnit stand or fall together. A failure
// at any write, flush, cut or read of a unit leaves the files as before it; a record the unit
// deleted comes back whole, since the unit never writes another record over it; a position
// in an index is stepped correctly after a unit was committed or undone.
#include "CrashWorkload.h"
#include "EngineFixture.h"
#include "FaultLoop.h"

using namespace isam;

namespace {

class Units : public EngineTest {
 protected:
  void TearDown() override {
    if (fb) CloseFileBlock(fb);
    EngineTest::TearDown();
  }

  // "t" with records 1..records, each keyed as Key(n) and Group(n).
  void Make(int records) {
    const IndexDescription ix[] = {{10, false}, {4, true}};
    CreateFileBlock(Name("t"), kWorkloadRecordLength, 2, ix);
    ASSERT_TRUE(IsamSuccess) << IsamError;
    fb = Open("t");
    ASSERT_NE(fb, nullptr);
    for (int n = 1; n <= records; ++n) ASSERT_EQ(Add(n), n);
  }

  static std::string Key(int n) { return "key" + std::to_string(1000 + n); }
  static std::string Group(int n) { return "g" + std::to_string(n % 3); }
  static std::string Body(int n) {
    return Record(kWorkloadRecordLength, "record " + std::to_string(n) + " in all its bytes");
  }

  // AddRec and both AddKeys; the record's number, 0 when a call failed.
  int32_t Add(int n) {
    int32_t rec = 0;
    AddRec(fb, rec, Body(n).data());
    if (!IsamSuccess) return 0;
    AddKey(fb, 1, rec, Key(n));
    if (!IsamSuccess) return 0;
    AddKey(fb, 2, rec, Group(n));
    return IsamSuccess ? rec : 0;
  }

  bool Remove(int32_t rec, int n) {
    DeleteKey(fb, 2, rec, Group(n));
    if (!IsamSuccess) return false;
    DeleteKey(fb, 1, rec, Key(n));
    if (!IsamSuccess) return false;
    DeleteRec(fb, rec);
    return IsamSuccess;
  }

  // Record 2 replaced by records 5 and 6: the unit of the fault test.
  bool ReplaceInUnit() {
    BeginUnit(fb);
    if (!IsamSuccess || !Remove(2, 2) || Add(5) == 0 || Add(6) == 0) return false;
    CommitUnit(fb);
    return IsamSuccess;
  }

  FileBlockState State() const { return ReadFileBlockState(dir, "t", 2); }

  std::string Read(int32_t rec) {
    std::string back(kWorkloadRecordLength, 'x');
    GetRec(fb, rec, back.data());
    EXPECT_TRUE(IsamSuccess) << IsamError;
    return back;
  }

  FileBlock* fb = nullptr;
};

TEST_F(Units, TheCallsReachTheFilesAtTheCommitWithFourFlushes) {
  Make(3);
  const FileBlockState before = State();
  BeginUnit(fb);
  seam::Disarm();
  const int32_t rec = Add(4);
  ASSERT_EQ(rec, 4);
  EXPECT_EQ(Read(rec), Body(4)) << "GetRec sees the record the unit holds back";
  EXPECT_EQ(seam::Calls(seam::Op::Flush), 0);
  const std::string dat = dir.Read("t.DAT");
  EXPECT_EQ(dat.size(), 4u * kWorkloadRecordLength) << "the data file is unchanged";
  CommitUnit(fb);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  EXPECT_EQ(seam::Calls(seam::Op::Flush), 4) << "journal, data file, index file, journal cut";
  const FileBlockState after = State();
  EXPECT_EQ(after.faults, "");
  EXPECT_EQ(after.records.size(), before.records.size() + 1);
  EXPECT_EQ(after.records.at(4), Body(4));
  EXPECT_EQ(after.entries[0].size(), 4u);
  EXPECT_EQ(after.entries[1].size(), 4u);
}

// The fault that found the need to hold deleted records: the commit's journal cut failing
// after the data file was written. Had the unit's AddRec taken record 2 again, the undo would
// have put back only its first word.
TEST_F(Units, AFailureAtAnyPointOfAUnitUndoesAllOfIt) {
  Make(4);
  CloseFileBlock(fb);
  const FileBlockState before = State();
  const std::string files[] = {"t.DAT", "t.IX", "t.DIA"};
  std::map<std::string, std::string> saved;
  for (const std::string& f : files) saved[f] = dir.Read(f);
  const auto restore = [&] {
    for (const auto& [name, bytes] : saved) dir.Write(name, bytes);
  };
  FileBlockState reference;  // the files once the unit went through
  const auto judge = [&](const Outcome& r, const faultloop::Injection& at) {
    if (at.none()) {
      ASSERT_TRUE(r.ok) << r.error;
      CloseFileBlock(fb);
      reference = State();
      ASSERT_EQ(reference.faults, "");
      EXPECT_EQ(reference.records.count(2), 0u);
      EXPECT_EQ(reference.records.count(6), 1u) << "record 2 stays free while the unit runs";
      return;
    }
    if (!r.ok) {
      if (r.error >= kErrAddRecUndone && r.error <= kErrDeleteKeyUndone) {
        CommitUnit(fb);  // a unit whose call was undone reports it and ends
        EXPECT_EQ(IsamError, kErrUnitUndone);
      } else if (r.error != kErrUnitUndone) {  // the commit failed and was undone
        AbortUnit(fb);  // a read refused before the call changed anything
        EXPECT_TRUE(IsamSuccess) << IsamError;
      }
      EXPECT_EQ(Read(2), Body(2)) << "the deleted record is back whole";
    }
    CloseFileBlock(fb);
    ASSERT_TRUE(IsamSuccess);
    const FileBlockState got = State();
    EXPECT_EQ(got.faults, "");
    // Only a flush after the journal was cut may fail with the unit standing.
    if (r.ok) EXPECT_TRUE(got == reference);
    else EXPECT_TRUE(got == before) << r.error;
  };
  const faultloop::Calls calls = faultloop::EveryFault(
      [&] {
        restore();
        fb = Open("t");
        ASSERT_NE(fb, nullptr);
      },
      [&] {
        ReplaceInUnit();
        return Result();
      },
      judge);
  for (const seam::Op op : {seam::Op::Write, seam::Op::Truncate, seam::Op::Flush, seam::Op::Read})
    EXPECT_GT(calls[op], 0);
}

TEST_F(Units, ARecordDeletedInAUnitIsTakenAgainOnlyAfterIt) {
  Make(3);
  BeginUnit(fb);
  ASSERT_TRUE(Remove(2, 2));
  EXPECT_EQ(Add(4), 4);
  AbortUnit(fb);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  EXPECT_EQ(Read(2), Body(2));
  EXPECT_EQ(FileLen(fb), 4);
  // A record the unit added and deleted again had no bytes to keep: it may be taken again.
  BeginUnit(fb);
  EXPECT_EQ(Add(4), 4);
  ASSERT_TRUE(Remove(4, 4));
  EXPECT_EQ(Add(5), 4);
  CommitUnit(fb);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  ASSERT_TRUE(Remove(2, 2));
  EXPECT_EQ(Add(6), 2) << "outside a unit the free chain is used again";
  EXPECT_EQ(State().faults, "");
}

TEST_F(Units, RefusalsLeaveTheUnitAndUndoneCallsEndIt) {
  Make(2);
  BeginUnit(fb);
  BeginUnit(fb);
  EXPECT_EQ(IsamError, kErrUnitOutOfOrder);
  AddKey(fb, 1, 1, Key(1));
  EXPECT_EQ(IsamError, kErrKeyExists) << "a duplicate changes nothing";
  EXPECT_EQ(Add(3), 3);
  seam::Arm({seam::Op::Write, 1});  // the journal image of record 1's first word
  DeleteRec(fb, 1);
  EXPECT_EQ(IsamError, kErrDeleteRecUndone);
  seam::Disarm();
  int32_t rec = 0;
  AddRec(fb, rec, Body(4).data());
  EXPECT_EQ(IsamError, kErrUnitUndone) << "an undone unit takes no more changes";
  CommitUnit(fb);
  EXPECT_EQ(IsamError, kErrUnitUndone);
  EXPECT_EQ(FileLen(fb), 3) << "record 3 went with the unit";
  CommitUnit(fb);
  EXPECT_EQ(IsamError, kErrUnitOutOfOrder);
  AbortUnit(fb);
  EXPECT_EQ(IsamError, kErrUnitOutOfOrder);
  // Closing with a unit open undoes it.
  BeginUnit(fb);
  EXPECT_EQ(Add(3), 3);
  CloseFileBlock(fb);
  ASSERT_TRUE(IsamSuccess);
  EXPECT_EQ(State().records.size(), 2u);
  fb = Open("t", false);
  BeginUnit(fb);
  EXPECT_EQ(IsamError, kErrUnitOutOfOrder) << "no unit without journal";
}

// NextKey steps within the leaf it remembers; every change of the index must make it look again.
TEST_F(Units, APositionIsSteppedRightAfterEveryKindOfChange) {
  Make(40);  // one leaf holds fewer: the walk crosses leaves
  const auto next = [&](int32_t& rec, std::string& key) {
    NextKey(fb, 1, rec, key);
    return IsamSuccess;
  };
  int32_t rec = 0;
  std::string key = Key(10);
  FindKey(fb, 1, rec, key);
  ASSERT_TRUE(IsamSuccess);
  // Taken out by a committed unit: the next key is skipped.
  BeginUnit(fb);
  ASSERT_TRUE(Remove(11, 11));
  CommitUnit(fb);
  ASSERT_TRUE(next(rec, key));
  EXPECT_EQ(key, Key(12));
  // Added in a unit that is undone: never seen.
  BeginUnit(fb);
  AddKey(fb, 1, 13, Key(12) + "a");
  ASSERT_TRUE(IsamSuccess);
  AbortUnit(fb);
  ASSERT_TRUE(next(rec, key));
  EXPECT_EQ(key, Key(13));
  // A single AddKey that failed and was rolled back.
  seam::Arm({seam::Op::Flush, 1});
  AddKey(fb, 1, 14, Key(13) + "a");
  EXPECT_EQ(IsamError, kErrAddKeyUndone);
  seam::Disarm();
  ASSERT_TRUE(next(rec, key));
  EXPECT_EQ(key, Key(14));
  // Added by a single call just after the position: seen.
  AddKey(fb, 1, 15, Key(14) + "a");
  ASSERT_TRUE(IsamSuccess);
  ASSERT_TRUE(next(rec, key));
  EXPECT_EQ(key, Key(14) + "a");
  // Changes of the other index and of records leave the position alone.
  DeleteKey(fb, 2, 20, Group(20));
  ASSERT_TRUE(IsamSuccess);
  PutRec(fb, 20, Body(21).data());
  ASSERT_TRUE(IsamSuccess);
  ASSERT_TRUE(next(rec, key));
  EXPECT_EQ(key, Key(15));
  int walked = 0;
  while (next(rec, key)) ++walked;
  EXPECT_EQ(IsamError, kErrNoNextKey);
  EXPECT_EQ(walked, 40 - 15);
}

}  // namespace
