#include "storage/ReIndex.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <new>
#include <vector>

#include "storage/BTFileIO.h"
#include "storage/BTIsBase.h"
#include "storage/BufRecIO.h"
#include "storage/Filer_error.h"
#include "storage/ReIndex_sorted.h"

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
  if (!ok) SetError(kErrBadDataHeader);
  return ok;
}

// The index count of a data file marked not closed; the mark stays.
bool SetIndexCount(const std::string& datName, uint16_t indexCount) {
  FileRec dat;
  if (!OpenFile(dat, datName)) return false;
  unsigned char count[4];
  Put32(count, indexCount);
  const bool ok = WriteAt(dat, 16, 4, count) && Flush(dat);
  return CloseFile(dat) && ok;
}

// Sets OpenFlag of a closed data file, so OpenFileBlock refuses it (kErrOpenRefused).
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

// The dump log, made on the first duplicate of a run; its failures become kErrDumpLogBase + errno.
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
    SetOsError(kErrDumpLogBase + err, err);
    return false;
  }
  std::string path_;
  int fd_ = -1;
};

void CutKey(std::string& key) {
  if (key.size() > kMaxKeyLength) key.resize(kMaxKeyLength);
}

// The passes over the data file, one an index: each collects the index's keys (or takes them
// as gathered) and builds the tree from them sorted, or, when the memory for them cannot be
// had, inserts them one at a time. Either way a key refused as a duplicate is met in record
// order, the lowest record number of equal keys staying.
class Rebuild {
 public:
  Rebuild(FileBlock& fb, int32_t length, const KeyFunction& keyOf, bool deleteDuplicates, DumpLog& log,
          GatheredKeys* gathered)
      : fb_(fb), keyOf_(keyOf), deleteDuplicates_(deleteDuplicates), log_(log), gathered_(gathered),
        reader_(fb.dat, length) {
    record_.reset(new (std::nothrow) unsigned char[static_cast<size_t>(length)]);
    while (!record_ && reader_.Shrink()) record_.reset(new (std::nothrow) unsigned char[static_cast<size_t>(length)]);
    if (!record_) SetError(kErrNoBufferMemory);
  }

  bool Build(int k) {
    if (const int error = gathered_ ? gathered_->Refused(k) : 0) {
      SetError(error);
      return false;
    }
    if (IndexKeys* keys = gathered_ ? gathered_->For(k) : nullptr) {
      // Records deleted as duplicates of an earlier index are not in this one.
      if (!deleted_.empty()) keys->Drop([this](uint32_t r) { return r < deleted_.size() && deleted_[r]; });
      return SortedBuild(k, *keys);
    }
    reader_.Reset();
    IndexKeys keys;
    return Reserve(keys, k) ? ReadKeys(k, keys) && SortedBuild(k, keys) : InsertPass(k);
  }

 private:
  // Room for a key of every record, within the limit.
  bool Reserve(IndexKeys& keys, int k) const {
    return keys.Reserve(std::max<int32_t>(0, fb_.idx[0].h.high), fb_.idx[k].keyLength);
  }

  // The next live record's key for index k, cut to 30 characters; nullptr at the end or on a
  // failure (IsamSuccess tells which), else the record.
  const unsigned char* NextKey(int k, std::string& key, int32_t& r) {
    while (const unsigned char* record = reader_.Next(record_.get(), r)) {
      if (Get32(record) != 0) continue;  // a deleted slot
      keyOf_(key, record, k);
      if (!IsamSuccess) {
        ClearError();
        SetError(kErrKeyFunctionStopped);
        return nullptr;
      }
      CutKey(key);
      return record;
    }
    return nullptr;
  }

  bool InsertPass(int k) {
    std::string key;
    int32_t r = 0;
    while (const unsigned char* record = NextKey(k, key, r)) {
      AddKey(&fb_, k, r, key);
      if (IsamSuccess) continue;
      if (IsamError != kErrKeyExists) return false;
      ClearError();
      if (!Duplicate(k, r, key, record)) return false;
    }
    return IsamSuccess;
  }

  bool ReadKeys(int k, IndexKeys& keys) {
    const int keyLength = fb_.idx[k].keyLength;
    std::string key;
    int32_t r = 0;
    while (NextKey(k, key, r)) {
      if (static_cast<int>(key.size()) > keyLength) {
        SetError(kErrKeyTooLong);  // as AddKey refuses it
        return false;
      }
      if (keys.Full()) {
        SetError(kErrBadDataHeader);  // more records than the header says
        return false;
      }
      keys.Add(key, static_cast<uint32_t>(r));
    }
    return IsamSuccess;
  }

  bool SortedBuild(int k, IndexKeys& keys) {
    keys.Sort();
    if (fb_.idx[k].h.allowDuplicates == 0) {
      for (const IndexKeys::Taken& e : keys.TakeDuplicates()) {
        const int32_t rec = static_cast<int32_t>(e.rec);
        if (deleteDuplicates_ && k > 1) {
          GetRec(&fb_, rec, record_.get());  // for its keys in the earlier indexes
          if (!IsamSuccess) return false;
        }
        if (!Duplicate(k, rec, e.key, record_.get())) return false;
      }
    }
    return WriteSortedIndex(fb_, k, keys);
  }

