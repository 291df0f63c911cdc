#include "storage/BufRecIO.h"

#include <cstring>
#include <new>

#include "storage/BTIsBase.h"
#include "storage/Filer.h"
#include "storage/Filer_error.h"

namespace isam {

namespace {

// A block of up to `records` records, fewer when memory is short; records is set to what
// was obtained, 0 when not even two.
std::unique_ptr<unsigned char[]> NewBlock(int32_t length, int32_t& records) {
  for (; records >= 2; --records) {
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[static_cast<size_t>(records) * length]);
    if (block) return block;
  }
  records = 0;
  return nullptr;
}

// Makes a block smaller for memory: by 1023 / length + 1 records, wholly when less than
// 1024 bytes or fewer than 2 records would be left. False when there was no block.
bool ShrinkBlock(std::unique_ptr<unsigned char[]>& block, int32_t length, int32_t& records) {
  if (!block) return false;
  const int32_t left = records - (1023 / length + 1);
  if (left < 2 || static_cast<int64_t>(left) * length < 1024) {
    block.reset();
    records = 0;
    return true;
  }
  records = left;
  block = NewBlock(length, records);
  return true;
}

}  // namespace

int32_t BlockRecords(int32_t recordLength) {
  if (recordLength < 1 || recordLength > 16384) return 0;
  const int32_t k = static_cast<int32_t>(kBlockBytes / recordLength);
  return k < 2 ? 0 : k;
}

RecordReader::RecordReader(FileRec& file, int32_t recordLength)
    : file_(file), length_(recordLength), blockRecords_(BlockRecords(recordLength)) {
  block_ = NewBlock(length_, blockRecords_);
}

void RecordReader::Reset() {
  next_ = 1;
  blockFirst_ = blockCount_ = 0;
  fileSize_ = -1;
}

bool RecordReader::Shrink() {
  blockCount_ = 0;  // the block is read afresh where Next goes on
  return ShrinkBlock(block_, length_, blockRecords_);
}

bool RecordReader::Fill(int32_t first) {
  if (fileSize_ < 0 && !FileSize(file_, fileSize_)) return false;
  const int64_t records = fileSize_ / length_ - first;  // whole records from `first` on
  blockFirst_ = first;
  blockCount_ = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(records, 0), blockRecords_));
  if (blockCount_ == 0) return true;
  return ReadAt(file_, static_cast<int64_t>(first) * length_, static_cast<int64_t>(blockCount_) * length_,
                block_.get());
}

bool RecordReader::Next(unsigned char* out, int32_t& number) {
  if (!block_) {
    // Singly: a read past the end is the end, not a failure.
    if (fileSize_ < 0 && !FileSize(file_, fileSize_)) return false;
    if ((static_cast<int64_t>(next_) + 1) * length_ > fileSize_) return false;
    if (!ReadAt(file_, static_cast<int64_t>(next_) * length_, length_, out)) return false;
    number = next_++;
    return true;
  }
  if (next_ < blockFirst_ || next_ >= blockFirst_ + blockCount_) {
    if (!Fill(next_)) return false;
    if (blockCount_ == 0) return false;
  }
  std::memcpy(out, block_.get() + static_cast<size_t>(next_ - blockFirst_) * length_, static_cast<size_t>(length_));
  number = next_++;
  return true;
}

RecordAppender::RecordAppender(FileBlock& fb)
    : fb_(fb), length_(fb.idx[0].h.length),
      blockRecords_(fb.idx[0].h.high == 0 && fb.idx[0].h.firstFree == -1 ? BlockRecords(fb.idx[0].h.length) : 0) {
  block_ = NewBlock(length_, blockRecords_);
}

bool RecordAppender::WriteBlock() {
  if (held_ == 0) return true;
  Header& h = fb_.idx[0].h;
  if (!WriteAt(fb_.dat, (static_cast<int64_t>(h.high) + 1) * length_, static_cast<int64_t>(held_) * length_,
               block_.get()))
    return false;
  h.high += held_;
  held_ = 0;
  NoteHeaderChange(fb_, 0);
  return true;
}

bool RecordAppender::Append(const unsigned char* record) {
  if (!block_) {
    int32_t recNo = 0;
    AddRec(&fb_, recNo, record);
    return IsamSuccess;
  }
  std::memcpy(block_.get() + static_cast<size_t>(held_) * length_, record, static_cast<size_t>(length_));
  return ++held_ < blockRecords_ || WriteBlock();
}

bool RecordAppender::Finish() { return WriteBlock(); }

bool RecordAppender::Shrink() {
  if (!block_ || !WriteBlock()) return false;
  return ShrinkBlock(block_, length_, blockRecords_);
}

}  // namespace isam
