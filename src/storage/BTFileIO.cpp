#include "storage/BTFileIO.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "common/Ansi.h"
#include "storage/BTFileIO_ring.h"
#include "storage/BTFileIO_seam.h"
#include "storage/Filer.h"
#include "storage/SideThread.h"

namespace isam {
namespace {

// Every system call that changes or reads a file passes the test seam first, in test builds.
bool Seam([[maybe_unused]] seam::Op op, [[maybe_unused]] const FileRec& f,
          [[maybe_unused]] int64_t pos, [[maybe_unused]] int64_t& len,
          [[maybe_unused]] const void* data = nullptr) {
#ifdef BFN_FILE_SEAM
  return seam::Pass(op, f.name, pos, len, data);
#else
  return true;
#endif
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

std::string ParentOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A file made, renamed or removed is only sure to stay so after a power cut once its folder
// is flushed too. Some file systems cannot flush a folder; their names then last as long as
// the system keeps them, which is all there is to have.
void SyncFolderOf(const std::string& path) {
  const int fd = ::open(ParentOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// ENOENT means a missing folder when the parent is not there.
bool FolderMissing(const std::string& path, int err) {
  if (err == ENOTDIR) return true;
  if (err != ENOENT) return false;
  struct stat st;
  return ::stat(ParentOf(path).c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
}

// Errors of calls on an open handle.
bool HandleFailure(int err) {
  SetOsError(err == EBADF ? kErrInvalidHandle : kErrSystemFailure, err);
  return false;
}

bool OpenFailure(const std::string& path, int err) {
  int32_t e = kErrSystemFailure;
  if (FolderMissing(path, err)) e = kErrPathNotFound;
  else if (err == ENOENT) e = kErrFileNotFound;
  else if (err == EMFILE || err == ENFILE) e = kErrTooManyFiles;
  else if (err == EACCES || err == EPERM || err == EROFS) e = kErrAccessDenied;
  SetOsError(e, err);
  return false;
}

bool CreateFailure(const std::string& path, int err) {
  int32_t e = kErrSystemFailure;
  if (FolderMissing(path, err)) e = kErrPathNotFound;
  else if (err == EMFILE || err == ENFILE) e = kErrTooManyFiles;
  else if (err == EACCES || err == EPERM || err == EROFS) e = kErrAccessDenied;
  SetOsError(e, err);
  return false;
}

bool RemoveFailure(const std::string& path, int err) {
  int32_t e = kErrSystemFailure;
  if (FolderMissing(path, err)) e = kErrPathNotFound;
  else if (err == ENOENT) e = kErrFileNotFound;
  SetOsError(e, err);
  return false;
}

bool PositionOk(int64_t pos, int64_t len) {
  if (pos >= 0 && len >= 0 && pos + len <= kMaxFilePosition + 1) return true;
  SetOsError(kErrSystemFailure, EFBIG);
  return false;
}

// Letter case as Windows folds it for Windows-1252 names.
unsigned char FoldCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

bool SameIgnoringCase(const std::string& utf8a, const std::string& utf8b) {
  const std::string a = ansi::FromUtf8(utf8a), b = ansi::FromUtf8(utf8b);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The entry of folder whose name equals part but for letter case, or part itself.
std::string MatchInFolder(const std::string& folder, const std::string& part) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return part;
  std::string found = part;
  while (dirent* e = ::readdir(dir)) {
    if (SameIgnoringCase(e->d_name, part)) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

// Opens (creating when asked) and takes the lock that keeps every other open out: for
// reading only a shared one, which other readers may hold too.
int OpenLocked(const std::string& path, int flags, bool readOnly = false) {
  const int fd = ::open(path.c_str(), flags | (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  if (::flock(fd, (readOnly ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    errno = err;
    return -1;
  }
  return fd;
}

// Reads until len bytes are in or the file ends; the bytes read, with err the errno of a
// failing call (0 when none failed).
int64_t ReadWhole(int fd, int64_t pos, int64_t len, void* buffer, int& err) {
  int64_t done = 0;
  err = 0;
  while (done < len) {
    const ssize_t n = ::pread(fd, static_cast<char*>(buffer) + done, len - done, pos + done);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

}  // namespace

std::string FileBlockFileName(const std::string& fullName, FileKind kind) {
  const std::string name = fullName.substr(0, kMaxNameLength);
  const auto semi = name.find(';');
  std::string part = name;
  if (semi != std::string::npos) {
    if (kind == FileKind::Index) {
      part = name.substr(semi + 1);
      part = part.substr(0, part.find(';'));
    } else {
      part = name.substr(0, semi);
    }
  }
  static const char* const kExtensions[] = {"DAT", "IX", "DIA", "SAV", "MSG"};
  const char* ext = kExtensions[static_cast<int>(kind)];
  const auto dot = part.find_last_of('.');
  if (dot != std::string::npos && part.find_first_of("\\/", dot) == std::string::npos)
    return part.substr(0, dot + 1) + ext;
  return part + "." + ext;
}

std::string ResolvePath(const std::string& name) {
  std::string path = ansi::ToUtf8(name);
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.empty() || Exists(path)) return path;
  std::string resolved = path[0] == '/' ? "/" : "";
  size_t start = 0;
  bool searching = true;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (!part.empty()) {
      std::string next = part;
      if (searching && !Exists(resolved + part)) {
        next = MatchInFolder(resolved, part);
        searching = next != part;  // below a folder that is not there, nothing can match
      }
      resolved += next;
      if (end < path.size()) resolved += '/';
    }
    start = end + 1;
  }
  return resolved;
}

bool OpenFile(FileRec& f, const std::string& name, bool readOnly) {
  const std::string path = ResolvePath(name);
  const int fd = OpenLocked(path, 0, readOnly);
  if (fd < 0) return OpenFailure(path, errno);
  f.fd = fd;
  f.name = name;
  f.pos = 0;
  return true;
}

bool CreateFile(FileRec& f, const std::string& name) {
  const std::string path = ResolvePath(name);
  const int fd = OpenLocked(path, O_CREAT);
  if (fd < 0) return CreateFailure(path, errno);
  f.fd = fd;
  f.name = name;
  f.pos = 0;
  // Emptied only once the lock is ours, so a file in use elsewhere is never cut.
  int64_t len = 0;
  if (!Seam(seam::Op::Truncate, f, 0, len) || ::ftruncate(fd, 0) != 0) {
    const int err = errno;
    CloseFile(f);
    return CreateFailure(path, err);
  }
  SyncFolderOf(path);
  return true;
}

bool CloseFile(FileRec& f) {
  if (f.fd < 0) return true;
  const int rc = ::close(f.fd);
  f.fd = -1;
  if (rc != 0) return HandleFailure(errno);
  return true;
}

bool ReadAt(FileRec& f, int64_t pos, int64_t len, void* buffer) {
  if (!PositionOk(pos, len)) return false;
  if (!Seam(seam::Op::Read, f, pos, len)) return HandleFailure(errno);
  int err = 0;
  const int64_t done = ReadWhole(f.fd, pos, len, buffer, err);
  if (err != 0) return HandleFailure(err);
  f.pos = pos + done;
  if (done < len) {
    SetError(kErrShortRead);
    return false;
  }
  return true;
}

void ReadPieces(FileRec& f, std::span<ReadPiece> pieces) {
  std::vector<ring::Read> reads;
  std::vector<ReadPiece*> of;
  reads.reserve(pieces.size());
  of.reserve(pieces.size());
  for (ReadPiece& p : pieces) {
    p.done = false;
    int64_t len = p.len;
    if (p.pos < 0 || p.pos + len > kMaxFilePosition + 1 || !Seam(seam::Op::Read, f, p.pos, len)) continue;
    reads.push_back({p.pos, p.len, p.buffer, 0});
    of.push_back(&p);
  }
  const bool batched = ring::ReadAll(f.fd, reads);
  for (size_t i = 0; i < reads.size(); ++i) {
    ReadPiece& p = *of[i];
    p.done = batched && reads[i].result == static_cast<int32_t>(p.len);
    int err = 0;  // what the batch did not bring is read on its own
    if (!p.done) p.done = ReadWhole(f.fd, p.pos, p.len, p.buffer, err) == p.len && err == 0;
  }
}

bool WriteAt(FileRec& f, int64_t pos, int64_t len, const void* data) {
  if (!PositionOk(pos, len)) return false;
  if (len == 0) {
    if (!Seam(seam::Op::Truncate, f, pos, len) || ::ftruncate(f.fd, pos) != 0)
      return HandleFailure(errno);
    f.pos = pos;
    return true;
  }
  const int64_t asked = len;
  if (!Seam(seam::Op::Write, f, pos, len, data)) return HandleFailure(errno);
  int64_t done = 0;
  while (done < len) {
    const ssize_t n = ::pwrite(f.fd, static_cast<const char*>(data) + done, len - done, pos + done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == ENOSPC || errno == EDQUOT) break;  // a full disk is a short write
      return HandleFailure(errno);
    }
    if (n == 0) break;
    done += n;
  }
  f.pos = pos + done;
  if (done < asked) {
    SetOsError(kErrShortWrite, done < len ? errno : 0);
    return false;
  }
  return true;
}

bool WriteZeros(FileRec& f, int64_t pos, int64_t len) {
  constexpr int64_t kPiece = 1024;
  if (len > kPiece) {
    std::unique_ptr<char[]> whole(new (std::nothrow) char[len]());
    if (whole) return WriteAt(f, pos, len, whole.get());
  }
  static const char zeros[kPiece] = {};
  while (len > 0) {
    const int64_t n = len < kPiece ? len : kPiece;
    if (!WriteAt(f, pos, n, zeros)) return false;
    pos += n;
    len -= n;
  }
  return true;
}

bool FileSize(FileRec& f, int64_t& size) {
  struct stat st;
  if (::fstat(f.fd, &st) != 0) return HandleFailure(errno);
  size = st.st_size;
  f.pos = size;
  return true;
}

// fdatasync is as safe as fsync here: it also makes a changed file size durable, and only
// leaves out times the engine never reads.
bool Flush(FileRec& f) {
  int64_t len = 0;
  if (!Seam(seam::Op::Flush, f, 0, len) || ::fdatasync(f.fd) != 0) return HandleFailure(errno);
  return true;
}

bool DeleteFile(const std::string& name) {
  const std::string path = ResolvePath(name);
  if (::unlink(path.c_str()) != 0) return RemoveFailure(path, errno);
  SyncFolderOf(path);
  return true;
}

// The name goes at once, with its folder flushed; what takes the time is the system taking
// the file's pages and blocks apart when its last descriptor closes, and that close is left
// to the thread, where it holds no lock the caller's next steps in the folder would wait on.
void FileRemoval::Start(const std::string& name) {
  Wait();
  const std::string path = ResolvePath(name);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  error_ = ::unlink(path.c_str()) == 0 ? 0 : errno;
  if (error_ == 0) SyncFolderOf(path);
  if (fd < 0) return;
  thread_ = ThreadIfAny([fd] { ::close(fd); });
  if (!thread_.joinable()) ::close(fd);  // no thread to be had: taken apart here and now
}

bool FileRemoval::Wait() {
  if (thread_.joinable()) thread_.join();
  return error_ == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
  const std::string src = ResolvePath(from);
  const std::string dst = ResolvePath(to);
  FileRec named;
  named.name = from;
  int64_t none = 0;
  if (!Seam(seam::Op::Rename, named, 0, none) || ::rename(src.c_str(), dst.c_str()) != 0)
    return RemoveFailure(src, errno);
  SyncFolderOf(dst);
  if (ParentOf(src) != ParentOf(dst)) SyncFolderOf(src);
  return true;
}

bool CopyFile(const std::string& from, const std::string& to, bool deleteSource) {
  FileRec src, dst;
  if (!OpenFile(src, from)) return false;
  int64_t size = 0;
  bool ok = FileSize(src, size) && CreateFile(dst, to);
  std::unique_ptr<char[]> buffer(new char[1 << 16]);
  for (int64_t pos = 0; ok && pos < size; pos += 1 << 16) {
    const int64_t n = size - pos < (1 << 16) ? size - pos : (1 << 16);
    ok = ReadAt(src, pos, n, buffer.get()) && WriteAt(dst, pos, n, buffer.get());
  }
  ok = ok && Flush(dst);
  CloseFile(src);
  ok = CloseFile(dst) && ok;
  if (!ok) {
    SetError(kErrShortWrite);
    return false;
  }
  return !deleteSource || DeleteFile(from);
}

bool FileExists(const std::string& name) { return Exists(ResolvePath(name)); }

}  // namespace isam
