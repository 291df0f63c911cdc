// The file layer under the fileblocks: names of the three files, exclusive opening, positioned
// reads and writes, truncation, flush, delete, rename, copy, with every system failure mapped
// to an engine error number in the error state (Filer_error.h).
//
// Names are Windows-1252 byte strings as the engine keeps them; here they become Linux paths
// (UTF-8, '\' and '/' both separators, an existing file found whatever its letter case).
// Every open takes an exclusive flock, so a file is in use by one open at a time, in this
// process or any other; a second open is refused as kErrSystemFailure (IsamDosError
// EWOULDBLOCK). An open for reading only takes a shared flock instead: readers share a file, and a reader
// and an open for writing keep each other out the same way.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <thread>

namespace isam {

// Positions stay below 2^31, as in the stored format.
constexpr int64_t kMaxFilePosition = 0x7FFFFFFF;

enum class FileKind { Data, Index, Journal, Saved, DumpLog };

// The file name of one file of a fileblock name: the 192-character cut, the semicolon parts
// (data;index) and the extension rule.
std::string FileBlockFileName(const std::string& name, FileKind kind);

// The Linux path of an engine name: '\' becomes '/', and a component that does not exist as
// written is replaced by an existing one that differs only in letter case.
std::string ResolvePath(const std::string& name);

// One open file. fd is -1 when closed; pos is where the last access ended.
struct FileRec {
  int fd = -1;
  std::string name;  // as composed, Windows-1252
  int64_t pos = 0;
  bool IsOpen() const { return fd >= 0; }
};

bool OpenFile(FileRec& f, const std::string& name, bool readOnly = false);
bool CreateFile(FileRec& f, const std::string& name);  // creates or empties
bool CloseFile(FileRec& f);
bool ReadAt(FileRec& f, int64_t pos, int64_t len, void* buffer);

// One piece of a batch read; `done` tells whether it was read whole.
struct ReadPiece {
  int64_t pos = 0;
  uint32_t len = 0;
  void* buffer = nullptr;
  bool done = false;
};
// Reads the pieces with as few system calls as the system allows (one batch through an
// io_uring where there is one). Leaves the error state alone: it serves reading ahead, and
// whoever then needs a piece that is not done reads it on their own and meets its error.
void ReadPieces(FileRec& f, std::span<ReadPiece> pieces);
// A length of 0 truncates the file at pos.
bool WriteAt(FileRec& f, int64_t pos, int64_t len, const void* data);
inline bool ReadNext(FileRec& f, int64_t len, void* buffer) { return ReadAt(f, f.pos, len, buffer); }
inline bool WriteNext(FileRec& f, int64_t len, const void* data) { return WriteAt(f, f.pos, len, data); }
bool WriteZeros(FileRec& f, int64_t pos, int64_t len);
bool FileSize(FileRec& f, int64_t& size);
bool Flush(FileRec& f);

bool DeleteFile(const std::string& name);

// The removal of a file run beside the caller's work: taking a large file apart keeps the
// system busy a while, and the reorganisation lets its saved copy go while it builds the
// indexes. Wait (or the end of the object) waits for it and tells whether the file is gone;
// the error state is left alone.
class FileRemoval {
 public:
  FileRemoval() = default;
  ~FileRemoval() { Wait(); }
  FileRemoval(const FileRemoval&) = delete;
  FileRemoval& operator=(const FileRemoval&) = delete;

  void Start(const std::string& name);
  bool Wait();

 private:
  int error_ = 0;
  std::thread thread_;
};
bool RenameFile(const std::string& from, const std::string& to);
bool CopyFile(const std::string& from, const std::string& to, bool deleteSource);
bool FileExists(const std::string& name);

}  // namespace isam
