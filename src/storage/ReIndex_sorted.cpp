#include "storage/ReIndex_sorted.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "storage/Filer_error.h"

namespace isam {

namespace {

int64_t g_limit = -1;

// Bytes the page writer gathers before one write.
constexpr int64_t kWriteBytes = 1 << 20;

// Hands out the places of pages 1, 2, 3, … of one index in a block of consecutive sections
// and writes each block with one call. Sections the file already has are read first, for
// the pages of the other indexes in them; those past its end start as zeros.
class PageWriter {
 public:
  PageWriter(FileBlock& fb, int index, uint32_t pages)
      : fb_(fb), offset_(fb.idx[index].keyOffset), pageBytes_(fb.idx[index].h.length), pages_(pages),
        perBlock_(static_cast<uint32_t>(std::max<int64_t>(1, kWriteBytes / fb.sectionLength))) {}

  // The zeroed place of the next page; nullptr when a read or write failed.
  unsigned char* Next() {
    if (next_ == first_ + held_ && !(Write() && Start())) return nullptr;
    unsigned char* page = block_.data() + static_cast<size_t>(next_ - first_) * fb_.sectionLength + offset_;
    std::memset(page, 0, static_cast<size_t>(pageBytes_));
    ++next_;
    return page;
  }
  bool Finish() { return Write(); }

 private:
  bool Start() {
    first_ = next_;
    held_ = std::min(perBlock_, pages_ - first_ + 1);
    block_.assign(static_cast<size_t>(held_) * fb_.sectionLength, 0);
    const int64_t present = std::min<int64_t>(fb_.sections - static_cast<int64_t>(first_) + 1, held_);
    return present <= 0 ||
           ReadAt(fb_.ix, static_cast<int64_t>(first_) * fb_.sectionLength, present * fb_.sectionLength, block_.data());
  }
  bool Write() {
    if (held_ == 0) return true;
    if (!WriteAt(fb_.ix, static_cast<int64_t>(first_) * fb_.sectionLength, static_cast<int64_t>(block_.size()),
                 block_.data()))
      return false;
    fb_.sections = std::max<int32_t>(fb_.sections, static_cast<int32_t>(first_ + held_ - 1));
    held_ = 0;
    return true;
  }

