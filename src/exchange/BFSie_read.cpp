// Reading a SIE file and bringing it into a bookkeeping: the whole file is read and checked
// before anything changes.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <set>

#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFMisc_amount.h"
#include "bookkeeping/BFMisc_entry.h"
#include "bookkeeping/BFVerify.h"
#include "bookkeeping/BFdefs_input.h"
#include "common/Ansi.h"
#include "exchange/BFImport.h"
#include "exchange/BFSie.h"
#include "shell/ECountForm.h"
#include "shell/ESmall.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace bfsie {

namespace {

constexpr int kMaxVerificationNumber = 32767;
// Where the books of a file are built before they are taken in, in the data directory.
constexpr char kStagingFolder[] = "sie.tmp";

// The bytes of Å Ä Ö å ä ö É é Ü ü in code page 437 and in Windows-1252.
constexpr std::string_view kDosLetters = "\x8F\x8E\x99\x86\x84\x94\x90\x82\x9A\x81";
constexpr std::string_view kAnsiLetters = "\xC5\xC4\xD6\xE5\xE4\xF6\xC9\xE9\xDC\xFC";

bool IsDos(std::string_view bytes) {
  size_t dos = 0, ansi = 0;
  for (char c : bytes) {
    if (kDosLetters.find(c) != std::string_view::npos) ++dos;
    if (kAnsiLetters.find(c) != std::string_view::npos) ++ansi;
  }
  if (dos != ansi) return dos > ansi;
  return bytes.find("#FORMAT PC8") != std::string_view::npos;
}

// The fields of a line: separated by blanks and tabs; "..." with \" inside one field; {...}
// one field (an object list).
bool Split(std::string_view line, std::vector<std::string>& fields) {
  fields.clear();
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) return true;
    std::string field;
    if (line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
          field += '"';
          i += 2;
        } else if (line[i] == '"') {
          ++i;
          closed = true;
          break;
        } else {
          field += line[i++];
        }
      }
      if (!closed) return false;
    } else if (line[i] == '{') {
      const size_t end = line.find('}', i);
      if (end == std::string_view::npos) {
        if (line.find_first_not_of(" \t", i + 1) != std::string_view::npos) return false;
        field = "{";  // a line of its own opening the rows
        i = line.size();
      } else {
        field = std::string(line.substr(i, end - i + 1));
        i = end + 1;
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') field += line[i++];
    }
    fields.push_back(std::move(field));
  }
}

bool IsAccountNumber(const std::string& text) {
  return text.size() == 4 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// yyyy-mm-dd of a SIE date YYYYMMDD; empty when it is none.
std::string DateOf(const std::string& text) {
  if (text.size() != 8) return "";
  const std::string date = text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2);
  return bf::IsDate(date) ? date : "";
}

// The sign an account gets from its type, or from its number when the file gives none.
char SignOf(const std::string& number, char type) {
  if (type == ' ') {
    switch (number[0]) {
      case '1': type = 'T'; break;
      case '2': type = 'S'; break;
      case '3': type = 'I'; break;
      case '4': case '5': case '6': case '7': case '8': type = 'K'; break;
      default: return ' ';
    }
  }
  return type == 'T' || type == 'K' ? '+' : '-';
}

class Reader {
 public:
  Reader(SieBooks& books, std::vector<std::string>& faults) : books_(books), faults_(faults) {}

  void Line(int lineNo, const std::string& line) {
    lineNo_ = lineNo;
    if (!Split(line, f_)) return Fault(A("citattecken saknas"));
    if (f_.empty()) return;
    const std::string& label = f_[0];
    if (ver_) {
      if (label == "{" && !open_) {
        open_ = true;
      } else if (label == "}" && open_) {
        EndVerification();
      } else if (!open_) {
        Fault(A("{ saknas efter #VER"));
        ver_.reset();
        Line(lineNo, line);
      } else if (label == "#TRANS") {
        Trans();
      } else if (label == "#VER") {
        Fault(A("} saknas"));
      }
      return;  // #RTRANS, #BTRANS and other labels inside are passed over
    }
    if (label == "#FNAMN" && f_.size() >= 2) books_.name = f_[1];
    else if (label == "#RAR" && f_.size() >= 4 && f_[1] == "0") Period();
    else if (label == "#KONTO") Konto();
    else if (label == "#KTYP") Ktyp();
    else if (label == "#IB" && f_.size() >= 2 && f_[1] == "0") Ib();
    else if (label == "#VER") Ver();
    else if (label == "#TRANS" || label == "{" || label == "}") Fault(A("utanför verifikation"));
  }

