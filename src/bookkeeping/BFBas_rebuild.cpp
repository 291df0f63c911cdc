// The rebuild of a bookkeeping: its three files reorganised, every total recomputed from
// the opening balances and the verifications. All or nothing: the files are kept aside
// first and put back, with the list record as it was, when any step fails.
#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <unordered_map>

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

// Closes a fileblock opened without journal, which flushes what was written to it. False,
// with the error of the flush, when that failed; the handle is closed all the same, as the
// caller puts the files back.
bool CloseFlushing(isam::FileBlock*& fb) {
  isam::CloseFileBlock(fb);
  if (!fb) return true;
  const isam::ErrorKeeper keep;
  isam::CloseFileBlock(fb);  // a second try, or the handle would stay open
  fb = nullptr;
  return false;
}

}  // namespace

bool BfDatabase::RebuildBookkeeping() {
  if (!listOpen_) {
    eerror::EMsg(eerror::kStatusLine, A("Databas ej vald/ datafiler saknas!"));
    return false;
  }
  ecountform::ScopedCountForm progress(0, false, 4, A("kopierar"));
  const int n = bookkeepingOpen_ ? s_.current : 0;
  CloseBookkeeping();
  if (n == 0) {
    eerror::EMsg(eerror::kStatusLine, A("Kan ej bygga ytterligare index om inte BfBas vald!"));
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

  // Verifications: numbered afresh in the count, each row posted again on its account. An
  // account is found once and held here while the rows are posted on it, then written back
  // once. The accounts are open without journal: their files lie aside, so a failure puts
  // them back whole, and the close flushes every rewrite at once.
  ok = ok && OpenBfFile(s_.kontoFile, kKontoFile, n, dataDir_, OpenMode::kWriteUnjournaled) && ReadListRecord(n);
  if (ok) {
    s_.dataBas.lastVerNr = 0;
    progress.Line(3, Quoted("Bf", n));
    count = 0;
    bool accountsRead = true;
    std::unordered_map<int16_t, int32_t> where;  // account number: record number, 0 for none
    std::map<int32_t, KontoRecord> held;         // by record number, for writing in file order
    isam::ReOrg(BfFileName(kVerFile, n, dataDir_), VerRecord::kLength, 0, {}, VerRecord::kLength, {},
                [&](const unsigned char* old, unsigned char* fresh) {
                  VerRecord v;
                  if (!DecodeSlot(old, v)) return false;
                  // Counted, but never below a number in use: the next one must be new.
                  s_.dataBas.lastVerNr = std::max<int32_t>(s_.dataBas.lastVerNr + 1, v.number);
                  v.amounts[0] = Real6();
                  s_.ver = v;
                  for (int r = 1; r <= v.RowCount(); ++r) {
                    const int16_t account = v.accounts[static_cast<size_t>(r)];
                    auto at = where.find(account);
                    if (at == where.end()) {
                      int32_t recNo = 0;
                      bool live = false, atEnd = false;
                      BfAccess(s_, kKontoFile, kFindKey, KontoKey(account), recNo, live, atEnd);
                      if (AccessFailed()) {
                        accountsRead = false;  // the error state stops the reorganisation: undone below
                        return false;
                      }
                      // A row of an account that is gone is kept but not posted; the engine's
                      // "not found" must not read as a request to stop.
                      isam::ClearError();
                      at = where.emplace(account, live ? recNo : 0).first;
                      if (live) held.try_emplace(recNo, s_.konto);
                    }
                    if (at->second == 0) continue;
                    KontoRecord& konto = held[at->second];
                    s_.konto = konto;
                    if (PostRow(s_, v.sides[static_cast<size_t>(r)], 1, r)) konto = s_.konto;
                  }
                  progress.Line(3, RecordText(++count));
                  EncodeSlot(s_.ver, fresh);
                  return true;
                });
    ok = isam::IsamSuccess && accountsRead;
    for (auto it = held.begin(); ok && it != held.end(); ++it) {
      s_.konto = it->second;
      ok = RewriteKonto(s_, it->first);
    }
  }
  // The accounts are on the disk before the list record that sums them.
  if (s_.kontoFile) {
    if (ok) {
      ok = CloseFlushing(s_.kontoFile);
    } else {
      const isam::ErrorKeeper keep;  // the failure before is the one to report
      CloseFlushing(s_.kontoFile);
    }
  }
  if (ok) {
    recNo = n;
    ok = PutDataBas(s_, false, recNo);
    RefreshListCounters();
  }
  const int32_t error = ok ? 0 : isam::IsamError;

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
