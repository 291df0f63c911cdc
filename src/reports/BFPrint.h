// What every printed report of the bookkeeping shares: the title line in the big font, the
// report header block with the open bookkeeping's number, name, period, totals and group sums
// (values mode) or the names of those columns (titles mode, when no bookkeeping is open), the
// column heads, the account line, the progress an account, and how a row's side and account
// are read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bookkeeping/BFFiler.h"
#include "printing/ewrite32.h"

namespace reports {

// How the reports read a row's side: "D", "d", "+" debit; "K", "k", "-" credit; any other
// character, a blank too, neither (such a row counts in no sum and moves to no column).
enum class Side { kDebit, kCredit, kNeither };
Side SideOf(char side);

// The value by which rows name the account with number: its four digits, none when the
// number is not exactly four digits (such an account is named by no row).
std::optional<int> RowValue(const std::string& number);

// What the listings show of a verification.
struct VerificationHead {
  int16_t number = 0;
  std::string date;
  std::string text;
};

// The report's title in the big font on a line of its own; the progress shows it.
void Title(printing::PrintJob& job, const std::string& title);

// The header block; values from the list record when values is set.
void ReportHead(printing::PrintJob& job, const bf::BfDataBasRecord& list, bool values);

struct ColumnText {
  int column;
  std::string text;
};

// The header block, then the column heads on a line of their own (two lines reserved) and,
// with emptyLine, an empty line.
void ColumnHead(printing::PrintJob& job, const bf::BfDataBasRecord& list, const std::vector<ColumnText>& heads,
                bool emptyLine);

// text at character column of the current line.
void At(printing::PrintJob& job, int column, const std::string& text);

// An amount at column in the reports' width of 10.
void AmountAt(printing::PrintJob& job, int column, double amount);

// Item i of n on the progress window, with "Konto: " and the account number beside it.
void AccountProgress(printing::PrintJob& job, int i, int n, const bf::KontoRecord& account);

// The account line of the account reports: one line reserved, the number at the current
// column (1), the name at column 8; the caller adds the figures and ends the line.
void AccountLineStart(printing::PrintJob& job, const bf::KontoRecord& account);

}  // namespace reports
