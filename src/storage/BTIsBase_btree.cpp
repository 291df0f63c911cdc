// The B-tree of one index: find, insert with redistribution before a split, delete with
// borrow or merge, and stepping from the position the index keeps.
//
// Buffers are re-fetched by page number after any other fetch; at most three pages (a page,
// its parent and a neighbour) are held at once, always fetched back to back.
#include <cstring>
#include <vector>

#include "common/Ansi.h"
#include "storage/BTIsBase.h"
#include "storage/Filer_error.h"

namespace isam {
namespace {

Item MakeItem(const std::string& key, int32_t rec, uint32_t right) {
  Item it;
  it.rec = static_cast<uint32_t>(rec);
  it.right = right;
  it.len = static_cast<uint8_t>(std::min<size_t>(key.size(), sizeof it.key));
  std::copy(key.begin(), key.begin() + it.len, it.key);
  return it;
}

// Compares in place: a search makes several comparisons a page and must not copy each key.
int CompareItem(const std::string& key, int32_t rec, const Item& it, bool dup) {
  return CompareKeys(key, std::string_view(it.key, it.len), rec, static_cast<int32_t>(it.rec), dup);
}

// One level of a path from the root: the page and the child taken (0..count) or item found.
struct Step {
  uint32_t page;
  int pos;
};

bool TooDeep(size_t depth) {
  if (depth < kMaxDepth) return false;
  SetError(kErrOutOfRange);  // deeper than any real tree: the child pointers run in a circle
  return true;
}

// Binary search of one page: returns true with pos = the item when found, else pos = the
// number of items below the key.
bool SearchPage(const PageBuffer& b, const std::string& key, int32_t rec, bool dup, int& pos) {
  int low = 1, high = b.count, mid = 0;
  while (high >= low) {
    mid = (low + high) / 2;
    const int c = CompareItem(key, rec, b.items[mid], dup);
    if (c <= 0) high = mid - 1;
    if (c >= 0) low = mid + 1;
  }
  if (low - high > 1) {
    pos = mid;
    return true;
  }
  pos = high;
  return false;
}

// Fills the items of b from seq[from, to) and sets its count.
void Fill(PageBuffer* b, const std::vector<Item>& seq, int from, int to) {
  b->count = static_cast<uint16_t>(to - from);
  for (int i = from; i < to; ++i) b->items[i - from + 1] = seq[i];
}

void InsertAt(PageBuffer* b, int after, const Item& it) {
  for (int i = b->count; i > after; --i) b->items[i + 1] = b->items[i];
  b->items[after + 1] = it;
  ++b->count;
}

void RemoveAt(PageBuffer* b, int pos) {
  for (int i = pos; i < b->count; ++i) b->items[i] = b->items[i + 1];
  --b->count;
}

struct Tree {
  FileBlock& fb;
  int index;
  Index& d;
  bool dup;
  int items;  // PageItems
  Tree(FileBlock& f, int k)
      : fb(f), index(k), d(f.idx[k]), dup(d.h.allowDuplicates != 0), items(d.h.pageItems) {}
  PageBuffer* Get(uint32_t page) { return GetPage(fb, index, page); }

  // The path from the root to the key's place; found tells whether the last step is the key.
  bool Descend(const std::string& key, int32_t rec, std::vector<Step>& path, bool& found) {
    path.clear();
    found = false;
    uint32_t page = d.h.rootPage;
    while (page != 0) {
      if (TooDeep(path.size())) return false;
      PageBuffer* b = Get(page);
      if (!b) return false;
      int pos = 0;
      found = SearchPage(*b, key, rec, dup, pos);
      path.push_back({page, pos});
      if (found) return true;
      page = b->Child(pos);
    }
    return true;
  }

  // The full page b cannot take `it` after position `after`: share with a neighbour that
  // has room, or split. Returns true when an item is left to pass up (in carry).
  bool PlaceInFull(uint32_t page, int after, Item it, const Step* parent, bool& carryUp,
                   Item& carry) {
    carryUp = false;
    if (parent) {
      PageBuffer* pb = Get(parent->page);
      if (!pb) return false;
      const bool right = parent->pos < pb->count;
      const int sep = right ? parent->pos + 1 : parent->pos;
      const uint32_t other = pb->Child(right ? parent->pos + 1 : parent->pos - 1);
      PageBuffer* nb = Get(other);
      if (!nb) return false;
      PageBuffer* b = Get(page);
      if (!b) return false;
      pb = Get(parent->page);  // keep all three among the most recent
      if (nb->count < items)
        return Redistribute(pb, sep, b, nb, right, after, it);
    }
    PageBuffer* b = Get(page);
    if (!b || !Touch(fb, b)) return false;
    std::vector<Item> seq(b->items + 1, b->items + 1 + b->count);
    seq.insert(seq.begin() + after, it);
    PageBuffer* np = NewPage(fb, index);
    if (!np) return false;
    b = Get(page);
    if (!b) return false;
    const int n = items / 2;
    Fill(b, seq, 0, n);
    carry = seq[n];
    np->left = carry.right;
    Fill(np, seq, n + 1, static_cast<int>(seq.size()));
    carry.right = np->page;
    carryUp = true;
    return true;
  }

