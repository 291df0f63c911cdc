// The file set of the bookkeepings and the one buffer per file through which every record
// is read and written.
//
// Files, in the data directory: BfNolk (the list, one BfDataBasRecord per bookkeeping, no
// keys) and per bookkeeping NN (01..08) KontoNN (accounts, key 1 the account number),
// BfNN (verifications, no keys) and BfSumsNN (month sums, key 1 the month). Both indexes
// allow equal keys. The list and the verifications are read by record number only.
//
// BfShared holds the open fileblocks and the buffers. Invariants: every BfAccess read lands
// in the file's buffer and every write takes it; after a write the buffer holds what a read
// of the record would give (texts cut to their capacities, read hook applied). The typed
// reads (FindAccount, ForEachAccount, ForEachVerification) read into their caller's records
// and leave the buffers alone. A record
// whose first word is not 0 is a deleted slot and is never reported as found. Nothing is
// read from or written to a fileblock whose record length is not its file's.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "bookkeeping/BFFiler_rowlog.h"
#include "bookkeeping/BFdefs.h"
#include "storage/Filer.h"

namespace bf {

enum BfFile : int { kListFile = 0, kKontoFile = 1, kVerFile = 2, kSumsFile = 3 };

constexpr int kMaxBookkeepings = 8;

// The storage shape of one file of the set.
struct BfFileLayout {
  int32_t recordLength;
  uint8_t keyLength;  // 0: the file has no index
  size_t keyChars;    // characters of a key that are used (0: no key)
};
const BfFileLayout& LayoutOf(BfFile file);

// The fileblock name: "BfNolk", or the base name and two digits of the bookkeeping
// ("Konto03", "Bf03", "BfSums03"), in the data directory when one is given.
std::string BfFileName(BfFile file, int bookkeeping, const std::string& dataDir = "");

// Creates the file empty (replacing one of that name), with its record length and index.
void CreateBfFile(BfFile file, int bookkeeping, const std::string& dataDir);

// How long an open waits for a file that another program has open.
constexpr std::chrono::milliseconds kInUsePatience{3000};

// How a file is opened: for writing with journal (the rule), for reading only, or for
// writing without journal by a caller that keeps the files aside (its changes reach the
// disk at the close).
enum class OpenMode { kWrite, kRead, kWriteUnjournaled };

// Opens the file. A file that another program has open is tried again until
// kInUsePatience has passed. An unfinished change in its journal is put right by an open
// for writing first, also for reading, where the folder can be written (ChangeToReplay
// after a failure where not). A fileblock whose records are not the file's length is
// closed again and reported with the version message; false on any failure.
bool OpenBfFile(isam::FileBlock*& fb, BfFile file, int bookkeeping, const std::string& dataDir,
                OpenMode mode = OpenMode::kWrite);

// After a failed open: true when the file is there but another open holds it.
bool InUseElsewhere();
// After a failed open: true when the file's journal holds a change that only writing can
// put right.
bool ChangeToReplay();

// The version check of the list: when BfNolk.dat exists in dataDir (in any letter case)
// its size must be a whole number of list records; otherwise the information box
// "versionskonflikt: datafilerna ej för denna version eller skadade!" is shown and false
// returned.
bool ListVersionOk(const std::string& dataDir);

struct BfShared {
  // Open fileblocks: the list, and the three files of the current bookkeeping.
  isam::FileBlock* listFile = nullptr;
  isam::FileBlock* kontoFile = nullptr;
  isam::FileBlock* verFile = nullptr;
  isam::FileBlock* sumsFile = nullptr;

  BfDataBasRecord dataBas;  // the current bookkeeping's list record
  KontoRecord konto;
  VerRecord ver;
  SumsRecord sums;
  SumsRecord pendingSums;  // month sums posted since the bookkeeping was opened

