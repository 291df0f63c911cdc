// A verification never saved never stays in the books. Its rows are posted on their accounts
// as they are accepted; what the accounts held before is kept in the bookkeeping's row log
// (BFFiler_rowlog.h) first, so that the verification can be taken back whole however its
// entry ends: by cancel, by closing the bookkeeping with it open, or by a crash, a kill or
// a power cut, after which the next open plays the log back.
//
// Played back, the accounts are exactly as they were before the verification's first row
// (an account a power cut tore in its rewrite included), the list record's totals are those
// of the accounts, and the month sums were never touched (they wait in memory until the
// close). A verification whose save went through stays, and the list counts it.
#pragma once

#include <cstdint>
#include <string>

#include "bookkeeping/BFFiler.h"

namespace bf {

// Before account recNo (in the account file) is first rewritten for a row of the
// verification in progress: its bytes as stored are kept, and at the first row the pending
// month sums too. False when they could not be kept; the account must then stay as it is.
bool KeepAccountBeforeRow(BfShared& s, int32_t recNo);

// Before the verification is added under number: the list record as stored is kept.
bool KeepListBeforeSave(BfShared& s, int16_t number);

// The save or the cancel is through: the log goes.
void EndVerificationLog(BfShared& s);

enum class Playback { kNone, kTakenBack, kSaveKept, kFailed };

// Plays back the log fileName of the open bookkeeping, whose files s holds open for writing:
// unless the verification it names as being saved is in the verification file, every kept
// account is written back as it was; then the list record (as kept before the save, else as
// on file) gets the accounts' totals and at least the saved number as its last, and is
// written into the list and the buffer; the log goes, and the status line says what was
// done. kNone when there is no log or it kept nothing; kFailed when the files could not be
// read or written, with the log left for the next try.
Playback PlayBackRowLog(BfShared& s, const std::string& fileName);

// The verification in progress taken back as the playback does it, its pending month sums
// put back as they were before its first row, and a fresh verification prepared: for a
// bookkeeping closed with one still open. False when the accounts could not be written; the
// log then stays for the next open.
bool TakeBackVerification(BfShared& s);

}  // namespace bf
