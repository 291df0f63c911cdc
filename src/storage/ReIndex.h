// ReIndex: builds every index of a fileblock afresh from its data file, asking the caller
// for each live record's keys. It does not look at the data file's OpenFlag and resets it,
// so it also mends a fileblock that OpenFileBlock refuses with kErrOpenRefused. A key
// refused as a duplicate is written to the dump log (D.MSG, CR LF lines); with
// deleteDuplicates the record goes too, with its keys in the earlier indexes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "storage/Filer.h"

namespace isam {

// Fills key with the key of record for index indexNo (1..); it may clear IsamSuccess to
// stop the work (kErrKeyFunctionStopped).
using KeyFunction = std::function<void(std::string& key, const unsigned char* record, int indexNo)>;

void ReIndex(const std::string& name, uint16_t indexCount, std::span<const IndexDescription> indexes,
             const KeyFunction& keyOf, bool deleteDuplicates);

class IndexKeys;

// The keys of every index taken from the records as ReStruct writes them, so that the
// ReIndex after it need not read the data file again. The key function sees the records that
// are live slots, as the passes would. Where it stops the work, or gives a key too long for
// its index, that index and the ones after it are no longer gathered and ReIndex reports it
// (kErrKeyFunctionStopped, kErrKeyTooLong) when it comes to that index, after building the
// ones before; without the memory nothing is gathered and ReIndex reads the records as usual.
class GatheredKeys {
 public:
  GatheredKeys(uint16_t indexCount, std::span<const IndexDescription> indexes, const KeyFunction& keyOf);
  ~GatheredKeys();
  // Room for the keys of up to `records` records; nothing is gathered without it.
  void Reserve(int64_t records);
  // Record number rec of the new data file, as written.
  void Take(const unsigned char* record, int32_t rec);
  // Sorts what was gathered (while the records are still being written out).
  void Sort();
  // The keys of index k (1..), or nullptr when they were not gathered.
  IndexKeys* For(int k);
  // The error the gathering met at index k, else 0.
  int Refused(int k) const { return k == static_cast<int>(keys_.size()) + 1 ? error_ : 0; }

 private:
  void StopAt(size_t index, int error);  // index from 0
  std::vector<uint8_t> keyLengths_;
  const KeyFunction& keyOf_;
  std::vector<std::unique_ptr<IndexKeys>> keys_;  // of the indexes still gathered, from 1 on
  std::string key_;
  int error_ = 0;
};

// ReIndex with the keys gathered so (nullptr: read from the data file).
void ReIndex(const std::string& name, uint16_t indexCount, std::span<const IndexDescription> indexes,
             const KeyFunction& keyOf, bool deleteDuplicates, GatheredKeys* gathered);

}  // namespace isam
