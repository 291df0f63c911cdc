// The page cache: a fixed set of buffers shared by every open fileblock, kept in a ring by
// last use, with an open-addressing table from (fileblock, index, page) to buffer for the
// look-up. The ring links and the table live apart from the buffers, so that a look-up and a
// move to the front touch a few small arrays rather than buffers of kilobytes each.
#include <algorithm>
#include <new>

#include "storage/BTIsBase.h"
#include "storage/Filer_error.h"

namespace isam {
namespace {

struct PageKey {
  const FileBlock* owner = nullptr;  // nullptr: the table entry is empty
  int index = 0;
  uint32_t page = 0;
  bool operator==(const PageKey&) const = default;
};

struct Link {
  int prev = -1, next = -1;
};

// Linear probing over a power-of-two table at most a quarter full; a removal shifts the
// entries after it back, so no tombstones build up over a long run.
class PageTable {
 public:
  void Reset(size_t buffers) {
    size_t size = 16;
    while (size < buffers * 4) size *= 2;
    entries_.assign(size, {});
    mask_ = size - 1;
  }
  void Clear() { entries_.clear(); }

  int Find(const PageKey& k) const {
    for (size_t i = Home(k);; i = (i + 1) & mask_) {
      const Entry& e = entries_[i];
      if (!e.key.owner) return -1;
      if (e.key == k) return e.slot;
    }
  }
  void Insert(const PageKey& k, int slot) {
    size_t i = Home(k);
    while (entries_[i].key.owner && !(entries_[i].key == k)) i = (i + 1) & mask_;
    entries_[i] = {k, slot};
  }
  void Erase(const PageKey& k) {
    size_t i = Home(k);
    while (!(entries_[i].key == k)) {
      if (!entries_[i].key.owner) return;
      i = (i + 1) & mask_;
    }
    // Moves back each later entry of the run that may stand in the hole, so that every entry
    // stays reachable from its home without a gap.
    for (size_t j = (i + 1) & mask_; entries_[j].key.owner; j = (j + 1) & mask_) {
      const size_t home = Home(entries_[j].key);
      if (((j - home) & mask_) >= ((j - i) & mask_)) {
        entries_[i] = entries_[j];
        i = j;
      }
    }
    entries_[i] = {};
  }

