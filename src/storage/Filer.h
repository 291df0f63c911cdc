// The storage engine's public operations and its process-wide error state.
//
// Every operation clears the error state, checks the engine is started (kErrNotStarted),
// the handle (kErrNotAFileBlock) and the index number (kErrBadIndexNumber), and then reports
// through IsamSuccess / IsamError / IsamDosError (numbers in Filer_error.h); nothing throws. Keys and names are Windows-1252 byte strings; keys are cut
// to 30 characters, names to 192. Records are moved as exactly RecordLength bytes from and
// to caller-owned buffers.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "storage/Filer_error.h"

namespace isam {

struct FileBlock;  // owned by the engine between OpenFileBlock and CloseFileBlock

constexpr int kMaxKeyLength = 30;
constexpr int kMaxIndexes = 100;
constexpr int kMaxNameLength = 192;
constexpr int kMinRecordLength = 21;
constexpr int32_t kDefaultBuffers = 200;

// One entry of the index description list of CreateFileBlock.
struct IndexDescription {
  uint8_t keyLength = 0;         // 1..30
  bool allowDuplicates = false;  // equal keys allowed, ordered by record number
};

// Returns the number of page buffers obtained, 0 on failure. netType is 0 or 2.
int32_t InitIsam(uint16_t netType, int32_t buffers);
void ExitIsam();

void CreateFileBlock(const std::string& name, int32_t recordLength, uint16_t indexCount,
                     std::span<const IndexDescription> indexes);
void OpenFileBlock(FileBlock*& fb, const std::string& name, bool journal);
// Opens a journaled fileblock for reading only: its files are opened read-only and shared
// with other such opens (a write open is kept out, as it keeps them out), a missing journal
// is not made, and every change is refused with kErrAccessDenied. A journal that holds an
// unfinished change would need writing to replay: the open fails with kErrReplayFailed
// (IsamDosError EACCES).
void OpenFileBlockReadOnly(FileBlock*& fb, const std::string& name);
void CloseFileBlock(FileBlock*& fb);
void DeleteFileBlock(const std::string& name);

void AddRec(FileBlock* fb, int32_t& recNo, const void* data);
void GetRec(FileBlock* fb, int32_t recNo, void* buffer);
void PutRec(FileBlock* fb, int32_t recNo, const void* data);
void DeleteRec(FileBlock* fb, int32_t recNo);
int32_t FileLen(FileBlock* fb);
int32_t UsedRecs(FileBlock* fb);
// Bytes of one record of an open fileblock; 0 when a check failed.
int32_t RecordLength(FileBlock* fb);

// A unit groups the changing calls on one journaled fileblock between BeginUnit and CommitUnit
// into one all-or-nothing change: the calls only journal and change pages in the cache (and
// hold their data-file writes in memory, which GetRec sees); CommitUnit flushes the journal
// once, writes everything, flushes the data and index files and empties the journal. A crash
// before the journal is emptied leaves the state before BeginUnit at the next open.
// A call that fails after it began to change anything (kErrAddRecUndone..kErrDeleteKeyUndone)
// undoes the whole unit; the unit then stays open and refuses every further changing call with
// kErrUnitUndone until CommitUnit, which reports kErrUnitUndone and ends it. A call refused
// before it changed anything (a duplicate key, a key not found, a record number out of range)
// leaves the unit as it is. CommitUnit failing undoes the unit and reports kErrUnitUndone. AbortUnit, and closing the fileblock
// while a unit is open, undo it. A PutRec inside a unit is written at the commit; like every
// PutRec it is not journaled, so only a rewrite of a record added in the same unit goes back
// with a crash. An AddRec in a unit never takes a record the same unit deleted: the journal
// keeps only a deleted record's first word, so the unit takes a new slot past the end and the
// deleted one is taken again after the unit. BeginUnit without journal or inside a unit, and
// CommitUnit or AbortUnit outside one, fail with kErrUnitOutOfOrder.
void BeginUnit(FileBlock* fb);
void CommitUnit(FileBlock* fb);
void AbortUnit(FileBlock* fb);

void AddKey(FileBlock* fb, int indexNo, int32_t recNo, const std::string& key);
void DeleteKey(FileBlock* fb, int indexNo, int32_t recNo, const std::string& key);
void FindKey(FileBlock* fb, int indexNo, int32_t& recNo, const std::string& key);
void SearchKey(FileBlock* fb, int indexNo, int32_t& recNo, std::string& key);
void NextKey(FileBlock* fb, int indexNo, int32_t& recNo, std::string& key);
void ClearKey(FileBlock* fb, int indexNo);

// The application's start-up routine: network mode when an argument holds "/NET" in any
// letter case, InitIsam with 200 buffers; on failure the start-up text is shown through
// `show` (the application's warning box) and false is returned.
using StartupMessage = std::function<void(const std::string& text)>;
bool StartIsam(const std::vector<std::string>& args, const StartupMessage& show);

}  // namespace isam