  void End() {
    if (ver_) {
      lineNo_ = ver_->line;
      Fault(A("} saknas"));
    }
  }

 private:
  void Fault(const std::string& what) { faults_.push_back(A("rad ") + std::to_string(lineNo_) + " (" + what + ")"); }

  bool Account(const std::string& number) {
    if (!IsAccountNumber(number)) {
      Fault("kontonummer " + number.substr(0, 10));
      return false;
    }
    books_.accounts.try_emplace(number);
    return true;
  }

  std::optional<double> Amount(const std::string& text) {
    const std::optional<double> value = bfimport::ParseAmount(text);
    if (!value || !bf::Real6::FromMoney(*value)) {
      Fault("belopp " + text.substr(0, 20));
      return std::nullopt;
    }
    return bf::RoundedToCents(*value);
  }

  void Period() {
    books_.from = DateOf(f_[2]);
    books_.to = DateOf(f_[3]);
    if (books_.from.empty() || books_.to.empty()) Fault("datum");
  }

  void Konto() {
    if (f_.size() < 3) return Fault(A("#KONTO utan namn"));
    if (Account(f_[1])) books_.accounts[f_[1]].name = f_[2];
  }

  void Ktyp() {
    if (f_.size() < 3 || f_[2].size() != 1 || std::string_view("TSIK").find(f_[2][0]) == std::string_view::npos)
      return Fault("#KTYP");
    if (Account(f_[1])) books_.accounts[f_[1]].type = f_[2][0];
  }

  void Ib() {
    if (f_.size() < 4) return Fault("#IB");
    if (!Account(f_[2])) return;
    if (const std::optional<double> amount = Amount(f_[3])) {
      books_.accounts[f_[2]].opening = *amount;
      books_.accounts[f_[2]].hasOpening = true;
    }
  }

  void Ver() {
    ver_.emplace();
    transLines_ = 0;
    ver_->line = lineNo_;
    ver_->date = f_.size() >= 4 ? DateOf(f_[3]) : "";
    if (ver_->date.empty()) Fault("datum");
    ver_->text = f_.size() >= 5 ? f_[4] : "";
    open_ = f_.back() == "{" && f_.size() > 1;
  }

  void Trans() {
    ++transLines_;
    if (f_.size() < 4 || f_[2].empty() || f_[2][0] != '{') return Fault("#TRANS");
    if (!Account(f_[1])) return;
    const std::optional<double> amount = Amount(f_[3]);
    if (amount) ver_->rows.push_back({std::stoi(f_[1]), *amount});
  }

  void EndVerification() {
    double balance = 0;
    for (const SieBooks::Row& row : ver_->rows) balance += row.amount;
    lineNo_ = ver_->line;
    if (ver_->rows.size() > static_cast<size_t>(bf::kMaxRows)) Fault(A("mer än 100 rader"));
    else if (transLines_ == 0) Fault(A("inga rader"));
    else if (bf::RoundedToCents(balance) != 0) Fault(A("balanserar inte: ") + bf::AmountText(balance, 0));
    books_.verifications.push_back(std::move(*ver_));
    ver_.reset();
    open_ = false;
    transLines_ = 0;
  }

  SieBooks& books_;
  std::vector<std::string>& faults_;
  std::vector<std::string> f_;
  std::optional<SieBooks::Verification> ver_;
  bool open_ = false;
  int transLines_ = 0;  // of the verification being read
  int lineNo_ = 0;
};

// Calls line(lineNo, text) for every line of bytes, its CR and LF taken off.
template <typename Line>
void ForEachLine(std::string_view bytes, Line line) {
  size_t start = 0;
  int lineNo = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view text = bytes.substr(start, end - start);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    line(++lineNo, text);
    start = end + 1;
  }
}

