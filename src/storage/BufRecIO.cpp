#include "storage/BufRecIO.h"

#include <fcntl.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "storage/BTIsBase.h"
#include "storage/Filer.h"
#include "storage/Filer_error.h"
#include "storage/SideThread.h"

namespace isam {

namespace {

// Bytes written before they are handed on for writing out.
constexpr int64_t kWritebackBytes = 4 << 20;

// The system keeps files in pages of this size: a read or write that ends inside one makes
// the system take that page twice, so blocks are read and written from and to page boundaries.
constexpr int64_t kPageBytes = 4096;

// A block of up to `records` records and `slack` bytes more, fewer records when memory is
// short; records is set to what was obtained, 0 when not even two.
std::unique_ptr<unsigned char[]> NewBlock(int32_t length, int32_t& records, size_t slack = 0) {
  for (; records >= 2; --records) {
    std::unique_ptr<unsigned char[]> block(new (std::nothrow)
                                               unsigned char[static_cast<size_t>(records) * length + slack]());
    if (block) return block;
  }
  records = 0;
  return nullptr;
}

// Makes a block smaller for memory: by 1023 / length + 1 records, wholly when less than
// 1024 bytes or fewer than 2 records would be left. False when there was no block.
bool ShrinkBlock(std::unique_ptr<unsigned char[]>& block, int32_t length, int32_t& records, size_t slack = 0) {
  if (!block) return false;
  const int32_t left = records - (1023 / length + 1);
  if (left < 2 || static_cast<int64_t>(left) * length < 1024) {
    block.reset();
    records = 0;
    return true;
  }
  records = left;
  block = NewBlock(length, records, slack);
  return true;
}

}  // namespace

int32_t BlockRecords(int32_t recordLength) {
  if (recordLength < 1 || recordLength > 16384) return 0;
  const int32_t k = static_cast<int32_t>(kBlockBytes / recordLength);
  return k < 2 ? 0 : k;
}

Writeback::~Writeback() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wanted_.notify_one();
  thread_.join();
}

void Writeback::Start(int64_t offset, int64_t length) {
  if (fd_ < 0 || length <= 0) return;
  if (!thread_.joinable() && !alone_) {
    thread_ = ThreadIfAny([this] { Run(); });
    alone_ = !thread_.joinable();
  }
  if (alone_) {
    ::sync_file_range(fd_, offset, length, SYNC_FILE_RANGE_WRITE);
    return;
  }
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (from_ == to_) {
      from_ = offset;
      to_ = offset + length;
    } else {
      from_ = std::min(from_, offset);
      to_ = std::max(to_, offset + length);
    }
  }
  wanted_.notify_one();
}

void Writeback::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wanted_.wait(lock, [this] { return stopping_ || from_ != to_; });
    if (from_ == to_) return;  // stopping, and nothing left
    const int64_t from = std::exchange(from_, 0), to = std::exchange(to_, 0);
    lock.unlock();
    ::sync_file_range(fd_, from, to - from, SYNC_FILE_RANGE_WRITE);
    lock.lock();
  }
}

RecordReader::RecordReader(FileRec& file, int32_t recordLength)
    : file_(file), length_(recordLength), blockRecords_(BlockRecords(recordLength)) {
  block_ = NewBlock(length_, blockRecords_, kPageBytes);
}

void RecordReader::Reset() {
  next_ = 1;
  blockFirst_ = blockCount_ = 0;
  fileSize_ = -1;
}

bool RecordReader::Shrink() {
  blockCount_ = 0;  // the block is read afresh where Next goes on
  return ShrinkBlock(block_, length_, blockRecords_, kPageBytes);
}