  // Record r's key was refused by index k: it goes to the dump log and, when duplicates are
  // deleted, the record goes with its keys in the earlier indexes. false when the log
  // cannot be written.
  bool Duplicate(int k, int32_t r, const std::string& key, const unsigned char* record) {
    std::string lines =
        "Key:<" + key + "> KeyNr: " + std::to_string(k) + " Ref: " + std::to_string(r) + " not added\r\n";
    if (deleteDuplicates_) lines += "Data record deleted - Dump follows\r\n\r\n\r\n";
    if (!log_.Write(lines)) return false;
    if (!deleteDuplicates_) return true;
    for (int j = 1; j < k; ++j) {
      std::string earlier;
      keyOf_(earlier, record, j);
      CutKey(earlier);
      DeleteKey(&fb_, j, r, earlier);
    }
    // Its link in the file makes the passes for later indexes skip it.
    DeleteRec(&fb_, r);
    ClearError();
    if (gathered_) {
      if (deleted_.size() <= static_cast<size_t>(r)) deleted_.resize(static_cast<size_t>(fb_.idx[0].h.high) + 1);
      deleted_[static_cast<size_t>(r)] = true;
    }
    return true;
  }

  FileBlock& fb_;
  const KeyFunction& keyOf_;
  bool deleteDuplicates_;
  DumpLog& log_;
  GatheredKeys* gathered_;
  std::vector<bool> deleted_;  // records deleted, for the gathered keys of later indexes
  RecordReader reader_;
  std::unique_ptr<unsigned char[]> record_;
};

}  // namespace

GatheredKeys::GatheredKeys(uint16_t indexCount, std::span<const IndexDescription> indexes, const KeyFunction& keyOf)
    : keyOf_(keyOf) {
  for (int k = 0; k < indexCount && k < static_cast<int>(indexes.size()); ++k)
    keyLengths_.push_back(indexes[static_cast<size_t>(k)].keyLength);
  if (keyLengths_.size() != indexCount) keyLengths_.clear();  // ReIndex refuses the call
}

GatheredKeys::~GatheredKeys() = default;

void GatheredKeys::Reserve(int64_t records) {
  bool ok = !keyLengths_.empty();
  for (size_t k = 0; ok && k < keyLengths_.size(); ++k) {
    keys_.push_back(std::make_unique<IndexKeys>());
    ok = keyLengths_[k] >= 1 && keyLengths_[k] <= kMaxKeyLength && keys_.back()->Reserve(records, keyLengths_[k]);
  }
  if (!ok) StopAt(0, 0);
}

void GatheredKeys::StopAt(size_t index, int error) {
  keys_.resize(index);
  error_ = error;
}

void GatheredKeys::Take(const unsigned char* record, int32_t rec) {
  if (Get32(record) != 0) return;
  for (size_t k = 0; k < keys_.size(); ++k) {
    if (keys_[k]->Full()) {
      StopAt(0, 0);  // more records than room: ReIndex reads them
      return;
    }
    keyOf_(key_, record, static_cast<int>(k) + 1);
    if (!IsamSuccess) {
      ClearError();
      StopAt(k, kErrKeyFunctionStopped);
      return;
    }
    CutKey(key_);
    if (key_.size() > keyLengths_[k]) {
      StopAt(k, kErrKeyTooLong);  // as AddKey refuses it
      return;
    }
    keys_[k]->Add(key_, static_cast<uint32_t>(rec));
  }
}

void GatheredKeys::Sort() {
  for (auto& keys : keys_) keys->Sort();
}

IndexKeys* GatheredKeys::For(int k) {
  return k >= 1 && static_cast<size_t>(k) <= keys_.size() ? keys_[static_cast<size_t>(k) - 1].get() : nullptr;
}

void ReIndex(const std::string& name, uint16_t indexCount, std::span<const IndexDescription> indexes,
             const KeyFunction& keyOf, bool deleteDuplicates) {
  ReIndex(name, indexCount, indexes, keyOf, deleteDuplicates, nullptr);
}

void ReIndex(const std::string& fullName, uint16_t indexCount, std::span<const IndexDescription> indexes,
             const KeyFunction& keyOf, bool deleteDuplicates, GatheredKeys* gathered) {
  ClearError();
  const std::string name = fullName.substr(0, kMaxNameLength);
  const std::string datName = FileBlockFileName(name, FileKind::Data);
  Header h;
  if (!DataFileSound(datName, h)) return;
  if (h.length > kMaxReorgLength) {
    SetError(kErrRecordTooLong);
    return;
  }
  if (indexCount > kMaxIndexes) {
    SetError(kErrTooManyIndexes);
    return;
  }
  for (int k = 1; k <= indexCount; ++k) {
    const int keyLength = k <= static_cast<int>(indexes.size()) ? indexes[k - 1].keyLength : 0;
    if (keyLength < 1 || keyLength > kMaxKeyLength) {
      SetError(kErrBadKeyLength);  // before anything is touched
      return;
    }
  }
  // From before the old index file goes until every index is whole, the data file says it
  // was not closed properly, so a run cut off or failed half-way is never opened with
  // indexes that lack keys (kErrOpenRefused); a new ReIndex mends it.
  if (!MarkNotClosed(datName)) return;
  FileBlock* fb = nullptr;
  if (CreateEmptyIndexFile(name, indexCount, indexes) && SetIndexCount(datName, indexCount))
    OpenFileBlockForRebuild(fb, name);
  if (!fb) {
    const ErrorKeeper keep;
    MarkNotClosed(datName);
    return;
  }

  DumpLog log(ResolvePath(FileBlockFileName(name, FileKind::DumpLog)));
  bool ok = IsamSuccess;
  {
    Rebuild rebuild(*fb, h.length, keyOf, deleteDuplicates, log, gathered);
    ok = IsamSuccess;
    for (int k = 1; ok && k <= indexCount; ++k) ok = rebuild.Build(k) && IsamSuccess;
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