// The value of a #KSUMMA line ("" for the opening one), or nothing for any other line.
std::optional<std::string_view> ChecksumMark(std::string_view line) {
  const size_t begin = line.find_first_not_of(" \t");
  if (begin == std::string_view::npos || line.substr(begin, 7) != "#KSUMMA") return std::nullopt;
  std::string_view rest = line.substr(begin + 7);
  if (!rest.empty() && rest[0] != ' ' && rest[0] != '\t') return std::nullopt;
  const size_t first = rest.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::string_view();
  rest = rest.substr(first);
  return rest.substr(0, rest.find_last_not_of(" \t") + 1);
}

// A sum as #KSUMMA holds it: unsigned, or as a signed 32-bit number by some writers.
std::optional<uint32_t> ChecksumValue(std::string_view text) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < INT32_MIN || value > UINT32_MAX)
    return std::nullopt;
  return static_cast<uint32_t>(value);
}

// The file's #KSUMMA checked over its own bytes: a fault when its sum is not that of the
// records it frames, or when the opening or the closing #KSUMMA is missing.
void CheckChecksum(std::string_view bytes, std::vector<std::string>& faults) {
  std::vector<std::pair<int, std::string>> marks;
  ForEachLine(bytes, [&](int lineNo, std::string_view line) {
    if (const auto value = ChecksumMark(line)) marks.emplace_back(lineNo, std::string(*value));
  });
  if (marks.empty()) return;
  const auto fault = [&](int lineNo, const std::string& what) {
    faults.push_back(A("rad ") + std::to_string(lineNo) + " (" + what + ")");
  };
  const int last = marks.back().first;
  const std::string& text = marks.back().second;
  if (marks.size() == 1)
    return fault(last, text.empty() ? A("#KSUMMA utan avslutande #KSUMMA med kontrollsumma")
                                     : A("#KSUMMA utan inledande #KSUMMA"));
  const std::optional<uint32_t> given = ChecksumValue(text);
  if (!given) return fault(last, "#KSUMMA " + text.substr(0, 20) + A(" är ingen kontrollsumma"));
  SieChecksum sum;
  ForEachLine(bytes, [&](int lineNo, std::string_view line) {
    if (lineNo > marks.front().first && lineNo < last) sum.Record(line);
  });
  if (sum.Value() != *given)
    fault(last, A("fel kontrollsumma: #KSUMMA ") + text + A(", men filens poster ger ") + std::to_string(sum.Value()));
}

std::string Cut(const std::string& text, size_t width) { return text.substr(0, std::min(text.size(), width)); }

// The refusal's message: as many faults as the message holds, and how many more there are.
void Refuse(const std::vector<std::string>& faults) {
  std::string text = A("SIE-filen har fel, inget importerat: ");
  size_t shown = 0;
  for (; shown < faults.size(); ++shown) {
    const std::string next = (shown ? ", " : "") + faults[shown];
    if (text.size() + next.size() > eerror::kMaxMessage - 12) break;
    text += next;
  }
  if (shown < faults.size()) text += " +" + std::to_string(faults.size() - shown) + " till";
  eerror::EMsg(eerror::kCommonWarning, text);
}

bool SaveAccounts(bf::BfShared& s, const SieBooks& books) {
  for (const auto& [number, a] : books.accounts) {
    bf::KontoRecord k;
    int32_t recNo = 0;
    const bf::Lookup lookup = bf::FindAccount(s, number, k, recNo);
    if (lookup == bf::Lookup::kFailed) return false;
    const bool isNew = lookup == bf::Lookup::kAbsent;
    if (isNew) {
      k = bf::KontoRecord();
      k.number = number;
    }
    if (isNew || !a.name.empty()) {
      k.name = Cut(a.name, bf::KontoRecord::kNameCapacity);
      if (a.name.size() > bf::KontoRecord::kNameCapacity && a.name.size() <= bf::KontoRecord::kReferenceCapacity)
        k.reference = a.name;
    }
    if (isNew || a.type != ' ') k.sign = SignOf(number, a.type);
    if (isNew || a.hasOpening) k.opening = *bf::Real6::FromMoney(a.opening);
    if (!bf::SaveAccount(s, isNew, recNo, k)) return false;
  }
  return true;
}

