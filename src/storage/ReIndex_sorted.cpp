#include "storage/ReIndex_sorted.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <barrier>
#include <cerrno>
#include <cstring>
#include <numeric>
#include <utility>

#include "storage/BufRecIO.h"
#include "storage/Filer_error.h"
#include "storage/SideThread.h"

namespace isam {

namespace {

int64_t g_limit = -1;

// Bytes the page writer gathers before one write.
constexpr int64_t kWriteBytes = 1 << 20;

// Keys from which a second thread helps with the sort.
constexpr size_t kHelpedSort = 1 << 16;

// Keys asked for from memory ahead of the one being written.
constexpr uint64_t kFetchAhead = 16;

// Large buffers are asked for in huge pages where the system has them: touching a buffer of
// many megabytes page by page costs more than sorting what it holds.
constexpr size_t kHugePage = 2 << 20;

template <typename T>
T* Allocate(size_t count) {
  if (count == 0) count = 1;
  if (count > SIZE_MAX / sizeof(T)) return nullptr;
  const size_t bytes = count * sizeof(T);
  void* p = nullptr;
  if (bytes < kHugePage) return static_cast<T*>(std::malloc(bytes));
  if (posix_memalign(&p, kHugePage, (bytes + kHugePage - 1) / kHugePage * kHugePage) != 0) return nullptr;
  ::madvise(p, bytes, MADV_HUGEPAGE);  // a hint; without it the pages come one by one
  return static_cast<T*>(p);
}

// Each character's place in the order of the tree, taken from CompareKeys itself.
const std::array<uint8_t, 256>& Places() {
  static const std::array<uint8_t, 256> places = [] {
    std::array<int, 256> chars;
    std::iota(chars.begin(), chars.end(), 0);
    std::sort(chars.begin(), chars.end(), [](int x, int y) {
      const char a = static_cast<char>(x), b = static_cast<char>(y);
      return CompareKeys({&a, 1}, {&b, 1}, 0, 0, false) < 0;
    });
    std::array<uint8_t, 256> of{};
    for (int i = 0; i < 256; ++i) of[static_cast<size_t>(chars[static_cast<size_t>(i)])] = static_cast<uint8_t>(i);
    return of;
  }();
  return places;
}

// Hands out the places of pages 1, 2, 3, … of one index in a block of consecutive sections
// and writes each block with one call, handing it on for writing out at once. Sections the
// file already has are read first, for the pages of the other indexes in them; those past
// its end start as zeros.
class PageWriter {
 public:
  PageWriter(FileBlock& fb, int index, uint32_t pages)
      : fb_(fb), offset_(fb.idx[index].keyOffset), pageBytes_(fb.idx[index].h.length), pages_(pages),
        perBlock_(static_cast<uint32_t>(std::max<int64_t>(1, kWriteBytes / fb.sectionLength))), writeback_(fb.ix) {}

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
    const int64_t at = static_cast<int64_t>(first_) * fb_.sectionLength;
    if (!WriteAt(fb_.ix, at, static_cast<int64_t>(block_.size()), block_.data())) return false;
    writeback_.Start(at, static_cast<int64_t>(block_.size()));
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
  Writeback writeback_;
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
bool WriteLevel(PageWriter& out, const IndexKeys& keys, int keyLength, uint64_t m, uint32_t pages,
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
      // Sorted, the keys lie all over their buffer: each is asked for well before it is
      // wanted, so that the memory fetches overlap instead of coming one after the other.
      if (i + kFetchAhead < m) keys.Prefetch(itemAt(i + kFetchAhead).entry);
      const UpperItem it = itemAt(i);
      const std::string_view key = keys.Key(it.entry);
      unsigned char* slot = page + 6 + j * stride;
      Put32(slot, keys.Rec(it.entry));
      Put32(slot + 4, it.right);
      slot[8] = static_cast<unsigned char>(key.size());
      std::memcpy(slot + 9, key.data(), key.size());
    }
    if (p + 1 == pages) break;
    const UpperItem sep = itemAt(i++);
    left = sep.right;
    up.push_back({sep.entry, first + p + 1});
  }
  return true;
}


}  // namespace

IndexKeys::~IndexKeys() {
  if (populating_.joinable()) populating_.join();
}

