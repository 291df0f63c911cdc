// The sorted build of one empty index, for ReIndex: the index's keys, sorted in the tree's
// own order (CompareKeys, the record number breaking ties), are written bottom-up in one
// sequential run of large writes instead of being inserted one at a time.
//
// IndexKeys holds the keys with their records in one flat buffer, a slot of key length + 5
// bytes each, and sorts small items of a key's first four characters as one integer (each
// character replaced by its place in the tree's order) and its slot; only items whose four
// first characters are alike are compared as whole keys. Keys are added in rising record order,
// which the sort keeps among equal keys.
//
// What it writes is a tree the B-tree operations take as their own: every page but the root
// holds PageItems / 2 to PageItems items (the items of a level are spread evenly over as few
// pages as hold them), all leaves at one depth, pages 1..HighPage all in the tree and none
// free; leaves come first in page order, then each level above, the root last.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "storage/BTIsBase.h"

namespace isam {

class IndexKeys {
 public:
  struct Taken {
    uint32_t rec;
    std::string key;
  };

  IndexKeys() = default;
  ~IndexKeys();
  IndexKeys(const IndexKeys&) = delete;
  IndexKeys& operator=(const IndexKeys&) = delete;

  // Room for up to `count` keys of up to keyLength characters; false when the memory cannot
  // be had (or more are asked than the limit allows).
  bool Reserve(int64_t count, int keyLength);
  // A key of at most keyLength characters; records in rising order, no more than reserved.
  void Add(std::string_view key, uint32_t rec);
  // Removes the keys of the records gone(rec) names, keeping the order.
  void Drop(const std::function<bool(uint32_t rec)>& gone);
  // Into the order of an index with duplicates: by key, equal keys by record. Once sorted,
  // until the next Add, it does nothing.
  void Sort();
  // Of keys so sorted, takes out every one whose key equals the one before it (the lowest
  // record number of equal keys stays) and returns them in record order.
  std::vector<Taken> TakeDuplicates();

  size_t size() const { return count_; }
  // As many added as there was room for.
  bool Full() const { return slots_ == capacity_; }
  uint32_t Rec(size_t i) const { return RecOf(items_[i]); }
  std::string_view Key(size_t i) const { return KeyOf(items_[i]); }
  // Asks for the memory of key i, to be read soon.
  void Prefetch(size_t i) const { __builtin_prefetch(Slot(items_[i].slot)); }

 private:
  struct Item {
    uint32_t prefix;  // the first four characters' places in the order, the first highest
    uint32_t slot;    // slots are taken in the order of the records
  };
  struct Free {
    void operator()(void* p) const { std::free(p); }
  };
  // A slot: the record (4 bytes), the key's length and its characters.
  const unsigned char* Slot(uint32_t slot) const { return keys_.get() + static_cast<size_t>(slot) * stride_; }
  uint32_t RecOf(const Item& it) const {
    uint32_t rec;
    std::memcpy(&rec, Slot(it.slot), sizeof rec);
    return rec;
  }
  std::string_view KeyOf(const Item& it) const {
    const unsigned char* slot = Slot(it.slot);
    return {reinterpret_cast<const char*>(slot + 5), slot[4]};
  }
  bool Less(const Item& a, const Item& b) const;
  void SortPrefixed();
  static void ByLowerBytes(Item* items, Item* spare, size_t n, int top);
  bool SortAlike(Item* items, size_t n) const;

  size_t stride_ = 0, capacity_ = 0, count_ = 0, slots_ = 0;
  bool sorted_ = true;
  bool alike_ = false;  // sorted, some keys had alike prefixes: only then can two be equal
  std::unique_ptr<unsigned char[], Free> keys_;
  std::unique_ptr<Item[], Free> items_, spare_;  // spare_: the radix sort's second array
  // The system's first touch of a large buffer (taking and zeroing its pages) is done on a
  // thread of its own while the keys come in, instead of in the middle of the work.
  std::thread populating_;
};

// Writes index `index` of fb (open without journal, the index empty) from sorted keys with no
// two equal where the index refuses duplicates, and sets its header as the inserts of the
// same keys would: RootPage, HighPage, EntryCount, no free page.
bool WriteSortedIndex(FileBlock& fb, int index, const IndexKeys& keys);

// Keys one sorted build may hold in memory; an index of more keys is built by inserting
// them one at a time. No limit but the memory unless set; negative restores that.
void LimitSortedBuild(int64_t entries);
int64_t SortedBuildLimit();

}  // namespace isam
