#include "bookkeeping/BFFiler.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>
#include <type_traits>

#include "bookkeeping/BFdefs_charset.h"
#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"
#include "storage/BTFileIO.h"

namespace bf {

namespace {

constexpr int kKeyIndex = 1;

constexpr std::array<BfFileLayout, 4> kLayouts = {{
    {BfDataBasRecord::kLength, 0, 2},
    {KontoRecord::kLength, 5, 4},
    {VerRecord::kLength, 0, 0},
    {SumsRecord::kLength, 8, 7},
}};

constexpr std::array<const char*, 4> kBaseNames = {"BfNolk", "Konto", "Bf", "BfSums"};

std::string VersionConflictText() {
  return A("versionskonflikt: datafilerna ej för denna version eller skadade!");
}

bool IsKeyFile(BfFile file) { return LayoutOf(file).keyLength != 0; }

bool HasFileLength(isam::FileBlock* fb, BfFile file) {
  return fb != nullptr && isam::RecordLength(fb) == LayoutOf(file).recordLength;
}

// The value of a key of the list: its number when it is all digits, else 0.
int32_t ListNumber(const std::string& key) {
  int32_t n = 0;
  for (const char c : key) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

template <typename Record>
void WriteHooked(Record& r) {
  if constexpr (!std::is_same_v<Record, SumsRecord>) ApplyWriteHook(r);
}

template <typename Record>
void ReadHooked(Record& r) {
  if constexpr (!std::is_same_v<Record, SumsRecord>) ApplyReadHook(r);
}

template <typename Record>
using BytesOf = std::array<uint8_t, Record::kLength>;

// What a read of the stored bytes gives: decoded, then through the read hook.
template <typename Record>
Record ReadBack(const BytesOf<Record>& bytes) {
  Record r;
  Decode(bytes, r);
  ReadHooked(r);
  return r;
}

// The key of key 1 as stored: accounts by number, sums by month.
template <typename Record>
std::string KeyOf(const Record& r) {
  if constexpr (std::is_same_v<Record, SumsRecord>) {
    return r.month;
  } else {
    return r.number;
  }
}

// Hook, add when new, rewrite, then key 1 when addKey says so. The read and write paths are
// written once for all four files. The buffer takes the stored form only when every step
// succeeded.
template <typename Record>
bool Write(isam::FileBlock* fb, BfFile file, Record& buffer, bool isNew, int32_t& recNo,
           [[maybe_unused]] bool addKey) {
  if (!HasFileLength(fb, file)) return false;
  Record stored = buffer;
  WriteHooked(stored);
  if constexpr (std::is_same_v<Record, KontoRecord>) {
    if (stored.number.empty()) stored.number = kEmptyAccountNumber;
  }
  if (isNew) stored.chain = 0;
  BytesOf<Record> bytes;
  Encode(stored, bytes);
  int32_t at = recNo;
  if (isNew) {
    isam::AddRec(fb, at, bytes.data());
    if (!isam::IsamSuccess) return false;
  }
  isam::PutRec(fb, at, bytes.data());
  if constexpr (std::is_same_v<Record, KontoRecord> || std::is_same_v<Record, SumsRecord>) {
    if (addKey && isam::IsamSuccess)
      isam::AddKey(fb, kKeyIndex, at, esmall::Cut(KeyOf(stored), LayoutOf(file).keyChars));
  }
  if (!isam::IsamSuccess) {
    // A new record that could not be written whole, or found by its key, goes again.
    if (isNew) {
      const isam::ErrorKeeper keep;
      isam::DeleteRec(fb, at);
    }
    return false;
  }
  if (isNew) recNo = at;
  buffer = ReadBack<Record>(bytes);
  return true;
}

// Reads record recNo into buffer; true when a record was read. A damaged one is named on
// the status line.
template <typename Record>
bool Read(isam::FileBlock* fb, BfFile file, int bookkeeping, int32_t recNo, Record& buffer) {
  if (!HasFileLength(fb, file)) return false;
  BytesOf<Record> bytes;
  isam::GetRec(fb, recNo, bytes.data());
  if (!isam::IsamSuccess) return false;
  Record r;
  if (!Decode(bytes, r)) {
    eerror::StatusMsg = "Post " + std::to_string(recNo) + " i " + BfFileName(file, bookkeeping) +
                        A(" är skadad!");
  }
  ReadHooked(r);
  buffer = std::move(r);
  return true;
}

}  // namespace

const BfFileLayout& LayoutOf(BfFile file) { return kLayouts[file]; }

std::string BfFileName(BfFile file, int bookkeeping, const std::string& dataDir) {
  std::string name = kBaseNames[file];
  if (file != kListFile) name += esmall::ZeroPadded(bookkeeping, 2);
  return dataDir.empty() ? name : dataDir + "/" + name;
}

void CreateBfFile(BfFile file, int bookkeeping, const std::string& dataDir) {
  const BfFileLayout& layout = LayoutOf(file);
  const isam::IndexDescription index{layout.keyLength, true};
  const uint16_t indexCount = layout.keyLength != 0 ? 1 : 0;
  isam::CreateFileBlock(BfFileName(file, bookkeeping, dataDir), layout.recordLength, indexCount,
                        std::span<const isam::IndexDescription>(&index, indexCount));
}

bool InUseElsewhere() { return isam::IsamError == isam::kErrSystemFailure && isam::IsamDosError == EWOULDBLOCK; }

bool ChangeToReplay() { return isam::IsamError == isam::kErrReplayFailed && isam::IsamDosError == EACCES; }

namespace {

// One open; another program's hold on the file is waited out for a while, as it may be a
// command that is about to end.
void OpenWaiting(isam::FileBlock*& fb, const std::string& name, OpenMode mode) {
  const auto giveUp = std::chrono::steady_clock::now() + kInUsePatience;
  for (;;) {
    if (mode == OpenMode::kRead) isam::OpenFileBlockReadOnly(fb, name);
    else isam::OpenFileBlock(fb, name, mode == OpenMode::kWrite);
    if (isam::IsamSuccess || !InUseElsewhere() || std::chrono::steady_clock::now() >= giveUp) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace

bool OpenBfFile(isam::FileBlock*& fb, BfFile file, int bookkeeping, const std::string& dataDir, OpenMode mode) {
  const std::string name = BfFileName(file, bookkeeping, dataDir);
  OpenWaiting(fb, name, mode);
  if (mode == OpenMode::kRead && ChangeToReplay()) {
    // An unfinished change is put right as every open that may write does, where the
    // folder allows it; the reading goes on from the files as they are then.
    isam::FileBlock* writer = nullptr;
    OpenWaiting(writer, name, OpenMode::kWrite);
    if (isam::IsamSuccess) {
      isam::CloseFileBlock(writer);
      OpenWaiting(fb, name, OpenMode::kRead);
    } else if (isam::IsamError == isam::kErrAccessDenied) {
      isam::SetError(isam::kErrReplayFailed);
      isam::IsamDosError = EACCES;
    }
  }
  if (!isam::IsamSuccess) return false;
  if (HasFileLength(fb, file)) return true;
  isam::CloseFileBlock(fb);
  eerror::EMsg(eerror::kCommonWarning, VersionConflictText());
  return false;
}

bool ListVersionOk(const std::string& dataDir) {
  const std::string data =
      isam::FileBlockFileName(BfFileName(kListFile, 0, dataDir), isam::FileKind::Data);
  const std::filesystem::path path = isam::ResolvePath(data);
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return true;
  const auto size = std::filesystem::file_size(path, error);
  if (!error && size % BfDataBasRecord::kLength == 0) return true;
  eerror::EMsg(eerror::kCommonWarning, VersionConflictText());
  return false;
}

isam::FileBlock* BfShared::Handle(BfFile file) const {
  switch (file) {
    case kListFile: return listFile;
    case kKontoFile: return kontoFile;
    case kVerFile: return verFile;
    case kSumsFile: return sumsFile;
  }
  return nullptr;
}

bool AccessFailed() { return !isam::IsamSuccess && isam::IsamErrorClass() != 1; }

void BfAccess(BfShared& s, BfFile file, BfOperation operation, const std::string& key, int32_t& recNo,
              bool& found, bool& atEnd) {
  found = false;
  atEnd = false;
  isam::FileBlock* fb = s.Handle(file);
  std::string k = esmall::Cut(WriteHook(key), LayoutOf(file).keyChars);

  // The last record number: the engine's length counts its header record.
  const int32_t last = isam::FileLen(fb) - 1;
  if (file == kListFile) {
    s.listLength = last + 1;
    s.listInUse = isam::UsedRecs(fb);
  }

  if (operation < kFindKey || operation > kRewind) return;

  isam::ClearError();
  bool keyStepFailed = false;
  if (file == kListFile) {
    if (operation == kFindKey || operation == kSearchKey) recNo = ListNumber(k);
    if (operation == kNext) recNo = s.current + 1;
    if (operation == kRewind) recNo = 0;
  } else if (IsKeyFile(file)) {
    if (operation == kFindKey) isam::FindKey(fb, kKeyIndex, recNo, k);
    if (operation == kSearchKey) isam::SearchKey(fb, kKeyIndex, recNo, k);
    if (operation == kNext) {
      isam::NextKey(fb, kKeyIndex, recNo, k);
      keyStepFailed = !isam::IsamSuccess;
    }
    if (operation == kRewind) {
      isam::ClearKey(fb, kKeyIndex);
      recNo = 0;
    }
  } else {
    if (operation == kNext) ++recNo;
    if (operation == kRewind) recNo = 0;
  }
  atEnd = keyStepFailed || recNo > last;
  if (!isam::IsamSuccess || recNo < 1 || recNo > last) return;

  bool read = false;
  switch (file) {
    case kListFile: read = Read(fb, file, s.current, recNo, s.dataBas) && s.dataBas.chain == 0; break;
    case kKontoFile: read = Read(fb, file, s.current, recNo, s.konto) && s.konto.chain == 0; break;
    case kVerFile: read = Read(fb, file, s.current, recNo, s.ver) && s.ver.chain == 0; break;
    case kSumsFile: read = Read(fb, file, s.current, recNo, s.sums) && s.sums.chain == 0; break;
  }
  found = read;
  if (found && file == kKontoFile) s.kontoRecNo = recNo;
  if (found && file == kVerFile) s.verRecNo = recNo;
}

namespace {

// A failed read is the caller's to stop on and ours to report, so no caller forgets it.
bool Failed() {
  if (!AccessFailed()) return false;
  eerror::ReportIsamError();
  return true;
}

// Record recNo, live or not, into record; false on a read failure (reported).
template <typename Record>
bool ReadInto(BfShared& s, BfFile file, int32_t recNo, Record& record) {
  if (Read(s.Handle(file), file, s.current, recNo, record)) return true;
  if (!isam::IsamSuccess) {
    eerror::ReportIsamError();
  } else {
    eerror::EMsg(eerror::kCommonWarning, VersionConflictText());  // a handle of another file's length
  }
  return false;
}

// Record recNo: kFound when it is live, kAbsent when it is a deleted slot.
template <typename Record>
Lookup ReadLive(BfShared& s, BfFile file, int32_t recNo, Record& record) {
  if (!ReadInto(s, file, recNo, record)) return Lookup::kFailed;
  return record.chain == 0 ? Lookup::kFound : Lookup::kAbsent;
}

// Record recNo of a file read by number.
template <typename Record>
Lookup ReadNumbered(BfShared& s, BfFile file, int32_t recNo, Record& record) {
  const int32_t end = isam::FileLen(s.Handle(file));
  if (Failed()) return Lookup::kFailed;
  if (recNo < 1 || recNo >= end) return Lookup::kAbsent;
  return ReadLive(s, file, recNo, record);
}

// Every live record of a file in record order.
template <typename Record, typename Visitor>
bool ForEachNumbered(BfShared& s, BfFile file, const Visitor& each) {
  const int32_t last = isam::FileLen(s.Handle(file)) - 1;
  if (Failed()) return false;
  for (int32_t recNo = 1; recNo <= last; ++recNo) {
    Record record;
    if (!ReadInto(s, file, recNo, record)) return false;
    if (record.chain == 0 && !each(record, recNo)) return true;
  }
  return true;
}

}  // namespace

Lookup FindAccount(BfShared& s, const std::string& number, KontoRecord& account, int32_t& recNo) {
  recNo = 0;
  isam::FindKey(s.kontoFile, kKeyIndex, recNo, esmall::Cut(WriteHook(number), LayoutOf(kKontoFile).keyChars));
  if (Failed()) return Lookup::kFailed;
  if (!isam::IsamSuccess) return Lookup::kAbsent;
  return ReadLive(s, kKontoFile, recNo, account);
}

Lookup ReadVerification(BfShared& s, int32_t recNo, VerRecord& verification) {
  return ReadNumbered(s, kVerFile, recNo, verification);
}

Lookup ReadBookkeeping(BfShared& s, int32_t n, BfDataBasRecord& record) {
  return ReadNumbered(s, kListFile, n, record);
}

bool ForEachAccount(BfShared& s, const AccountVisitor& each) {
  isam::ClearKey(s.kontoFile, kKeyIndex);
  if (Failed()) return false;
  for (;;) {
    int32_t recNo = 0;
    std::string key;
    isam::NextKey(s.kontoFile, kKeyIndex, recNo, key);
    if (Failed()) return false;
    if (!isam::IsamSuccess) return true;  // past the last key
    KontoRecord account;
    if (!ReadInto(s, kKontoFile, recNo, account)) return false;
    if (account.chain == 0 && !each(account, recNo)) return true;
  }
}

bool ForEachVerification(BfShared& s, const VerificationVisitor& each) {
  return ForEachNumbered<VerRecord>(s, kVerFile, each);
}

bool ForEachMonth(BfShared& s, const MonthVisitor& each) { return ForEachNumbered<SumsRecord>(s, kSumsFile, each); }

bool PutKonto(BfShared& s, bool isNew, int32_t& recNo) {
  if (!Write(s.kontoFile, kKontoFile, s.konto, isNew, recNo, true)) return false;
  if (isNew) s.kontoRecNo = recNo;
  return true;
}

bool RewriteKonto(BfShared& s, int32_t recNo) {
  return Write(s.kontoFile, kKontoFile, s.konto, false, recNo, false);
}

bool PutVer(BfShared& s, bool isNew, int32_t& recNo) {
  return Write(s.verFile, kVerFile, s.ver, isNew, recNo, false);
}

bool PutSums(BfShared& s, bool isNew, int32_t& recNo) {
  return Write(s.sumsFile, kSumsFile, s.sums, isNew, recNo, isNew);
}

bool PutDataBas(BfShared& s, bool isNew, int32_t& recNo) {
  if (!Write(s.listFile, kListFile, s.dataBas, isNew, recNo, false)) return false;
  s.listLength = isam::FileLen(s.listFile);
  s.listInUse = isam::UsedRecs(s.listFile);
  return true;
}

std::string KontoKey(int accountNumber) { return esmall::ZeroPadded(accountNumber, 4); }

std::optional<int> RowAccount(const std::string& number) {
  if (number.empty()) return std::nullopt;
  int value = 0;
  for (const char c : number) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace bf
