// The restore of a backed-up bookkeeping into a free slot of the data directory. The backup
// is copied into a folder of its own beside the data, opened and checked there, so that
// nothing in the data directory changes until the copy is known to be sound; then its files
// take the names of the slot and the list record is added last, so that an interruption
// never leaves a list entry without its files.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFBas_aside.h"
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

void RemoveFolder(const std::string& dir) {
  std::error_code ignored;
  std::filesystem::remove_all(isam::ResolvePath(dir), ignored);
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
  RemoveFolder(staging);  // what an interrupted restore left
  std::error_code made;
  std::filesystem::create_directories(isam::ResolvePath(staging), made);
  std::string failed, reason;
  BfDataBasRecord record;
  if (made || !CopyIntoStaging(backupDir, n, staging, failed)) {
    eerror::EMsg(eerror::kWarning, A("Kan ej kopiera säkerhetskopian: ") + (failed.empty() ? staging : failed));
    RemoveFolder(staging);
    isam::ClearError();
    return false;
  }
  if (!CheckedRecord(staging, n, record, reason)) {
    eerror::EMsg(eerror::kWarning, A("Säkerhetskopian i ") + backupDir + A(" återställs inte: ") + reason);
    RemoveFolder(staging);
    isam::ClearError();
    return false;
  }

  // The slot the list gives next: taken and given back at once, so the files can have its
  // names before the list record that makes it a bookkeeping.
  const int previous = s_.current;
  CloseBookkeeping();
  s_.dataBas = record;
  s_.dataBas.chain = 0;
  int32_t slot = 0;
  bool ok = PutDataBas(s_, true, slot);
  if (ok) {
    isam::DeleteRec(s_.listFile, slot);
    ok = isam::IsamSuccess;
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
  if (!ok) {
    const isam::ErrorKeeper keep;
    if (added != 0) isam::DeleteRec(s_.listFile, added);
    for (const std::string& f : toFiles) isam::DeleteFile(f);
  }
  RemoveFolder(staging);
  RefreshListCounters();
  if (!ok) {
    eerror::ReportIsamError();
    s_.current = previous;
    if (previous != 0 && ReadListRecord(previous)) OpenBookkeeping();
    return false;
  }
  if (registers) {
    for (const char* file : RegisterFiles()) {
      const std::string source = backupDir + "/" + file;
      if (isam::FileExists(source) && !isam::CopyFile(source, dataDir_ + "/" + file, false))
        eerror::ReportIsamError();
    }
  }
  s_.current = slot;
  OpenBookkeeping();
  eerror::EMsg(eerror::kStatusLine, "BfDataBas nr." + TwoDigits(n) + " i " + backupDir + A(" återställd som nr.") + TwoDigits(slot));
  return bookkeepingOpen_;
}

}  // namespace bf
