// The sorted build of one empty index, for ReIndex: the index's keys, sorted in the tree's
// own order (CompareKeys, the record number breaking ties), are written bottom-up in one
// sequential run of large writes instead of being inserted one at a time.
//
// What it writes is a tree the B-tree operations take as their own: every page but the root
// holds PageItems / 2 to PageItems items (the items of a level are spread evenly over as few
// pages as hold them), all leaves at one depth, pages 1..HighPage all in the tree and none
// free; leaves come first in page order, then each level above, the root last.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "storage/BTIsBase.h"

namespace isam {

struct IndexEntry {
  uint32_t rec = 0;
  uint8_t len = 0;
  char key[kMaxKeyLength] = {};
  std::string_view Key() const { return {key, len}; }
};

IndexEntry MakeIndexEntry(std::string_view key, int32_t rec);

// Sorts entries in the order of an index with duplicates: by key, equal keys by record.
void SortEntries(std::vector<IndexEntry>& entries);

// Of entries so sorted, takes out every one whose key equals the one before it (the lowest
// record number of equal keys stays) and returns them in record order.
std::vector<IndexEntry> TakeDuplicates(std::vector<IndexEntry>& entries);

// Writes index `index` of fb (open without journal, the index empty) from sorted entries
// with no two equal where the index refuses duplicates, and sets its header as the inserts
// of the same keys would: RootPage, HighPage, EntryCount, no free page.
bool WriteSortedIndex(FileBlock& fb, int index, const std::vector<IndexEntry>& entries);

// Entries one sorted build may hold in memory; an index of more keys is built by inserting
// them one at a time. No limit but the memory unless set; negative restores that.
void LimitSortedBuild(int64_t entries);
int64_t SortedBuildLimit();

}  // namespace isam
