#include "exchange/Eixport.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include "bookkeeping/BFdefs_charset.h"
#include "common/Ansi.h"
#include "exchange/EFileDlgAction.h"
#include "exchange/Eixport_encoding.h"
#include "shell/ECountForm.h"
#include "shell/EMsgTxt.h"
#include "shell/ESmall.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "storage/Filer_error.h"

namespace eixport {

namespace {

// Bytes gathered before they go to the file, and read from it at a time.
constexpr size_t kBlock = 64 * 1024;

std::string& Caption() {
  static std::string caption;
  return caption;
}

// The documents whose format has no room for the program's "; " heading line.
bool TakesHeading(const std::string& name) {
  for (const char* ext : {".xml", ".css", ".xsl", ".htm", ".html", ".pdf"})
    if (esmall::EndsWithNoCase(name, ext)) return false;
  return true;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The reason of the file layer's last failure, in the words of the classic I/O error
// numbers where one fits.
std::string IoErrorText() {
  switch (isam::IsamError) {
    case isam::kErrFileNotFound: return emsgtxt::msgtext(2);
    case isam::kErrPathNotFound: return emsgtxt::msgtext(3);
    case isam::kErrTooManyFiles: return emsgtxt::msgtext(4);
    case isam::kErrAccessDenied: return emsgtxt::msgtext(5);
    case isam::kErrInvalidHandle: return emsgtxt::msgtext(6);
    case isam::kErrShortRead: return emsgtxt::msgtext(100);
    case isam::kErrShortWrite: return emsgtxt::msgtext(101);
    default: return emsgtxt::msgtext(isam::IsamError);
  }
}

std::string InFolder(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' || dir.back() == '\\' ? dir + name : dir + "/" + name;
}

// The files open now, for the exit hook.
std::vector<IxportFile*>& OpenFiles() {
  static std::vector<IxportFile*> files;
  return files;
}

void ExitHook() { IxportFile::CloseEveryFile(); }

void Register(IxportFile* file) {
  std::vector<IxportFile*>& files = OpenFiles();
  // Registered after the list exists, so that it runs before the list is destroyed.
  static const bool installed = (std::atexit(ExitHook), true);
  (void)installed;
  files.push_back(file);
}

void Unregister(IxportFile* file) { std::erase(OpenFiles(), file); }

}  // namespace

void SetMainCaption(std::string caption) { Caption() = std::move(caption); }

const std::string& MainCaption() { return Caption(); }

std::string Field(std::string_view line, char separator, int n) {
  if (n < 1) return "";
  size_t start = 0;
  for (int i = 1; i < n; ++i) {
    const size_t at = line.find(separator, start);
    if (at == std::string_view::npos) return "";
    start = at + 1;
  }
  std::string field(line.substr(start, line.find(separator, start) - start));
  for (char& c : field) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || u == 255) c = ' ';
  }
  const size_t first = field.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return field.substr(first, field.find_last_not_of(' ') - first + 1);
}

IxportFile::~IxportFile() { Abandon(); }

void IxportFile::Abandon() {
  Shut();
  if (progress_) ecountform::Close();
  if (timing_) etider::StopwatchStop();
  progress_ = timing_ = false;
}

void IxportFile::CloseEveryFile() {
  const std::vector<IxportFile*> open = OpenFiles();
  for (IxportFile* file : open) file->Shut();
}

void IxportFile::Reset() {
  name_.clear();
  openFailed_ = false;
  refusal_.clear();
  utf8_ = false;
  counts_ = {};
  failed_ = false;
  failure_.clear();
  lineCut_ = false;
  buffer_.clear();
  taken_ = 0;
  filePos_ = 0;
  fileSize_ = 0;
}

