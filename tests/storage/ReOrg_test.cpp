// Reorganising a fileblock: records compacted without gaps, indexes rebuilt, duplicates
// logged and dropped, the saved copy and the resume after an interrupted run, the checks
// and the failures, and the few system calls a file of small records takes.
#include <filesystem>

#include "EngineFixture.h"
#include "FaultLoop.h"
#include "IndexFileReader.h"
#include "storage/ReOrg.h"

using namespace isam;

namespace {

constexpr int32_t kLength = 32;

// Record: first word 0, then a text field (length byte + 10 characters) at offset 4 and one
// at offset 15; the key of index k is the field it names.
std::string Rec(const std::string& a, const std::string& b) {
  std::string r(kLength, '\0');
  r[4] = static_cast<char>(a.size());
  r.replace(5, a.size(), a);
  r[15] = static_cast<char>(b.size());
  r.replace(16, b.size(), b);
  return r;
}

void FieldKey(std::string& key, const unsigned char* record, int indexNo) {
  const unsigned char* field = record + (indexNo == 1 ? 4 : 15);
  key.assign(reinterpret_cast<const char*>(field + 1), std::min<size_t>(field[0], 10));
}

bool KeepLive(const unsigned char* oldRecord, unsigned char* newRecord) {
  if (oldRecord[0] | oldRecord[1] | oldRecord[2] | oldRecord[3]) return false;
  std::copy(oldRecord, oldRecord + kLength, newRecord);
  return true;
}

const IndexDescription kIndexes[] = {{10, true}, {10, false}};  // by group (duplicates), by name

class Reorg : public EngineTest {
 protected:
  // "t" with the records given, then the listed record numbers deleted.
  void Make(const std::vector<std::string>& records, const std::vector<int32_t>& deleted, int indexes = 2) {
    CreateFileBlock(Name("t"), kLength, static_cast<uint16_t>(indexes), kIndexes);
    ASSERT_TRUE(IsamSuccess);
    FileBlock* fb = Open("t");
    for (const std::string& r : records) {
      int32_t n = 0;
      AddRec(fb, n, r.data());
      for (int k = 1; k <= indexes; ++k) {
        std::string key;
        FieldKey(key, reinterpret_cast<const unsigned char*>(r.data()), k);
        AddKey(fb, k, n, key);  // a duplicate name is refused here, as it would be in use
      }
    }
    for (int32_t n : deleted) DeleteRec(fb, n);
    CloseFileBlock(fb);
    ClearError();
  }

  void Run(int indexes = 2) { ReOrg(Name("t"), kLength, static_cast<uint16_t>(indexes), kIndexes, kLength, FieldKey, KeepLive); }

