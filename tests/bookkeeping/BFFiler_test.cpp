// The access routine, the typed reads and the writers over real files: a deleted slot is
// neither found nor the end, the remembered record numbers and list counters, the account
// typed without a number, damaged records on disk read inside their bounds and named, and a
// walk that a failed read cuts short.
#include "bookkeeping/BFFiler.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <vector>

#include "BookkeepingFolder.h"
#include "FaultLoop.h"
#include "bookkeeping/BFdefs_charset.h"
#include "common/Ansi.h"

namespace bf {
namespace {

class Access : public BookkeepingFolder {
 protected:
  int32_t NewVerification(const std::string& name) {
    s().ver = FreshVerRecord(static_cast<int16_t>(s().dataBas.lastVerNr + 1), "2026-03-01", ' ');
    s().ver.name = name;
    int32_t recNo = 0;
    EXPECT_TRUE(PutVer(s(), true, recNo));
    ++s().dataBas.lastVerNr;
    return recNo;
  }
};

TEST_F(Access, SteppingThroughVerificationsGoesOnPastADeletedSlot) {
  NewVerification("ett");
  const int32_t second = NewVerification(A("två"));
  NewVerification("tre");
  isam::DeleteRec(s().verFile, second);
  ASSERT_TRUE(isam::IsamSuccess);

  std::vector<std::string> names;
  int32_t recNo = 0;
  bool found = false, atEnd = false;
  BfAccess(s(), kVerFile, kRewind, "", recNo, found, atEnd);
  EXPECT_EQ(recNo, 0);
  EXPECT_FALSE(found);
  int deletedSeen = 0;
  while (true) {
    BfAccess(s(), kVerFile, kNext, "", recNo, found, atEnd);
    if (atEnd) break;
    if (found) {
      names.push_back(s().ver.name);
    } else {
      ++deletedSeen;
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"ett", "tre"}));
  EXPECT_EQ(deletedSeen, 1);
  EXPECT_FALSE(found);
  EXPECT_EQ(s().verRecNo, 3);  // the last one found, not the slot or the end