bool PostVerifications(bf::BfShared& s, const SieBooks& books) {
  int posted = 0;
  for (const SieBooks::Verification& v : books.verifications) {
    bf::PrepareFreshVerification(s);
    for (const SieBooks::Row& row : v.rows) {
      if (bf::AddVerificationRow(s, row.account, row.amount < 0 ? '-' : '+', std::fabs(row.amount)) !=
          bf::RowResult::kPosted) {
        bf::CancelVerification(s);
        return false;
      }
    }
    if (bf::SaveVerification(s, Cut(v.text, bf::VerRecord::kNameCapacity), v.date) != bf::SaveResult::kSaved) {
      bf::CancelVerification(s);
      return false;
    }
    ecountform::Line(2, "Ver: " + esmall::BlankPadded(++posted, 5) + " [" +
                            esmall::BlankPadded(static_cast<long long>(books.verifications.size()), 5) + "]");
    ecountform::Line(3, v.date + " " + Cut(v.text, bf::VerRecord::kNameCapacity));
    if (ecountform::Aborted()) return false;  // the books are aside: nothing to undo
  }
  bf::PrepareFreshVerification(s);
  return true;
}

// The books built aside, opened again and checked as bfnolk verify checks them.
bool SoundWhenOpenedAgain(const std::string& staging) {
  bf::BfDatabase check(staging, bf::Access::kReadOnly);
  check.OpenBookkeepingList();
  if (!check.SelectBookkeeping(1)) return false;
  const std::vector<std::string> findings = bf::VerifyBookkeeping(check.shared(), staging);
  if (!findings.empty()) eerror::EMsg(eerror::kCommonWarning, A("SIE-importen gick inte igenom: ") + findings.front());
  return findings.empty();
}

// The books built in a staging folder of the data directory, in a bookkeeping of their own
// (new, or a copy of the open one), and taken in whole only when every step went through:
// a failure or a kill on the way leaves the data directory as it was.
bool BuildAsideAndTakeIn(bf::BfDatabase& db, const SieBooks& books, bool newBookkeeping) {
  const std::string staging = db.dataDir() + "/" + kStagingFolder;
  const int remembered = ekonfig::Konfig.CurBase();  // the staged books' open is not the user's choice
  bool ok = bf::MakeStagingFolder(staging) && (newBookkeeping || db.StageCurrent(staging));
  if (ok) {
    bf::BfDatabase staged(staging, bf::Access::kStaging);
    if (newBookkeeping) {
      ok = staged.CreateBookkeepingList() && staged.BeginNewBookkeeping();
      bf::BfShared& s = staged.shared();
      s.dataBas.name = Cut(books.name, bf::BfDataBasRecord::kNameCapacity);
      s.dataBas.fromDate = books.from;
      s.dataBas.toDate = books.to;
      ok = ok && staged.FinishNewBookkeeping();
    } else {
      staged.OpenBookkeepingList();
      ok = staged.SelectBookkeeping(1);
    }
    ok = ok && SaveAccounts(staged.shared(), books) && PostVerifications(staged.shared(), books);
    // What the close writes (the list record, the month sums, the files' last pages) counts too.
    isam::ClearError();
    staged.CloseBookkeeping();
    ok = ok && isam::IsamSuccess;
    staged.CloseBookkeepingList();
    ok = ok && isam::IsamSuccess;
  }
  ok = ok && SoundWhenOpenedAgain(staging);
  // The last moment a Cancel stops it: once the take-in has begun, the import goes through.
  if (ok) ecountform::Line(3, A("Bokföringen tas in"));
  ok = ok && !ecountform::Aborted();
  ekonfig::Konfig.SetCurBase(remembered);
  if (!ok) {
    if (ecountform::Aborted()) eerror::EMsg(eerror::kCommonWarning, A("SIE-importen avbröts, inget importerat"));
    else eerror::ReportIsamError();
    bf::RemoveStagingFolder(staging);
    return false;
  }
  return newBookkeeping ? db.AddStaged(staging, 1) : db.ReplaceWithStaged(staging);
}

