#include "bookkeeping/BFFiler_rowlog.h"

#include <cstring>

#include "bookkeeping/BFBas.h"
#include "common/ESmall_Bytes.h"
#include "storage/Filer_error.h"

namespace bf {

namespace {

constexpr char kMagic[] = "BfRader1";
constexpr size_t kMagicSize = 8;
constexpr size_t kHead = 1 + 4 + 2 + 2;  // kind, record number, verification number, length
constexpr size_t kCheck = 4;

uint32_t Fnv1a(std::span<const uint8_t> bytes) {
  uint32_t h = 2166136261u;
  for (const uint8_t b : bytes) {
    h ^= b;
    h *= 16777619u;
  }
  return h;
}

}  // namespace

RowLog::~RowLog() {
  const isam::ErrorKeeper keep;
  isam::CloseFile(file_);
}

std::string RowLog::FileName(int bookkeeping, const std::string& dataDir) {
  const std::string name = "Bf" + TwoDigits(bookkeeping) + ".Rad";
  if (dataDir.empty()) return name;
  return dataDir.back() == '/' || dataDir.back() == '\\' ? dataDir + name : dataDir + "/" + name;
}

void RowLog::Attach(std::string fileName) {
  {
    const isam::ErrorKeeper keep;
    isam::CloseFile(file_);
  }
  kept_.clear();
  fileName_ = std::move(fileName);
  unlogged_ = false;
}

void RowLog::AttachUnlogged() {
  Attach("");
  unlogged_ = true;
}

bool RowLog::Keep(Kind kind, int32_t recNo, int16_t number, std::span<const uint8_t> bytes) {
  if (unlogged_) return true;
  if (fileName_.empty() || bytes.size() > UINT16_MAX) return false;
  std::vector<uint8_t> entry(kHead + bytes.size() + kCheck);
  entry[0] = kind;
  esmall::Put32(&entry[1], static_cast<uint32_t>(recNo));
  esmall::Put16(&entry[5], static_cast<uint16_t>(number));
  esmall::Put16(&entry[7], static_cast<uint16_t>(bytes.size()));
  if (!bytes.empty()) std::memcpy(&entry[kHead], bytes.data(), bytes.size());
  esmall::Put32(&entry[kHead + bytes.size()], Fnv1a(std::span(entry).first(kHead + bytes.size())));
  if (!file_.IsOpen()) {
    if (!isam::CreateFile(file_, fileName_)) return false;
    end_ = 0;
    kept_.clear();
  }
  if (end_ == 0) entry.insert(entry.begin(), kMagic, kMagic + kMagicSize);
  if (!isam::WriteAt(file_, end_, static_cast<int64_t>(entry.size()), entry.data()) || !isam::Flush(file_)) {
    // What was written may be half an entry; the next one goes where this one began.
    return false;
  }
  end_ += static_cast<int64_t>(entry.size());
  if (kind == kAccount) kept_.insert(recNo);
  return true;
}

bool RowLog::Finish() {
  {
    const isam::ErrorKeeper keep;
    isam::CloseFile(file_);
  }
  kept_.clear();
  return Remove(fileName_);
}

bool RowLog::Read(const std::string& fileName, std::vector<Entry>& entries) {
  entries.clear();
  isam::FileRec f;
  int64_t size = 0;
  if (fileName.empty() || !isam::OpenFile(f, fileName, true) || !isam::FileSize(f, size)) {
    const isam::ErrorKeeper keep;
    isam::CloseFile(f);
    return false;
  }
  std::string bytes(static_cast<size_t>(size), '\0');
  const bool read = size == 0 || isam::ReadAt(f, 0, size, bytes.data());
  {
    const isam::ErrorKeeper keep;
    isam::CloseFile(f);
  }
  if (!read) return false;
  entries = Entries(bytes);
  return true;
}

std::vector<RowLog::Entry> RowLog::Entries(std::string_view text) {
  std::vector<Entry> entries;
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const size_t size = text.size();
  if (size < kMagicSize || std::memcmp(bytes, kMagic, kMagicSize) != 0) return entries;
  size_t at = kMagicSize;
  while (size - at >= kHead + kCheck) {
    const uint8_t* p = bytes + at;
    const size_t length = esmall::Get16(p + 7);
    if (size - at < kHead + length + kCheck) break;
    if (esmall::Get32(p + kHead + length) != Fnv1a(std::span(p, kHead + length))) break;
    if (p[0] != kAccount && p[0] != kSave) break;
    entries.push_back({static_cast<Kind>(p[0]), static_cast<int32_t>(esmall::Get32(p + 1)),
                       static_cast<int16_t>(esmall::Get16(p + 5)), std::vector<uint8_t>(p + kHead, p + kHead + length)});
    at += kHead + length + kCheck;
  }
  return entries;
}

bool RowLog::Remove(const std::string& fileName) {
  isam::ClearError();
  if (isam::DeleteFile(fileName) || isam::IsamError == isam::kErrFileNotFound) return true;
  isam::FileRec f;
  const bool emptied = isam::OpenFile(f, fileName) && isam::WriteAt(f, 0, 0, nullptr) && isam::Flush(f);
  const isam::ErrorKeeper keep;
  isam::CloseFile(f);
  return emptied;
}

}  // namespace bf