  // By record number the deleted slot is not found and not the end either.
  recNo = second;
  BfAccess(s(), kVerFile, kAtRecord, "", recNo, found, atEnd);
  EXPECT_FALSE(found);
  EXPECT_FALSE(atEnd);
}

TEST_F(Access, AccountsByKeyInOrderAndTheRememberedRecordNumber) {
  const int32_t at3010 = NewAccount("3010", 0);
  const int32_t at1930 = NewAccount("1930", 0);
  int32_t recNo = 0;
  bool found = false, atEnd = false;
  BfAccess(s(), kKontoFile, kRewind, "", recNo, found, atEnd);
  std::vector<std::string> numbers;
  while (true) {
    BfAccess(s(), kKontoFile, kNext, "", recNo, found, atEnd);
    if (atEnd) break;
    if (found) numbers.push_back(s().konto.number);
  }
  EXPECT_EQ(numbers, (std::vector<std::string>{"1930", "3010"}));
  EXPECT_EQ(s().kontoRecNo, at3010);

  // A search lands on the first key not below; the key is cut to four characters.
  BfAccess(s(), kKontoFile, kSearchKey, "2000", recNo, found, atEnd);
  EXPECT_TRUE(found);
  EXPECT_EQ(s().konto.number, "3010");
  BfAccess(s(), kKontoFile, kFindKey, "193099", recNo, found, atEnd);
  EXPECT_TRUE(found);
  EXPECT_EQ(recNo, at1930);
  EXPECT_EQ(s().kontoRecNo, at1930);

  // An absent key is not found and not the end; the remembered number stays.
  BfAccess(s(), kKontoFile, kFindKey, "4000", recNo, found, atEnd);
  EXPECT_FALSE(found);
  EXPECT_FALSE(atEnd);
  EXPECT_EQ(s().kontoRecNo, at1930);
}

TEST_F(Access, TheListIsReadByNumberAndRefreshesItsCounters) {
  int32_t recNo = 0;
  bool found = false, atEnd = false;
  BfAccess(s(), kListFile, kFindKey, "01", recNo, found, atEnd);
  EXPECT_TRUE(found);
  EXPECT_EQ(recNo, 1);
  EXPECT_EQ(s().dataBas.name, "prov");
  EXPECT_EQ(s().listLength, 2);  // the engine's header and one bookkeeping
  EXPECT_EQ(s().listInUse, 1);
  // The one after the current bookkeeping is past the last record.
  BfAccess(s(), kListFile, kNext, "", recNo, found, atEnd);
  EXPECT_EQ(recNo, 2);
  EXPECT_FALSE(found);
  EXPECT_TRUE(atEnd);
  BfAccess(s(), kListFile, kRewind, "", recNo, found, atEnd);
  EXPECT_EQ(recNo, 0);
  EXPECT_FALSE(found);
  EXPECT_FALSE(atEnd);
}

TEST_F(Access, AnAccountWithoutANumberIsStoredAsXxxxAndFoundByIt) {
  s().konto = KontoRecord{};
  s().konto.name = "utan";
  int32_t recNo = 0;
  ASSERT_TRUE(PutKonto(s(), true, recNo));
  EXPECT_EQ(s().konto.number, "XXXX");
  EXPECT_EQ(s().kontoRecNo, recNo);
  s().konto = KontoRecord{};
  int32_t at = 0;
  bool found = false, atEnd = false;
  BfAccess(s(), kKontoFile, kFindKey, "XXXX", at, found, atEnd);
  EXPECT_TRUE(found);
  EXPECT_EQ(at, recNo);
  EXPECT_EQ(s().konto.name, "utan");
}

TEST_F(Access, OemTextOnDiskReadsBackInWindowsLetters) {
  s().konto = KontoRecord{};
  s().konto.number = "1930";
  s().konto.name = A("Lön");
  OemOnWrite = true;
  int32_t recNo = 0;
  const bool put = PutKonto(s(), true, recNo);
  OemOnWrite = false;
  ASSERT_TRUE(put);
  EXPECT_EQ(s().konto.name, A("Lön"));  // the buffer holds what a read gives
  KontoBytes bytes{};
  isam::GetRec(s().kontoFile, recNo, bytes.data());
  EXPECT_EQ(bytes[10], 0x4C);
  EXPECT_EQ(bytes[11], 0x94);  // ö in code page 850
  EXPECT_EQ(Account("1930").name, A("Lön"));
}

// Damaged records: whatever the length bytes and row counts on disk say, a read stays
// inside the record, gives usable values and names the damage on the status line.
TEST_F(Access, DamagedRecordsOnDiskAreReadClampedAndNamed) {
  const int32_t ver = NewVerification("skadad");
  VerBytes vbytes{};
  isam::GetRec(s().verFile, ver, vbytes.data());
  for (const int16_t rows : {int16_t{101}, int16_t{32767}, int16_t{-1}, int16_t{-32768}}) {
    SCOPED_TRACE(rows);
    std::memcpy(&vbytes[43], &rows, 2);  // little-endian, as the records are on disk
    vbytes[6] = 0xFF;                    // name length beyond its 25 bytes
    isam::PutRec(s().verFile, ver, vbytes.data());
    eerror::StatusMsg.clear();
    int32_t recNo = ver;
    bool found = false, atEnd = false;
    BfAccess(s(), kVerFile, kAtRecord, "", recNo, found, atEnd);
    EXPECT_TRUE(found);
    EXPECT_EQ(s().ver.RowCount(), rows > 0 ? kMaxRows : 0);
    EXPECT_EQ(s().ver.name.size(), VerRecord::kNameCapacity);
    EXPECT_EQ(eerror::StatusMsg, A("Post 1 i Bf01 är skadad!"));
  }

  const int32_t konto = NewAccount("1930", 10);
  KontoBytes kbytes{};
  isam::GetRec(s().kontoFile, konto, kbytes.data());
  kbytes[9] = 200;  // name: capacity 8
  kbytes[18] = 24;  // reference: capacity 23
  isam::PutRec(s().kontoFile, konto, kbytes.data());
  eerror::StatusMsg.clear();
  const KontoRecord k = Account("1930");
  EXPECT_EQ(k.name.size(), KontoRecord::kNameCapacity);
  EXPECT_EQ(k.reference.size(), KontoRecord::kReferenceCapacity);
  EXPECT_DOUBLE_EQ(k.opening.Value(), 10.0);
  EXPECT_EQ(eerror::StatusMsg, A("Post ") + std::to_string(konto) + A(" i Konto01 är skadad!"));
}

TEST_F(Access, AFileOfAnotherRecordLengthOrNoneIsNeitherReadNorWritten) {
  isam::FileBlock* wrong = s().verFile;
  s().verFile = s().kontoFile;
  s().ver = FreshVerRecord(1, "2026-03-01", ' ');
  int32_t recNo = 0;
  EXPECT_FALSE(PutVer(s(), true, recNo));
  EXPECT_EQ(isam::FileLen(s().kontoFile), 1);  // nothing was added
  recNo = 0;
  bool found = true, atEnd = false;
  BfAccess(s(), kVerFile, kNext, "", recNo, found, atEnd);
  EXPECT_FALSE(found);
  // Nor is a file that is not open.
  s().verFile = nullptr;
  recNo = 0;
  BfAccess(s(), kVerFile, kNext, "", recNo, found, atEnd);
  EXPECT_FALSE(found);
  EXPECT_FALSE(PutVer(s(), true, recNo));
  s().verFile = wrong;
}

TEST_F(Access, TheFilesOfABookkeepingAreFoundInAnyLetterCase) {
  NewAccount("1930", 7);
  db_->CloseBookkeeping();
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_.path())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("Konto01", 0) == 0 || name.rfind("BfSums01", 0) == 0) names.push_back(name);
  }
  ASSERT_GE(names.size(), 4u);  // data and index of both
  for (const std::string& name : names) {
    std::string other = name;
    for (char& c : other) c = static_cast<char>(std::islower(static_cast<unsigned char>(c)) ? std::toupper(c) : std::tolower(c));
    fs::rename(folder_ / name, folder_ / other);
  }
  ASSERT_FALSE(fs::exists(folder_ / "Konto01.DAT"));
  db_->SelectBookkeeping(1);
  ASSERT_TRUE(db_->bookkeepingOpen()) << eerror::StatusMsg;
  EXPECT_DOUBLE_EQ(Account("1930").opening.Value(), 7.0);
}

}  // namespace
}  // namespace bf

