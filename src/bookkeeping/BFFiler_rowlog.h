// The log of the verification in progress ("BfNN.Rad" beside the bookkeeping's files): what
// the accounts held before its rows were posted, so that a verification that is never saved
// can always be taken back, after a crash, a kill or a power cut too.
//
// It holds entries, each flushed before the change it covers is made:
//   'K' account: the account record's bytes as stored, before the verification's first row
//       on it rewrote it (record number, bytes);
//   'S' save: just before the verification is added to its file, the number it is saved
//       under and the list record's bytes as stored (its record number, bytes).
// The file is made at the verification's first row and removed once its save or cancel is
// through. An entry that a crash cut short was never followed by the change it covers.
//
// Format, little-endian: "BfRader1", then entries of kind (1 byte), record number (i32),
// verification number (i16), length (u16), the bytes, and FNV-1a (u32) of everything before
// it in the entry. Reading stops at the first entry that is not whole.
#pragma once

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bookkeeping/BFdefs.h"
#include "storage/BTFileIO.h"

namespace bf {

class RowLog {
 public:
  enum Kind : uint8_t { kAccount = 'K', kSave = 'S' };
  struct Entry {
    Kind kind;
    int32_t recNo;
    int16_t number;
    std::vector<uint8_t> bytes;
  };

  RowLog() = default;
  ~RowLog();
  RowLog(const RowLog&) = delete;
  RowLog& operator=(const RowLog&) = delete;

  // The log of bookkeeping n in dataDir.
  static std::string FileName(int bookkeeping, const std::string& dataDir);

  // The log of the open bookkeeping; empty while none is open.
  void Attach(std::string fileName);
  // Books that are thrown away whole on any failure (built aside): their rows are posted
  // with nothing kept, so no verification is ever in progress.
  void AttachUnlogged();
  const std::string& fileName() const { return fileName_; }

  // A verification's rows are in the accounts and the log holds what they were before.
  bool InProgress() const { return file_.IsOpen(); }
  bool Kept(int32_t recNo) const { return kept_.count(recNo) != 0; }

  // Appends an entry and flushes it; the first makes the file afresh. False, with the
  // engine's error state saying why, when it could not be made durable.
  bool Keep(Kind kind, int32_t recNo, int16_t number, std::span<const uint8_t> bytes);

  // The pending month sums when the verification's first row came, for taking it back in
  // the same run.
  SumsRecord pendingBefore;

  // The verification is through: the file goes (or, where it cannot be removed, is emptied,
  // which reads as no log). False when neither could be done.
  bool Finish();

  // The whole entries of the log file name; false when there is none (or it cannot be read).
  static bool Read(const std::string& fileName, std::vector<Entry>& entries);
  // The whole entries of a log's bytes, up to the first that is not whole.
  static std::vector<Entry> Entries(std::string_view bytes);
  // Removes a log that has been played back (or empties it); false when neither could be done.
  static bool Remove(const std::string& fileName);

 private:
  std::string fileName_;
  bool unlogged_ = false;
  isam::FileRec file_;
  int64_t end_ = 0;
  std::set<int32_t> kept_;
};

}  // namespace bf