bool IxportFile::OpenWithDialog(esmall::WindowHandle owner, Mode mode, int progressKind, std::string_view pattern,
                                std::string_view defaultExt, std::string& dir, std::string& fileName) {
  Abandon();
  Reset();
  const std::string suggested = fileName.empty() ? dir : InFolder(dir, fileName);
  const std::optional<std::string> chosen =
      CurrentFileDialogs().Choose(DialogRequest(owner, mode == Mode::kCreate, pattern, defaultExt, suggested));
  if (!chosen) return false;
  fileName = *chosen;
  dir = FolderOf(*chosen);
  if (Open(owner, mode, *chosen, progressKind)) return true;
  openFailed_ = true;
  eerror::EMsg(1, refusal_.empty() ? A("Kan ej öppna/skapa ixportfilen ") + Quoted(*chosen) : refusal_);
  return false;
}

bool IxportFile::OpenByName(esmall::WindowHandle owner, Mode mode, const std::string& name, int progressKind) {
  Abandon();
  Reset();
  if (name.empty()) return false;
  if (!Open(owner, mode, name, progressKind)) {
    openFailed_ = true;
    eerror::EMsg(1, refusal_.empty() ? A("Kan ej öppna IxportFile: ") + Quoted(name) + " " + IoErrorText() : refusal_);
    return false;
  }
  eerror::EMsg(1, "IxportFile " + name + A(" öppen.."));
  return true;
}

bool IxportFile::Open(esmall::WindowHandle owner, Mode mode, const std::string& name, int progressKind) {
  isam::ClearError();
  if (name.size() > kMaxFileName) {
    isam::SetError(isam::kErrPathNotFound);
    return false;
  }
  const bool opened = mode == Mode::kCreate ? isam::CreateFile(file_, name) : isam::OpenFile(file_, name, true);
  if (!opened || (mode == Mode::kOpen && !isam::FileSize(file_, fileSize_)) ||
      (mode == Mode::kOpen && content_ == Content::kText && !ChooseEncoding(name))) {
    const isam::ErrorKeeper keep;
    isam::CloseFile(file_);
    return false;
  }
  name_ = name;
  mode_ = mode;
  Register(this);
  etider::StopwatchStart();
  timing_ = true;
  if (progressKind > 0) {
    ecountform::Open(owner, true, progressKind, name);
    progress_ = true;
  }
  if (mode == Mode::kCreate && content_ == Content::kText && TakesHeading(name)) Append(bf::WriteHook("; " + MainCaption()) + "\r\n");
  return true;
}

bool IxportFile::ChooseEncoding(const std::string& name) {
  TextEncodingScan scan;
  std::string block;
  for (int64_t pos = 0; pos < fileSize_; pos += static_cast<int64_t>(block.size())) {
    block.resize(static_cast<size_t>(std::min<int64_t>(kBlock, fileSize_ - pos)));
    if (!isam::ReadAt(file_, pos, static_cast<int64_t>(block.size()), block.data())) return false;
    scan.Feed(block);
  }
  scan.Finish();
  refusal_ = scan.Refusal();
  if (!refusal_.empty()) {
    refusal_ = A("Kan ej läsa ixportfilen ") + Quoted(name) + refusal_;
    return false;
  }
  utf8_ = scan.Utf8();
  filePos_ = static_cast<int64_t>(scan.BomLength());
  return true;
}

void IxportFile::NoteFailure() {
  if (failed_) return;
  failed_ = true;
  failure_ = (mode_ == Mode::kCreate ? A("Kan ej skriva ixportfilen ") : A("Kan ej läsa ixportfilen ")) +
             Quoted(name_) + " " + IoErrorText();
}

bool IxportFile::FlushOut() {
  if (buffer_.empty() || failed_) return !failed_;
  isam::ClearError();
  if (!isam::WriteAt(file_, filePos_, static_cast<int64_t>(buffer_.size()), buffer_.data())) {
    NoteFailure();
    buffer_.clear();
    return false;
  }
  filePos_ += static_cast<int64_t>(buffer_.size());
  buffer_.clear();
  return true;
}

bool IxportFile::Append(std::string_view bytes) {
  if (!IsOpen() || mode_ != Mode::kCreate || failed_) return false;
  buffer_ += bytes;
  return buffer_.size() < kBlock || FlushOut();
}

bool IxportFile::WriteLine(std::string_view text) {
  if (!Append(bf::WriteHook(text) + "\r\n")) return false;
  ++counts_.lines;
  return true;
}

