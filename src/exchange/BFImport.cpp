#include "exchange/BFImport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <set>
#include <vector>

#include "bookkeeping/BFMisc.h"
#include "bookkeeping/BFMisc_amount.h"
#include "common/Ansi.h"
#include "shell/ECountForm.h"
#include "shell/ESmall.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace bfimport {

const char kBuildId[] = "bfnolk 1.0";

namespace {

// The characters of a field that count.
constexpr size_t kFieldWidth = 30;
// The head line of a verification is cut here.
constexpr size_t kVerHeadWidth = 107;

std::string Cut(std::string text, size_t width) {
  if (text.size() > width) text.resize(width);
  return text;
}

bool WriteHeader(bf::BfDatabase& db, eixport::IxportFile& file, const std::string& what) {
  bool ok = file.WriteLine(Cut(std::string("; glimmerbodata, vimle drumvik, ") + kBuildId, 42));
  ok = ok && file.WriteLine(what + eixport::MainCaption());
  if (ok && db.bookkeepingOpen())
    ok = file.WriteLine(Cut(Cut("; " + db.shared().dataBas.name, 28) + " " + etider::Format(14), 58));
  return ok;
}

std::string PlanLine(const bf::KontoRecord& k) {
  std::string number = k.number;
  if (number.size() < 4) number.resize(4, ' ');
  return number + "," + k.name + "," + std::string(1, k.sign) + "," + k.reference + "," + AmountField(k.opening.Value()) +
         "," + AmountField(k.budget.Value()) + "," + AmountField(k.closing.Value());
}

std::optional<bf::Real6> Money(const std::string& text) {
  const std::optional<double> value = ParseAmount(text);
  if (!value) return std::nullopt;
  return bf::Real6::FromMoney(*value);
}

bool IsAccountNumber(const std::string& text) {
  if (text.size() != 4) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string FieldOf(const std::string& line, int n) { return Cut(eixport::Field(line, ',', n), kFieldWidth); }

// Writes one line's account inside the account file's unit: a changed account is removed and
// added anew, so that the unit's journal can take the change back.
bool ApplyLine(bf::BfShared& s, const PlanAccount& r, int& added, int& modified) {
  bf::KontoRecord k;
  int32_t recNo = 0;
  const bf::Lookup lookup = bf::FindAccount(s, r.number, k, recNo);
  if (lookup == bf::Lookup::kFailed) return false;
  const bool exists = lookup == bf::Lookup::kFound;
  if (exists) {
    s.konto = k;
    bf::TakeOpeningOut(s);
  } else {
    k = bf::KontoRecord();
    k.number = r.number;
  }
  k.name = Cut(r.name, bf::KontoRecord::kNameCapacity);
  k.reference = Cut(r.reference, bf::KontoRecord::kReferenceCapacity);
  k.sign = r.sign;
  k.budget = r.budget;
  k.opening = r.opening;
  if (!bf::UpdateClosing(k)) return false;
  s.konto = k;
  bf::PutOpeningBack(s);
  if (exists) {
    isam::DeleteKey(s.kontoFile, 1, recNo, r.number);
    if (!isam::IsamSuccess) return false;
    isam::DeleteRec(s.kontoFile, recNo);
    if (!isam::IsamSuccess) return false;
  }
  s.konto = k;
  if (!bf::PutKonto(s, true, recNo)) return false;
  (exists ? modified : added)++;
  ecountform::Line(2, "Add:" + esmall::ZeroPadded(added, 4) + " Mod:" + esmall::ZeroPadded(modified, 4));
  ecountform::Line(3, "Konto: " + r.number + " Record:" + esmall::BlankPadded(recNo, 4) +
                          (exists ? " ..modified!!" : "    ..added!!"));
  return true;
}

// Every line taken in one unit of the account file, then the list record with its totals.
bool ApplyAll(bf::BfShared& s, const std::vector<PlanAccount>& lines) {
  const bf::BfDataBasRecord before = s.dataBas;
  int added = 0, modified = 0;
  isam::BeginUnit(s.kontoFile);
  bool ok = isam::IsamSuccess;
  for (size_t i = 0; ok && i < lines.size(); ++i) ok = ApplyLine(s, lines[i], added, modified);
  if (ok) {
    isam::CommitUnit(s.kontoFile);
    ok = isam::IsamSuccess;
  } else {
    const isam::ErrorKeeper keep;
    isam::AbortUnit(s.kontoFile);
  }
  s.kontoRecNo = 0;
  if (!ok) {
    s.dataBas = before;
    eerror::ReportIsamError();
    return false;
  }
  int32_t listRecNo = s.current;
  if (!bf::PutDataBas(s, false, listRecNo)) eerror::ReportIsamError();  // mended from the accounts at the next open
  return true;
}

std::string LineNumbers(const std::vector<int>& numbers) {
  std::string text;
  for (int n : numbers) text += (text.empty() ? "" : ", ") + std::to_string(n);
  return text;
}

// The import with the file open; the caller closes it, so that the progress window stays
// up while the accounts are written.
ImportResult CheckAndImport(bf::BfDatabase& db, eixport::IxportFile& file, Balance balance) {
  if (!file.IsOpen()) return ImportResult::kNotOpened;
  std::vector<std::string> lines;
  std::vector<int> cut;
  std::string line;
  while (file.ReadLine(line)) {
    if (lines.empty()) {
      if (!db.listOpen()) {
        eerror::EMsg(1, A("Databas ej vald/ datafiler saknas!"));
        return ImportResult::kNotOpened;
      }
      if (!db.bookkeepingOpen()) return ImportResult::kNotOpened;
    }
    lines.push_back(line);
    if (file.LineCut()) cut.push_back(static_cast<int>(lines.size()));
  }
  if (file.Failed()) return ImportResult::kFailed;

  // The whole file checked first: every faulty line named, and nothing changed.
  bf::BfShared& s = db.shared();
  std::vector<PlanAccount> accounts;
  std::vector<std::string> faults;
  std::vector<int> overLimit;
  std::set<std::string> newNumbers;
  const int32_t inUse = isam::UsedRecs(s.kontoFile);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int lineNo = static_cast<int>(i) + 1;
    const std::string& text = lines[i];
    if (!text.empty() && text[0] == ';') {
      eerror::EMsg(1, text);
      continue;
    }
    if (eixport::Field(text, ',', 1).empty() && text.find(',') == std::string::npos) continue;  // a blank line
    std::string fault;
    std::optional<PlanAccount> read = ReadPlanLine(text, lineNo, balance, fault);
    if (std::find(cut.begin(), cut.end(), lineNo) != cut.end()) fault = A("för lång"), read.reset();
    if (!read) {
      faults.push_back(A("rad ") + std::to_string(lineNo) + " (" + fault + ")");
      continue;
    }
    bf::KontoRecord k;
    int32_t recNo = 0;
    const bf::Lookup lookup = bf::FindAccount(s, read->number, k, recNo);
    if (lookup == bf::Lookup::kFailed) return ImportResult::kFailed;
    if (lookup == bf::Lookup::kAbsent && newNumbers.insert(read->number).second &&
        inUse + static_cast<int32_t>(newNumbers.size()) > bf::kMaxAccounts)
      overLimit.push_back(lineNo);
    accounts.push_back(std::move(*read));
  }
  if (!overLimit.empty()) {
    eerror::EMsg(eerror::kCommonWarning,
                 A("Max antal konton uppnått kan ej addera! Inget importerat, rad ") + LineNumbers(overLimit));
    return ImportResult::kRefused;
  }
  if (!faults.empty()) {
    std::string text = A("Felaktiga rader, inget importerat: ");
    for (size_t i = 0; i < faults.size(); ++i) text += (i ? ", " : "") + faults[i];
    eerror::EMsg(eerror::kCommonWarning, text);
    return ImportResult::kRefused;
  }
  return ApplyAll(s, accounts) ? ImportResult::kImported : ImportResult::kFailed;
}

}  // namespace

