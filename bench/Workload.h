// The work both engines do, and what a measurement of it gives back.
//
// Record v (a number from a scrambled sequence, so keys arrive in no order) has a 73-byte
// body, a 4-character key and a 30-character key, all made from v alone; both engines thus
// store the same bytes and a lookup of v's key must give v's record. Keys are digits and
// capital letters, which both engines order alike.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bench {

constexpr int kRecordLength = 73;
constexpr int kKey4Length = 4;
constexpr int kKey30Length = 30;
constexpr uint32_t kMaxValues = 36 * 36 * 36 * 36;  // distinct 4-character keys
constexpr int kOpenCloseIndexes = 8;
constexpr int kOpenCloseRecords = 1000;

std::string Key4(uint32_t v);
std::string Key30(uint32_t v);
// The live-record convention: the first 4 bytes are 0.
void FillRecord(uint32_t v, unsigned char out[kRecordLength]);
// A check value of a record's bytes, to compare what the engines returned.
uint64_t RecordCheck(const unsigned char* record);
// The numbers 0..n-1 in an order fixed by the seed.
std::vector<uint32_t> Scrambled(uint32_t n, uint32_t seed);
// The key of the open-close fileblock's index k (1..8) of record v; lengths vary by index.
std::string OpenCloseKey(int k, uint32_t v);
int OpenCloseKeyLength(int k);

using Clock = std::chrono::steady_clock;

inline double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// One engine's side of one workload. `check` must agree between the engines.
struct Measure {
  double seconds = 0;
  int64_t ops = 0;
  int64_t syncs = 0;  // fsync-like calls the engine made to the file system
  uint64_t check = 0;
};

// The workloads as each engine does them; every file lives in the folder given at creation.
class Engine {
 public:
  virtual ~Engine() = default;
  virtual std::string Name() const = 0;
  // One insert (record and both keys) after the other, each durable before the next.
  virtual Measure DurableInserts(const std::vector<uint32_t>& values) = 0;
  // The same with each insert grouped as one all-or-nothing unit of the engine; a transaction
  // of SQLite's is one already.
  virtual Measure GroupedDurableInserts(const std::vector<uint32_t>& values) { return DurableInserts(values); }
  // The same as one load, durable only at its end; `file` names the result for later work.
  virtual Measure BulkLoad(const std::string& file, const std::vector<uint32_t>& values) = 0;
  // Finds each value by its 30-character key in `file` and reads its record.
  virtual Measure Lookups(const std::string& file, const std::vector<uint32_t>& values) = 0;
  // Every key of the 30-character index of `file` in key order, with its record number.
  virtual Measure Walk(const std::string& file) = 0;
  // Makes a file of 8 indexes with kOpenCloseRecords records, then opens and closes it.
  virtual Measure OpenClose(int times) = 0;
};

std::unique_ptr<Engine> MakeIsamEngine(const std::string& folder);
std::unique_ptr<Engine> MakeSqliteEngine(const std::string& folder);

}  // namespace bench