  FileBlock& fb_;
  int64_t offset_;
  int32_t pageBytes_;
  uint32_t pages_, perBlock_;
  uint32_t next_ = 1, first_ = 1, held_ = 0;
  std::vector<unsigned char> block_;
};

// An item of a level above the leaves: the entry it holds and its right child.
struct UpperItem {
  uint32_t entry;
  uint32_t right;
};

// Pages for m items of one level: one page when they fit, else as few as hold them with one
// item between each two going up a level.
uint32_t PagesFor(uint64_t m, int pageItems) {
  if (m <= static_cast<uint64_t>(pageItems)) return 1;
  return static_cast<uint32_t>((m + pageItems + 1) / (pageItems + 1));
}

// Writes the m items of one level (itemAt(i) for i < m) as `pages` pages numbered from
// `first`, spread evenly; below is the first page of the level under it (0 for the leaves).
// The item after each page but the last goes up with the next page as its right child, its
// own right child becoming that page's left child.
template <typename ItemAt>
bool WriteLevel(PageWriter& out, const std::vector<IndexEntry>& entries, int keyLength, uint64_t m, uint32_t pages,
                uint32_t first, uint32_t below, ItemAt itemAt, std::vector<UpperItem>& up) {
  const uint64_t inPages = m - (pages - 1);
  const uint64_t base = inPages / pages, extra = inPages % pages;
  const size_t stride = static_cast<size_t>(keyLength) + 9;
  uint64_t i = 0;
  uint32_t left = below;
  for (uint32_t p = 0; p < pages; ++p) {
    unsigned char* page = out.Next();
    if (!page) return false;
    const auto count = static_cast<uint32_t>(base + (p < extra ? 1 : 0));
    Put16(page, count);
    Put32(page + 2, left);
    for (uint32_t j = 0; j < count; ++j, ++i) {
      const UpperItem it = itemAt(i);
      const IndexEntry& e = entries[it.entry];
      unsigned char* slot = page + 6 + j * stride;
      Put32(slot, e.rec);
      Put32(slot + 4, it.right);
      slot[8] = e.len;
      std::memcpy(slot + 9, e.key, e.len);
    }
    if (p + 1 == pages) break;
    const UpperItem sep = itemAt(i++);
    left = sep.right;
    up.push_back({sep.entry, first + p + 1});
  }
  return true;
}

}  // namespace

IndexEntry MakeIndexEntry(std::string_view key, int32_t rec) {
  IndexEntry e;
  e.rec = static_cast<uint32_t>(rec);
  e.len = static_cast<uint8_t>(std::min<size_t>(key.size(), sizeof e.key));
  std::memcpy(e.key, key.data(), e.len);
  return e;
}

void SortEntries(std::vector<IndexEntry>& entries) {
  std::sort(entries.begin(), entries.end(), [](const IndexEntry& a, const IndexEntry& b) {
    return CompareKeys(a.Key(), b.Key(), static_cast<int32_t>(a.rec), static_cast<int32_t>(b.rec), true) < 0;
  });
}

std::vector<IndexEntry> TakeDuplicates(std::vector<IndexEntry>& entries) {
  std::vector<IndexEntry> taken;
  size_t kept = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (kept > 0 && CompareKeys(entries[kept - 1].Key(), entries[i].Key(), 0, 0, false) == 0) taken.push_back(entries[i]);
    else entries[kept++] = entries[i];
  }
  entries.resize(kept);
  std::sort(taken.begin(), taken.end(), [](const IndexEntry& a, const IndexEntry& b) { return a.rec < b.rec; });
  return taken;
}

bool WriteSortedIndex(FileBlock& fb, int index, const std::vector<IndexEntry>& entries) {
  Index& d = fb.idx[index];
  if (entries.empty()) return true;
  const int pageItems = d.h.pageItems;
  // Pages a level, from the leaves up to the root's one.
  std::vector<uint32_t> levels;
  for (uint64_t m = entries.size();; m = levels.back() - 1) {
    levels.push_back(PagesFor(m, pageItems));
    if (levels.back() == 1) break;
  }
  uint64_t total = 0;
  for (uint32_t p : levels) total += p;
  if (static_cast<int64_t>(total + 1) * fb.sectionLength > kMaxFilePosition + 1) {
    SetOsError(10140, EFBIG);
    return false;
  }

  PageWriter out(fb, index, static_cast<uint32_t>(total));
  std::vector<UpperItem> items, up;
  uint32_t first = 1;
  bool ok = WriteLevel(out, entries, d.keyLength, entries.size(), levels[0], first, 0,
                       [](uint64_t i) { return UpperItem{static_cast<uint32_t>(i), 0}; }, up);
  for (size_t level = 1; ok && level < levels.size(); ++level) {
    items.swap(up);
    up.clear();
    const uint32_t below = first;
    first += levels[level - 1];
    ok = WriteLevel(out, entries, d.keyLength, items.size(), levels[level], first, below,
                    [&items](uint64_t i) { return items[i]; }, up);
  }
  if (!ok || !out.Finish()) return false;
  d.h.rootPage = static_cast<uint32_t>(total);
  d.h.high = static_cast<int32_t>(total);
  d.h.firstFree = -1;
  d.h.freeCount = 0;
  d.h.entryCount = static_cast<uint32_t>(entries.size());
  TreeClear(d);
  NoteHeaderChange(fb, index);
  return true;
}

void LimitSortedBuild(int64_t entries) { g_limit = entries; }
int64_t SortedBuildLimit() { return g_limit; }

}  // namespace isam