std::string AmountField(double value) { return bf::AmountText(value, 0); }

std::optional<PlanAccount> ReadPlanLine(const std::string& line, int lineNo, Balance balance, std::string& fault) {
  PlanAccount r;
  r.lineNo = lineNo;
  r.number = FieldOf(line, 1);
  if (!IsAccountNumber(r.number)) {
    fault = "kontonummer";
    return std::nullopt;
  }
  r.name = FieldOf(line, 2);
  const std::string sign = FieldOf(line, 3);
  r.sign = sign.empty() ? ' ' : sign[0];
  r.reference = FieldOf(line, 4);
  const std::optional<bf::Real6> opening = Money(FieldOf(line, balance == Balance::kOpening ? 5 : 7));
  const std::optional<bf::Real6> budget = Money(FieldOf(line, 6));
  if (!opening || !budget) {
    fault = "belopp";
    return std::nullopt;
  }
  r.opening = *opening;
  r.budget = *budget;
  return r;
}

std::optional<double> ParseAmount(const std::string& text) {
  if (text.empty()) return 0.0;
  const char* begin = text.data() + (text[0] == '+' ? 1 : 0);
  double value = 0;
  const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool OpenWithDialog(esmall::WindowHandle owner, eixport::IxportFile& file, eixport::Mode mode,
                    std::string_view pattern, std::string_view defaultExt) {
  std::string dir = ekonfig::Konfig.ExchangeDir();
  std::string name;
  const int progressKind = mode == eixport::Mode::kCreate ? 3 : 4;
  if (!file.OpenWithDialog(owner, mode, progressKind, pattern, defaultExt, dir, name)) return false;
  ekonfig::Konfig.SetExchangeDir(dir);
  return true;
}

bool ExportPlan(bf::BfDatabase& db, eixport::IxportFile& file) {
  const bool opened = file.IsOpen();
  if (opened && WriteHeader(db, file, "; Export kontoplan: ") && db.bookkeepingOpen()) {
    bf::BfShared& s = db.shared();
    const int32_t total = isam::UsedRecs(s.kontoFile);
    bf::ForEachAccount(s, [&](const bf::KontoRecord& k, int32_t) {
      const bool ok = file.WriteLine(PlanLine(k));
      file.ExportProgress(k.number, ok, total);
      return ok && !ecountform::Aborted();
    });
  }
  return opened && !file.Close().failed;
}

bool ExportVerifications(bf::BfDatabase& db, eixport::IxportFile& file) {
  const bool opened = file.IsOpen();
  if (opened && WriteHeader(db, file, A("; Export vald bokförings verif.: ")) && db.bookkeepingOpen()) {
    bf::BfShared& s = db.shared();
    const int32_t total = isam::UsedRecs(s.verFile);
    bf::ForEachVerification(s, [&](const bf::VerRecord& v, int32_t) {
      const int rows = v.RowCount();
      bool ok = file.WriteLine(Cut("*ver," + std::to_string(v.number) + "," + v.date + "," + v.name + "," +
                                       std::to_string(rows),
                                   kVerHeadWidth));
      for (int r = 1; ok && r <= rows; ++r) {
        const auto i = static_cast<size_t>(r);
        ok = file.WriteLine("*nr," + esmall::BlankPadded(r, 3) + "," + std::to_string(v.accounts[i]) + "," +
                            std::string(1, v.sides[i]) + "," + AmountField(v.amounts[i].Value()));
      }
      file.ExportProgress(esmall::BlankPadded(v.number, 3), ok, total);
      return ok && !ecountform::Aborted();
    });
  }
  return opened && !file.Close().failed;
}

ImportResult ImportPlan(bf::BfDatabase& db, eixport::IxportFile& file, Balance balance) {
  const ImportResult result = CheckAndImport(db, file, balance);
  const eixport::IxportFile::Counts counts = file.Close();
  if (result == ImportResult::kImported)
    eerror::EMsg(1, "Import klar!! Antal rader:" + esmall::BlankPadded(counts.lines, 6));
  return result;
}

}  // namespace bfimport
