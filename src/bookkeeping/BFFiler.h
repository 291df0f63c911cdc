// The file set of the bookkeepings and the one buffer per file through which every record
// is read and written.
//
// Files, in the data directory: BfNolk (the list, one BfDataBasRecord per bookkeeping, no
// keys) and per bookkeeping NN (01..08) KontoNN (accounts, key 1 the account number),
// BfNN (verifications, no keys) and BfSumsNN (month sums, key 1 the month). Both indexes
// allow equal keys. The list and the verifications are read by record number only.
//
// BfShared holds the open fileblocks and the buffers. Invariants: every read lands in the
// file's buffer and every write takes it; after a write the buffer holds what a read of
// the record would give (texts cut to their capacities, read hook applied). A record
// whose first word is not 0 is a deleted slot and is never reported as found. Nothing is
// read from or written to a fileblock whose record length is not its file's.
#pragma once

#include <cstdint>
#include <string>

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

// Opens the file, with journal unless the caller keeps its files aside (then its changes
// reach the disk at the close). A fileblock whose records are not the file's length is
// closed again and reported with the version message; false on any failure.
enum class Journal { kWith, kWithout };
bool OpenBfFile(isam::FileBlock*& fb, BfFile file, int bookkeeping, const std::string& dataDir,
                Journal journal = Journal::kWith);

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

  isam::FileBlock* Handle(BfFile file) const;
};

// The one read routine. operation, by file:
//   list:           0, 3 record number := the key's value; 1, 5 the given record number;
//                   2 the one after the current bookkeeping; 4 none (record number 0)
//   accounts, sums: 0 find the key; 3 the first key not below it; 2 the next key;
//                   4 rewind before the first key; 1, 5 the given record number
//   verifications:  2 the record number + 1; 4 rewind (record number 0); others the given
// The record is read into the file's buffer when the positioning succeeded and the record
// number lies in 1..the last record. found: a live record was read. atEnd: a key step
// failed or the record number is past the last record. A damaged record is read clamped
// and named on the status line.
void BfAccess(BfShared& s, BfFile file, int operation, const std::string& key, int32_t& recNo,
              bool& found, bool& atEnd);

// After BfAccess: true when it found nothing because the files could not be read, rather
// than for want of a record. A caller must not take such a miss for an absent record.
bool AccessFailed();

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

}  // namespace bf
