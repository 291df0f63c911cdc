// The rebuild of a bookkeeping: its three files reorganised, every total recomputed from
// the opening balances and the verifications. All or nothing: the files are kept aside
// first and put back, with the list record as it was, when any step fails.
#include <algorithm>
#include <array>
#include <cstdio>

#include "bookkeeping/BFBas.h"
#include "bookkeeping/BFBas_aside.h"
#include "bookkeeping/BFMisc.h"
#include "common/Ansi.h"
#include "shell/ECountForm.h"
#include "shell/Eerror32.h"
#include "storage/BTFileIO.h"
#include "storage/ReOrg.h"

namespace bf {

namespace {

std::string Quoted(const std::string& base, int n) {
  return "Reorganiserar \"" + base + TwoDigits(n) + ".Dat\"";
}

std::string RecordText(int64_t count, const std::string& number = "") {
  char s[32];
  std::snprintf(s, sizeof s, "Rec:%4lld", static_cast<long long>(count));
  return number.empty() ? s : std::string(s) + " " + number;
}

template <typename Record>
bool DecodeSlot(const unsigned char* bytes, Record& r) {
  std::array<uint8_t, Record::kLength> stored;
  std::copy(bytes, bytes + Record::kLength, stored.begin());
  Decode(stored, r);
  return r.chain == 0;
}

template <typename Record>
void EncodeSlot(const Record& r, unsigned char* bytes) {
  std::array<uint8_t, Record::kLength> stored;
  Encode(r, stored);
  std::copy(stored.begin(), stored.end(), bytes);
}

}  // namespace

bool BfDatabase::RebuildBookkeeping() {
  if (!listOpen_) {
    eerror::EMsg(0, A("Databas ej vald/ datafiler saknas!"));
    return false;
  }
  ecountform::ScopedCountForm progress(0, false, 4, A("kopierar"));
  const int n = bookkeepingOpen_ ? s_.current : 0;
  CloseBookkeeping();
  if (n == 0) {
    eerror::EMsg(0, A("Kan ej bygga ytterligare index om inte BfBas vald!"));
    return false;
  }
  FilesAside aside(FilesAside::BookkeepingFiles(n, dataDir_));
  bool ok = ReadListRecord(n) && aside.Keep();
  const BfDataBasRecord listBefore = s_.dataBas;
  int64_t count = 0;

  // Accounts: opening balances kept, everything posted forgotten.
  if (ok) {
    progress.Line(3, Quoted("Konto", n));
    BfDataBasRecord& d = s_.dataBas;
    d.groupTotals.fill(0);
    d.groupOpeningTotals.fill(0);
    d.total1020 = 0;
    d.grandTotal = 0;
    const isam::IndexDescription key[] = {{LayoutOf(kKontoFile).keyLength, true}};
    isam::ReOrg(
        BfFileName(kKontoFile, n, dataDir_), KontoRecord::kLength, 1, key, KontoRecord::kLength,
        [](std::string& k, const unsigned char* record, int) {
          KontoRecord r;
          DecodeSlot(record, r);
          k = r.number.substr(0, LayoutOf(kKontoFile).keyChars);
        },
        [&](const unsigned char* old, unsigned char* fresh) {
          KontoRecord r;
          if (!DecodeSlot(old, r)) return false;
          ++count;
          s_.konto = r;
          Real6 opening = r.opening;
          PostTotal(s_, opening, kPostOpening);
          s_.konto.debit = s_.konto.credit = Real6();
          s_.konto.closing = s_.konto.opening;
          if (s_.konto.number.empty()) s_.konto.number = kEmptyAccountNumber;
          progress.Line(3, RecordText(count, s_.konto.number));
          EncodeSlot(s_.konto, fresh);
          return true;
        });
    ok = isam::IsamSuccess;
  }
  int32_t recNo = n;
  ok = ok && PutDataBas(s_, false, recNo);
  RefreshListCounters();

  if (ok) {
    progress.Line(3, Quoted("BfSums", n));
    const isam::IndexDescription key[] = {{LayoutOf(kSumsFile).keyLength, true}};
    isam::ReOrg(
        BfFileName(kSumsFile, n, dataDir_), SumsRecord::kLength, 1, key, SumsRecord::kLength,
        [](std::string& k, const unsigned char* record, int) {
          SumsRecord r;
          DecodeSlot(record, r);
          k = r.month.substr(0, LayoutOf(kSumsFile).keyChars);
        },
        [&](const unsigned char* old, unsigned char* fresh) {
          if (old[0] | old[1] | old[2] | old[3]) return false;
          std::copy(old, old + SumsRecord::kLength, fresh);
          progress.Line(3, RecordText(++count));
          return true;
        });
    ok = isam::IsamSuccess;
  }

  // Verifications: numbered afresh in the count, each row posted again on its account.
  ok = ok && OpenBfFile(s_.kontoFile, kKontoFile, n, dataDir_) && ReadListRecord(n);
  if (ok) {
    s_.dataBas.lastVerNr = 0;
    progress.Line(3, Quoted("Bf", n));
    count = 0;
    bool posted = true;
    isam::ReOrg(BfFileName(kVerFile, n, dataDir_), VerRecord::kLength, 0, {}, VerRecord::kLength, {},
                [&](const unsigned char* old, unsigned char* fresh) {
                  VerRecord v;
                  if (!DecodeSlot(old, v)) return false;
                  // Counted, but never below a number in use: the next one must be new.
                  s_.dataBas.lastVerNr = std::max<int32_t>(s_.dataBas.lastVerNr + 1, v.number);
                  v.amounts[0] = Real6();
                  s_.ver = v;
                  for (int r = 1; r <= v.RowCount(); ++r) {
                    int32_t at = 0;
                    bool found = false, atEnd = false;
                    BfAccess(s_, kKontoFile, 0, KontoKey(v.accounts[static_cast<size_t>(r)]), at, found, atEnd);
                    if (AccessFailed()) {
                      posted = false;  // the error state stops the reorganisation: undone below
                      return false;
                    }
                    // A row of an account that is gone is kept but not posted; the engine's
                    // "not found" must not read as a request to stop.
                    isam::ClearError();
                    if (!found) continue;
                    if (PostRow(s_, v.sides[static_cast<size_t>(r)], 1, r) && !RewriteKonto(s_, at)) {
                      posted = false;
                      isam::IsamSuccess = false;  // stops the reorganisation: it is undone below
                      return false;
                    }
                  }
                  progress.Line(3, RecordText(++count));
                  EncodeSlot(s_.ver, fresh);
                  return true;
                });
    ok = isam::IsamSuccess && posted;
    recNo = n;
    ok = ok && PutDataBas(s_, false, recNo);
    RefreshListCounters();
  }
  const int32_t error = ok ? 0 : isam::IsamError;
  if (s_.kontoFile) isam::CloseFileBlock(s_.kontoFile);
  s_.kontoFile = nullptr;

  if (!ok) {
    aside.PutBack();
    s_.dataBas = listBefore;
    recNo = n;
    PutDataBas(s_, false, recNo);
    RefreshListCounters();
    isam::ClearError();
    isam::SetError(error);
    eerror::ReportIsamError();
  }
  s_.current = n;
  ReadListRecord(n);
  OpenBookkeeping();
  return ok;
}

}  // namespace bf