// The import with the file open; the caller closes it, so that the progress window stays
// up while the books are written.
SieImport CheckAndImport(bf::BfDatabase& db, eixport::IxportFile& file, bool newBookkeeping) {
  if (!file.IsOpen()) return SieImport::kNotOpened;
  std::string bytes, line;
  std::vector<std::string> faults;
  int lineNo = 0;
  while (file.ReadLine(line)) {
    ++lineNo;
    if (file.LineCut()) faults.push_back(A("rad ") + std::to_string(lineNo) + A(" (för lång)"));
    bytes += line + "\n";
  }
  if (file.Failed()) return SieImport::kFailed;
  SieBooks books;
  ReadSie(bytes, books, faults);
  if (!db.listOpen()) {
    eerror::EMsg(1, A("Databas ej vald/ datafiler saknas!"));
    return SieImport::kNotOpened;
  }
  bf::BfShared& s = db.shared();
  if (!newBookkeeping) {
    if (!db.bookkeepingOpen()) {
      eerror::EMsg(eerror::kCommonWarning, A("Databas ej vald/ datafiler saknas!"));
      return SieImport::kNotOpened;
    }
    if (isam::UsedRecs(s.verFile) > 0) {
      eerror::EMsg(eerror::kCommonWarning, A("Bokföringen har redan verifikationer: SIE läses in i en ny bokföring"));
      return SieImport::kRefused;
    }
  }
  if (newBookkeeping && (books.from.empty() || books.to.empty()))
    faults.push_back(A("#RAR 0 saknas: bokföringens period"));
  int newAccounts = 0;
  int32_t inUse = 0, lastNumber = 0;
  if (!newBookkeeping) {
    inUse = isam::UsedRecs(s.kontoFile);
    lastNumber = s.dataBas.lastVerNr;
    for (const auto& [number, a] : books.accounts) {
      bf::KontoRecord k;
      int32_t recNo = 0;
      const bf::Lookup lookup = bf::FindAccount(s, number, k, recNo);
      if (lookup == bf::Lookup::kFailed) return SieImport::kFailed;
      newAccounts += lookup == bf::Lookup::kAbsent;
    }
  } else {
    newAccounts = static_cast<int>(books.accounts.size());
  }
  if (inUse + newAccounts > bf::kMaxAccounts)
    faults.push_back(A("fler än ") + std::to_string(bf::kMaxAccounts) + A(" konton: ") + std::to_string(inUse + newAccounts));
  if (lastNumber + static_cast<int64_t>(books.verifications.size()) > kMaxVerificationNumber)
    faults.push_back(A("rad ") + std::to_string(books.verifications[static_cast<size_t>(kMaxVerificationNumber - lastNumber)].line) +
                     A(" (fler än 32767 verifikationer)"));
  if (!faults.empty()) {
    Refuse(faults);
    return SieImport::kRefused;
  }
  return BuildAsideAndTakeIn(db, books, newBookkeeping) ? SieImport::kImported : SieImport::kFailed;
}

}  // namespace

void ReadSie(std::string_view bytes, SieBooks& books, std::vector<std::string>& faults) {
  CheckChecksum(bytes, faults);
  const std::string text = IsDos(bytes) ? esmall::ConvertCodePage(bytes, "CP437", "CP1252") : std::string(bytes);
  Reader reader(books, faults);
  ForEachLine(text, [&](int lineNo, std::string_view line) { reader.Line(lineNo, std::string(line)); });
  reader.End();
}

SieImport ImportSie(bf::BfDatabase& db, eixport::IxportFile& file, bool newBookkeeping) {
  const SieImport result = CheckAndImport(db, file, newBookkeeping);
  file.Close();
  if (result == SieImport::kImported)
    eerror::EMsg(1, A("SIE-import klar: ") + std::to_string(db.shared().dataBas.lastVerNr) + " verifikationer");
  return result;
}

}  // namespace bfsie