bool IndexKeys::Reserve(int64_t count, int keyLength) {
  if (populating_.joinable()) populating_.join();
  if (SortedBuildLimit() >= 0 && count > SortedBuildLimit()) return false;
  if (count < 0 || static_cast<uint64_t>(count) > UINT32_MAX) return false;
  stride_ = static_cast<size_t>(keyLength) + 5;
  capacity_ = static_cast<size_t>(count);
  count_ = slots_ = 0;
  sorted_ = true;
  keys_.reset(Allocate<unsigned char>(capacity_ * stride_));
  items_.reset(Allocate<Item>(capacity_));
  spare_.reset(Allocate<Item>(capacity_));
  if (!(keys_ && items_ && spare_)) return false;
  const size_t bytes = capacity_ * sizeof(Item);
  if (bytes >= kHugePage) {
    const auto populate = [](void* p, size_t n) { ::madvise(p, n, MADV_POPULATE_WRITE); };  // a hint, as above
    // Without a thread the pages come as they are touched.
    populating_ = ThreadIfAny([=, this] {
      populate(items_.get(), bytes);
      populate(keys_.get(), capacity_ * stride_);
      populate(spare_.get(), bytes);
    });
  }
  return true;
}

void IndexKeys::Add(std::string_view key, uint32_t rec) {
  const auto& places = Places();
  unsigned char* slot = keys_.get() + slots_ * stride_;
  std::memcpy(slot, &rec, sizeof rec);
  slot[4] = static_cast<unsigned char>(key.size());
  std::memcpy(slot + 5, key.data(), key.size());
  uint32_t prefix = 0;
  for (size_t i = 0; i < 4; ++i)
    prefix = prefix << 8 | (i < key.size() ? places[static_cast<unsigned char>(key[i])] : 0);
  items_[count_++] = {prefix, static_cast<uint32_t>(slots_++)};
  sorted_ = false;
}

void IndexKeys::Drop(const std::function<bool(uint32_t rec)>& gone) {
  Item* const end = std::remove_if(items_.get(), items_.get() + count_, [&](const Item& it) { return gone(RecOf(it)); });
  count_ = static_cast<size_t>(end - items_.get());
}

bool IndexKeys::Less(const Item& a, const Item& b) const {
  if (a.prefix != b.prefix) return a.prefix < b.prefix;
  return CompareKeys(KeyOf(a), KeyOf(b), static_cast<int32_t>(RecOf(a)), static_cast<int32_t>(RecOf(b)), true) < 0;
}

// Stable passes of one byte of the prefix each, from the lowest of bytes 0..top; a byte alike in
// every item is passed over. The items end in `items`; `spare` is as large.
void IndexKeys::ByLowerBytes(Item* items, Item* spare, size_t n, int top) {
  std::array<std::array<uint32_t, 256>, 3> counts{};
  for (size_t i = 0; i < n; ++i)
    for (int b = 0; b <= top; ++b) ++counts[static_cast<size_t>(b)][(items[i].prefix >> (8 * b)) & 0xFF];
  Item* from = items;
  Item* to = spare;
  for (int b = 0; b <= top; ++b) {
    std::array<uint32_t, 256>& at = counts[static_cast<size_t>(b)];
    if (at[(from[0].prefix >> (8 * b)) & 0xFF] == n) continue;
    uint32_t sum = 0;
    for (uint32_t& c : at) sum += std::exchange(c, sum);
    for (size_t i = 0; i < n; ++i) to[at[(from[i].prefix >> (8 * b)) & 0xFF]++] = from[i];
    std::swap(from, to);
  }
  if (from != items) std::memcpy(items, from, n * sizeof(Item));
}