  bool Redistribute(PageBuffer* pb, int sep, PageBuffer* b, PageBuffer* nb, bool right,
                    int after, const Item& it) {
    if (!Touch(fb, pb) || !Touch(fb, b) || !Touch(fb, nb)) return false;
    std::vector<Item> full(b->items + 1, b->items + 1 + b->count);
    full.insert(full.begin() + after, it);
    std::vector<Item> neighbour(nb->items + 1, nb->items + 1 + nb->count);
    const int m = nb->count;
    const int kept = (m + items + 2) / 2;  // the full page keeps the larger half
    const int given = (m + items + 1) / 2;
    std::vector<Item> seq;
    Item separator = pb->items[sep];
    if (right) {
      separator.right = nb->left;
      seq = full;
      seq.push_back(separator);
      seq.insert(seq.end(), neighbour.begin(), neighbour.end());
      Fill(b, seq, 0, kept);
      Item up = seq[kept];
      nb->left = up.right;
      Fill(nb, seq, kept + 1, static_cast<int>(seq.size()));
      up.right = nb->page;
      pb->items[sep] = up;
    } else {
      separator.right = b->left;
      seq = neighbour;
      seq.push_back(separator);
      seq.insert(seq.end(), full.begin(), full.end());
      Fill(nb, seq, 0, given);
      Item up = seq[given];
      b->left = up.right;
      Fill(b, seq, given + 1, static_cast<int>(seq.size()));
      up.right = b->page;
      pb->items[sep] = up;
    }
    return true;
  }

  bool Insert(const std::string& key, int32_t rec, bool& inserted) {
    inserted = false;
    std::vector<Step> path;
    bool found = false;
    if (!Descend(key, rec, path, found)) return false;
    if (found) return true;  // refused as a duplicate
    Item carry = MakeItem(key, rec, 0);
    for (int level = static_cast<int>(path.size()) - 1; level >= 0; --level) {
      const Step& at = path[level];
      PageBuffer* b = Get(at.page);
      if (!b) return false;
      if (b->count < items) {
        if (!Touch(fb, b)) return false;
        InsertAt(b, at.pos, carry);
        inserted = true;
        return true;
      }
      bool up = false;
      if (!PlaceInFull(at.page, at.pos, carry, level > 0 ? &path[level - 1] : nullptr, up, carry))
        return false;
      if (!up) {
        inserted = true;
        return true;
      }
    }
    // Passed up out of the root (or the index was empty): a new root.
    PageBuffer* root = NewPage(fb, index);
    if (!root) return false;
    root->left = d.h.rootPage;
    root->count = 1;
    root->items[1] = carry;
    d.h.rootPage = root->page;
    NoteHeaderChange(fb, index);
    inserted = true;
    return true;
  }

  // Mends the page at path[level] if it holds fewer than the minimum; returns in `more`
  // whether its parent lost an item and must be looked at in turn.
  bool Mend(const std::vector<Step>& path, int level, bool& more) {
    more = false;
    const int n = items / 2;
    const Step& parent = path[level - 1];
    PageBuffer* pb = Get(parent.page);
    if (!pb) return false;
    const bool right = parent.pos < pb->count;
    const int sep = right ? parent.pos + 1 : parent.pos;
    const uint32_t other = pb->Child(right ? parent.pos + 1 : parent.pos - 1);
    PageBuffer* nb = Get(other);
    if (!nb) return false;
    PageBuffer* b = Get(path[level].page);
    if (!b) return false;
    pb = Get(parent.page);
    if (b->count >= n) return true;
    if (!Touch(fb, pb) || !Touch(fb, nb) || !Touch(fb, b)) return false;
    const int spare = nb->count + 1 - n;
    if (spare > 1) {
      const int k = spare / 2;
      Item separator = pb->items[sep];
      if (right) {
        separator.right = nb->left;
        b->items[++b->count] = separator;
        for (int i = 1; i < k; ++i) b->items[++b->count] = nb->items[i];
        Item up = nb->items[k];
        nb->left = up.right;
        for (int i = 0; i < k; ++i) RemoveAt(nb, 1);
        up.right = nb->page;
        pb->items[sep] = up;
      } else {
        separator.right = b->left;
        std::vector<Item> moved(nb->items + nb->count - k + 2, nb->items + nb->count + 1);
        moved.push_back(separator);
        Item up = nb->items[nb->count - k + 1];
        b->left = up.right;
        for (int i = static_cast<int>(moved.size()) - 1; i >= 0; --i) InsertAt(b, 0, moved[i]);
        nb->count = static_cast<uint16_t>(nb->count - k);
        up.right = b->page;
        pb->items[sep] = up;
      }
      return true;
    }
    // Merge into the left one of the two pages and free the right one.
    PageBuffer* keep = right ? b : nb;
    PageBuffer* gone = right ? nb : b;
    Item separator = pb->items[sep];
    separator.right = gone->left;
    keep->items[++keep->count] = separator;
    for (int i = 1; i <= gone->count; ++i) keep->items[++keep->count] = gone->items[i];
    RemoveAt(pb, sep);
    if (!FreePage(fb, gone)) return false;
    more = true;
    return true;
  }

