// The public operations: entry checks, the journal around every change, and the open list.
#include "storage/Filer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <memory>

#include "common/Ansi.h"
#include "storage/BTIsBase.h"

namespace isam {
namespace {

constexpr int32_t kMaxBuffers = 1 << 16;  // asking for more is asking for all memory

struct Engine {
  bool started = false;
  uint16_t netType = 0;
  std::vector<FileBlock*> open;  // in order of opening
};
Engine g_engine;

bool Started() {
  ClearError();
  if (g_engine.started) return true;
  SetError(kErrNotStarted);
  return false;
}

bool IsOpen(const FileBlock* fb) {
  return fb && std::find(g_engine.open.begin(), g_engine.open.end(), fb) != g_engine.open.end() &&
         fb->marker == kOpenMarker;
}

// Handles are looked up in the open list, never trusted: a closed one is freed memory.
bool CheckHandle(const FileBlock* fb) {
  if (!Started()) return false;
  if (IsOpen(fb)) return true;
  SetError(kErrNotAFileBlock);
  return false;
}

bool CheckIndex(const FileBlock* fb, int indexNo) {
  if (!CheckHandle(fb)) return false;
  if (indexNo >= 1 && indexNo <= fb->IndexCount()) return true;
  SetError(kErrBadIndexNumber);
  return false;
}

// A unit whose call was undone takes no further changes.
bool CheckUnitOpen(const FileBlock* fb) {
  if (!fb->unitFailed) return true;
  SetError(kErrUnitUndone);
  return false;
}

// A fileblock opened for reading takes no change.
bool CheckWritable(const FileBlock* fb) {
  if (!fb->readOnly) return true;
  SetError(kErrAccessDenied);
  return false;
}

bool CheckChange(const FileBlock* fb) { return CheckHandle(fb) && CheckWritable(fb) && CheckUnitOpen(fb); }

std::string CutKey(const std::string& key) { return key.substr(0, kMaxKeyLength); }

// Undoes a journaled operation (inside a unit: the whole unit) that failed after it began;
// `undone` is the error of a successful undo.
void Undo(FileBlock& fb, int32_t undone) {
  const int32_t dos = IsamDosError;
  if (Rollback(fb)) SetError(undone);
  if (IsamDosError == 0) IsamDosError = dos;
  if (fb.inUnit) fb.unitFailed = true;
}

// The end of a journaled key operation: header image, journal flushed, the count changed,
// every changed page and header written, index file flushed, journal emptied. Inside a unit
// only the header image and the count: the rest waits for the commit.
bool FinishKeyOperation(FileBlock& fb, int indexNo, int countChange) {
  if (!LogOriginalHeader(fb)) return false;
  if (!fb.inUnit) {
    if (!FlushJournal(fb)) return false;
    ClearLoggedMarks(fb);
  }
  fb.idx[indexNo].h.entryCount += countChange;
  NoteHeaderChange(fb, indexNo);
  return fb.inUnit || (WriteFileBlockPages(fb, false) && Flush(fb.ix) && CommitJournal(fb));
}

// After the tree operation of AddKey or DeleteKey: `ok` whether it ran, `changed` whether it
// changed the index, `undone` the error if it has to be undone.
void EndKeyOperation(FileBlock& fb, int indexNo, bool ok, bool changed, int countChange,
                     int32_t undone) {
  Index& d = fb.idx[indexNo];
  if (!fb.journal) {
    if (ok && changed) {
      d.h.entryCount += countChange;
      NoteHeaderChange(fb, indexNo);
    }
    return;
  }
  if (ok && changed) ok = FinishKeyOperation(fb, indexNo, countChange);
  else if (ok && !fb.inUnit && fb.dia.pos > 1) ok = CommitJournal(fb);
  if (!ok) Undo(fb, undone);
  if (!fb.inUnit) ClearLoggedMarks(fb);
}

// Writes everything of the open unit and empties its journal; false with the error set.
bool WriteUnit(FileBlock& fb) {
  const bool journaled = fb.dia.pos > 1;
  bool indexes = false;
  for (int k = 1; k <= fb.IndexCount(); ++k) indexes = indexes || fb.idx[k].opStartTaken;
  const bool data = fb.idx[0].opStartTaken || !fb.pendingData.empty();
  if (journaled) {
    if (!FlushJournal(fb)) return false;
    ClearLoggedMarks(fb);
  }
  return WritePendingData(fb) && WriteFileBlockPages(fb, false) &&
         (!fb.idx[0].changed || WriteHeader(fb, 0)) && (!data || Flush(fb.dat)) &&
         (!indexes || Flush(fb.ix)) && (!journaled || CommitJournal(fb));
}

void EndUnit(FileBlock& fb) {
  EndOperations(fb);
  fb.inUnit = false;
  fb.unitFailed = false;
}

// Undoes the open unit; false with the error set when the undo failed.
bool UndoUnit(FileBlock& fb) {
  const bool undone = fb.unitFailed || Rollback(fb);
  EndUnit(fb);
  return undone;
}

bool ReadDataHeader(FileBlock& fb) {
  unsigned char bytes[kDataHeaderBytes];
  if (!ReadAt(fb.dat, 0, kDataHeaderBytes, bytes)) return false;
  const Header h = DecodeDataHeader(bytes);
  if (h.indexCount > kMaxIndexes) {
    SetError(kErrHeaderTooManyIndexes);
    return false;
  }
  if (h.length < kMinRecordLength) {
    SetError(kErrRecordTooShort);
    return false;
  }
  if (h.high < 0 || h.freeCount < 0 || h.freeCount > h.high ||
      (h.firstFree != -1 && (h.firstFree < 1 || h.firstFree > h.high)) ||
      (static_cast<int64_t>(h.high) + 1) * h.length > kMaxFilePosition + 1) {
    SetError(kErrOutOfRange);
    return false;
  }
  fb.idx.assign(h.indexCount + 1, Index{});
  fb.idx[0].h = h;
  return true;
}

bool ReadIndexHeaders(FileBlock& fb) {
  int64_t offset = 0;
  for (int k = 1; k <= fb.IndexCount(); ++k) {
    unsigned char bytes[kIndexHeaderBytes];
    if (!ReadAt(fb.ix, offset, kIndexHeaderBytes, bytes)) return false;
    Index& d = fb.idx[k];
    d.h = DecodeIndexHeader(bytes);
    d.keyOffset = offset;
    if (d.h.pageItems > kPageItems) {
      SetError(kErrTooManyItems);
      return false;
    }
    if (d.h.length <= 6 || (d.h.length - 6) % d.h.pageItems != 0) {
      SetError(kErrBadPageSize);
      return false;
    }
    d.keyLength = (d.h.length - 6) / d.h.pageItems - 9;
    if (d.keyLength < 1 || d.keyLength > kMaxKeyLength) {
      SetError(kErrBadIndexKeyLength);
      return false;
    }
    const Header& h = d.h;
    if (h.high < 0 || h.freeCount < 0 || h.freeCount > h.high ||
        (h.firstFree != -1 && (h.firstFree < 1 || h.firstFree > h.high)) ||
        h.rootPage > static_cast<uint32_t>(h.high)) {
      SetError(kErrOutOfRange);
      return false;
    }
    offset += d.h.length;
    fb.sections = std::max(fb.sections, d.h.high);
  }
  fb.sectionLength = offset;
  if ((static_cast<int64_t>(fb.sections) + 1) * fb.sectionLength > kMaxFilePosition + 1) {
    SetError(kErrOutOfRange);
    return false;
  }
  return true;
}

// Where a new journal is made before it is renamed into its place.
std::string JournalInTheMaking(const std::string& diaName) { return diaName + "~"; }

// Opens the three files; false leaves everything of this open closed again.
bool OpenFiles(FileBlock& fb, bool& journalCreated, bool notClosedAllowed) {
  const std::string diaName = FileBlockFileName(fb.name, FileKind::Journal);
  journalCreated = false;
  if (!OpenFile(fb.dia, diaName, fb.readOnly)) {
    if (IsamError != kErrFileNotFound) return false;
    if (fb.journal && !fb.readOnly) {
      ClearError();
      // Made whole beside its place and renamed into it: a crash while it is made leaves no
      // journal of 0 bytes, which no open would take again.
      const unsigned char lead = 0;
      FileRec made;
      journalCreated = true;  // from here a failure removes it, even if it is cut short
      if (!CreateFile(made, JournalInTheMaking(diaName))) return false;
      const bool written = WriteAt(made, 0, 1, &lead) && Flush(made);
      if (!CloseFile(made) || !written || !RenameFile(JournalInTheMaking(diaName), diaName) ||
          !OpenFile(fb.dia, diaName))
        return false;
    } else {
      ClearError();
    }
  }
  if (!OpenFile(fb.dat, FileBlockFileName(fb.name, FileKind::Data), fb.readOnly) || !ReadDataHeader(fb))
    return false;
  if (fb.IndexCount() > 0) {
    if (!OpenFile(fb.ix, FileBlockFileName(fb.name, FileKind::Index), fb.readOnly)) {
      if (IsamError != kErrTooManyFiles) SetError(kErrOpenRefused);
      return false;
    }
    if (!ReadIndexHeaders(fb)) return false;
  }
  if (fb.idx[0].h.openFlag != 0) {
    if (!notClosedAllowed) {
      SetError(kErrOpenRefused);
      return false;
    }
    fb.idx[0].h.openFlag = 0;  // what the close writes
    fb.headerChanged = true;   // the disk says not closed already
  }
  return true;
}

bool RecoverJournal(FileBlock& fb, bool journalCreated) {
  if (!fb.dia.IsOpen()) return true;
  int64_t size = 0;
  if (!FileSize(fb.dia, size)) return false;
  if (!journalCreated) {
    if (size == 0) {
      SetError(kErrShortRead);
      return false;
    }
    // An unfinished change is put right only by an open that may write.
    if (size > 1 && fb.readOnly) {
      SetOsError(kErrReplayFailed, EACCES);
      return false;
    }
    if (size > 1 && !ReplayJournal(fb)) return false;
  }
  if (!fb.journal) {
    const std::string name = fb.dia.name;
    return CloseFile(fb.dia) && DeleteFile(name);
  }
  return FileSize(fb.dia, size);  // appends go to the end
}

void CloseAll(FileBlock& fb) {
  DropFileBlockPages(fb);
  CloseFile(fb.dia);
  CloseFile(fb.ix);
  CloseFile(fb.dat);
}

// Closes fb as CloseFileBlock does; returns false with the error set when it could not.
bool CloseOne(FileBlock*& fb) {
  if (fb->inUnit && !UndoUnit(*fb)) return false;
  if (!fb->journal && (fb->headerChanged || fb->idx[0].changed)) {
    // Records, pages and index headers are on disk before the data file says it was closed
    // properly, so a power cut in between leaves it refused rather than taken for whole.
    if (!WriteFileBlockPages(*fb, false) || !Flush(fb->dat) || (fb->IndexCount() > 0 && !Flush(fb->ix)))
      return false;  // stays open, so nothing is lost
    fb->idx[0].h.openFlag = 0;
    if (!WriteHeader(*fb, 0) || !Flush(fb->dat)) return false;
  }
  DropFileBlockPages(*fb);
  bool ok = CloseFile(fb->dia);
  ok = CloseFile(fb->ix) && ok;
  ok = CloseFile(fb->dat) && ok;
  g_engine.open.erase(std::find(g_engine.open.begin(), g_engine.open.end(), fb));
  fb->marker = 0;
  delete fb;
  fb = nullptr;
  if (!ok) SetError(kErrCloseIncomplete);
  return ok;
}

}  // namespace

int32_t InitIsam(uint16_t netType, int32_t buffers) {
  if (g_engine.started) {
    SetError(kErrAlreadyStarted);
    return 0;
  }
  if (buffers < 8) {
    SetError(kErrTooFewBuffersAsked);
    return 0;
  }
  g_engine.open.clear();
  ClearError();
  if (netType != 0 && netType != 2) {
    SetError(kErrBadNetworkType);
    return 0;
  }
  g_engine.netType = netType;
  int32_t obtained = 0;
  for (int32_t wanted = std::min(buffers, kMaxBuffers); wanted >= 8; wanted /= 2)
    if (CacheInit(wanted, obtained)) break;
  if (obtained < 8) {
    CacheFree();
    SetError(kErrTooFewBuffers);
    return 0;
  }
  g_engine.started = true;
  return obtained;
}

void ExitIsam() {
  if (!Started()) return;
  int32_t first = 0, firstDos = 0;
  for (FileBlock* fb : std::vector<FileBlock*>(g_engine.open)) {
    ClearError();
    if (!CloseOne(fb) && first == 0) {
      first = IsamError;
      firstDos = IsamDosError;
    }
  }
  ClearError();
  if (first != 0) {
    SetError(first);
    IsamDosError = firstDos;
    return;
  }
  CacheFree();
  g_engine.started = false;
}

namespace {

// The index descriptions as headers, laid out in a section; false with kErrBadKeyLength for a key
// length outside 1..30.
bool DescribeIndexes(uint16_t indexCount, std::span<const IndexDescription> indexes, std::vector<Index>& idx,
                     int64_t& sectionLength) {
  idx.assign(indexCount + 1, Index{});
  sectionLength = 0;
  for (int k = 1; k <= indexCount; ++k) {
    const IndexDescription desc = k <= static_cast<int>(indexes.size()) ? indexes[k - 1]
                                                                       : IndexDescription{};
    if (desc.keyLength < 1 || desc.keyLength > kMaxKeyLength) {
      SetError(kErrBadKeyLength);
      return false;
    }
    Index& d = idx[k];
    d.keyLength = desc.keyLength;
    d.h.length = (desc.keyLength + 9) * kPageItems + 6;
    d.h.allowDuplicates = desc.allowDuplicates ? 1 : 0;
    d.keyOffset = sectionLength;
    sectionLength += d.h.length;
  }
  return true;
}

bool WriteEmptyIndexFile(const std::string& ixName, const std::vector<Index>& idx, int64_t sectionLength) {
  FileRec ix;
  bool ok = CreateFile(ix, ixName) && WriteZeros(ix, 0, sectionLength);
  for (size_t k = 1; ok && k < idx.size(); ++k) {
    unsigned char bytes[kIndexHeaderBytes];
    EncodeIndexHeader(idx[k].h, bytes);
    ok = WriteAt(ix, idx[k].keyOffset, kIndexHeaderBytes, bytes);
  }
  ok = ok && Flush(ix);
  return CloseFile(ix) && ok;
}

}  // namespace

bool CreateEmptyIndexFile(const std::string& name, uint16_t indexCount, std::span<const IndexDescription> indexes) {
  std::vector<Index> idx;
  int64_t sectionLength = 0;
  if (!DescribeIndexes(indexCount, indexes, idx, sectionLength)) return false;
  DeleteFile(FileBlockFileName(name, FileKind::Index));
  DeleteFile(FileBlockFileName(name, FileKind::Journal));
  ClearError();
  if (WriteEmptyIndexFile(FileBlockFileName(name, FileKind::Index), idx, sectionLength)) return true;
  const ErrorKeeper keep;
  DeleteFile(FileBlockFileName(name, FileKind::Index));
  return false;
}

void CreateFileBlock(const std::string& fullName, int32_t recordLength, uint16_t indexCount,
                     std::span<const IndexDescription> indexes) {
  if (!Started()) return;
  const std::string name = fullName.substr(0, kMaxNameLength);
  // The record slot and the header slot must both fit below 2 GiB.
  if (recordLength < kMinRecordLength || recordLength > (kMaxFilePosition + 1) / 2)
    SetError(kErrRecordTooShort);
  if (indexCount > kMaxIndexes) SetError(kErrTooManyIndexes);
  if (!IsamSuccess) return;
  // Key lengths are checked before the old files go, so a wrong call destroys nothing.
  std::vector<Index> idx;
  int64_t sectionLength = 0;
  if (!DescribeIndexes(indexCount, indexes, idx, sectionLength)) return;
  for (FileKind kind : {FileKind::Index, FileKind::Journal, FileKind::Data})
    DeleteFile(FileBlockFileName(name, kind));
  ClearError();

  const std::string datName = FileBlockFileName(name, FileKind::Data);
  const std::string ixName = FileBlockFileName(name, FileKind::Index);
  Header h;
  h.length = recordLength;
  h.indexCount = indexCount;
  unsigned char header[kDataHeaderBytes];
  EncodeDataHeader(h, header);
  FileRec dat;
  bool ok = CreateFile(dat, datName) && WriteZeros(dat, 0, recordLength) &&
            WriteAt(dat, 0, kDataHeaderBytes, header) && Flush(dat);
  ok = CloseFile(dat) && ok;
  if (ok && indexCount > 0) ok = WriteEmptyIndexFile(ixName, idx, sectionLength);
  if (!ok) {
    const ErrorKeeper keep;
    DeleteFile(ixName);
    DeleteFile(datName);
  }
}

namespace {

void OpenOne(FileBlock*& handle, const std::string& fullName, bool journal, bool notClosedAllowed,
             bool readOnly = false) {
  if (!Started()) return;
  auto fb = std::make_unique<FileBlock>();
  fb->name = fullName.substr(0, kMaxNameLength);
  fb->journal = journal;
  fb->readOnly = readOnly;
  bool journalCreated = false;
  if (!OpenFiles(*fb, journalCreated, notClosedAllowed) || !RecoverJournal(*fb, journalCreated)) {
    const ErrorKeeper keep;
    CloseAll(*fb);
    if (journalCreated) {
      const std::string diaName = FileBlockFileName(fb->name, FileKind::Journal);
      DeleteFile(JournalInTheMaking(diaName));
      DeleteFile(diaName);
    }
    return;
  }
  fb->marker = kOpenMarker;
  handle = fb.release();
  g_engine.open.push_back(handle);
}

}  // namespace

void OpenFileBlock(FileBlock*& handle, const std::string& fullName, bool journal) {
  OpenOne(handle, fullName, journal, false);
}

void OpenFileBlockReadOnly(FileBlock*& handle, const std::string& fullName) {
  OpenOne(handle, fullName, true, false, true);
}

void OpenFileBlockForRebuild(FileBlock*& handle, const std::string& name) { OpenOne(handle, name, false, true); }

void CloseFileBlock(FileBlock*& fb) {
  if (!Started()) return;
  if (!IsOpen(fb)) {
    SetError(kErrNotOpen);
    return;
  }
  CloseOne(fb);
}

void DeleteFileBlock(const std::string& fullName) {
  if (!Started()) return;
  const std::string name = fullName.substr(0, kMaxNameLength);
  DeleteFile(FileBlockFileName(name, FileKind::Index));
  DeleteFile(FileBlockFileName(name, FileKind::Journal));
  ClearError();
  DeleteFile(FileBlockFileName(name, FileKind::Data));
}

void AddRec(FileBlock* fb, int32_t& recNo, const void* data) {
  if (!CheckChange(fb)) return;
  Header& h = fb->idx[0].h;
  const Header before = h;
  BeginOperation(*fb, 0);
  int32_t number = 0;
  if (!Allocate(*fb, 0, number)) {
    // A broken free chain changed nothing; a failure to journal the taken slot may have left
    // part of an image behind, which the undo cuts away.
    if (fb->journal && IsamError != kErrOutOfRange) Undo(*fb, kErrAddRecUndone);
    return;
  }
  const int64_t pos = static_cast<int64_t>(number) * h.length;
  if (!fb->journal) {
    if (WriteAt(fb->dat, pos, h.length, data)) recNo = number;
    else h = before;
    return;
  }
  if (fb->inUnit) {
    if (LogOriginalHeader(*fb) && WriteData(*fb, pos, h.length, data)) recNo = number;
    else Undo(*fb, kErrAddRecUndone);
    return;
  }
  const bool ok = LogOriginalHeader(*fb) && FlushJournal(*fb) &&
                  WriteAt(fb->dat, pos, h.length, data) && WriteHeader(*fb, 0) &&
                  Flush(fb->dat) && CommitJournal(*fb);
  if (!ok) {
    Undo(*fb, kErrAddRecUndone);
    return;
  }
  recNo = number;
}

void GetRec(FileBlock* fb, int32_t recNo, void* buffer) {
  if (!CheckHandle(fb)) return;
  const int32_t len = fb->idx[0].h.length;
  ReadData(*fb, static_cast<int64_t>(recNo) * len, len, buffer);
}

void PutRec(FileBlock* fb, int32_t recNo, const void* data) {
  if (!CheckChange(fb)) return;
  // Beyond the highest record a write would leave slots no header knows of.
  if (recNo <= 0 || recNo > fb->idx[0].h.high) {
    SetError(kErrRecordZero);
    return;
  }
  const int32_t len = fb->idx[0].h.length;
  // With journal a rewrite is flushed at once; without, at the close.
  NoteUnflushedChange(*fb);
  if (WriteData(*fb, static_cast<int64_t>(recNo) * len, len, data) && fb->journal && !fb->inUnit)
    Flush(fb->dat);
}

void DeleteRec(FileBlock* fb, int32_t recNo) {
  if (!CheckChange(fb)) return;
  Header& h = fb->idx[0].h;
  if (recNo < 1 || recNo > h.high) {
    SetError(kErrRecordOutOfRange);
    return;
  }
  const int64_t pos = static_cast<int64_t>(recNo) * h.length;
  BeginOperation(*fb, 0);
  unsigned char word[4];
  if (fb->journal) {
    // The slot's first word is overwritten by the link; its image brings it back on undo.
    // The starting header comes before it as well as after, so that no part of the journal
    // names the live record as free.
    Header slot = h;
    slot.firstFree = recNo;
    if (!ReadData(*fb, pos, 4, word)) return;
    if (!LogOriginalHeader(*fb) ||
        !LogRecordDelete(*fb, slot, recNo, static_cast<int32_t>(Get32(word))) ||
        !LogOriginalHeader(*fb) || (!fb->inUnit && !FlushJournal(*fb))) {
      Undo(*fb, kErrDeleteRecUndone);
      return;
    }
  }
  Put32(word, h.firstFree);
  if (!WriteData(*fb, pos, 4, word)) {
    if (fb->journal) Undo(*fb, kErrDeleteRecUndone);
    return;
  }
  h.firstFree = recNo;
  ++h.freeCount;
  NoteHeaderChange(*fb, 0);
  if (fb->journal && !fb->inUnit &&
      !(WriteHeader(*fb, 0) && Flush(fb->dat) && CommitJournal(*fb)))
    Undo(*fb, kErrDeleteRecUndone);
}

namespace {

// The counts of a damaged header, which a replayed journal may have left, stay within int32.
int32_t Saturated(int64_t n) {
  return static_cast<int32_t>(std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

int32_t FileLen(FileBlock* fb) { return CheckHandle(fb) ? Saturated(int64_t{fb->idx[0].h.high} + 1) : 0; }

int32_t UsedRecs(FileBlock* fb) {
  return CheckHandle(fb) ? Saturated(int64_t{fb->idx[0].h.high} - fb->idx[0].h.freeCount) : 0;
}

int32_t RecordLength(FileBlock* fb) { return CheckHandle(fb) ? fb->idx[0].h.length : 0; }

void BeginUnit(FileBlock* fb) {
  if (!CheckHandle(fb) || !CheckWritable(fb)) return;
  if (!fb->journal || fb->inUnit) {
    SetError(kErrUnitOutOfOrder);
    return;
  }
  EndOperations(*fb);
  fb->inUnit = true;
}

void CommitUnit(FileBlock* fb) {
  if (!CheckHandle(fb)) return;
  if (!fb->inUnit) {
    SetError(kErrUnitOutOfOrder);
    return;
  }
  if (fb->unitFailed) {
    EndUnit(*fb);
    SetError(kErrUnitUndone);
    return;
  }
  if (!WriteUnit(*fb)) Undo(*fb, kErrUnitUndone);
  EndUnit(*fb);
}

void AbortUnit(FileBlock* fb) {
  if (!CheckHandle(fb)) return;
  if (!fb->inUnit) {
    SetError(kErrUnitOutOfOrder);
    return;
  }
  UndoUnit(*fb);
}

void AddKey(FileBlock* fb, int indexNo, int32_t recNo, const std::string& fullKey) {
  if (!CheckIndex(fb, indexNo) || !CheckWritable(fb) || !CheckUnitOpen(fb)) return;
  const std::string key = CutKey(fullKey);
  Index& d = fb->idx[indexNo];
  if (static_cast<int>(key.size()) > d.keyLength) {
    SetError(kErrKeyTooLong);
    return;
  }
  d.valid = false;
  BeginOperation(*fb, indexNo);
  bool inserted = false;
  const bool ok = TreeInsert(*fb, indexNo, key, recNo, inserted);
  EndKeyOperation(*fb, indexNo, ok, inserted, 1, kErrAddKeyUndone);
  if (ok && !inserted) SetError(kErrKeyExists);
}

void DeleteKey(FileBlock* fb, int indexNo, int32_t recNo, const std::string& fullKey) {
  if (!CheckIndex(fb, indexNo) || !CheckWritable(fb) || !CheckUnitOpen(fb)) return;
  const std::string key = CutKey(fullKey);
  fb->idx[indexNo].valid = false;
  BeginOperation(*fb, indexNo);
  bool deleted = false;
  const bool ok = TreeDelete(*fb, indexNo, key, recNo, deleted);
  EndKeyOperation(*fb, indexNo, ok, deleted, -1, kErrDeleteKeyUndone);
  if (ok && !deleted) SetError(kErrDeleteKeyNotFound);
}

namespace {

// The not-found numbers of a search: no error, or any not-found number, becomes `notFound`.
void NotFound(int32_t notFound) {
  if (IsamError == kNoError || (IsamError >= kErrNotFoundFirst && IsamError <= kErrNotFoundLast))
    SetError(notFound);
  else IsamSuccess = false;
}

}  // namespace

void FindKey(FileBlock* fb, int indexNo, int32_t& recNo, const std::string& fullKey) {
  if (!CheckIndex(fb, indexNo)) return;
  const std::string key = CutKey(fullKey);
  recNo = 0;
  bool found = false;
  int32_t rec = 0;
  if (TreeFind(*fb, indexNo, key, 0, found, rec) && !found &&
      fb->idx[indexNo].h.allowDuplicates) {
    std::string next = key;
    int32_t nextRec = 0;
    found = TreeNext(*fb, indexNo, next, nextRec) && next == key;
    rec = nextRec;
  }
  if (found) {
    recNo = rec;
    ClearError();
    return;
  }
  NotFound(kErrKeyNotFound);
}

void SearchKey(FileBlock* fb, int indexNo, int32_t& recNo, std::string& key) {
  if (!CheckIndex(fb, indexNo)) return;
  recNo = 0;
  bool found = false;
  int32_t rec = 0;
  if (TreeFind(*fb, indexNo, key, 0, found, rec) && !found) {
    std::string next = key;
    found = TreeNext(*fb, indexNo, next, rec);
    if (found) key = next;
  }
  if (found) {
    recNo = rec;
    return;
  }
  NotFound(kErrNoKeyFrom);
}

void NextKey(FileBlock* fb, int indexNo, int32_t& recNo, std::string& key) {
  if (!CheckIndex(fb, indexNo)) return;
  Index& d = fb->idx[indexNo];
  if (d.depth == 0) TreeClear(d);
  TreeNext(*fb, indexNo, key, recNo);
}

void ClearKey(FileBlock* fb, int indexNo) {
  if (!CheckIndex(fb, indexNo)) return;
  TreeClear(fb->idx[indexNo]);
}

bool StartIsam(const std::vector<std::string>& args, const StartupMessage& show) {
  uint16_t netType = 0;
  for (std::string arg : args) {
    std::transform(arg.begin(), arg.end(), arg.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (arg.find("/NET") != std::string::npos) netType = 2;
  }
  if (InitIsam(netType, kDefaultBuffers) > 0) return true;
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, "IsamDosError: %3d IsamError: %3d IsamErrorClass:%3d",
                IsamDosError, IsamError, IsamErrorClass());
  std::string text = std::string(numbers) + "Ej tillr\x84" "ckligt minne vid initiering av BTREE!" +
                     A("eller, Fel nätverk. Kan endast köras lokalt!") +
                     A("eller, Arbetsstationens nummer för högt >");
  show(text.substr(0, 160));
  return false;
}

}  // namespace isam
