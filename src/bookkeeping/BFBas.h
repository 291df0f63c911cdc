// The bookkeeping database: the list of up to eight bookkeepings in the data directory and
// the operations on it that the main window and bfnolk call.
//
// BfDatabase keeps the program-wide state: whether the list is open, whether the three files
// of the current bookkeeping are open, and the shared buffers of BfShared (the current
// bookkeeping's list record among them). Invariants: bookkeeping open implies list open and
// current in 1..8 with all three of its fileblocks open; every operation that changes the
// list closes the open bookkeeping first (writing its list record back) and opens one again
// at its end; every message goes through EMsg, every question through the message interface
// and every long step through the progress interface.
//
// A database opened for reading (Access::kReadOnly) opens its files so, shares them with
// other readers and writes nothing; closing a bookkeeping writes its list record and month
// sums only when they changed. A file that another program holds is waited for a while
// (OpenBfFile) and then named as in use.
//
// A database of books built aside (Access::kStaging), which are taken in only whole and
// thrown away on any failure, needs no durability step by step: its files are written
// without journal and without a row log, and each is flushed once, when it is closed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bookkeeping/BFFiler.h"

namespace bf {

enum class CopyMode { kCopy, kBackup };
enum class Access { kReadWrite, kReadOnly, kStaging };

class BfDatabase {
 public:
  // dataDir: the data directory (a Linux path, Windows-1252 as the engine takes names).
  explicit BfDatabase(std::string dataDir, Access access = Access::kReadWrite);
  ~BfDatabase();  // closes the bookkeeping and the list, as program exit does
  BfDatabase(const BfDatabase&) = delete;
  BfDatabase& operator=(const BfDatabase&) = delete;

  BfShared& shared() { return s_; }
  const BfShared& shared() const { return s_; }
  const std::string& dataDir() const { return dataDir_; }
  bool listOpen() const { return listOpen_; }
  bool bookkeepingOpen() const { return bookkeepingOpen_; }
  int current() const { return s_.current; }
  // Why the list or the bookkeeping could not be opened although its files are there (in
  // use by another program, a folder that cannot be written, a change that needs replaying);
  // empty after an open that went through or found no files.
  const std::string& openFailure() const { return openFailure_; }

  void OpenBookkeepingList();
  void CloseBookkeepingList();
  // A new, empty list replacing the old one; asks first when the old one is in use. True
  // when the new list was made.
  bool CreateBookkeepingList();

  void OpenBookkeeping();
  void CloseBookkeeping();
  // Selects the remembered bookkeeping (the configuration's CurBase) and opens it.
  void SelectRemembered();
  // The menu's choice of bookkeeping n. One that cannot be opened is refused (false), and
  // the bookkeeping open before and the remembered one stay as they were.
  bool SelectBookkeeping(int n);

  // A new bookkeeping: refused (false, with its message) while the list is closed or eight
  // are in use; otherwise the open one is closed and the list record buffer holds the fresh
  // record to fill before FinishNewBookkeeping.
  bool BeginNewBookkeeping();
  // Adds the filled list record and creates the three files of the new bookkeeping.
  bool FinishNewBookkeeping();
  // Writes the changed list record of the current bookkeeping (and opens it when closed);
  // the group totals follow changed sum groups.
  bool FinishChangeBookkeeping();
  // The form was cancelled.
  void CancelBookkeepingForm();

  // Adds (isNew) or rewrites the list record buffer at the current bookkeeping.
  bool SaveBookkeepingInfo(bool isNew);
  void CreateBookkeepingFiles();
  // Asks, then deletes bookkeeping n and its files. True when it was deleted.
  bool DeleteBookkeeping(int n);

  // Copies the current bookkeeping into a new slot (kCopy) or into targetDir (kBackup).
  // True when every file was copied.
  bool CopyBookkeeping(CopyMode mode, const std::string& targetDir = "");
  // Year-end: asks, backs the bookkeeping up into a folder of its own under "bokslut" in
  // the data directory, named after the bookkeeping and its period, then empties the
  // verifications and carries closing balances forward; on any failure everything is as
  // before, and without the archive nothing is emptied.
  bool ResetBookkeeping();
  // Reorganises the current bookkeeping's three files and recomputes every total from the
  // opening balances and the verifications; on any failure everything is as before.
  bool RebuildBookkeeping();

