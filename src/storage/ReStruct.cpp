#include "storage/ReStruct.h"

#include <cerrno>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "storage/BTFileIO.h"
#include "storage/BufRecIO.h"
#include "storage/Filer.h"
#include "storage/Filer_error.h"
#include "storage/ReIndex.h"
#include "storage/SideThread.h"

namespace isam {

namespace {

constexpr int32_t kMaxReorgLength = 65535;

// "D;X" of "D;X;S": the fileblock being rebuilt.
std::string DataAndIndex(const std::string& name) {
  const auto first = name.find(';');
  if (first == std::string::npos) return name;
  return name.substr(0, name.find(';', first + 1));
}

bool HasOwnSavedName(const std::string& name) {
  const auto first = name.find(';');
  return first != std::string::npos && name.find(';', first + 1) != std::string::npos;
}

// Buffers for one old and one new record; block buffers give way when memory is short.
bool RecordBuffers(RecordReader& reader, RecordAppender* appender, int32_t oldLength, int32_t newLength,
                   std::unique_ptr<unsigned char[]>& oldRecord, std::unique_ptr<unsigned char[]>& newRecord) {
  for (;;) {
    oldRecord.reset(new (std::nothrow) unsigned char[static_cast<size_t>(oldLength)]);
    newRecord.reset(new (std::nothrow) unsigned char[static_cast<size_t>(newLength)]());
    if (oldRecord && newRecord) return true;
    if (!reader.Shrink() && !(appender && appender->Shrink())) {
      SetError(kErrNoBufferMemory);
      return false;
    }
  }
}

}  // namespace

std::string SavedFileName(const std::string& fullName) {
  const std::string name = fullName.substr(0, kMaxNameLength);
  if (!HasOwnSavedName(name)) return FileBlockFileName(name, FileKind::Saved);
  const auto second = name.find(';', name.find(';') + 1);
  return FileBlockFileName(name.substr(second + 1), FileKind::Saved);
}

void ReStruct(const std::string& name, int32_t newLength, int32_t oldLength, const ConversionFunction& convert) {
  FileRemoval removal;
  ReStruct(name, newLength, oldLength, convert, nullptr, removal);
}

void ReStruct(const std::string& fullName, int32_t newLength, int32_t oldLength, const ConversionFunction& convert,
              GatheredKeys* gathered, FileRemoval& removal) {
  ClearError();
  if (newLength > kMaxReorgLength || oldLength > kMaxReorgLength) {
    SetError(kErrRecordTooLong);
    return;
  }
  if (oldLength < 1) {
    SetError(kErrRecordTooShort);
    return;
  }
  const std::string name = fullName.substr(0, kMaxNameLength);
  const std::string fileblock = DataAndIndex(name);
  const std::string datName = FileBlockFileName(fileblock, FileKind::Data);
  const std::string savName = SavedFileName(name);
  if (FileExists(savName) && FileExists(datName)) {
    SetError(kErrSavedCopyLeft);  // an earlier run left its saved copy; nothing is touched
    return;
  }
  bool resumed = false;
  // The data file is held open, locked, across the rename: a fileblock in use, here or in
  // another process, is refused as the rename of an open file would be.
  FileRec held;
  if (!OpenFile(held, datName) && IsamError == kErrSystemFailure) {
    SetError(kErrRenameFailed);
    return;
  }
  ClearError();
  const bool renamed = RenameFile(datName, savName);
  CloseFile(held);
  if (!renamed) {
    if (IsamError == kErrSystemFailure) {
      SetError(kErrRenameFailed);
      return;
    }
    ClearError();
    if (FileExists(savName)) {
      resumed = true;
    } else if (HasOwnSavedName(name) && FileExists(datName)) {
      if (!CopyFile(datName, savName, true)) return;
    } else {
      SetError(kErrReorgFileNotFound);
      return;
    }
  }

  FileBlock* fb = nullptr;
  FileRec sav;
  bool ok = true;
  CreateFileBlock(fileblock, newLength, 0, {});
  ok = IsamSuccess;
  if (ok) {
    OpenFileBlock(fb, fileblock, false);
    ok = IsamSuccess;
  }
  ok = ok && OpenFile(sav, savName);
  if (ok) {
    RecordReader reader(sav, oldLength);
    RecordAppender appender(*fb);
    std::unique_ptr<unsigned char[]> oldRecord, newRecord;
    ok = RecordBuffers(reader, &appender, oldLength, newLength, oldRecord, newRecord);
    int64_t oldSize = 0;
    if (ok && gathered) {
      ok = FileSize(sav, oldSize);
      gathered->Reserve(oldSize / oldLength);
    }
    int32_t number = 0, newNumber = 0;
    while (ok) {
      const unsigned char* old = reader.Next(oldRecord.get(), number);
      if (!old) break;
      // Made in its place in the write block, not copied there.
      unsigned char* fresh = appender.Place(newRecord.get());
      if (!fresh) {
        ok = false;
        break;
      }
      const bool keep = convert(old, fresh);
      if (!IsamSuccess) {
        ClearError();
        SetError(kErrConvertStopped);
        ok = false;
      } else if (keep) {
        ok = appender.Append(newNumber);
        if (ok && gathered) gathered->Take(fresh, newNumber);
      }
    }
    ok = ok && IsamSuccess && appender.Finish();
  }
  if (ok) {
    // The keys are sorted on a thread beside the close, which mostly waits for the system
    // to put the new file on disk; the sort touches nothing but the gathered keys.
    std::thread sorting;
    if (gathered) {
      sorting = ThreadIfAny([gathered] { gathered->Sort(); });
      if (!sorting.joinable()) gathered->Sort();
    }
    // Only a new file that is whole and closed lets the saved copy go; when its close
    // fails, the old file comes back as below and the failure is reported.
    CloseFileBlock(fb);
    ok = IsamSuccess;
    // The saved copy goes while the sort ends, so that the system starts taking its blocks
    // apart beside the sort rather than beside the index writing. One that stays is named by
    // the next run's check.
    if (ok && CloseFile(sav)) removal.Start(savName);
    if (sorting.joinable()) sorting.join();
  }
  if (ok) {
    ClearError();
    return;
  }

  const ErrorKeeper keep;
  if (fb) CloseFileBlock(fb);
  CloseFile(sav);
  for (FileKind kind : {FileKind::Index, FileKind::Journal, FileKind::Data})
    DeleteFile(FileBlockFileName(fileblock, kind));
  if (!resumed && !RenameFile(savName, datName)) {
    ClearError();
    CopyFile(savName, datName, true);
  }
}

}  // namespace isam