  bool Delete(const std::string& key, int32_t rec, bool& deleted) {
    deleted = false;
    std::vector<Step> path;
    bool found = false;
    if (!Descend(key, rec, path, found)) return false;
    if (!found) return true;
    const Step at = path.back();
    PageBuffer* b = Get(at.page);
    if (!b) return false;
    if (b->left == 0) {
      if (!Touch(fb, b)) return false;
      RemoveAt(b, at.pos);
    } else {
      // Replace the item by the greatest key of its left subtree.
      path.back().pos = at.pos - 1;
      uint32_t page = b->Child(at.pos - 1);
      for (;;) {
        if (TooDeep(path.size())) return false;
        PageBuffer* c = Get(page);
        if (!c) return false;
        path.push_back({page, c->count});
        if (c->left == 0) break;
        page = c->Child(c->count);
      }
      PageBuffer* leaf = Get(path.back().page);
      if (!leaf) return false;
      b = Get(at.page);
      leaf = Get(path.back().page);
      if (!Touch(fb, b) || !Touch(fb, leaf)) return false;
      Item moved = leaf->items[leaf->count];
      moved.right = b->items[at.pos].right;
      b->items[at.pos] = moved;
      --leaf->count;
      path.back().pos = leaf->count;
    }
    for (int level = static_cast<int>(path.size()) - 1; level >= 1; --level) {
      bool more = false;
      if (!Mend(path, level, more)) return false;
      if (!more) break;
    }
    PageBuffer* root = Get(d.h.rootPage);
    if (!root) return false;
    if (root->count == 0) {
      d.h.rootPage = root->left;
      NoteHeaderChange(fb, index);
      if (!FreePage(fb, root)) return false;
    }
    deleted = true;
    return true;
  }
};

// Key order: Windows-1252 bytes as UTF-16 code units.
struct CodeUnits {
  char16_t of[256];
  CodeUnits() {
    for (int c = 0; c < 256; ++c) of[c] = ansi::ToUtf16(static_cast<unsigned char>(c));
  }
};
const CodeUnits kUnits;

// The item's key and record into the caller's variables. The key keeps its room from call to
// call, so a walk copies characters and allocates nothing.
void TakeItem(const Item& it, std::string& key, int32_t& rec) {
  key.resize(it.len);
  std::memcpy(key.data(), it.key, it.len);
  rec = static_cast<int32_t>(it.rec);
}

// In a walk, the leaves after the one just reached are the later children of its parent.
// They are read into the cache together, in batches that grow from 4 pages to 32 as the walk
// goes on, so that a walk reads its leaves with a few calls a parent instead of one a leaf,
// and a short scan that crosses into one more leaf reads only a few ahead. false when the
// parent (fetched just before, so normally still in the cache) cannot be had.
constexpr int kFirstAheadBatch = 4;
constexpr int kMostAheadBatch = 32;

bool ReadAheadLeaves(Tree& t, Index& d) {
  if (d.depth < 2) return true;
  const PathLevel parent = d.path[d.depth - 2];
  if (parent.page == d.aheadParent && parent.item < d.aheadItem) return true;  // read already
  const PageBuffer* p = t.Get(parent.page);
  if (!p) return false;
  d.aheadBatch = d.aheadBatch == 0 ? kFirstAheadBatch : std::min(2 * d.aheadBatch, kMostAheadBatch);
  uint32_t pages[kMostAheadBatch];
  const int last = std::min<int>(p->count, parent.item + d.aheadBatch);
  int n = 0;
  for (int i = parent.item + 1; i <= last; ++i) pages[n++] = p->Child(i);
  d.aheadParent = parent.page;
  d.aheadItem = last;
  ReadAheadPages(t.fb, t.index, {pages, static_cast<size_t>(n)});
  return true;
}

void ForgetReadAhead(Index& d) {
  d.aheadParent = 0;
  d.aheadItem = 0;
  d.aheadBatch = 0;
}

}  // namespace

int CompareKeys(std::string_view a, std::string_view b, int32_t recA, int32_t recB, bool dup) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const char16_t x = kUnits.of[static_cast<unsigned char>(a[i])];
    const char16_t y = kUnits.of[static_cast<unsigned char>(b[i])];
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  if (!dup || recA == recB) return 0;
  return recA < recB ? -1 : 1;
}

