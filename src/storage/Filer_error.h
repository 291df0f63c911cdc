// The engine's error state, one per process, set by every operation (see Filer.h).
#pragma once

#include <cstdint>

namespace isam {

// The engine's error numbers (IsamError). They are shown and kept in files as they are, so
// the values are fixed; the message catalogue has a text for most of them.
constexpr int32_t kNoError = 0;
constexpr int32_t kErrDumpLogBase = 9500;          // + errno: ReIndex could not write its dump log
constexpr int32_t kErrPathNotFound = 9900;         // a folder of the path is missing
constexpr int32_t kErrTooManyFiles = 9901;         // the process or system has no more file handles
constexpr int32_t kErrFileNotFound = 9903;         // the file is not there
constexpr int32_t kErrInvalidHandle = 9904;        // a system call was given a closed file
constexpr int32_t kErrAccessDenied = 9908;         // the system refused access, or a change to a read-only fileblock
constexpr int32_t kErrTooFewBuffers = 10000;       // InitIsam got fewer than 8 page buffers
constexpr int32_t kErrUndoneFirst = 10001;         // 10001..10009: the call failed and was undone
constexpr int32_t kErrUndoneLast = 10009;
constexpr int32_t kErrAddRecUndone = 10001;        // AddRec failed and was rolled back
constexpr int32_t kErrDeleteRecUndone = 10002;     // DeleteRec failed and was rolled back
constexpr int32_t kErrAddKeyUndone = 10003;        // AddKey failed and was rolled back
constexpr int32_t kErrDeleteKeyUndone = 10004;     // DeleteKey failed and was rolled back
constexpr int32_t kErrUnitUndone = 10005;          // a unit was undone: its further calls and its commit
constexpr int32_t kErrOpenRefused = 10010;         // the index file will not open, or the data file was not closed
constexpr int32_t kErrRecordTooShort = 10020;      // a record length below 21
constexpr int32_t kErrTooManyIndexes = 10050;      // more than 100 indexes asked at creation
constexpr int32_t kErrBadKeyLength = 10055;        // a key length of 0 or above 30 asked at creation
constexpr int32_t kErrHeaderTooManyIndexes = 10060; // a data header names more than 100 indexes
constexpr int32_t kErrShortRead = 10070;           // a read returned fewer bytes than asked
constexpr int32_t kErrShortWrite = 10075;          // a write wrote fewer bytes than asked, or a file copy failed
constexpr int32_t kErrNotOpen = 10080;             // CloseFileBlock of a fileblock that is not open
constexpr int32_t kErrUnitOutOfOrder = 10085;      // a unit begun inside one, or ended outside one
constexpr int32_t kErrBadPageSize = 10120;         // an index page size that does not fit its item count
constexpr int32_t kErrBadIndexKeyLength = 10121;   // an index header whose key length is outside 1..30
constexpr int32_t kErrTooManyItems = 10122;        // an index header with more than 62 items a page
constexpr int32_t kErrKeyTooLong = 10125;          // a key longer than its index's key length
constexpr int32_t kErrRecordZero = 10130;          // PutRec of record 0
constexpr int32_t kErrRecordOutOfRange = 10135;    // DeleteRec of a number outside 1..HighRecord
constexpr int32_t kErrSystemFailure = 10140;       // any other failing system call; a file in use elsewhere
constexpr int32_t kErrCloseIncomplete = 10160;     // CloseFileBlock could not complete all its steps
constexpr int32_t kErrBadIndexNumber = 10164;      // an index number outside 1..IndexCount
constexpr int32_t kErrOutOfRange = 10170;          // a count, free-chain link or child pointer out of range
constexpr int32_t kErrReplayFailed = 10180;        // a journal replay or rollback failed
constexpr int32_t kErrNotFoundFirst = 10200;       // 10200..10299: the not-found numbers of the key searches
constexpr int32_t kErrNotFoundLast = 10299;
constexpr int32_t kErrKeyNotFound = 10200;         // FindKey: the key is not there
constexpr int32_t kErrNoKeyFrom = 10210;           // SearchKey: no key at or after the one given
constexpr int32_t kErrBadDataHeader = 10215;       // ReIndex: data header at odds with file size or free chain
constexpr int32_t kErrDeleteKeyNotFound = 10220;   // DeleteKey: the key is not there
constexpr int32_t kErrKeyExists = 10230;           // AddKey: the key is already in a unique index
constexpr int32_t kErrNoNextKey = 10250;           // NextKey: after the last key
constexpr int32_t kErrBadNetworkType = 10310;      // InitIsam with a network type other than 0 or 2
constexpr int32_t kErrRenameFailed = 10399;        // ReStruct could not rename the data file
constexpr int32_t kErrReorgFileNotFound = 10410;   // ReStruct: no data file and no saved copy to resume from
constexpr int32_t kErrNoBufferMemory = 10411;      // ReStruct, ReIndex: no memory for their buffers
constexpr int32_t kErrRecordTooLong = 10412;       // ReStruct, ReIndex: a record length above 65535
constexpr int32_t kErrNotAFileBlock = 10445;       // a handle that is not an open fileblock
constexpr int32_t kErrAlreadyStarted = 10450;      // InitIsam while the engine is started
constexpr int32_t kErrTooFewBuffersAsked = 10451;  // InitIsam asked for fewer than 8 page buffers
constexpr int32_t kErrNotStarted = 10455;          // any operation before InitIsam
constexpr int32_t kErrSavedCopyLeft = 10465;       // ReStruct: its saved copy and the data file are both there
constexpr int32_t kErrKeyFunctionStopped = 10470;  // ReIndex: the key function stopped the work
constexpr int32_t kErrConvertStopped = 10475;      // ReStruct: the conversion function stopped the work

extern bool IsamSuccess;
extern int32_t IsamError;
extern int32_t IsamDosError;  // errno of the first failing system call of the last operation

// 0 no error, 1 not found, 2 path or access, 3 failed and undone, 4 any other.
int ErrorClassOf(int32_t error);
inline int IsamErrorClass() { return ErrorClassOf(IsamError); }

void ClearError();
void SetError(int32_t error);
// Records a failing system call: its errno is kept only if none was kept before.
void SetOsError(int32_t error, int osError);

// Keeps the error state while code runs whose own result the caller must not see (the
// cleanup after a failure, a read ahead), and puts it back at the end of its scope.
class ErrorKeeper {
 public:
  ErrorKeeper() : success_(IsamSuccess), error_(IsamError), dos_(IsamDosError) {}
  ~ErrorKeeper() {
    IsamSuccess = success_;
    IsamError = error_;
    IsamDosError = dos_;
  }
  ErrorKeeper(const ErrorKeeper&) = delete;
  ErrorKeeper& operator=(const ErrorKeeper&) = delete;

 private:
  bool success_;
  int32_t error_, dos_;
};

}  // namespace isam
