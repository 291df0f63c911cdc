#include "storage/ReIndex.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <new>

#include "storage/BTFileIO.h"
#include "storage/BTIsBase.h"
#include "storage/BufRecIO.h"
#include "storage/Filer_error.h"

namespace isam {

namespace {

constexpr int32_t kMaxReorgLength = 65535;

// The data file's header agrees with the file: a whole number of records, HighRecord the
// last of them, and FirstFree none or a slot that holds a link.
bool DataFileSound(const std::string& datName, Header& h) {
  FileRec dat;
  if (!OpenFile(dat, datName)) return false;
  int64_t size = 0;
  unsigned char bytes[kDataHeaderBytes];
  bool ok = FileSize(dat, size) && size >= kDataHeaderBytes && ReadAt(dat, 0, kDataHeaderBytes, bytes);
  if (ok) {
    h = DecodeDataHeader(bytes);
    ok = h.length > 0 && size % h.length == 0 && size / h.length - 1 == h.high;
    if (ok && h.firstFree != -1) {
      unsigned char link[4] = {};
      ok = h.firstFree >= 1 && h.firstFree <= h.high &&
           ReadAt(dat, static_cast<int64_t>(h.firstFree) * h.length, 4, link) && Get32(link) != 0;
    }
  }
  CloseFile(dat);
  ClearError();
  if (!ok) SetError(10215);
  return ok;
}

bool ResetDataHeader(const std::string& datName, uint16_t indexCount) {
  FileRec dat;
  if (!OpenFile(dat, datName)) return false;
  unsigned char count[4];
  Put32(count, indexCount);
  const unsigned char zero = 0;
  const bool ok = WriteAt(dat, 16, 4, count) && WriteAt(dat, 20, 1, &zero) && Flush(dat);
  return CloseFile(dat) && ok;
}

// Sets OpenFlag of a closed data file, so OpenFileBlock refuses it (10010).
bool MarkNotClosed(const std::string& datName) {
  FileRec dat;
  const unsigned char one = 1;
  const bool ok = OpenFile(dat, datName) && WriteAt(dat, 20, 1, &one) && Flush(dat);
  return CloseFile(dat) && ok;
}

// Closes fb; when the close cannot write, the fileblock is let go without writing more
// rather than kept open, so a new ReIndex can run.
void LetGo(FileBlock*& fb) {
  CloseFileBlock(fb);
  if (!fb) return;
  DropFileBlockPages(*fb);
  fb->headerChanged = false;
  for (Index& d : fb->idx) d.changed = false;
  CloseFileBlock(fb);
}

// The dump log, made on the first duplicate of a run; its failures become 9500 + errno.
class DumpLog {
 public:
  explicit DumpLog(std::string path) : path_(std::move(path)) {}
  ~DumpLog() { Close(); }
  bool Write(const std::string& text) {
    if (fd_ < 0) {
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
      if (fd_ < 0) return Failed(errno);
    }
    for (size_t done = 0; done < text.size();) {
      const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return Failed(n < 0 ? errno : ENOSPC);
      done += static_cast<size_t>(n);
    }
    return true;
  }
  bool Close() {
    if (fd_ < 0) return true;
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0 || Failed(errno);
  }

 private:
  bool Failed(int err) {
    SetOsError(9500 + err, err);
    return false;
  }
  std::string path_;
  int fd_ = -1;
};

std::string CutKey(std::string key) { return key.size() > kMaxKeyLength ? key.substr(0, kMaxKeyLength) : key; }

}  // namespace

void ReIndex(const std::string& fullName, uint16_t indexCount, std::span<const IndexDescription> indexes,
             const KeyFunction& keyOf, bool deleteDuplicates) {
  ClearError();
  const std::string name = fullName.substr(0, kMaxNameLength);
  const std::string datName = FileBlockFileName(name, FileKind::Data);
  Header h;
  if (!DataFileSound(datName, h)) return;
  if (h.length > kMaxReorgLength) {
    SetError(10412);
    return;
  }
  if (indexCount > kMaxIndexes) {
    SetError(10050);
    return;
  }
  for (int k = 1; k <= indexCount; ++k) {
    const int keyLength = k <= static_cast<int>(indexes.size()) ? indexes[k - 1].keyLength : 0;
    if (keyLength < 1 || keyLength > kMaxKeyLength) {
      SetError(10055);  // before anything is touched
      return;
    }
  }
  // From before the old index file goes until every index is whole, the data file says it
  // was not closed properly, so a run cut off or failed half-way is never opened with
  // indexes that lack keys (10010); a new ReIndex mends it.
  if (!MarkNotClosed(datName)) return;
  FileBlock* fb = nullptr;
  if (CreateEmptyIndexFile(name, indexCount, indexes) && ResetDataHeader(datName, indexCount))
    OpenFileBlock(fb, name, false);
  if (!fb) {
    const ErrorKeeper keep;
    MarkNotClosed(datName);
    return;
  }
  NoteHeaderChange(*fb, 0);

  DumpLog log(ResolvePath(FileBlockFileName(name, FileKind::DumpLog)));
  RecordReader reader(fb->dat, h.length);
  std::unique_ptr<unsigned char[]> record(new (std::nothrow) unsigned char[static_cast<size_t>(h.length)]);
  while (!record && reader.Shrink())
    record.reset(new (std::nothrow) unsigned char[static_cast<size_t>(h.length)]);
  if (!record) SetError(10411);
  bool ok = IsamSuccess;
  for (int k = 1; ok && k <= indexCount; ++k) {
    reader.Reset();
    int32_t r = 0;
    while (ok && reader.Next(record.get(), r)) {
      if (Get32(record.get()) != 0) continue;  // a deleted slot
      std::string key;
      keyOf(key, record.get(), k);
      if (!IsamSuccess) {
        ClearError();
        SetError(10470);
        ok = false;
        break;
      }
      key = CutKey(key);
      AddKey(fb, k, r, key);
      if (IsamSuccess) continue;
      if (IsamError != 10230) {
        ok = false;
        break;
      }
      ClearError();
      std::string lines = "Key:<" + key + "> KeyNr: " + std::to_string(k) + " Ref: " + std::to_string(r) +
                          " not added\r\n";
      if (deleteDuplicates) lines += "Data record deleted - Dump follows\r\n\r\n\r\n";
      if (!log.Write(lines)) {
        ok = false;
        break;
      }
      if (!deleteDuplicates) continue;
      for (int j = 1; j < k; ++j) {
        std::string earlier;
        keyOf(earlier, record.get(), j);
        DeleteKey(fb, j, r, CutKey(earlier));
      }
      // Its link in the file makes the passes for later indexes skip it.
      DeleteRec(fb, r);
      ClearError();
    }
    ok = ok && IsamSuccess;
  }
  if (ok && log.Close()) {
    CloseFileBlock(fb);
    if (!fb) return;
  }
  // The index file is left as far as it was built.
  const ErrorKeeper keep;
  log.Close();
  LetGo(fb);
  MarkNotClosed(datName);
}

}  // namespace isam