 private:
  struct Entry {
    PageKey key;
    int slot = -1;
  };
  size_t Home(const PageKey& k) const {
    uint64_t h = reinterpret_cast<uintptr_t>(k.owner) ^ (static_cast<uint64_t>(k.index) << 40) ^ k.page;
    h *= 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(h >> 32) & mask_;
  }
  std::vector<Entry> entries_;
  size_t mask_ = 0;
};

struct Cache {
  std::vector<PageBuffer> buffers;
  std::vector<Link> ring;  // by slot
  int mru = -1;            // head of the ring; ring[mru].prev is the reuse end
  PageTable table;
  std::vector<unsigned char> bytes;  // a page as on disk, on its way in or out
};

Cache g_cache;

void Unlink(int i) {
  std::vector<Link>& r = g_cache.ring;
  r[r[i].prev].next = r[i].next;
  r[r[i].next].prev = r[i].prev;
}

// Inserts i before the head; as the head it is the most recently used, else the reuse end.
void InsertBeforeHead(int i, bool makeHead) {
  std::vector<Link>& r = g_cache.ring;
  const int head = g_cache.mru;
  r[i].next = head;
  r[i].prev = r[head].prev;
  r[r[i].prev].next = i;
  r[head].prev = i;
  if (makeHead) g_cache.mru = i;
}

void MakeMostRecent(PageBuffer* b) {
  const int i = SlotOf(b);
  if (i == g_cache.mru) return;
  Unlink(i);
  InsertBeforeHead(i, true);
}

void MakeReuseNext(PageBuffer* b) {
  const int i = SlotOf(b);
  if (g_cache.buffers.size() == 1) return;
  if (i == g_cache.mru) {
    g_cache.mru = g_cache.ring[i].next;  // the ring order already puts it at the reuse end
    return;
  }
  Unlink(i);
  InsertBeforeHead(i, false);
}

void Disown(PageBuffer* b) {
  if (b->owner) g_cache.table.Erase({b->owner, b->index, b->page});
  b->owner = nullptr;
  b->changed = false;
  b->logged = false;
}

PageBuffer* ReuseEnd() { return &g_cache.buffers[static_cast<size_t>(g_cache.ring[g_cache.mru].prev)]; }

void Adopt(PageBuffer* b, FileBlock& fb, int index, uint32_t page) {
  b->owner = &fb;
  b->index = index;
  b->page = page;
  g_cache.table.Insert({&fb, index, page}, SlotOf(b));
  MakeMostRecent(b);
}

}  // namespace

bool CacheInit(int32_t wanted, int32_t& obtained) {
  CacheFree();
  try {
    g_cache.buffers.resize(static_cast<size_t>(wanted));
    g_cache.ring.resize(static_cast<size_t>(wanted));
    g_cache.table.Reset(static_cast<size_t>(wanted));
  } catch (const std::bad_alloc&) {
    CacheFree();
    obtained = 0;
    return false;
  }
  const int n = static_cast<int>(g_cache.buffers.size());
  for (int i = 0; i < n; ++i) g_cache.ring[static_cast<size_t>(i)] = {(i + n - 1) % n, (i + 1) % n};
  g_cache.mru = 0;
  obtained = n;
  return true;
}

void CacheFree() {
  g_cache.buffers.clear();
  g_cache.buffers.shrink_to_fit();
  g_cache.ring.clear();
  g_cache.table.Clear();
  g_cache.mru = -1;
}

void PackPage(const PageBuffer& b, int keyLength, std::vector<unsigned char>& out) {
  const int stride = keyLength + 9;
  out.assign(6 + static_cast<size_t>(b.count) * stride, 0);
  Put16(out.data(), b.count);
  Put32(out.data() + 2, b.left);
  for (int i = 1; i <= b.count; ++i) {
    unsigned char* p = out.data() + 6 + static_cast<size_t>(i - 1) * stride;
    const Item& it = b.items[i];
    Put32(p, it.rec);
    Put32(p + 4, it.right);
    const int len = std::min<int>(it.len, keyLength);
    p[8] = static_cast<unsigned char>(len);
    std::copy(it.key, it.key + len, p + 9);
  }
}

bool UnpackPage(const unsigned char* data, int64_t size, int keyLength, int pageItems,
                PageBuffer& b) {
  const int stride = keyLength + 9;
  const uint16_t count = Get16(data);
  if (count < 1 || count > pageItems || 6 + static_cast<int64_t>(count) * stride > size) {
    SetError(kErrTooManyItems);
    return false;
  }
  b.count = count;
  b.left = Get32(data + 2);
  for (int i = 1; i <= count; ++i) {
    const unsigned char* p = data + 6 + static_cast<size_t>(i - 1) * stride;
    Item& it = b.items[i];
    it.rec = Get32(p);
    it.right = Get32(p + 4);
    if (p[8] > keyLength) {
      SetError(kErrBadPageSize);
      return false;
    }
    it.len = p[8];
    std::copy(p + 9, p + 9 + it.len, it.key);
  }
  return true;
}

// Only fb's: another fileblock's marks stand for images its own journal has not flushed.
void ClearLoggedMarks(const FileBlock& fb) {
  for (PageBuffer& b : g_cache.buffers)
    if (b.owner == &fb) b.logged = false;
}

bool WritePage(PageBuffer* b) {
  FileBlock& fb = *b->owner;
  if (fb.journal && b->logged) {
    if (!FlushJournal(fb)) return false;
    ClearLoggedMarks(fb);
  }
  std::vector<unsigned char>& bytes = g_cache.bytes;
  PackPage(*b, fb.idx[b->index].keyLength, bytes);
  if (!WriteAt(fb.ix, PagePosition(fb, b->index, b->page), static_cast<int64_t>(bytes.size()),
               bytes.data()))
    return false;
  b->changed = false;
  return true;
}

PageBuffer* TakeFreeBuffer() {
  PageBuffer* b = ReuseEnd();
  if (b->owner && b->changed && !WritePage(b)) return nullptr;
  Disown(b);
  return b;
}

PageBuffer* PageInSlot(const FileBlock& fb, int index, uint32_t page, int slot) {
  if (slot < 0 || slot >= static_cast<int>(g_cache.buffers.size())) return nullptr;
  PageBuffer* b = &g_cache.buffers[static_cast<size_t>(slot)];
  return b->owner == &fb && b->index == index && b->page == page ? b : nullptr;
}

int SlotOf(const PageBuffer* b) { return static_cast<int>(b - g_cache.buffers.data()); }

PageBuffer* GetPage(FileBlock& fb, int index, uint32_t page) {
  const int found = g_cache.table.Find({&fb, index, page});
  if (found >= 0) {
    PageBuffer* b = &g_cache.buffers[static_cast<size_t>(found)];
    MakeMostRecent(b);
    return b;
  }
  const Index& d = fb.idx[index];
  if (page < 1 || page > static_cast<uint32_t>(d.h.high)) {
    SetError(kErrOutOfRange);  // a child pointer outside the index
    return nullptr;
  }
  PageBuffer* b = TakeFreeBuffer();
  if (!b) return nullptr;
  std::vector<unsigned char>& bytes = g_cache.bytes;
  bytes.resize(static_cast<size_t>(d.h.length));
  if (!ReadAt(fb.ix, PagePosition(fb, index, page), d.h.length, bytes.data()) ||
      !UnpackPage(bytes.data(), d.h.length, d.keyLength, d.h.pageItems, *b)) {
    MakeReuseNext(b);
    return nullptr;
  }
  Adopt(b, fb, index, page);
  return b;
}

void ReadAheadPages(FileBlock& fb, int index, std::span<const uint32_t> pages) {
  ErrorKeeper keep;
  const Index& d = fb.idx[index];
  const size_t most = std::min(pages.size(), g_cache.buffers.size() / 4);
  std::vector<PageBuffer*> taken;
  std::vector<uint32_t> numbers;
  for (const uint32_t page : pages) {
    if (taken.size() == most || page < 1 || page > static_cast<uint32_t>(d.h.high)) break;
    if (g_cache.table.Find({&fb, index, page}) >= 0) continue;
    PageBuffer* b = ReuseEnd();
    if (b->changed) break;
    Disown(b);
    MakeMostRecent(b);  // out of the reuse end, so the next one taken is another buffer
    taken.push_back(b);
    numbers.push_back(page);
  }
  if (taken.empty()) return;
  const auto length = static_cast<size_t>(d.h.length);
  std::vector<unsigned char>& bytes = g_cache.bytes;
  bytes.resize(taken.size() * length);
  std::vector<ReadPiece> pieces(taken.size());
  for (size_t i = 0; i < taken.size(); ++i)
    pieces[i] = {PagePosition(fb, index, numbers[i]), static_cast<uint32_t>(length), bytes.data() + i * length};
  ReadPieces(fb.ix, pieces);
  // The farthest first, so the page wanted next ends up the most recently used.
  for (size_t i = taken.size(); i-- > 0;) {
    PageBuffer* b = taken[i];
    if (pieces[i].done &&
        UnpackPage(bytes.data() + i * length, d.h.length, d.keyLength, d.h.pageItems, *b))
      Adopt(b, fb, index, numbers[i]);
    else
      MakeReuseNext(b);
  }
}

PageBuffer* NewPage(FileBlock& fb, int index) {
  PageBuffer* b = TakeFreeBuffer();
  if (!b) return nullptr;
  int32_t number = 0;
  if (!Allocate(fb, index, number)) return nullptr;
  b->count = 0;
  b->left = 0;
  Adopt(b, fb, index, static_cast<uint32_t>(number));
  b->changed = true;
  if (fb.journal) {
    // Nothing of a new page needs restoring, but it must not reach the disk before the
    // journal that tells how to give its slot back.
    fb.logged.emplace_back(index, b->page);
    b->logged = true;
  }
  return b;
}

bool Touch(FileBlock& fb, PageBuffer* b) {
  if (fb.journal) {
    const std::pair<int, uint32_t> id{b->index, b->page};
    if (std::find(fb.logged.begin(), fb.logged.end(), id) == fb.logged.end()) {
      if (!LogPageImage(fb, *b)) return false;
      fb.logged.push_back(id);
      b->logged = true;
    }
  }
  b->changed = true;
  return true;
}

bool FreePage(FileBlock& fb, PageBuffer* b) {
  if (!Touch(fb, b)) return false;
  if (fb.journal && b->logged) {
    if (!FlushJournal(fb)) return false;
    ClearLoggedMarks(fb);
  }
  Header& h = fb.idx[b->index].h;
  unsigned char link[4];
  Put32(link, h.firstFree);
  if (!WriteAt(fb.ix, PagePosition(fb, b->index, b->page), 4, link)) return false;
  h.firstFree = static_cast<int32_t>(b->page);
  ++h.freeCount;
  NoteHeaderChange(fb, b->index);
  Disown(b);
  MakeReuseNext(b);
  return true;
}

bool WriteFileBlockPages(FileBlock& fb, bool release) {
  for (PageBuffer& b : g_cache.buffers) {
    if (b.owner != &fb) continue;
    if (b.changed && !WritePage(&b)) return false;
    if (release) Disown(&b);
  }
  for (int k = 1; k <= fb.IndexCount(); ++k)
    if (fb.idx[k].changed && !WriteHeader(fb, k)) return false;
  return true;
}

void DropFileBlockPages(FileBlock& fb) {
  for (PageBuffer& b : g_cache.buffers)
    if (b.owner == &fb) {
      Disown(&b);
      MakeReuseNext(&b);
    }
}

}  // namespace isam
