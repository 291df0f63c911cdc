// Block buffers for the sequential passes of ReStruct and ReIndex: records are read in
// blocks of k consecutive records and appended in blocks of k records, one system call a
// block, so a file of many small records costs few calls.
//
// k = 32768 / record length, lowered one by one until the memory is there; below 2, or
// for a record length outside 1..16384, records go one at a time. The append block is
// only used while the target fileblock is empty (FileLen 1), since it writes past the
// highest record without the free chain. What is appended is handed to the system for
// writing as it goes, so the flush at the close finds little left to wait for.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "storage/BTFileIO.h"

namespace isam {

struct FileBlock;

constexpr int64_t kBlockBytes = 32768;

// Records in a block for a record length; 0 when records go singly.
int32_t BlockRecords(int32_t recordLength);

// Asks the system to start writing ranges of a file out now rather than at its flush, on a
// thread of its own: starting the writing (the file system places the blocks then) takes
// about as long as writing the bytes did, and is done beside the work that writes the next
// ones. Only a hint: nothing depends on it, so its failures are ignored. The file must stay
// open while this lives.
class Writeback {
 public:
  explicit Writeback(const FileRec& f) : fd_(f.fd) {}
  ~Writeback();
  Writeback(const Writeback&) = delete;
  Writeback& operator=(const Writeback&) = delete;

  // Ranges given one after another are joined; without a thread they are handed on at once.
  void Start(int64_t offset, int64_t length);

 private:
  void Run();

  int fd_;
  std::mutex mutex_;
  std::condition_variable wanted_;
  int64_t from_ = 0, to_ = 0;  // the range not yet handed on
  bool stopping_ = false, alone_ = false;
  std::thread thread_;
};

// Reads records 1, 2, … of a data file through a block. Each read begins and ends at a page
// boundary of the file where the block is large enough, so it holds the records whole within
// it and parts of the ones either side, which the next read takes again.
class RecordReader {
 public:
  RecordReader(FileRec& file, int32_t recordLength);
  // Starts again at record 1.
  void Reset();
  // The next record, valid until the next call: a place in the block, or scratch
  // (recordLength bytes) when records go singly; nullptr at the end of the file or on a
  // read failure (IsamSuccess tells which). number receives the record's number.
  const unsigned char* Next(unsigned char* scratch, int32_t& number);
  // Makes the block smaller, for memory (below 2 records it is given up and records go
  // singly); false when there is no block left to shrink.
  bool Shrink();

 private:
  bool Fill(int32_t first);

  FileRec& file_;
  int32_t length_;
  int32_t blockRecords_;
  std::unique_ptr<unsigned char[]> block_;
  int32_t next_ = 1;         // the record Next gives
  int32_t blockFirst_ = 0;   // record number of the block's first whole record
  int32_t blockCount_ = 0;   // whole records held
  int64_t blockSkip_ = 0;    // bytes before the first of them
  int64_t fileSize_ = -1;
};

// Appends records to an empty fileblock opened without journal, a block at a time, each
// write ending at a page boundary of the file; the end of the last record before it goes with
// the next write. Until Finish the records are not all in the file.
class RecordAppender {
 public:
  explicit RecordAppender(FileBlock& fb);
  // Where the next record is to be made: a place in the block, or scratch (record length
  // bytes) when records go singly; it stays as made until the next Place or Finish. nullptr
  // when the full block could not be written.
  unsigned char* Place(unsigned char* scratch);
  // Appends the record made at the last Place; number receives its number in the fileblock.
  bool Append(int32_t& number);
  // Writes what the block still holds.
  bool Finish();
  // As RecordReader::Shrink, after writing out what the block holds.
  bool Shrink();

 private:
  // Writes the records held up to the last page boundary, or all with whole.
  bool WriteBlock(bool whole);

  FileBlock& fb_;
  int32_t length_;
  int32_t blockRecords_;
  // The bytes carried_ of records counted in HighRecord but not yet written, then held_
  // records not yet counted.
  std::unique_ptr<unsigned char[]> block_;
  int64_t carried_ = 0;
  int32_t held_ = 0;
  unsigned char* placed_ = nullptr;
  int64_t unhinted_ = -1;  // where the bytes written but not yet handed to the writeback begin
  Writeback writeback_;
};

}  // namespace isam
