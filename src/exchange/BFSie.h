// SIE 4, the Swedish standard file by which books go to the accountant, the auditor and the
// next program: the open bookkeeping written as type 4E (accounts, their types, opening and
// closing balances, results and every verification with its rows), and such a file (4E or
// 4I) read into a bookkeeping.
//
// The file is in code page 437 (#FORMAT PC8), one label a line ending in CR LF; dates are
// YYYYMMDD, amounts have a point and two decimals, a row's amount is positive on the debit
// side and negative on the credit side. A field holding a blank, a quote, a brace or nothing
// is quoted, with \" for a quote inside.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "bookkeeping/BFBas.h"
#include "exchange/Eixport.h"

namespace bfsie {

// The lines of the open bookkeeping as SIE 4E, Windows-1252 as the program holds text.
// False when the books could not be read.
bool SieLines(bf::BfShared& s, std::vector<std::string>& lines);

// Writes the open bookkeeping into file (opened as a document, so without the heading line)
// in code page 437 and closes it; with checksum, the records after #FLAGGA are framed by
// #KSUMMA lines, the last holding their SieChecksum. True when the file was open and every
// line went into it.
bool ExportSie(bf::BfDatabase& db, eixport::IxportFile& file, bool checksum);

// The checksum of #KSUMMA: CRC-32 (polynomial 0xEDB88320 reflected, start value and final
// xor 0xFFFFFFFF, as zlib's crc32) over the records between the file's first #KSUMMA, which
// holds no value, and its last, which holds the sum as an unsigned decimal number. Neither
// #KSUMMA line is summed. Of each record, its bytes as the file holds them (in the file's own
// code page) are summed but for these: the blanks and tabs outside quotes, which separate the
// fields; the quote that opens a quoted field and the one that closes it; the line end (CR
// and LF). Everything else counts, the braces { } and every byte inside quotes among them,
// so `\"` inside a quoted field counts as both its bytes. For example
//   #VER "" 12 20260105 "Hyra mars"   sums   #VER1220260105Hyra mars
//   #TRANS 1930 {} -400.00            sums   #TRANS1930{}-400.00
class SieChecksum {
 public:
  void Record(std::string_view line);
  uint32_t Value() const { return ~crc_; }

 private:
  uint32_t crc_ = 0xFFFFFFFFu;
};

// A field as SIE writes it.
std::string SieField(const std::string& text);

// What a SIE file (type 4E or 4I) brings into a bookkeeping, read and checked whole: texts
// in Windows-1252, dates yyyy-mm-dd, accounts of four digits.
struct SieBooks {
  struct Account {
    std::string name;  // as the file names it, uncut
    char type = ' ';   // #KTYP: T, S, I, K; blank when not given
    double opening = 0;
    bool hasOpening = false;  // #IB 0 gave it
  };
  struct Row {
    int account = 0;
    double amount = 0;  // debit positive, credit negative
  };
  struct Verification {
    int line = 0;
    std::string date, text;
    std::vector<Row> rows;
  };
  std::string name, from, to;
  std::map<std::string, Account> accounts;  // declared or used, by number
  std::vector<Verification> verifications;  // in file order
};

// Reads the bytes of a SIE file, in code page 437 or in Windows-1252 (told apart by the
// bytes of the Swedish letters; #FORMAT PC8 decides a tie). Unknown labels, #RTRANS and
// #BTRANS are passed over; an account used but not declared is taken in. Every fault is
// named with its line number in faults: a #KSUMMA that does not agree with the records it
// closes (or lacks its pair) first, then a line that cannot be read, an account number
// that is not four digits, an amount or a date that is none, a verification that does not
// balance or has more than 100 rows. books is whole only when faults is empty.
void ReadSie(std::string_view bytes, SieBooks& books, std::vector<std::string>& faults);

enum class SieImport { kImported, kNotOpened, kRefused, kFailed };

// Reads file (opened as a document) whole and closes it; with no fault, brings the books
// into a new bookkeeping named and dated from #FNAMN and #RAR 0 (newBookkeeping), or into
// the open one when it holds no verifications: the accounts with their opening balances,
// then every verification posted as the entry dialog posts it, numbered from the next
// number. A refused file changes nothing; the message names the faulty lines.
SieImport ImportSie(bf::BfDatabase& db, eixport::IxportFile& file, bool newBookkeeping);

}  // namespace bfsie