  std::vector<IxEntry> Entries(int k, int indexes = 2) const {
    std::vector<IxEntry> e;
    EXPECT_EQ(IndexFileReader(dir.Read("t.IX"), indexes).Check(k, &e), "");
    return e;
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
};

TEST_F(Reorg, LiveRecordsAreNumberedFromOneAndKeyedAfresh) {
  Make({Rec("a", "anna"), Rec("b", "bertil"), Rec("a", "cesar"), Rec("b", "david"), Rec("a", "erik")}, {2, 4});
  Run();
  ASSERT_TRUE(IsamSuccess) << IsamError;
  EXPECT_FALSE(Exists("t.SAV"));
  EXPECT_FALSE(Exists("t.DIA"));
  EXPECT_FALSE(Exists("t.MSG"));
  const std::string dat = dir.Read("t.DAT");
  EXPECT_EQ(dat.size(), 4u * kLength);
  EXPECT_EQ(I32(dat, 0), -1);  // FirstFree
  EXPECT_EQ(I32(dat, 4), 0);   // FreeCount
  EXPECT_EQ(I32(dat, 8), 3);   // HighRecord
  EXPECT_EQ(I32(dat, 16), 2);  // IndexCount
  EXPECT_EQ(dat[20], 0);       // OpenFlag
  EXPECT_EQ(dat.substr(3 * kLength, kLength), Rec("a", "erik"));
  const std::vector<IxEntry> byName = {{"anna", 1}, {"cesar", 2}, {"erik", 3}};
  EXPECT_EQ(Entries(2), byName);
  const std::vector<IxEntry> byGroup = {{"a", 1}, {"a", 2}, {"a", 3}};
  EXPECT_EQ(Entries(1), byGroup);
  FileBlock* fb = Open("t");
  EXPECT_EQ(UsedRecs(fb), FileLen(fb) - 1);
  CloseFileBlock(fb);
}

TEST_F(Reorg, ALaterDuplicateIsLoggedAndDeletedWithItsEarlierKeys) {
  Make({Rec("g1", "anna"), Rec("g2", "bo"), Rec("g3", "anna")}, {}, 0);  // no index kept them apart
  ReOrg(Name("t"), kLength, 2, kIndexes, kLength, FieldKey, KeepLive);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  EXPECT_EQ(dir.Read("t.MSG"), "Key:<anna> KeyNr: 2 Ref: 3 not added\r\n"
                               "Data record deleted - Dump follows\r\n\r\n\r\n");
  const std::vector<IxEntry> byGroup = {{"g1", 1}, {"g2", 2}};  // g3 went with its record
  EXPECT_EQ(Entries(1), byGroup);
  FileBlock* fb = Open("t");
  EXPECT_EQ(UsedRecs(fb), 2);
  CloseFileBlock(fb);
}

TEST_F(Reorg, ReIndexKeepsDuplicatesWhenAskedAndMendsAnOpenFlag) {
  Make({Rec("g1", "anna"), Rec("g2", "anna")}, {}, 0);
  std::string dat = dir.Read("t.DAT");
  dat[20] = 1;  // a fileblock not closed properly
  dir.Write("t.DAT", dat);
  FileBlock* refused = nullptr;
  OpenFileBlock(refused, Name("t"), true);
  ASSERT_EQ(IsamError, kErrOpenRefused);
  ReIndex(Name("t"), 2, kIndexes, FieldKey, false);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  EXPECT_EQ(dir.Read("t.MSG"), "Key:<anna> KeyNr: 2 Ref: 2 not added\r\n");
  FileBlock* fb = Open("t");
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(UsedRecs(fb), 2);
  CloseFileBlock(fb);
}

TEST_F(Reorg, WithoutIndexesOnlyTheDataFileIsRewritten) {
  CreateFileBlock(Name("t"), kLength, 0, {});
  FileBlock* fb = Open("t");
  for (int i = 0; i < 3; ++i) {
    int32_t n = 0;
    AddRec(fb, n, Rec("x", std::to_string(i)).data());
  }
  DeleteRec(fb, 1);
  CloseFileBlock(fb);
  ReOrg(Name("t"), kLength, 0, {}, kLength, FieldKey, KeepLive);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  EXPECT_FALSE(Exists("t.IX"));
  EXPECT_EQ(I32(dir.Read("t.DAT"), 8), 2);
}

TEST_F(Reorg, AnInterruptedRunIsResumedFromTheSavedCopy) {
  Make({Rec("a", "anna"), Rec("b", "bo")}, {1});
  std::filesystem::rename(dir / "t.DAT", dir / "t.SAV");  // cut off right after the rename
  Run();
  ASSERT_TRUE(IsamSuccess) << IsamError;
  EXPECT_FALSE(Exists("t.SAV"));
  const std::vector<IxEntry> byName = {{"bo", 1}};
  EXPECT_EQ(Entries(2), byName);
}

TEST_F(Reorg, ChecksRefuseAndTouchNothing) {
  Make({Rec("a", "anna")}, {});
  const std::string dat = dir.Read("t.DAT"), ix = dir.Read("t.IX");
  dir.Write("t.SAV", "left by an earlier run");
  Run();
  EXPECT_EQ(IsamError, kErrSavedCopyLeft);
  std::filesystem::remove(dir / "t.SAV");
  ReStruct(Name("t"), 70000, kLength, KeepLive);
  EXPECT_EQ(IsamError, kErrRecordTooLong);
  ReStruct(Name("nothing"), kLength, kLength, KeepLive);
  EXPECT_EQ(IsamError, kErrReorgFileNotFound);
  EXPECT_EQ(dir.Read("t.DAT"), dat);
  EXPECT_EQ(dir.Read("t.IX"), ix);

  std::string odd = dat + "xyz";  // not a whole number of records
  dir.Write("t.DAT", odd);
  ReIndex(Name("t"), 2, kIndexes, FieldKey, true);
  EXPECT_EQ(IsamError, kErrBadDataHeader);
  EXPECT_EQ(dir.Read("t.IX"), ix);
}

TEST_F(Reorg, ACallerThatStopsTheWorkGetsTheOldFileBack) {
  Make({Rec("a", "anna"), Rec("b", "bo"), Rec("c", "cesar")}, {2});
  const std::string dat = dir.Read("t.DAT");
  int seen = 0;
  ReStruct(Name("t"), kLength, kLength, [&](const unsigned char* o, unsigned char* n) {
    if (++seen == 3) IsamSuccess = false;
    return KeepLive(o, n);
  });
  EXPECT_EQ(IsamError, kErrConvertStopped);
  EXPECT_EQ(dir.Read("t.DAT"), dat);
  EXPECT_FALSE(Exists("t.SAV"));

  ReIndex(Name("t"), 2, kIndexes, [](std::string&, const unsigned char*, int) { IsamSuccess = false; }, true);
  EXPECT_EQ(IsamError, kErrKeyFunctionStopped);
}

TEST_F(Reorg, AFailingWriteKeepsTheOldFile) {
  Make({Rec("a", "anna"), Rec("b", "bo"), Rec("c", "cesar")}, {2});
  const std::string dat = dir.Read("t.DAT");
  faultloop::EveryFault(
      [&] { dir.Write("t.DAT", dat); },
      [&] {
        ReStruct(Name("t"), kLength, kLength, KeepLive);
        return Result();
      },
      [&](const Outcome& r, const faultloop::Injection&) {
        EXPECT_FALSE(Exists("t.SAV"));
        // A run that went through wrote the new header at its close, also when only the
        // mark that the file is being written failed.
        if (r.ok) EXPECT_EQ(I32(dir.Read("t.DAT"), 8), 2);
        else EXPECT_EQ(dir.Read("t.DAT"), dat);
      },
      {{seam::Op::Write, 0, ENOSPC, 0}});
}

TEST_F(Reorg, SmallRecordsAreReadAndWrittenABlockAtATime) {
  constexpr int32_t kSmall = 21;
  constexpr int kRecords = 20000;
  CreateFileBlock(Name("s"), kSmall, 0, {});
  FileBlock* fb = Open("s", false);
  const std::string r(kSmall, '\0');
  for (int i = 0; i < kRecords; ++i) {
    int32_t n = 0;
    AddRec(fb, n, r.data());
  }
  CloseFileBlock(fb);
  seam::Disarm();  // counts from here
  ReStruct(Name("s"), kSmall, kSmall, [](const unsigned char* o, unsigned char* n) {
    std::copy(o, o + kSmall, n);
    return true;
  });
  const int64_t calls = seam::Calls(seam::Op::Read) + seam::Calls(seam::Op::Write);
  seam::Disarm();
  ASSERT_TRUE(IsamSuccess) << IsamError;
  const int64_t blocks = (static_cast<int64_t>(kRecords) * kSmall) / 32768 + 1;
  EXPECT_LE(calls, 4 * blocks + 20) << calls << " calls for " << blocks << " blocks";
  EXPECT_EQ(I32(dir.Read("s.DAT"), 8), kRecords);
}

}  // namespace
