#include "bookkeeping/BFMisc_rowlog.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFMisc_entry.h"
#include "bookkeeping/BFdefs_charset.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"

namespace bf {

namespace {

// Whether a live verification numbered number is in the file: the last record first, where
// a save puts it.
Lookup SavedVerification(BfShared& s, int16_t number) {
  VerRecord v;
  const int32_t last = isam::FileLen(s.verFile) - 1;
  if (last >= 1) {
    const Lookup at = ReadVerification(s, last, v);
    if (at == Lookup::kFailed) return at;
    if (at == Lookup::kFound && v.number == number) return at;
  }
  bool found = false;
  const bool read = ForEachVerification(s, [&](const VerRecord& each, int32_t) {
    found = each.number == number;
    return !found;
  });
  return !read ? Lookup::kFailed : found ? Lookup::kFound : Lookup::kAbsent;
}

bool PutAccountsBack(BfShared& s, const std::vector<RowLog::Entry>& entries) {
  std::set<int32_t> done;  // the first image of an account is the one from before the rows
  const int32_t high = isam::FileLen(s.kontoFile) - 1;
  for (const RowLog::Entry& e : entries) {
    if (e.kind != RowLog::kAccount || e.bytes.size() != static_cast<size_t>(KontoRecord::kLength) || e.recNo < 1 ||
        e.recNo > high || !done.insert(e.recNo).second)
      continue;
    isam::PutRec(s.kontoFile, e.recNo, e.bytes.data());
    if (!isam::IsamSuccess) return false;
  }
  return true;
}

// The list record the playback starts from: as kept before the save, else as on file.
bool ListRecordBefore(BfShared& s, const RowLog::Entry* save, BfDataBasRecord& record) {
  if (save != nullptr && save->recNo == s.current && save->bytes.size() == static_cast<size_t>(BfDataBasRecord::kLength)) {
    BfDataBasBytes bytes;
    std::memcpy(bytes.data(), save->bytes.data(), bytes.size());
    Decode(bytes, record);
    ApplyReadHook(record);
    return true;
  }
  return ReadBookkeeping(s, s.current, record) == Lookup::kFound;
}

}  // namespace

bool KeepAccountBeforeRow(BfShared& s, int32_t recNo) {
  RowLog& log = s.rowLog;
  if (log.Kept(recNo)) return true;
  KontoBytes stored;
  isam::GetRec(s.kontoFile, recNo, stored.data());
  if (!isam::IsamSuccess) return false;
  const bool first = !log.InProgress();
  if (!log.Keep(RowLog::kAccount, recNo, 0, stored)) return false;
  if (first) log.pendingBefore = s.pendingSums;
  return true;
}

bool KeepListBeforeSave(BfShared& s, int16_t number) {
  if (!s.rowLog.InProgress()) return true;  // no row was posted: nothing to take back
  BfDataBasBytes stored{};
  if (s.current != 0) {
    isam::GetRec(s.listFile, s.current, stored.data());
    if (!isam::IsamSuccess) return false;
  }
  return s.rowLog.Keep(RowLog::kSave, s.current, number,
                       std::span<const uint8_t>(stored.data(), s.current != 0 ? stored.size() : 0));
}

void EndVerificationLog(BfShared& s) {
  if (!s.rowLog.InProgress()) return;
  const isam::ErrorKeeper keep;  // the save or cancel it follows is what the caller reports
  if (!s.rowLog.Finish())
    eerror::EMsg(eerror::kStatusLine, A("Verifikationens logg kunde inte tas bort: ") + s.rowLog.fileName());
}

Playback PlayBackRowLog(BfShared& s, const std::string& fileName) {
  std::vector<RowLog::Entry> entries;
  if (!RowLog::Read(fileName, entries))
    return isam::IsamError == isam::kErrFileNotFound ? Playback::kNone : Playback::kFailed;
  const RowLog::Entry* firstSave = nullptr;
  int16_t number = 0;
  for (const RowLog::Entry& e : entries) {
    if (e.kind != RowLog::kSave) continue;
    if (firstSave == nullptr) firstSave = &e;
    number = e.number;  // a save tried again takes the number of the last try
  }
  bool saved = false;
  if (firstSave != nullptr) {
    const Lookup found = SavedVerification(s, number);
    if (found == Lookup::kFailed) return Playback::kFailed;
    saved = found == Lookup::kFound;
  }
  if (!saved && !PutAccountsBack(s, entries)) return Playback::kFailed;
  if (!entries.empty() && s.current != 0) {
    BfDataBasRecord record;
    if (!ListRecordBefore(s, firstSave, record)) return Playback::kFailed;
    if (saved) record.lastVerNr = std::max<int32_t>(record.lastVerNr, number);
    if (!TotalsFromAccounts(s, record)) return Playback::kFailed;
    const BfDataBasRecord buffer = s.dataBas;
    s.dataBas = record;
    int32_t recNo = s.current;
    if (!PutDataBas(s, false, recNo)) {
      s.dataBas = buffer;
      return Playback::kFailed;
    }
  }
  if (!RowLog::Remove(fileName)) return Playback::kFailed;
  if (entries.empty()) return Playback::kNone;
  if (saved) {
    eerror::EMsg(eerror::kStatusLine, A("Verifikation ") + std::to_string(number) +
                                          A(" sparades före ett avbrott och är kvar, listan stämd mot kontona"));
    return Playback::kSaveKept;
  }
  eerror::EMsg(eerror::kStatusLine,
               A("En verifikation som aldrig sparades togs tillbaka: kontona är som före dess första rad"));
  return Playback::kTakenBack;
}

bool TakeBackVerification(BfShared& s) {
  if (!s.rowLog.InProgress()) return true;
  const SumsRecord pending = s.rowLog.pendingBefore;
  const std::string fileName = s.rowLog.fileName();
  s.rowLog.Attach(fileName);  // the log file closed, to be read back
  const bool back = PlayBackRowLog(s, fileName) != Playback::kFailed;
  s.pendingSums = pending;
  PrepareFreshVerification(s);
  return back;
}

}  // namespace bf
