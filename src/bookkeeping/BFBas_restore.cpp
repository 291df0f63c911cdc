// Books built aside and taken in whole. The restore of a backed-up bookkeeping into a free
// slot of the data directory: the backup is copied into a folder of its own beside the data,
// opened and checked there, so that nothing in the data directory changes until the copy is
// known to be sound; then its files take the names of the slot and the list record is added
// last, so that an interruption never leaves a list entry without its files. A replacement
// of a bookkeeping's files (an import into it) is built the same way and decided by one
// rename of its folder, which the next open of the list finishes when it was interrupted.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFBas_aside.h"
#include "bookkeeping/BFFiler_rowlog.h"
#include "bookkeeping/BFVerify.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/BTFileIO.h"

namespace bf {

namespace {

constexpr char kStagingFolder[] = "restore.tmp";

std::string ListFileOf(const std::string& dir) {
  return isam::FileBlockFileName(BfFileName(kListFile, 0, dir), isam::FileKind::Data);
}

}  // namespace

std::vector<int> BookkeepingsIn(const std::string& dir) {
  std::vector<int> found;
  if (!isam::FileExists(ListFileOf(dir))) return found;
  for (int n = 1; n <= kMaxBookkeepings; ++n) {
    const std::vector<std::string> files = FilesAside::BookkeepingFiles(n, dir);
    if (isam::FileExists(files[0]) && isam::FileExists(files[2])) found.push_back(n);
  }
  return found;
}

namespace {

// The folder in which a decided replacement of bookkeeping n waits to be finished.
std::string ReplacementFolder(const std::string& dataDir, int n) { return dataDir + "/replace" + TwoDigits(n) + ".tmp"; }

// List record n of the list in dir, read without taking the list from others who read it.
bool ReadStagedRecord(const std::string& dir, int n, BfDataBasRecord& record) {
  BfShared staged;
  bool found = false, atEnd = false;
  int32_t recNo = n;
  if (OpenBfFile(staged.listFile, kListFile, 0, dir, OpenMode::kRead))
    BfAccess(staged, kListFile, kAtRecord, "", recNo, found, atEnd);
  const isam::ErrorKeeper keep;
  if (staged.listFile) isam::CloseFileBlock(staged.listFile);
  record = staged.dataBas;
  return found;
}

// The backup's list and bookkeeping n copied into staging; false with the failing file named.
bool CopyIntoStaging(const std::string& backupDir, int n, const std::string& staging, std::string& failed) {
  std::vector<std::string> from = FilesAside::BookkeepingFiles(n, backupDir);
  std::vector<std::string> to = FilesAside::BookkeepingFiles(n, staging);
  from.push_back(ListFileOf(backupDir));
  to.push_back(ListFileOf(staging));
  for (size_t i = 0; i < from.size(); ++i) {
    // The sums file is the one a bookkeeping may lack: its open makes it anew.
    if (!isam::FileExists(from[i])) continue;
    if (!isam::CopyFile(from[i], to[i], false)) {
      failed = from[i];
      return false;
    }
  }
  return true;
}

// Opens bookkeeping n of staging and checks it; its list record on success. The remembered
// bookkeeping of the configuration is the live one's, whatever the check selects.
bool CheckedRecord(const std::string& staging, int n, BfDataBasRecord& record, std::string& reason) {
  const int remembered = ekonfig::Konfig.CurBase();
  BfDatabase copy(staging);
  copy.OpenBookkeepingList();
  copy.SelectBookkeeping(n);
  bool sound = copy.bookkeepingOpen();
  if (!sound) reason = A("bokföringen kan inte öppnas");
  if (sound) {
    const std::vector<std::string> findings = VerifyBookkeeping(copy.shared(), staging);
    sound = findings.empty();
    if (!sound) {
      reason = findings.front();
      if (findings.size() > 1) reason += " (och " + std::to_string(findings.size() - 1) + " fel till)";
    }
  }
  record = copy.shared().dataBas;
  copy.CloseBookkeeping();
  copy.CloseBookkeepingList();
  ekonfig::Konfig.SetCurBase(remembered);
  return sound;
}

}  // namespace

bool BfDatabase::RestoreBookkeeping(const std::string& backupDir, int from, bool registers) {
  if (!listOpen_) {
    eerror::EMsg(eerror::kStatusLine, A("Databas ej vald/ datafiler saknas!"));
    return false;
  }
  const std::vector<int> there = BookkeepingsIn(backupDir);
  if (there.empty() || (from != 0 && std::find(there.begin(), there.end(), from) == there.end())) {
    eerror::EMsg(eerror::kWarning, A("Ingen säkerhetskopia av en bokföring i ") + backupDir);
    return false;
  }
  if (from == 0 && there.size() > 1) {
    std::string numbers;
    for (int n : there) numbers += (numbers.empty() ? "" : ", ") + TwoDigits(n);
    eerror::EMsg(eerror::kWarning, A("Flera bokföringar i kopian (") + numbers + A("): ange vilken som ska återställas"));
    return false;
  }
  const int n = from != 0 ? from : there.front();
  if (s_.listInUse >= kMaxBookkeepings) {
    eerror::EMsg(eerror::kStatusLine, A("Max antal bokföringar uppnått!"));
    return false;
  }

  const std::string staging = dataDir_ + "/" + kStagingFolder;
  const bool made = MakeStagingFolder(staging);  // what an interrupted restore left goes
  std::string failed, reason;
  BfDataBasRecord record;
  if (!made || !CopyIntoStaging(backupDir, n, staging, failed)) {
    eerror::EMsg(eerror::kWarning, A("Kan ej kopiera säkerhetskopian: ") + (failed.empty() ? staging : failed));
    RemoveStagingFolder(staging);
    isam::ClearError();
    return false;
  }
  if (!CheckedRecord(staging, n, record, reason)) {
    eerror::EMsg(eerror::kWarning, A("Säkerhetskopian i ") + backupDir + A(" återställs inte: ") + reason);
    RemoveStagingFolder(staging);
    isam::ClearError();
    return false;
  }

  if (!AddStaged(staging, n)) return false;
  if (registers) {
    for (const char* file : RegisterFiles()) {
      const std::string source = backupDir + "/" + file;
      if (isam::FileExists(source) && !isam::CopyFile(source, dataDir_ + "/" + file, false))
        eerror::ReportIsamError();
    }
  }
  eerror::EMsg(eerror::kStatusLine,
               "BfDataBas nr." + TwoDigits(n) + " i " + backupDir + A(" återställd som nr.") + TwoDigits(s_.current));
  return bookkeepingOpen_;
}

bool BfDatabase::AddStaged(const std::string& staging, int n) {
  BfDataBasRecord record;
  const int previous = s_.current;
  bool ok = s_.listInUse < kMaxBookkeepings && ReadStagedRecord(staging, n, record);
  if (!ok && s_.listInUse >= kMaxBookkeepings) eerror::EMsg(eerror::kStatusLine, A("Max antal bokföringar uppnått!"));
  // The slot the list gives next, seen by taking it in a unit that is undone at once: the
  // files can have its names before the list record that makes it a bookkeeping, and the
  // list stays exactly as it was until that record is added, whatever interrupts it.
  CloseBookkeeping();
  s_.dataBas = record;
  s_.dataBas.chain = 0;
  int32_t slot = 0;
  if (ok) {
    isam::BeginUnit(s_.listFile);
    ok = isam::IsamSuccess && PutDataBas(s_, true, slot);
    const int32_t error = isam::IsamError;
    isam::AbortUnit(s_.listFile);
    if (error != 0) isam::SetError(error);
    ok = ok && isam::IsamSuccess;
    RefreshListCounters();
  }
  const std::vector<std::string> fromFiles = FilesAside::BookkeepingFiles(n, staging);
  const std::vector<std::string> toFiles = FilesAside::BookkeepingFiles(slot, dataDir_);
  for (size_t i = 0; ok && i < fromFiles.size(); ++i) {
    isam::DeleteFile(toFiles[i]);  // an old file of a slot that is free
    isam::ClearError();
    if (isam::FileExists(fromFiles[i])) ok = isam::RenameFile(fromFiles[i], toFiles[i]);
  }
  int32_t added = 0;
  s_.dataBas.number = TwoDigits(slot);
  ok = ok && PutDataBas(s_, true, added) && added == slot;
  // It is the selected bookkeeping from the moment it is in the list: remembered at once, not
  // at the end of a run that may be killed before it.
  if (ok) ekonfig::StoreRememberedBase(slot);
  bool listed = false;
  if (!ok && slot != 0) {
    // The list record makes the bookkeeping: one that reached the list despite the failure
    // keeps its files, one that did not leaves none behind in the slot.
    const isam::ErrorKeeper keep;
    isam::ClearError();
    int32_t recNo = slot;
    bool atEnd = false;
    BfAccess(s_, kListFile, kAtRecord, "", recNo, listed, atEnd);
    if (!listed)
      for (const std::string& f : toFiles) isam::DeleteFile(f);
  }
  ok = ok || listed;
  RemoveStagingFolder(staging);
  RefreshListCounters();
  if (!ok) {
    if (!isam::IsamSuccess) eerror::ReportIsamError();
    s_.current = previous;
    if (previous != 0 && ReadListRecord(previous)) OpenBookkeeping();
    return false;
  }
  s_.current = slot;
  OpenBookkeeping();
  return bookkeepingOpen_;
}

bool BfDatabase::StageCurrent(const std::string& staging) {
  if (!bookkeepingOpen_) return false;
  const int n = s_.current;
  CloseBookkeeping();
  BfShared staged;
  bool ok = ReadListRecord(n);
  const std::vector<std::string> fromFiles = FilesAside::BookkeepingFiles(n, dataDir_);
  const std::vector<std::string> toFiles = FilesAside::BookkeepingFiles(1, staging);
  for (size_t i = 0; ok && i < fromFiles.size(); ++i)
    if (isam::FileExists(fromFiles[i])) ok = isam::CopyFile(fromFiles[i], toFiles[i], false);
  if (ok) {
    CreateBfFile(kListFile, 0, staging);
    ok = isam::IsamSuccess && OpenBfFile(staged.listFile, kListFile, 0, staging);
  }
  staged.dataBas = s_.dataBas;
  staged.dataBas.chain = 0;
  staged.dataBas.number = TwoDigits(1);
  int32_t recNo = 0;
  ok = ok && PutDataBas(staged, true, recNo) && recNo == 1;
  {
    const isam::ErrorKeeper keep;
    if (staged.listFile) isam::CloseFileBlock(staged.listFile);
  }
  if (!ok) eerror::ReportIsamError();
  s_.current = n;
  OpenBookkeeping();
  return ok && bookkeepingOpen_;
}

bool BfDatabase::ReplaceWithStaged(const std::string& staging) {
  const int n = s_.current;
  if (!bookkeepingOpen_) {
    RemoveStagingFolder(staging);
    return false;
  }
  CloseBookkeeping();
  // From this rename on the replacement is made, if not by this run then by the next open.
  bool ok = isam::RenameFile(staging, ReplacementFolder(dataDir_, n));
  if (!ok) {
    eerror::ReportIsamError();
    RemoveStagingFolder(staging);
  }
  ok = ok && FinishReplacements();
  s_.current = n;
  if (ReadListRecord(n)) OpenBookkeeping();
  return ok && bookkeepingOpen_;
}

bool BfDatabase::FinishReplacements() {
  bool finished = true;
  for (int n = 1; n <= kMaxBookkeepings; ++n) {
    const std::string folder = ReplacementFolder(dataDir_, n);
    if (!isam::FileExists(folder)) continue;
    // The list open for writing keeps every other program out while the files change: this
    // database's own, or one opened for the purpose before this database opens its list.
    const bool own = !listOpen_;
    BfShared writer;
    if (!own) writer.listFile = s_.listFile;
    BfDataBasRecord record;
    bool ok = (!own || OpenBfFile(writer.listFile, kListFile, 0, dataDir_)) && ReadStagedRecord(folder, 1, record);
    const std::vector<std::string> fromFiles = FilesAside::BookkeepingFiles(1, folder);
    const std::vector<std::string> toFiles = FilesAside::BookkeepingFiles(n, dataDir_);
    for (size_t i = 0; ok && i < fromFiles.size(); ++i)
      if (isam::FileExists(fromFiles[i])) ok = isam::RenameFile(fromFiles[i], toFiles[i]);
    writer.dataBas = record;
    writer.dataBas.number = TwoDigits(n);
    int32_t recNo = n;
    ok = ok && PutDataBas(writer, false, recNo);
    if (ok) {
      // A row log of the slot speaks of the accounts that were replaced.
      RowLog::Remove(RowLog::FileName(n, dataDir_));
      RemoveStagingFolder(folder);
    } else {
      eerror::ReportIsamError();
    }
    const isam::ErrorKeeper keep;
    if (own && writer.listFile) isam::CloseFileBlock(writer.listFile);
    finished = finished && ok;
  }
  return finished;
}

bool MakeStagingFolder(const std::string& dir) {
  RemoveStagingFolder(dir);
  std::error_code made;
  std::filesystem::create_directories(isam::ResolvePath(dir), made);
  return !made;
}

void RemoveStagingFolder(const std::string& dir) {
  std::error_code ignored;
  std::filesystem::remove_all(isam::ResolvePath(dir), ignored);
}

}  // namespace bf