bool RecordReader::Fill(int32_t first) {
  if (fileSize_ < 0 && !FileSize(file_, fileSize_)) return false;
  const int64_t from = static_cast<int64_t>(first) * length_, bytes = static_cast<int64_t>(blockRecords_) * length_;
  int64_t start = from / kPageBytes * kPageBytes, end = (from + bytes) / kPageBytes * kPageBytes;
  if (end / length_ <= first) {
    // Too small a block for whole pages: the records as they lie.
    start = from;
    end = from + bytes;
  }
  const int64_t records = std::min(end, fileSize_) / length_ - first;  // whole records from `first` on
  blockFirst_ = first;
  blockCount_ = static_cast<int32_t>(std::max<int64_t>(records, 0));
  blockSkip_ = from - start;
  if (blockCount_ == 0) return true;
  return ReadAt(file_, start, std::min(end, fileSize_) - start, block_.get());
}

const unsigned char* RecordReader::Next(unsigned char* scratch, int32_t& number) {
  if (!block_) {
    // Singly: a read past the end is the end, not a failure.
    if (fileSize_ < 0 && !FileSize(file_, fileSize_)) return nullptr;
    if ((static_cast<int64_t>(next_) + 1) * length_ > fileSize_) return nullptr;
    if (!ReadAt(file_, static_cast<int64_t>(next_) * length_, length_, scratch)) return nullptr;
    number = next_++;
    return scratch;
  }
  if (next_ < blockFirst_ || next_ >= blockFirst_ + blockCount_) {
    if (!Fill(next_)) return nullptr;
    if (blockCount_ == 0) return nullptr;
  }
  const unsigned char* record = block_.get() + blockSkip_ + static_cast<size_t>(next_ - blockFirst_) * length_;
  number = next_++;
  return record;
}

RecordAppender::RecordAppender(FileBlock& fb)
    : fb_(fb), length_(fb.idx[0].h.length),
      blockRecords_(fb.idx[0].h.high == 0 && fb.idx[0].h.firstFree == -1 ? BlockRecords(fb.idx[0].h.length) : 0),
      writeback_(fb.dat) {
  block_ = NewBlock(length_, blockRecords_, kPageBytes);
}

bool RecordAppender::WriteBlock(bool whole) {
  if (held_ == 0 && (carried_ == 0 || !whole)) return true;
  Header& h = fb_.idx[0].h;
  const int64_t end = (static_cast<int64_t>(h.high) + 1 + held_) * length_;
  const int64_t start = end - carried_ - static_cast<int64_t>(held_) * length_;
  // Up to the last page boundary, the rest going at the front of the next write.
  const int64_t upTo = std::max(start, whole ? end : end / kPageBytes * kPageBytes);
  if (upTo > start && !WriteAt(fb_.dat, start, upTo - start, block_.get())) return false;
  carried_ = end - upTo;
  if (upTo > start) std::memmove(block_.get(), block_.get() + (upTo - start), static_cast<size_t>(carried_));
  h.high += held_;
  held_ = 0;
  NoteHeaderChange(fb_, 0);
  if (unhinted_ < 0) unhinted_ = start;
  if (upTo - unhinted_ >= kWritebackBytes) {
    writeback_.Start(unhinted_, upTo - unhinted_);
    unhinted_ = upTo;
  }
  return true;
}

unsigned char* RecordAppender::Place(unsigned char* scratch) {
  if (!block_) return placed_ = scratch;
  if (held_ == blockRecords_ && !WriteBlock(false)) return nullptr;
  return placed_ = block_.get() + carried_ + static_cast<size_t>(held_) * length_;
}

bool RecordAppender::Append(int32_t& number) {
  if (!block_) {
    number = 0;
    AddRec(&fb_, number, placed_);
    return IsamSuccess;
  }
  number = fb_.idx[0].h.high + ++held_;
  return true;
}

bool RecordAppender::Finish() { return WriteBlock(true); }

bool RecordAppender::Shrink() {
  if (!block_ || !WriteBlock(true)) return false;
  return ShrinkBlock(block_, length_, blockRecords_, kPageBytes);
}

}  // namespace isam
