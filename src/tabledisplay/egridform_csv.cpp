#include "tabledisplay/egridform_writers.h"

#include <cctype>

#include "common/Ansi.h"

namespace egridform {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (const char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// An amount as the reports write it ("1234.50", "-     12.50") with the decimal comma and
// the minus sign against its digits; any other text as it is.
std::string SpreadsheetNumber(const std::string& text) {
  std::string digits = text;
  std::string sign;
  if (!digits.empty() && digits[0] == '-') {
    sign = "-";
    digits = Trimmed(digits.substr(1));
  }
  const size_t point = digits.find('.');
  if (point == std::string::npos || point + 3 != digits.size() || !AllDigits(digits.substr(0, point)) ||
      !AllDigits(digits.substr(point + 1)))
    return text;
  digits[point] = ',';
  return sign + digits;
}

std::string Field(const std::string& stored) {
  const std::string text = ansi::ToUtf8(SpreadsheetNumber(Trimmed(stored)));
  if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

bool WriteCsv(const Table& table, LineSink& out) {
  LineWriter w(out);
  for (int32_t r = 0; r < table.RowCount() && w.ok(); ++r) {
    std::string line = r == 0 ? kByteOrderMark : "";
    for (int32_t c = 0; c < table.ColCount(); ++c) {
      if (c > 0) line += ';';
      line += Field(table.CellText(c, r));
    }
    w.Line(line);
  }
  return w.ok();
}

}  // namespace egridform
