// The exchange file ("IxportFile"): the one way the program writes and reads the text files
// it exchanges (account plans, verifications, HTML, XML and PDF exports, verification
// templates). It chooses the file through the file dialog (EfileDlg.h) or takes a name,
// writes and reads it line by line, converts text to and from the OEM code page through the
// bookkeeping's character-set hooks, counts lines, drives the progress window and says how
// it went on the status line.
//
// Lines are written ending in CR LF; reading takes CR LF and LF alike. A text file read is
// Windows-1252, or UTF-8 converted to it when the file is UTF-8 (Eixport_encoding.h): a
// UTF-8 file that Windows-1252 cannot hold does not open. A line read is at
// most kMaxLine characters: the rest of a longer one is skipped, never read as a line of its
// own, and LineCut() tells. Writes are buffered; the first that fails is remembered, every
// write after it returns false without writing, and Close then reports the failure instead
// of a count. A file left open when the program ends is written out and closed by the exit
// hook. Each IxportFile holds one file at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/ESmall_HandleStack.h"
#include "storage/BTFileIO.h"

namespace eixport {

constexpr size_t kMaxLine = 255;
constexpr size_t kMaxFileName = 1024;

enum class Mode { kCreate, kOpen };  // "C" writes a new (or emptied) file, "O" reads one

// The caption of the program's main window, which heads every written file ("; " +
// caption) but the document formats that cannot carry it.
void SetMainCaption(std::string caption);
const std::string& MainCaption();

// The text of field n (from 1) of a line whose fields are separated by separator: control
// characters (0..31 and 255) become blanks and the result is trimmed; empty when the line
// has fewer fields.
std::string Field(std::string_view line, char separator, int n);

// What a file holds: text lines, which a file written anew begins with the heading line
// unless its name is that of a document format; or a document of its own format (a table's
// HTML, PDF, JPEG or CSV), which never gets the heading, whatever it is named.
enum class Content { kText, kDocument };

class IxportFile {
 public:
  explicit IxportFile(Content content = Content::kText) : content_(content) {}
  ~IxportFile();  // a file still open is written out and closed, without a report
  IxportFile(const IxportFile&) = delete;
  IxportFile& operator=(const IxportFile&) = delete;

  // Chooses the file in the file dialog and opens it. pattern and defaultExt shape the
  // dialog (EFileDlgAction.h); it starts at fileName in dir, or at dir when fileName is
  // empty. On success fileName is the chosen file and dir its folder, so that the next
  // dialog starts there. progressKind > 0 opens the progress window of that kind, captioned
  // with the file's name. False when the dialog was cancelled or the file could not be
  // opened ("Kan ej öppna/skapa ixportfilen" on the status line).
  bool OpenWithDialog(esmall::WindowHandle owner, Mode mode, int progressKind, std::string_view pattern,
                      std::string_view defaultExt, std::string& dir, std::string& fileName);
  // Opens the named file: "IxportFile NAME öppen.." on the status line, or "Kan ej öppna
  // IxportFile:" with the name and the reason.
  bool OpenByName(esmall::WindowHandle owner, Mode mode, const std::string& name, int progressKind);

  // Each counts a line. WriteLine passes the text through the write hook and ends it with
  // CR LF; WriteRaw writes the bytes as they are, without a line end (a picture inside a
  // document); WriteCountedLine first adds the text's length + 1 to bytes.
  bool WriteLine(std::string_view text);
  bool WriteRaw(std::string_view bytes);
  bool WriteCountedLine(std::string_view text, int32_t& bytes);

  // The next line, through the read hook in a text file and as it is in a document, which
  // names its own code page; false at the end of the file or when it cannot be
  // read.
  bool ReadLine(std::string& text);
  // The last line read was longer than kMaxLine; its rest was skipped.
  bool LineCut() const { return lineCut_; }
  // Nothing more to read: the end of the file, a failed read, or no file open for reading.
  bool Eof();

  // Counts an exported item when success is set; a progress window shows "Export: " with the
  // count and the total ("Export:   12 [ 120]") and the item text.
  void ExportProgress(const std::string& item, bool success, int32_t total);

  struct Counts {
    int32_t lines = 0;
    int32_t exported = 0;
    bool failed = false;  // a write or read failed, the last write-out at the close included
  };
  // Writes out and closes the file, closes the progress window it opened and reports on the
  // status line "Import/export av" the lines and the seconds it took; a failed write or read
  // is shown as a warning instead. Also to be called after a failed open, whose reason then
  // stays on the status line.
  Counts Close();

  bool IsOpen() const { return file_.IsOpen(); }
  // A write or a read failed since the open.
  bool Failed() const { return failed_; }
  const std::string& FileName() const { return name_; }

  // The exit hook's work: every file still open written out and closed.
  static void CloseEveryFile();

 private:
  bool Open(esmall::WindowHandle owner, Mode mode, const std::string& name, int progressKind);
  void Reset();
  bool Append(std::string_view bytes);
  bool FlushOut();
  bool Fill();
  // Reads the whole file once to choose its encoding; false when it cannot be read or is
  // refused (refusal_ says why).
  bool ChooseEncoding(const std::string& name);
  // Writes out and closes the file.
  void Shut();
  // Shut, and the progress window and the stopwatch given up, without a report.
  void Abandon();
  void NoteFailure();

  isam::FileRec file_;
  Content content_;
  Mode mode_ = Mode::kOpen;
  std::string name_;
  Counts counts_;
  bool failed_ = false;
  bool openFailed_ = false;  // the dialog chose a file, or a name was given, that did not open
  std::string failure_;  // what failed, for the report
  std::string refusal_;  // why the file's text cannot be read, when that kept it from opening
  bool utf8_ = false;    // the text file is read as UTF-8
  bool progress_ = false;
  bool timing_ = false;
  bool lineCut_ = false;
  std::string buffer_;  // written lines not yet in the file, or bytes read not yet taken
  size_t taken_ = 0;     // of buffer_ when reading
  int64_t filePos_ = 0;  // where the next write or read goes in the file
  int64_t fileSize_ = 0;
};

}  // namespace eixport