  // Brings the bookkeeping backed up in backupDir (its number from there; 0: the only one
  // there) back into the slot the list gives next. The backup is first copied aside and
  // checked as `verify` checks: a damaged one is refused with the reason and nothing changes.
  // With registers the backup's payee registers replace those of the data directory. True
  // when restored; the restored bookkeeping is then the open one.
  bool RestoreBookkeeping(const std::string& backupDir, int from, bool registers);

  // Books built aside, in a staging folder of the data directory made by MakeStagingFolder,
  // by a BfDatabase of its own that is closed again before they are taken in. Taking them in
  // leaves the data directory as before or as after whatever interrupts it.
  //
  // The open bookkeeping's files and list record copied into staging as its bookkeeping 1;
  // the bookkeeping is closed for the copy and opened again. False when a copy failed.
  bool StageCurrent(const std::string& staging);
  // Bookkeeping n of staging becomes a new bookkeeping in the slot the list gives next: its
  // files take the slot's names first, its list record is added last, so that it is a
  // bookkeeping only once whole. True when taken in; it is then the open one.
  bool AddStaged(const std::string& staging, int n);
  // Bookkeeping 1 of staging (made by StageCurrent) replaces the open bookkeeping's files
  // and list record. The replacement is decided by renaming staging to the replacement
  // folder of the slot; what an interruption leaves of it after that is finished by the
  // next open of the list. True when replaced; the bookkeeping is then open again.
  bool ReplaceWithStaged(const std::string& staging);

  // The files a failed copy left in its target, for the report.
  const std::vector<std::string>& partialFiles() const { return partialFiles_; }

 private:
  void RefreshListCounters();
  void StoreRemembered(int n);
  bool ReadListRecord(int n);
  // A replacement by ReplaceWithStaged that was decided and not finished: its files take
  // their places and its list record is written, then its folder goes. A folder that cannot
  // be written leaves it to a run that can. False when one was found and could not be finished.
  bool FinishReplacements();
  // The list record of the bookkeeping just opened made to agree with its files, when the
  // process that last wrote them ended between saving a verification and writing the list
  // record: the last number raised to the highest number saved, the totals those of the
  // accounts. Says so on the status line and writes the record; a run that only reads
  // leaves it to the next that writes.
  void ReconcileListRecord();
  // A run that only reads, opening bookkeeping n: a verification a crash left in its accounts
  // is taken back first where the files can be opened for writing, as an open for writing
  // does; where they cannot, the books are shown as they are (verify names the log). False
  // when the list could not be opened again.
  bool TakeBackLeftVerification(int n);
  // The year-end steps on the open bookkeeping: a new verification file, totals to 0, every
  // account carried forward.
  bool CarryEverythingForward();
  // The year-end's backup of the open bookkeeping; folder receives where it went, in the
  // data directory.
  bool ArchiveYear(std::string& folder);
  // The failure of a copy: the last file copied failed, with its error code and the
  // system's reason, or one of the bookkeeping's own files failed.
  struct CopyFailure {
    bool bookkeeping = false;
    bool last = false;
    int code = 0;
    std::string reason;
  };
  bool CopyFiles(CopyMode mode, const std::string& target, int from, int to, CopyFailure& failure);
  bool CopyOneFile(const std::string& from, const std::string& to, const std::string& shownAs,
                   bool& skipped, CopyFailure& failure);
  // The text for a failed open of the list or a bookkeeping whose files are there.
  std::string OpenFailureText() const;

  BfShared s_;
  std::string dataDir_;
  bool readOnly_ = false;
  bool staging_ = false;
  // How this database opens its files: for reading only, for writing with journal, or for
  // writing books built aside.
  OpenMode FileMode() const;
  std::string openFailure_;
  BfDataBasRecord listRecordOnFile_;  // the open bookkeeping's list record as the list holds it
  bool listOpen_ = false;
  bool bookkeepingOpen_ = false;
  std::vector<std::string> partialFiles_;
};

// Two digits of a bookkeeping number ("03").
std::string TwoDigits(int n);

// The bookkeepings a backup folder holds: the numbers whose account and verification files
// lie there beside a list.
std::vector<int> BookkeepingsIn(const std::string& backupDir);

// A staging folder for books built aside, made empty (what an interrupted build left in it
// goes); false when it cannot be made. RemoveStagingFolder takes it away with what it holds.
bool MakeStagingFolder(const std::string& dir);
void RemoveStagingFolder(const std::string& dir);

// The files of the payee registers (and the salary template) that a backup takes beside the
// bookkeeping, by their names in the data directory.
std::span<const char* const> RegisterFiles();

}  // namespace bf