// One stable pass on the prefix's highest byte puts the items in buckets, each then sorted
// within the caches by its lower bytes and, where prefixes are alike, as whole keys. A second
// thread takes the second half of the items in the pass and a share of the buckets.
void IndexKeys::SortPrefixed() {
  // Where each half's items of each bucket go: the first half's before the second's.
  const size_t half = count_ / 2;
  std::array<std::array<size_t, 256>, 2> at{};
  for (size_t i = 0; i < half; ++i) ++at[0][items_[i].prefix >> 24];
  for (size_t i = half; i < count_; ++i) ++at[1][items_[i].prefix >> 24];
  std::array<size_t, 257> bucket{};
  for (size_t b = 0, sum = 0; b < 256; ++b) {
    const size_t inFirst = at[0][b], inSecond = at[1][b];
    bucket[b] = at[0][b] = sum;
    at[1][b] = sum + inFirst;
    sum += inFirst + inSecond;
  }
  bucket[256] = count_;
  const auto place = [&](int part) {
    std::array<size_t, 256>& to = at[static_cast<size_t>(part)];
    for (size_t i = part == 0 ? 0 : half, end = part == 0 ? half : count_; i < end; ++i)
      spare_[to[items_[i].prefix >> 24]++] = items_[i];
  };
  std::atomic<size_t> next{0};
  std::atomic<bool> alike{false};
  const auto sortBuckets = [&] {
    for (size_t b; (b = next.fetch_add(1, std::memory_order_relaxed)) < 256;) {
      const size_t first = bucket[b], n = bucket[b + 1] - first;
      if (n == 0) continue;
      // From spare_ into items_, the same places.
      Item* const items = items_.get() + first;
      std::memcpy(items, spare_.get() + first, n * sizeof(Item));
      if (n > 1) ByLowerBytes(items, spare_.get() + first, n, 2);
      if (SortAlike(items, n)) alike.store(true, std::memory_order_relaxed);
    }
  };
  std::barrier placed(2);
  std::thread helper;
  if (count_ >= kHelpedSort) {
    helper = ThreadIfAny([&] {
      place(1);
      placed.arrive_and_wait();
      sortBuckets();
    });
  }
  place(0);
  if (helper.joinable()) {
    placed.arrive_and_wait();
  } else {
    place(1);
  }
  sortBuckets();
  if (helper.joinable()) helper.join();
  alike_ = alike.load();
}

// Puts runs of items with alike prefixes in order as whole keys; true when there was one.
bool IndexKeys::SortAlike(Item* items, size_t n) const {
  bool any = false;
  for (size_t first = 0, last = 1; first < n; first = last++) {
    while (last < n && items[last].prefix == items[first].prefix) ++last;
    if (last - first < 2) continue;
    any = true;
    std::sort(items + first, items + last, [this](const Item& a, const Item& b) { return Less(a, b); });
  }
  return any;
}

void IndexKeys::Sort() {
  if (populating_.joinable()) populating_.join();
  if (sorted_) return;
  sorted_ = true;
  alike_ = false;
  if (count_ < 2) return;
  SortPrefixed();
}

std::vector<IndexKeys::Taken> IndexKeys::TakeDuplicates() {
  std::vector<Taken> taken;
  if (!alike_) return taken;
  size_t kept = 0;
  for (size_t i = 0; i < count_; ++i) {
    if (kept > 0 && items_[kept - 1].prefix == items_[i].prefix && Key(kept - 1) == Key(i))
      taken.push_back({Rec(i), std::string(Key(i))});
    else
      items_[kept++] = items_[i];
  }
  count_ = kept;
  std::sort(taken.begin(), taken.end(), [](const Taken& a, const Taken& b) { return a.rec < b.rec; });
  return taken;
}

bool WriteSortedIndex(FileBlock& fb, int index, const IndexKeys& keys) {
  Index& d = fb.idx[index];
  if (keys.size() == 0) return true;
  const int pageItems = d.h.pageItems;
  // Pages a level, from the leaves up to the root's one.
  std::vector<uint32_t> levels;
  for (uint64_t m = keys.size();; m = levels.back() - 1) {
    levels.push_back(PagesFor(m, pageItems));
    if (levels.back() == 1) break;
  }
  uint64_t total = 0;
  for (uint32_t p : levels) total += p;
  if (static_cast<int64_t>(total + 1) * fb.sectionLength > kMaxFilePosition + 1) {
    SetOsError(kErrSystemFailure, EFBIG);
    return false;
  }

  PageWriter out(fb, index, static_cast<uint32_t>(total));
  std::vector<UpperItem> items, up;
  uint32_t first = 1;
  bool ok = WriteLevel(out, keys, d.keyLength, keys.size(), levels[0], first, 0,
                       [](uint64_t i) { return UpperItem{static_cast<uint32_t>(i), 0}; }, up);
  for (size_t level = 1; ok && level < levels.size(); ++level) {
    items.swap(up);
    up.clear();
    const uint32_t below = first;
    first += levels[level - 1];
    ok = WriteLevel(out, keys, d.keyLength, items.size(), levels[level], first, below,
                    [&items](uint64_t i) { return items[i]; }, up);
  }
  if (!ok || !out.Finish()) return false;
  d.h.rootPage = static_cast<uint32_t>(total);
  d.h.high = static_cast<int32_t>(total);
  d.h.firstFree = -1;
  d.h.freeCount = 0;
  d.h.entryCount = static_cast<uint32_t>(keys.size());
  TreeClear(d);
  NoteHeaderChange(fb, index);
  return true;
}

void LimitSortedBuild(int64_t entries) { g_limit = entries; }
int64_t SortedBuildLimit() { return g_limit; }

}  // namespace isam