bool IxportFile::WriteRaw(std::string_view bytes) {
  if (!Append(bytes)) return false;
  ++counts_.lines;
  return true;
}

bool IxportFile::WriteCountedLine(std::string_view text, int32_t& bytes) {
  bytes += static_cast<int32_t>(text.size()) + 1;
  return WriteLine(text);
}

bool IxportFile::Fill() {
  buffer_.clear();
  taken_ = 0;
  if (!IsOpen() || mode_ != Mode::kOpen || failed_ || filePos_ >= fileSize_) return false;
  const int64_t n = std::min<int64_t>(kBlock, fileSize_ - filePos_);
  buffer_.resize(static_cast<size_t>(n));
  isam::ClearError();
  if (!isam::ReadAt(file_, filePos_, n, buffer_.data())) {
    buffer_.clear();
    NoteFailure();
    return false;
  }
  if (utf8_) {
    // Whole characters only; one cut by the block's end starts the next block.
    if (filePos_ + n < fileSize_) buffer_.resize(WholeUtf8Prefix(buffer_));
    std::string text;
    char32_t missing = 0;
    if (buffer_.empty() || !ansi::FromUtf8Exact(buffer_, text, missing)) {  // checked at the open
      buffer_.clear();
      NoteFailure();
      return false;
    }
    filePos_ += static_cast<int64_t>(buffer_.size());
    buffer_ = std::move(text);
    return true;
  }
  filePos_ += n;
  return true;
}

bool IxportFile::ReadLine(std::string& text) {
  lineCut_ = false;
  std::string head;  // the line's first characters, one more than a line holds and its CR
  size_t length = 0;
  bool any = false;
  while (taken_ < buffer_.size() || Fill()) {
    any = true;
    const size_t lf = buffer_.find('\n', taken_);
    const size_t end = lf == std::string::npos ? buffer_.size() : lf;
    const size_t room = kMaxLine + 2 - std::min(head.size(), kMaxLine + 2);
    head.append(buffer_, taken_, std::min(room, end - taken_));
    length += end - taken_;
    taken_ = lf == std::string::npos ? end : lf + 1;
    if (lf != std::string::npos) break;
  }
  if (!any) return false;
  if (length > 0 && length <= head.size() && head[length - 1] == '\r') --length;
  lineCut_ = length > kMaxLine;
  const std::string_view read = std::string_view(head).substr(0, std::min(length, kMaxLine));
  text = content_ == Content::kText ? bf::ReadHook(read) : std::string(read);
  ++counts_.lines;
  return true;
}

bool IxportFile::Eof() {
  if (!IsOpen() || mode_ != Mode::kOpen || failed_) return true;
  return taken_ >= buffer_.size() && filePos_ >= fileSize_;
}

void IxportFile::ExportProgress(const std::string& item, bool success, int32_t total) {
  if (success) ++counts_.exported;
  if (!progress_) return;
  ecountform::Line(2, "Export: " + esmall::BlankPadded(counts_.exported, 4) + " [" + esmall::BlankPadded(total, 4) + "]");
  ecountform::Line(3, bf::WriteHook(item));
}

void IxportFile::Shut() {
  if (!IsOpen()) return;
  if (mode_ == Mode::kCreate) FlushOut();
  const isam::ErrorKeeper keep;
  isam::CloseFile(file_);
  Unregister(this);
}

IxportFile::Counts IxportFile::Close() {
  Counts counts = counts_;
  Shut();
  counts.failed = failed_;
  if (progress_) ecountform::Close();
  progress_ = false;
  const std::string seconds = timing_ ? etider::StopwatchStop() : "0";
  timing_ = false;
  if (failed_) {
    eerror::EMsg(eerror::kCommonWarning, failure_);
  } else if (!openFailed_) {  // a failed open's reason stays on the status line
    eerror::EMsg(1, "Import/export av " + esmall::BlankPadded(counts.lines, 4) + " rader " +
                        esmall::BlankPadded(std::strtol(seconds.c_str(), nullptr, 10), 4));
  }
  Reset();
  return counts;
}

}  // namespace eixport