void TreeClear(Index& ix) {
  ix.depth = 0;
  ix.topSlot = -1;
  ix.valid = true;
  ForgetReadAhead(ix);
}

bool TreeFind(FileBlock& fb, int index, const std::string& key, int32_t rec, bool& found,
              int32_t& foundRec) {
  Tree t(fb, index);
  Index& d = t.d;
  d.depth = 0;
  ForgetReadAhead(d);
  found = false;
  uint32_t page = d.h.rootPage;
  while (page != 0) {
    if (TooDeep(d.depth)) {
      d.depth = 0;
      return false;
    }
    PageBuffer* b = t.Get(page);
    if (!b) {
      d.depth = 0;
      return false;
    }
    int pos = 0;
    found = SearchPage(*b, key, rec, t.dup, pos);
    d.path[d.depth++] = {page, static_cast<uint8_t>(pos)};
    if (found) {
      foundRec = static_cast<int32_t>(b->items[pos].rec);
      d.topSlot = SlotOf(b);
      d.valid = true;
      return true;
    }
    page = b->Child(pos);
  }
  while (d.depth > 0 && d.path[d.depth - 1].item == 0) --d.depth;
  d.valid = true;
  return true;
}

bool TreeNext(FileBlock& fb, int index, std::string& key, int32_t& rec) {
  Index& d = fb.idx[index];
  if (d.depth > 0 && d.valid) {
    // A step within a leaf that is still in its cache slot: no look-up. The position being
    // valid means the index was not changed since, so the page's items are the ones stepped.
    PathLevel& top = d.path[d.depth - 1];
    const PageBuffer* b = PageInSlot(fb, index, top.page, d.topSlot);
    if (b && top.item < b->count && b->Child(top.item) == 0) {
      TakeItem(b->items[++top.item], key, rec);
      return true;
    }
  }
  Tree t(fb, index);
  const bool walking = d.depth > 0 && d.valid;
  if (d.depth > 0 && !d.valid) {
    bool found = false;
    int32_t ignored = 0;
    if (!TreeFind(fb, index, key, rec, found, ignored)) return false;
  }
  uint32_t page = d.h.rootPage;
  PageBuffer* last = nullptr;  // the page at the top of the path, while nothing was fetched after it
  if (d.depth > 0) {
    const PathLevel& top = d.path[d.depth - 1];
    last = t.Get(top.page);
    if (!last) return false;
    page = last->Child(std::min<int>(top.item, last->count));
  }
  while (page != 0) {
    if (TooDeep(d.depth)) {
      d.depth = 0;
      return false;
    }
    last = t.Get(page);
    if (!last) return false;
    d.path[d.depth++] = {page, 0};
    page = last->left;
    if (page == 0 && walking) {
      if (!ReadAheadLeaves(t, d)) return false;
      last = nullptr;  // reading ahead fetched other pages: the leaf is fetched again
    }
  }
  while (d.depth > 0) {
    PathLevel& top = d.path[d.depth - 1];
    PageBuffer* b = last ? last : t.Get(top.page);  // a step within a leaf fetches nothing again
    last = nullptr;
    if (!b) return false;
    if (top.item < b->count) {
      TakeItem(b->items[++top.item], key, rec);
      d.topSlot = SlotOf(b);
      d.valid = true;
      return true;
    }
    if (d.depth == 1) break;
    --d.depth;
  }
  d.depth = 0;
  d.valid = true;
  SetError(kErrNoNextKey);
  return false;
}

bool TreeInsert(FileBlock& fb, int index, const std::string& key, int32_t rec, bool& inserted) {
  return Tree(fb, index).Insert(key, rec, inserted);
}

bool TreeDelete(FileBlock& fb, int index, const std::string& key, int32_t rec, bool& deleted) {
  return Tree(fb, index).Delete(key, rec, deleted);
}

}  // namespace isam