  int current = 0;         // record number of the current bookkeeping in the list, 0: none
  int32_t kontoRecNo = 0;  // the last account found, 0: none
  int32_t verRecNo = 0;    // the last verification found
  int32_t listLength = 0;  // the list's length in records, the engine's header included
  int32_t listInUse = 0;   // live records of the list
  RowLog rowLog;           // the verification in progress, while one is

  isam::FileBlock* Handle(BfFile file) const;
};

// The operations of the one read routine, by file:
//   list:           kFindKey, kSearchKey record number := the key's value; kAtRecord the given
//                   record number; kNext the one after the current bookkeeping; kRewind none
//                   (record number 0)
//   accounts, sums: kFindKey find the key; kSearchKey the first key not below it; kNext the
//                   next key; kRewind before the first key; kAtRecord the given record number
//   verifications:  kNext the record number + 1; kRewind record number 0; others the given
// The values are those the files' callers have always used.
enum BfOperation : int { kFindKey = 0, kAtRecord = 1, kNext = 2, kSearchKey = 3, kRewind = 4 };

// The one read routine. The record is read into the file's buffer when the positioning
// succeeded and the record number lies in 1..the last record. found: a live record was
// read. atEnd: a key step failed or the record number is past the last record. A damaged
// record is read clamped and named on the status line.
void BfAccess(BfShared& s, BfFile file, BfOperation operation, const std::string& key, int32_t& recNo,
              bool& found, bool& atEnd);

// After BfAccess: true when it found nothing because the files could not be read, rather
// than for want of a record. A caller must not take such a miss for an absent record.
bool AccessFailed();

// The typed reads. A read that fails is reported (the engine's error as a warning) and
// ends the read with kFailed or false, so that a walk cut short never passes for the end of
// the file. A damaged record is read clamped and named on the status line.
enum class Lookup { kFound, kAbsent, kFailed };

// The account with number (four characters, "1930"); recNo receives its record number.
Lookup FindAccount(BfShared& s, const std::string& number, KontoRecord& account, int32_t& recNo);

// The verification at record recNo (1..the last record).
Lookup ReadVerification(BfShared& s, int32_t recNo, VerRecord& verification);

// List record n: the bookkeeping numbered n (1..the last record).
Lookup ReadBookkeeping(BfShared& s, int32_t n, BfDataBasRecord& record);

// Every live account in key order, every live verification and every live month record in
// record order; each returns false to end the walk early. False when a read failed.
using AccountVisitor = std::function<bool(const KontoRecord& account, int32_t recNo)>;
using VerificationVisitor = std::function<bool(const VerRecord& verification, int32_t recNo)>;
using MonthVisitor = std::function<bool(const SumsRecord& month, int32_t recNo)>;
bool ForEachAccount(BfShared& s, const AccountVisitor& each);
bool ForEachVerification(BfShared& s, const VerificationVisitor& each);
bool ForEachMonth(BfShared& s, const MonthVisitor& each);

// Writers: each takes the file's buffer through the write hook. When isNew is set the
// record is added first and recNo receives its number. False when the engine failed (its
// error state says why) or the fileblock is not the file's; the buffer is then unchanged.

// The account; an empty number is stored as XXXX. Key 1 is always added, so a caller that
// rewrites an account whose key it kept deletes that key first.
bool PutKonto(BfShared& s, bool isNew, int32_t& recNo);
// The account, without key work.
bool RewriteKonto(BfShared& s, int32_t recNo);
bool PutVer(BfShared& s, bool isNew, int32_t& recNo);
// The month sums; a new record gets its key.
bool PutSums(BfShared& s, bool isNew, int32_t& recNo);
// The list record; the list counters are refreshed.
bool PutDataBas(BfShared& s, bool isNew, int32_t& recNo);

// The four characters of an account number by which key 1 of the account file finds it.
std::string KontoKey(int accountNumber);
// The other way: the value by which a verification row names the account with this number;
// nothing when the number is not all digits (XXXX), which no row can name.
std::optional<int> RowAccount(const std::string& number);

}  // namespace bf