namespace bf {
namespace {

// A walk that a failed read stops says so, with the engine's reason in a box, and never
// passes for the end of the file: bfnolk's lists and verify stand on that.
TEST_F(Access, AWalkCutShortByAFailedReadSaysSoAndIsNoEnd) {
  for (const char* number : {"1930", "2010", "3010", "4010", "5010"}) NewAccount(number, 10);
  for (int i = 0; i < 5; ++i) NewVerification("v" + std::to_string(i));
  int32_t recNo = s().current;
  ASSERT_TRUE(PutDataBas(s(), false, recNo));
  const auto reopen = [&] {
    db_->CloseBookkeeping();  // a cold cache: the walk reads its pages
    ASSERT_TRUE(db_->SelectBookkeeping(1));
    boxes_.boxes.clear();
  };
  for (const bool accounts : {true, false}) {
    SCOPED_TRACE(accounts ? "accounts" : "verifications");
    size_t seen = 0;
    faultloop::EveryFault(
        [&] {
          reopen();
          seen = 0;
        },
        [&] {
          return accounts ? ForEachAccount(s(), [&](const KontoRecord&, int32_t) { return ++seen, true; })
                          : ForEachVerification(s(), [&](const VerRecord&, int32_t) { return ++seen, true; });
        },
        [&](bool whole, const faultloop::Injection& injection) {
          if (whole) {
            EXPECT_EQ(seen, 5u) << injection.what;
            EXPECT_TRUE(boxes_.boxes.empty()) << injection.what;
          } else {
            EXPECT_LT(seen, 5u) << injection.what;
            ASSERT_EQ(boxes_.boxes.size(), 1u) << injection.what;
            EXPECT_EQ(boxes_.boxes[0].kind, eerror::BoxKind::Warning);
          }
        },
        {{faultloop::Op::Read, 0, EIO, 0}});
  }
}

}  // namespace
}  // namespace bf
