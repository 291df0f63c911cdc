// The encoding of a text file handed to the program (an account plan, a verification
// template). Our own files, and those of every older version, are Windows-1252; a file
// saved by a current editor is often UTF-8. A file is read as UTF-8 when it begins with the
// UTF-8 byte order mark, or when the whole of it is UTF-8 and some of it lies beyond ASCII;
// any other file is Windows-1252, as it always was. A UTF-8 file with a character that
// Windows-1252 has no byte for is refused, never read with the character replaced; so is a
// file that begins with the byte order mark but is no UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace eixport {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The longest start of bytes that does not end inside a UTF-8 sequence, so that a file
// read in blocks is converted a whole character at a time.
size_t WholeUtf8Prefix(std::string_view bytes);

// Decides the encoding from the file's bytes, given in order in pieces of any size.
class TextEncodingScan {
 public:
  void Feed(std::string_view piece);
  // After the last piece.
  void Finish();

  // Read as UTF-8 (with its byte order mark skipped), else as Windows-1252.
  bool Utf8() const { return bom_ || (valid_ && beyondAscii_); }
  // Bytes of the byte order mark that start the file: 0 or 3.
  size_t BomLength() const { return bom_ ? kUtf8Bom.size() : 0; }
  // Why a file to be read as UTF-8 cannot be (Windows-1252, after the file's name): a line
  // with a character Windows-1252 has no byte for, or, after a byte order mark, a line that
  // is no UTF-8; empty when it can.
  std::string Refusal() const;

 private:
  void Consume(std::string_view piece);
  void Scan(std::string_view text);

  std::string start_;  // the first bytes, until the byte order mark is ruled in or out
  bool started_ = false;
  std::string carry_;  // a character cut at the end of the last piece
  bool bom_ = false;
  bool valid_ = true;
  bool beyondAscii_ = false;
  int invalidLine_ = 0;
  char32_t missing_ = 0;
  int missingLine_ = 0;
  int line_ = 1;
};

}  // namespace eixport
