#include "bookkeeping/BFBas.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "bookkeeping/BFBas_aside.h"
#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFMisc_rowlog.h"
#include "common/Ansi.h"
#include "shell/ECountForm.h"
#include "shell/ESmall.h"
#include "shell/EMsgTxt.h"
#include "shell/Eerror32.h"
#include "shell/ETider.h"
#include "shell/Eerror32_Memory.h"
#include "shell/ekonfig32.h"
#include "storage/BTFileIO.h"

namespace bf {

namespace {

constexpr int64_t kCopyBlock = 32767;

// The folder of the data directory where each year-end leaves the year it ends.
constexpr char kYearArchives[] = "bokslut";

void Status(const std::string& text) { eerror::EMsg(eerror::kStatusLine, text); }
void Info(const std::string& text) { eerror::EMsg(eerror::kWarning, text); }
bool Ask(const std::string& text) { return eerror::EMsg(eerror::kQuestion, text) == eerror::kYes; }

std::string NoBookkeepingText() { return A("Databas ej vald/ datafiler saknas!"); }

void CloseHandle(isam::FileBlock*& fb) {
  if (fb) isam::CloseFileBlock(fb);
  fb = nullptr;
}

std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' || folder.back() == '\\' ? folder + name : folder + "/" + name;
}

// The list of a folder that holds only bookkeeping n's files made to name only n: the
// records of the others go. False, with the engine's error, when it could not be done.
bool ListOnly(const std::string& dir, int n) {
  BfShared held;
  if (!OpenBfFile(held.listFile, kListFile, 0, dir)) return false;
  bool ok = true;
  const int32_t length = isam::FileLen(held.listFile);
  for (int32_t other = 1; ok && other < length; ++other) {
    int32_t recNo = other;
    bool found = false, atEnd = false;
    if (other != n) BfAccess(held, kListFile, kAtRecord, "", recNo, found, atEnd);
    if (found) isam::DeleteRec(held.listFile, other);
    ok = isam::IsamSuccess || !found;
  }
  const isam::ErrorKeeper keep;
  CloseHandle(held.listFile);
  return ok;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The same folder, seen through the letter case the engine forgives and through links.
bool SameFolder(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path pa = fs::weakly_canonical(fs::absolute(isam::ResolvePath(a), ec), ec);
  const fs::path pb = fs::weakly_canonical(fs::absolute(isam::ResolvePath(b), ec), ec);
  std::string sa = pa.lexically_normal().string(), sb = pb.lexically_normal().string();
  while (sa.size() > 1 && sa.back() == '/') sa.pop_back();
  while (sb.size() > 1 && sb.back() == '/') sb.pop_back();
  return Lower(sa) == Lower(sb);
}

// The five files of bookkeeping NN in the order a copy takes them.
std::vector<std::string> BookkeepingFileNames(const std::string& nn) {
  return {"Konto" + nn + ".Dat", "Bf" + nn + ".Dat", "Konto" + nn + ".Ix", "BfSums" + nn + ".Ix",
          "BfSums" + nn + ".Dat"};
}

// What a backup takes beside the bookkeeping: the salary template and the payee registers,
// the bankgiro one ("giro" + "B") too, so that a restore from the backup loses nothing.
const char* const kBackupExtras[] = {"lon.ver",  "girop.dat", "girop.ix", "giron.dat",
                                     "giron.ix", "giroB.dat", "giroB.ix"};

std::string CountText(int64_t bytes) {
  char s[24];
  std::snprintf(s, sizeof s, "%7lld", static_cast<long long>(bytes));
  return s;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The reason of the engine's last failure: the system's own words when a system call
// failed, else the engine's text.
std::string FailureReason() {
  if (isam::IsamDosError != 0) return ansi::FromUtf8(std::strerror(isam::IsamDosError));
  return emsgtxt::msgtext(isam::IsamError);
}

std::string CopyErrorText(int code, const std::string& reason) {
  char number[8];
  std::snprintf(number, sizeof number, "%03d", code % 1000);
  return std::string("Error vid kopiering ") + number + (reason.empty() ? "" : " (" + reason + ")");
}

// Month sums posted since the bookkeeping was opened and not yet in the sums file.
bool SumsPending(const BfShared& s) {
  for (size_t g = 0; g < s.pendingSums.debitSums.size(); ++g)
    if (s.pendingSums.debitSums[g].Value() != 0 || s.pendingSums.creditSums[g].Value() != 0) return true;
  return false;
}

// Whether two list records' totals differ by a cent or more anywhere.
bool TotalsDiffer(const BfDataBasRecord& a, const BfDataBasRecord& b) {
  const auto differ = [](double x, double y) { return std::fabs(x - y) >= 0.005; };
  if (differ(a.grandTotal, b.grandTotal) || differ(a.total1020, b.total1020)) return true;
  for (size_t g = 0; g < a.groupTotals.size(); ++g)
    if (differ(a.groupTotals[g], b.groupTotals[g]) || differ(a.groupOpeningTotals[g], b.groupOpeningTotals[g]))
      return true;
  return false;
}

}  // namespace

std::span<const char* const> RegisterFiles() { return kBackupExtras; }

std::string TwoDigits(int n) {
  char s[8];
  std::snprintf(s, sizeof s, "%02d", n);
  return s;
}

OpenMode BfDatabase::FileMode() const {
  return readOnly_ ? OpenMode::kRead : staging_ ? OpenMode::kWriteUnjournaled : OpenMode::kWrite;
}

BfDatabase::BfDatabase(std::string dataDir, Access access)
    : dataDir_(std::move(dataDir)), readOnly_(access == Access::kReadOnly), staging_(access == Access::kStaging) {}

BfDatabase::~BfDatabase() {
  CloseBookkeeping();
  CloseBookkeepingList();
}

void BfDatabase::RefreshListCounters() {
  const isam::ErrorKeeper keep;  // a failure just before is still the one to report
  if (s_.listFile) {
    s_.listLength = isam::FileLen(s_.listFile);
    s_.listInUse = isam::UsedRecs(s_.listFile);
  } else {
    s_.listLength = s_.listInUse = 0;
  }
}

void BfDatabase::StoreRemembered(int n) { ekonfig::Konfig.SetCurBase(n); }

bool BfDatabase::ReadListRecord(int n) {
  int32_t recNo = n;
  bool found = false, atEnd = false;
  BfAccess(s_, kListFile, kAtRecord, "", recNo, found, atEnd);
  return found;
}

std::string BfDatabase::OpenFailureText() const {
  if (InUseElsewhere()) return A("Bokföringen är öppen i ett annat program!");
  if (isam::IsamError == isam::kErrAccessDenied)
    return (readOnly_ ? A("Kan ej läsa datakatalogen ") : A("Kan ej skriva i datakatalogen ")) + Quoted(dataDir_);
  if (ChangeToReplay())
    return A("En avbruten ändring i datafilerna måste återställas, det kräver skrivrätt i datakatalogen ") +
           Quoted(dataDir_);
  return "";
}

void BfDatabase::OpenBookkeepingList() {
  listOpen_ = false;
  openFailure_.clear();
  if (!ListVersionOk(dataDir_)) return;
  FinishReplacements();
  const bool opened = OpenBfFile(s_.listFile, kListFile, 0, dataDir_, FileMode());
  if (!opened) openFailure_ = OpenFailureText();
  RefreshListCounters();
  listOpen_ = opened;
  Status(opened ? A("Filerna öppna....")
                : !openFailure_.empty() ? openFailure_ : A("Datafiler saknas/ ej i aktuellt bibliotek"));
  s_.current = 0;
}

void BfDatabase::CloseBookkeepingList() {
  if (!listOpen_) return;
  CloseHandle(s_.listFile);
  Status(A("Filerna stängda.."));
  listOpen_ = false;
}

bool BfDatabase::CreateBookkeepingList() {
  // A list that is there but could not be opened is nobody's to replace.
  if (!listOpen_ && !openFailure_.empty()) {
    Status(openFailure_);
    return false;
  }
  const int inUse = s_.listInUse;
  CloseBookkeeping();
  const bool wasOpen = listOpen_;
  CloseBookkeepingList();
  if (inUse != 0 && !Ask(A("Befintliga datafiler kommer att förstöras OK?"))) {
    // Declined: the list and the bookkeeping come back as they were.
    if (wasOpen) {
      OpenBookkeepingList();
      SelectRemembered();
    }
    return false;
  }
  CreateBfFile(kListFile, 0, dataDir_);
  if (!isam::IsamSuccess) {
    if (isam::IsamError == isam::kErrAccessDenied) Status(A("Kan ej skriva i datakatalogen ") + Quoted(dataDir_));
    else eerror::ReportIsamError();
    return false;
  }
  OpenBookkeepingList();
  return listOpen_;
}

void BfDatabase::OpenBookkeeping() {
  if (!listOpen_ || s_.current == 0 || bookkeepingOpen_) return;
  const int n = s_.current;
  openFailure_.clear();
  if (readOnly_ && !TakeBackLeftVerification(n)) return;
  bool ok = OpenBfFile(s_.kontoFile, kKontoFile, n, dataDir_, FileMode()) &&
            OpenBfFile(s_.verFile, kVerFile, n, dataDir_, FileMode());
  if (!ok) openFailure_ = OpenFailureText();
  if (ok && !OpenBfFile(s_.sumsFile, kSumsFile, n, dataDir_, FileMode())) {
    // Only a sums file that is not there is made afresh: one that exists but cannot be
    // opened now (a read error, a lock) still holds the months of the bookkeeping.
    const std::string sums = isam::FileBlockFileName(BfFileName(kSumsFile, n, dataDir_), isam::FileKind::Data);
    openFailure_ = OpenFailureText();
    if (!openFailure_.empty()) {
      ok = false;
    } else if (isam::FileExists(sums)) {
      eerror::ReportIsamError();
      ok = false;
    } else if (readOnly_) {
      ok = false;  // made only by a run that may write
    } else {
      isam::ClearError();
      CreateBfFile(kSumsFile, n, dataDir_);
      ok = isam::IsamSuccess && OpenBfFile(s_.sumsFile, kSumsFile, n, dataDir_, FileMode());
    }
  }
  if (ok && staging_) {
    s_.rowLog.AttachUnlogged();
  } else if (ok && !readOnly_) {
    // Rows of a verification that was never saved come out of the accounts before anything
    // reads them; while a log cannot be played back the bookkeeping stays closed.
    if (PlayBackRowLog(s_, RowLog::FileName(n, dataDir_)) == Playback::kFailed) {
      openFailure_ = A("En verifikation som aldrig sparades kunde inte tas tillbaka: ") + FailureReason();
      ok = false;
    } else {
      s_.rowLog.Attach(RowLog::FileName(n, dataDir_));
    }
  }
  if (ok) {
    bookkeepingOpen_ = true;
    listRecordOnFile_ = s_.dataBas;
    StoreRemembered(n);
    ReconcileListRecord();
  } else {
    if (!openFailure_.empty()) Status(openFailure_);
    // A bookkeeping is open with all three files or not at all.
    CloseHandle(s_.kontoFile);
    CloseHandle(s_.verFile);
    CloseHandle(s_.sumsFile);
  }
  ClearPendingSums(s_);
}

bool BfDatabase::TakeBackLeftVerification(int n) {
  const std::string log = RowLog::FileName(n, dataDir_);
  if (!isam::FileExists(log)) return true;
  // The list is open here for reading, shared; the playback needs it and the two files it
  // writes to itself, for writing.
  CloseHandle(s_.listFile);
  {
    BfShared writer;
    writer.current = n;
    if (OpenBfFile(writer.listFile, kListFile, 0, dataDir_) && OpenBfFile(writer.kontoFile, kKontoFile, n, dataDir_) &&
        OpenBfFile(writer.verFile, kVerFile, n, dataDir_))
      PlayBackRowLog(writer, log);
    const std::string status = eerror::StatusMsg;  // what the playback did, not that the files closed
    CloseHandle(writer.listFile);
    CloseHandle(writer.kontoFile);
    CloseHandle(writer.verFile);
    eerror::StatusMsg = status;
  }
  isam::ClearError();
  listOpen_ = OpenBfFile(s_.listFile, kListFile, 0, dataDir_, FileMode()) && ReadListRecord(n);
  RefreshListCounters();
  if (!listOpen_) {
    CloseHandle(s_.listFile);
    Status(OpenFailureText().empty() ? A("Datafiler saknas/ ej i aktuellt bibliotek") : OpenFailureText());
  }
  return listOpen_;
}

void BfDatabase::ReconcileListRecord() {
  // A run that only reads shows the books as they are; the next that writes mends them.
  if (readOnly_) return;
  BfDataBasRecord& d = s_.dataBas;
  // Verifications are only ever appended, so a number above the last shows in the count or
  // at the end of the file; only then is the whole file read.
  BfDataBasRecord fromFiles = d;
  VerRecord last;
  const bool suspect = isam::UsedRecs(s_.verFile) > d.lastVerNr ||
                       (ReadVerification(s_, isam::FileLen(s_.verFile) - 1, last) == Lookup::kFound &&
                        last.number > d.lastVerNr);
  if (suspect) {
    ForEachVerification(s_, [&](const VerRecord& v, int32_t) {
      fromFiles.lastVerNr = std::max<int32_t>(fromFiles.lastVerNr, v.number);
      return true;
    });
  }
  if (!TotalsFromAccounts(s_, fromFiles)) return;
  const bool renumbered = fromFiles.lastVerNr != d.lastVerNr;
  if (!renumbered && !TotalsDiffer(fromFiles, d)) return;
  const std::string what = renumbered ? A("senaste verifikationsnumret ") + std::to_string(d.lastVerNr) + " -> " +
                                            std::to_string(fromFiles.lastVerNr) + ", "
                                      : "";
  d = fromFiles;
  int32_t recNo = s_.current;
  if (!PutDataBas(s_, false, recNo)) {
    eerror::ReportIsamError();
    return;
  }
  listRecordOnFile_ = d;
  Status(A("Bokföringen stämdes av mot filerna efter ett avbrott: ") + what + A("summorna från kontona"));
}

void BfDatabase::CloseBookkeeping() {
  if (!bookkeepingOpen_) return;
  // A verification still being entered is not saved: its rows go before the totals are kept.
  if (s_.rowLog.InProgress()) TakeBackVerification(s_);
  s_.rowLog.Attach("");
  // Only what changed is written, so that a run that only read leaves the files as they were.
  const bool listChanged = !(s_.dataBas == listRecordOnFile_);
  if (listChanged) {
    int32_t recNo = s_.current;
    PutDataBas(s_, false, recNo);
  }
  RefreshListCounters();
  CloseHandle(s_.kontoFile);
  CloseHandle(s_.verFile);
  if (listChanged || SumsPending(s_)) FlushMonthSums(s_);
  CloseHandle(s_.sumsFile);
  bookkeepingOpen_ = false;
}

void BfDatabase::SelectRemembered() {
  const int n = ekonfig::Konfig.CurBase();
  // A list that could not be opened (missing, in use) says nothing against the number.
  if (!listOpen_) return;
  if (n < 1 || n > s_.listLength - 1) {
    StoreRemembered(0);
    return;
  }
  CloseBookkeeping();
  s_.current = ReadListRecord(n) ? n : 0;
  OpenBookkeeping();
  StoreRemembered(s_.current);
}

bool BfDatabase::SelectBookkeeping(int n) {
  const int previous = bookkeepingOpen_ ? s_.current : 0;
  const int remembered = ekonfig::Konfig.CurBase();
  CloseBookkeeping();
  StoreRemembered(n);
  SelectRemembered();
  if (bookkeepingOpen_ && s_.current == n) return true;
  const std::string failure = openFailure_;
  s_.current = previous;
  if (previous == 0 || !ReadListRecord(previous)) s_.current = 0;
  OpenBookkeeping();
  StoreRemembered(remembered);
  openFailure_ = failure;
  return false;
}

bool BfDatabase::BeginNewBookkeeping() {
  if (!listOpen_) {
    Status(NoBookkeepingText());
    return false;
  }
  if (s_.listInUse >= kMaxBookkeepings) {
    Status(A("Max antal bokföringar uppnått!"));
    eerror::Beep();
    return false;
  }
  CloseBookkeeping();
  s_.dataBas = FreshDataBasRecord();
  s_.current = 0;
  return true;
}

bool BfDatabase::FinishNewBookkeeping() {
  if (!SaveBookkeepingInfo(true)) return false;
  CreateBookkeepingFiles();
  return bookkeepingOpen_;
}

bool BfDatabase::FinishChangeBookkeeping() {
  // Group totals are kept per group: new definitions regroup what the accounts hold.
  if (bookkeepingOpen_ && !TotalsFromAccounts(s_, s_.dataBas)) return false;
  if (!SaveBookkeepingInfo(false)) return false;
  if (!bookkeepingOpen_) OpenBookkeeping();
  return true;
}

void BfDatabase::CancelBookkeepingForm() {
  if (!bookkeepingOpen_) SelectRemembered();
}

bool BfDatabase::SaveBookkeepingInfo(bool isNew) {
  if (!listOpen_) return false;
  const int previous = s_.current;
  if (isNew) {
    s_.dataBas.chain = 0;
    int32_t recNo = 0;
    if (!PutDataBas(s_, true, recNo)) return false;
    s_.dataBas.number = TwoDigits(recNo);
    s_.current = recNo;
  }
  if (s_.current == 0) return false;
  int32_t recNo = s_.current;
  const bool ok = PutDataBas(s_, false, recNo);
  if (ok && bookkeepingOpen_) listRecordOnFile_ = s_.dataBas;
  const isam::ErrorKeeper keep;  // the caller reports the write's failure, not the undoing
  if (!ok && isNew) {
    // A new entry without its number is no bookkeeping: it goes again.
    isam::DeleteRec(s_.listFile, s_.current);
    s_.current = previous;
  }
  RefreshListCounters();
  return ok;
}

void BfDatabase::CreateBookkeepingFiles() {
  if (!listOpen_ || s_.current == 0) return;
  // A row log left in the slot speaks of accounts these files will not hold.
  RowLog::Remove(RowLog::FileName(s_.current, dataDir_));
  for (const BfFile file : {kKontoFile, kVerFile, kSumsFile}) {
    CreateBfFile(file, s_.current, dataDir_);
    if (!isam::IsamSuccess) {
      eerror::ReportIsamError();
      return;
    }
  }
  OpenBookkeeping();
}

bool BfDatabase::DeleteBookkeeping(int n) {
  if (n > s_.listLength - 1) return false;
  const int previous = s_.current;
  CloseBookkeeping();
  bool deleted = false;
  if (listOpen_ && n >= 1 && n < s_.listLength) {
    s_.current = n;
    if (ReadListRecord(n)) {
      const std::string named = "BfDataBas: " + s_.dataBas.name + " " + s_.dataBas.toDate;
      if (Ask(named + " raderas ")) {
        for (const BfFile file : {kKontoFile, kVerFile, kSumsFile})
          isam::DeleteFileBlock(BfFileName(file, n, dataDir_));
        RowLog::Remove(RowLog::FileName(n, dataDir_));  // its accounts are gone with them
        isam::DeleteRec(s_.listFile, n);
        deleted = isam::IsamSuccess;
        if (deleted) Status(named + " raderad");
        else eerror::ReportIsamError();
        RefreshListCounters();
        s_.current = 0;
      }
    }
  }
  if (previous != 0 && previous != n) {
    s_.current = previous;
    if (ReadListRecord(previous)) OpenBookkeeping();
  } else {
    s_.current = 0;
  }
  StoreRemembered(s_.current);
  return deleted;
}

bool BfDatabase::CopyOneFile(const std::string& from, const std::string& to, const std::string& shownAs,
                             bool& skipped, CopyFailure& failure) {
  skipped = false;
  isam::FileRec src, dst;
  if (!isam::OpenFile(src, from)) {
    isam::ClearError();
    skipped = true;
    return true;
  }
  int64_t size = 0;
  bool ok = isam::FileSize(src, size) && isam::CreateFile(dst, to);
  const bool made = dst.IsOpen();
  std::unique_ptr<char[]> block(new char[kCopyBlock]);
  int64_t done = 0;
  while (ok && done < size) {
    const int64_t n = std::min(kCopyBlock, size - done);
    ok = isam::ReadAt(src, done, n, block.get()) && isam::WriteAt(dst, done, n, block.get());
    if (ok) done += n;
    ecountform::Line(3, shownAs + " bytes:" + CountText(done));
  }
  ok = ok && isam::Flush(dst);
  int error = 0;
  std::string reason;
  if (!ok) {
    error = isam::IsamDosError != 0 ? isam::IsamDosError : isam::IsamError % 1000;
    reason = FailureReason();
  }
  isam::CloseFile(src);
  if (made && !isam::CloseFile(dst) && ok) {
    ok = false;
    error = isam::IsamDosError;
    reason = FailureReason();
  }
  isam::ClearError();
  ecountform::Line(3, shownAs + " bytes:" + CountText(done) + (ok ? " ..done" : " ..error"));
  if (!ok && made) partialFiles_.push_back(to);
  failure.last = !ok;
  if (!ok) {
    failure.code = error;
    failure.reason = reason;
  }
  return ok;
}

bool BfDatabase::CopyFiles(CopyMode mode, const std::string& target, int from, int to, CopyFailure& failure) {
  auto copy = [&](const std::string& source, const std::string& dest) {
    bool skipped = false;
    return CopyOneFile(InFolder(dataDir_, source), InFolder(target, dest), InFolder(target, dest), skipped, failure);
  };
  bool all = true;
  if (mode == CopyMode::kBackup) all = copy("BfNolk.Dat", "BfNolk.Dat") && all;
  const std::vector<std::string> sources = BookkeepingFileNames(TwoDigits(from));
  const std::vector<std::string> targets = BookkeepingFileNames(TwoDigits(to));
  for (size_t i = 0; i < sources.size(); ++i) {
    if (!copy(sources[i], targets[i])) {
      failure.bookkeeping = true;
      all = false;
      break;
    }
  }
  if (mode == CopyMode::kBackup)
    for (const char* extra : kBackupExtras) all = copy(extra, extra) && all;
  return all;
}

bool BfDatabase::CopyBookkeeping(CopyMode mode, const std::string& targetDir) {
  partialFiles_.clear();
  if (!bookkeepingOpen_) {
    Status(NoBookkeepingText());
    return false;
  }
  if (mode == CopyMode::kCopy && s_.listInUse >= kMaxBookkeepings) {
    Status(A("Max antal baser uppnått kan ej kopiera!"));
    return false;
  }
  if (!eerror::MemoryCheck(kCopyBlock)) {
    Status(A("Minnet fullt ingen kopiering!!"));
    return false;
  }
  std::string target = dataDir_;
  if (mode == CopyMode::kBackup) {
    target = targetDir.substr(0, BfDataBasRecord::kBackupDirCapacity);
    if (target.size() > 1 && (target.back() == '\\' || target.back() == '/')) target.pop_back();
    s_.dataBas.backupDir = target;
    if (SameFolder(target, dataDir_)) {
      Status(A("Kopiering till samma bibliotek, ange annat bibliotek!"));
      return false;
    }
    // A folder that is not there yet is made, as a copy to a new place needs.
    std::error_code error;
    std::filesystem::create_directories(isam::ResolvePath(target), error);
    if (error) {
      Info(CopyErrorText(error.value(), ansi::FromUtf8(error.message())));
      return false;
    }
  }
  if (target.empty()) return false;

  CopyFailure failure;
  bool all = false;
  const int from = s_.current;
  int to = from;
  {
    ecountform::ScopedCountForm progress(0, false, 4, A("kopierar"));
    CloseBookkeeping();
    if (mode == CopyMode::kCopy) {
      // The new entry stands in the list only once every file is copied: it is made in a
      // unit that a failure undoes, so the list is left exactly as it was.
      isam::BeginUnit(s_.listFile);
      if (!isam::IsamSuccess || !SaveBookkeepingInfo(true)) {
        eerror::ReportIsamError();
        {
          const isam::ErrorKeeper keep;
          isam::AbortUnit(s_.listFile);
        }
        RefreshListCounters();
        s_.current = from;
        ReadListRecord(from);
        OpenBookkeeping();
        return false;
      }
      to = s_.current;
    } else {
      CloseBookkeepingList();
    }
    all = CopyFiles(mode, target, from, to, failure);
    if (mode == CopyMode::kCopy) {
      if (failure.bookkeeping) {
        isam::AbortUnit(s_.listFile);
      } else {
        isam::CommitUnit(s_.listFile);
        if (!isam::IsamSuccess) {
          failure.bookkeeping = true;
          all = false;
        }
      }
      isam::ClearError();
      CloseBookkeepingList();
    }
  }

  const std::string copied = "BfDataBas nr." + TwoDigits(from) + " kopierad till " + target;
  std::string report;
  if (failure.last) {
    Info(CopyErrorText(failure.code, failure.reason));
  } else if (failure.bookkeeping) {
    Info(copied + " ..ej.. lyckad kopiering!!");
  } else {
    report = copied + " ..lyckad kopiering!!";
    Status(report);
  }

  OpenBookkeepingList();
  if (mode == CopyMode::kCopy && failure.bookkeeping) {
    // A copy that is not whole leaves no files under a number the list does not give out.
    for (const std::string& partial : partialFiles_) isam::DeleteFile(partial);
    for (const BfFile file : {kKontoFile, kVerFile, kSumsFile})
      isam::DeleteFileBlock(BfFileName(file, to, dataDir_));
    isam::ClearError();
    to = from;
  }
  s_.current = to;
  if (ReadListRecord(to)) OpenBookkeeping();
  // The reopening has its own status text; the copy's report is what the user asked for.
  if (!report.empty()) Status(report);
  return all && !failure.bookkeeping;
}

bool BfDatabase::ResetBookkeeping() {
  if (!bookkeepingOpen_) {
    Status(NoBookkeepingText());
    return false;
  }
  if (!Ask(A("Alla verifikationer kommer att raderas OK!"))) return false;
  std::string archive;
  if (!ArchiveYear(archive)) return false;
  ecountform::ScopedCountForm progress(0, false, 4, "");
  progress.Line(3, "Skapar nya verifikationsfiler");
  // All or nothing: the files are kept aside while they are closed, and come back with the
  // list record as it was when a step fails.
  const int n = s_.current;
  CloseBookkeeping();
  FilesAside aside(FilesAside::BookkeepingFiles(n, dataDir_));
  s_.current = n;
  bool ok = ReadListRecord(n);
  const BfDataBasRecord listBefore = s_.dataBas;
  ok = ok && aside.Keep();
  if (ok) OpenBookkeeping();
  ok = ok && bookkeepingOpen_ && CarryEverythingForward();
  if (ok) {
    s_.ver = FreshVerRecord(static_cast<int16_t>(s_.dataBas.lastVerNr + 1), etider::Format(18), s_.konto.sign);
    Status(A("Verifikationerna nollställda, året som det var finns i datakatalogens ") + archive);
    return true;
  }
  const int32_t error = isam::IsamError, dos = isam::IsamDosError;
  CloseHandle(s_.kontoFile);
  CloseHandle(s_.verFile);
  CloseHandle(s_.sumsFile);
  bookkeepingOpen_ = false;
  aside.PutBack();
  s_.dataBas = listBefore;
  int32_t recNo = n;
  PutDataBas(s_, false, recNo);
  RefreshListCounters();
  isam::ClearError();
  if (error != 0) {
    isam::SetError(error);
    isam::IsamDosError = dos;
    eerror::ReportIsamError();
  }
  s_.current = n;
  OpenBookkeeping();
  return false;
}

bool BfDatabase::ArchiveYear(std::string& folder) {
  std::string name = esmall::FileNamePart(s_.dataBas.name, '-');
  if (name.find_first_not_of(" .-") == std::string::npos) name = A("bokföring ") + TwoDigits(s_.current);
  const std::string base = InFolder(kYearArchives, name + " " + s_.dataBas.fromDate + "--" + s_.dataBas.toDate);
  folder = base;
  for (int i = 2; isam::FileExists(InFolder(dataDir_, folder)); ++i) folder = base + " (" + std::to_string(i) + ")";
  // The archive is no backup folder of the user's: the one chosen for backups stays.
  const std::string backupDir = s_.dataBas.backupDir;
  // It holds this bookkeeping alone, and its list says so.
  const bool archived = CopyBookkeeping(CopyMode::kBackup, InFolder(dataDir_, folder)) &&
                        ListOnly(InFolder(dataDir_, folder), s_.current);
  s_.dataBas.backupDir = backupDir;
  if (archived) return true;
  std::error_code ignored;
  std::filesystem::remove_all(isam::ResolvePath(InFolder(dataDir_, folder)), ignored);
  Info(A("Nollställningen avbröts: året kunde inte arkiveras i ") + folder);
  return false;
}

bool BfDatabase::CarryEverythingForward() {
  CloseHandle(s_.verFile);
  CreateBfFile(kVerFile, s_.current, dataDir_);
  if (!isam::IsamSuccess || !OpenBfFile(s_.verFile, kVerFile, s_.current, dataDir_)) return false;
  s_.dataBas.groupTotals.fill(0);
  s_.dataBas.groupOpeningTotals.fill(0);
  s_.dataBas.total1020 = 0;
  s_.dataBas.grandTotal = 0;
  s_.dataBas.lastVerNr = 0;
  bool rewritten = true;
  const bool read = ForEachAccount(s_, [&](const KontoRecord& account, int32_t recNo) {
    ecountform::Line(3, A("Nollställer Konto:") + account.number);
    s_.konto = account;
    CarryForward(s_);
    rewritten = RewriteKonto(s_, recNo);
    return rewritten;
  });
  return read && rewritten;
}

}  // namespace bf
