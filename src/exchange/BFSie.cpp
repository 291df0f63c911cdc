#include "exchange/BFSie.h"

#include <algorithm>

#include "bookkeeping/BFMisc.h"
#include "exchange/BFImport.h"
#include "shell/ECountForm.h"
#include "shell/ESmall.h"
#include "shell/ETider.h"

namespace bfsie {

namespace {

// YYYYMMDD of a yyyy-mm-dd date.
std::string SieDate(const std::string& date) {
  std::string digits;
  for (char c : date)
    if (c >= '0' && c <= '9') digits += c;
  return digits;
}

// The account type by the number's thousand; an 8xxx account by its sign. None for 0xxx and
// 9xxx, which SIE leaves to the reader.
char AccountType(const bf::KontoRecord& k) {
  switch (k.number.empty() ? ' ' : k.number[0]) {
    case '1': return 'T';
    case '2': return 'S';
    case '3': return 'I';
    case '4': case '5': case '6': case '7': return 'K';
    case '8': return bf::IsCreditSide(k.sign) ? 'I' : 'K';
    default: return ' ';
  }
}

bool IsBalanceAccount(const bf::KontoRecord& k) { return !k.number.empty() && (k.number[0] == '1' || k.number[0] == '2'); }

}  // namespace

std::string SieField(const std::string& text) {
  const bool quoted = text.empty() || text.find_first_of(" \t\"{}") != std::string::npos;
  if (!quoted) return text;
  std::string field = "\"";
  for (char c : text) {
    if (c == '"') field += '\\';
    field += c;
  }
  return field + "\"";
}

bool SieLines(bf::BfShared& s, std::vector<std::string>& lines) {
  lines = {"#FLAGGA 0",
           std::string("#PROGRAM ") + SieField(bfimport::kBuildId),
           "#FORMAT PC8",
           "#GEN " + SieDate(etider::Format(18)),
           "#SIETYP 4",
           "#FNAMN " + SieField(s.dataBas.name),
           "#RAR 0 " + SieDate(s.dataBas.fromDate) + " " + SieDate(s.dataBas.toDate)};
  std::vector<bf::KontoRecord> accounts;
  if (!bf::ForEachAccount(s, [&](const bf::KontoRecord& k, int32_t) {
        accounts.push_back(k);
        return true;
      }))
    return false;
  for (const bf::KontoRecord& k : accounts) lines.push_back("#KONTO " + SieField(k.number) + " " + SieField(k.name));
  for (const bf::KontoRecord& k : accounts)
    if (AccountType(k) != ' ') lines.push_back("#KTYP " + k.number + " " + AccountType(k));
  // An opening balance outside the balance accounts is written too, so that it comes back.
  for (const bf::KontoRecord& k : accounts)
    if (IsBalanceAccount(k) || k.opening.Value() != 0)
      lines.push_back("#IB 0 " + k.number + " " + bfimport::AmountField(k.opening.Value()));
  for (const bf::KontoRecord& k : accounts)
    if (IsBalanceAccount(k)) lines.push_back("#UB 0 " + k.number + " " + bfimport::AmountField(k.closing.Value()));
  for (const bf::KontoRecord& k : accounts)
    if (!IsBalanceAccount(k) && AccountType(k) != ' ')
      lines.push_back("#RES 0 " + k.number + " " + bfimport::AmountField(k.closing.Value()));
  return bf::ForEachVerification(s, [&](const bf::VerRecord& v, int32_t) {
    lines.push_back("#VER \"\" " + std::to_string(v.number) + " " + SieDate(v.date) + " " + SieField(v.name));
    lines.push_back("{");
    const int rows = std::clamp(v.RowCount(), 0, bf::kMaxRows);
    for (int r = 1; r <= rows; ++r) {
      const auto i = static_cast<size_t>(r);
      const double amount = v.amounts[i].Value();
      lines.push_back("#TRANS " + bf::KontoKey(v.accounts[i]) + " {} " +
                      bfimport::AmountField(bf::IsCreditSide(v.sides[i]) ? -amount : amount));
    }
    lines.push_back("}");
    return true;
  });
}

bool ExportSie(bf::BfDatabase& db, eixport::IxportFile& file, bool checksum) {
  bool ok = file.IsOpen() && db.bookkeepingOpen();
  std::vector<std::string> lines;
  ok = ok && SieLines(db.shared(), lines);
  std::vector<std::string> dos;
  dos.reserve(lines.size() + 2);
  for (const std::string& line : lines) dos.push_back(esmall::ConvertCodePage(line, "CP1252", "CP437"));
  if (checksum && !dos.empty()) {
    SieChecksum sum;
    for (size_t i = 1; i < dos.size(); ++i) sum.Record(dos[i]);
    dos.insert(dos.begin() + 1, "#KSUMMA");
    lines.insert(lines.begin() + 1, "#KSUMMA");
    dos.push_back("#KSUMMA " + std::to_string(sum.Value()));
  }
  for (size_t i = 0; ok && i < dos.size(); ++i) {
    ok = file.WriteRaw(dos[i] + "\r\n");
    if (i < lines.size() && lines[i].rfind("#VER", 0) == 0) file.ExportProgress(lines[i], ok, 0);
    ok = ok && !ecountform::Aborted();
  }
  const bool failed = file.Close().failed;
  return ok && !failed;
}

void SieChecksum::Record(std::string_view line) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\r' || c == '\n') continue;
    if (!quoted && (c == ' ' || c == '\t')) continue;
    if (c == '"' && !quoted) {
      quoted = true;
      continue;
    }
    if (c == '"' && quoted && !(i > 0 && line[i - 1] == '\\')) {
      quoted = false;
      continue;
    }
    crc_ ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc_ = (crc_ >> 1) ^ (0xEDB88320u & (0u - (crc_ & 1u)));
  }
}

}  // namespace bfsie
