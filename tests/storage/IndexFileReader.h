// Reads an index file's bytes directly, without the engine: the headers of section 0, the
// pages of every index, the free page chains, and a structural check of a whole tree
// (key order, fill, leaf depth, EntryCount, free chain, every page either reachable or free).
// Tests use it to see what the engine left on disk, page by page.
#pragma once

#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "storage/BTIsBase.h"

struct IxItem {
  uint32_t rec = 0;
  uint32_t right = 0;
  std::string key;
};

struct IxPage {
  uint16_t count = 0;
  uint32_t left = 0;
  std::vector<IxItem> items;  // items[0] is item 1
  uint32_t Child(int i) const { return i == 0 ? left : items[static_cast<size_t>(i - 1)].right; }
  bool Leaf() const { return left == 0; }
};

struct IxEntry {
  std::string key;
  uint32_t rec = 0;
  bool operator==(const IxEntry&) const = default;
};

class IndexFileReader {
 public:
  // bytes: the whole IX file; indexCount: the data header's IndexCount.
  IndexFileReader(std::string bytes, int indexCount) : bytes_(std::move(bytes)) {
    int64_t offset = 0;
    for (int k = 1; k <= indexCount; ++k) {
      offsets_.push_back(offset);
      const isam::Header h = Header(k);
      offset += h.length > 0 ? h.length : 0;
    }
    sectionLength_ = offset;
  }

  int64_t SectionLength() const { return sectionLength_; }
  int64_t KeyOffset(int k) const { return offsets_.at(static_cast<size_t>(k - 1)); }
  int KeyLength(int k) const {
    const isam::Header h = Header(k);
    return (h.length - 6) / h.pageItems - 9;
  }

  isam::Header Header(int k) const {
    return isam::DecodeIndexHeader(At(KeyOffset(k), isam::kIndexHeaderBytes).data());
  }

  int64_t PagePosition(int k, uint32_t page) const {
    return static_cast<int64_t>(page) * sectionLength_ + KeyOffset(k);
  }

  IxPage Page(int k, uint32_t page) const {
    const int keyLength = KeyLength(k);
    const int stride = keyLength + 9;
    const std::vector<unsigned char> head = At(PagePosition(k, page), 6);
    IxPage out;
    out.count = isam::Get16(head.data());
    out.left = isam::Get32(head.data() + 2);
    const uint16_t shown = std::min<uint16_t>(out.count, isam::kPageItems);
    const std::vector<unsigned char> bytes = At(PagePosition(k, page), 6 + static_cast<int64_t>(shown) * stride);
    const unsigned char* item = bytes.data() + 6;
    for (int i = 0; i < shown; ++i, item += stride) {
      const int len = std::min<int>(item[8], keyLength);
      out.items.push_back({isam::Get32(item), isam::Get32(item + 4),
                           std::string(reinterpret_cast<const char*>(item + 9), static_cast<size_t>(len))});
    }
    return out;
  }

  std::vector<std::string> Keys(int k, uint32_t page) const {
    std::vector<std::string> keys;
    for (const IxItem& it : Page(k, page).items) keys.push_back(it.key);
    return keys;
  }

  // The free page chain from FirstFree, stopping at -1, at a page outside 1..HighPage or at
  // a page seen before (the last one is then included so the caller sees the fault).
  std::vector<int32_t> FreeChain(int k) const {
    const isam::Header h = Header(k);
    std::vector<int32_t> chain;
    std::set<int32_t> seen;
    for (int32_t p = h.firstFree; p != -1;) {
      chain.push_back(p);
      if (p < 1 || p > h.high || !seen.insert(p).second) break;
      p = static_cast<int32_t>(isam::Get32(At(PagePosition(k, static_cast<uint32_t>(p)), 4).data()));
    }
    return chain;
  }

  // What a reader of the format may look at: the headers, the used part of every page and
  // the link of every free page. The rest of a page's place keeps whatever it last held.
  std::string Meaningful() const {
    std::string out;
    for (size_t k = 1; k <= offsets_.size(); ++k) {
      const int index = static_cast<int>(k);
      const isam::Header h = Header(index);
      const std::vector<unsigned char> head = At(KeyOffset(index), isam::kIndexHeaderBytes);
      out.append(head.begin(), head.end());
      std::set<int32_t> free;
      for (int32_t p : FreeChain(index)) free.insert(p);
      for (int32_t p = 1; p <= h.high; ++p) {
        const int64_t pos = PagePosition(index, static_cast<uint32_t>(p));
        const int64_t used = free.count(p) ? 4 : 6 + static_cast<int64_t>(Page(index, static_cast<uint32_t>(p)).items.size()) * (KeyLength(index) + 9);
        const std::vector<unsigned char> bytes = At(pos, used);
        out.append(bytes.begin(), bytes.end());
      }
    }
    return out;
  }

  // Every entry in tree order, with a structural check; returns the faults found, one a line
  // ("" for a sound tree).
  std::string Check(int k, std::vector<IxEntry>* entries = nullptr, int* depth = nullptr) const {
    std::ostringstream faults;
    const isam::Header h = Header(k);
    const bool dup = h.allowDuplicates != 0;
    std::vector<IxEntry> all;
    std::set<uint32_t> reached;
    int leafDepth = -1;
    // Depth-first, left to right; a page met twice stops that branch.
    struct Frame {
      uint32_t page;
      int level;
    };
    std::vector<std::pair<Frame, int>> stack;  // (frame, next child to visit)
    auto visit = [&](uint32_t page, int level) -> bool {
      if (page < 1 || page > static_cast<uint32_t>(h.high)) {
        faults << "page " << page << " outside 1.." << h.high << "\n";
        return false;
      }
      if (!reached.insert(page).second) {
        faults << "page " << page << " reached twice\n";
        return false;
      }
      if (PagePosition(k, page) + h.length > static_cast<int64_t>(bytes_.size())) {
        faults << "page " << page << " beyond the end of the file\n";
        return false;
      }
      const IxPage pg = Page(k, page);
      if (pg.count < 1 || pg.count > h.pageItems)
        faults << "page " << page << " holds " << pg.count << " items\n";
      if (level > 0 && pg.count < h.pageItems / 2)
        faults << "page " << page << " holds only " << pg.count << " items\n";
      for (const IxItem& it : pg.items)
        if ((it.right == 0) != pg.Leaf())
          faults << "page " << page << " mixes leaf and inner items\n";
      if (pg.Leaf()) {
        if (leafDepth == -1) leafDepth = level;
        if (leafDepth != level) faults << "leaf " << page << " at depth " << level << ", not " << leafDepth << "\n";
      }
      stack.push_back({{page, level}, 0});
      return true;
    };
    if (h.rootPage != 0) visit(h.rootPage, 0);
    while (!stack.empty()) {
      auto& [frame, next] = stack.back();
      const IxPage pg = Page(k, frame.page);
      const int count = std::min<int>(pg.count, isam::kPageItems);
      if (next > count) {
        stack.pop_back();
        continue;
      }
      const int child = next++;
      if (child > 0) all.push_back({pg.items[static_cast<size_t>(child - 1)].key, pg.items[static_cast<size_t>(child - 1)].rec});
      if (!pg.Leaf() && stack.size() < 64) visit(pg.Child(child), frame.level + 1);
    }
    for (size_t i = 1; i < all.size(); ++i)
      if (isam::CompareKeys(all[i - 1].key, all[i].key, static_cast<int32_t>(all[i - 1].rec),
                            static_cast<int32_t>(all[i].rec), dup) >= 0)
        faults << "entry " << i << " not above the one before\n";
    if (all.size() != h.entryCount)
      faults << "EntryCount " << h.entryCount << " but " << all.size() << " entries\n";
    const std::vector<int32_t> chain = FreeChain(k);
    std::set<uint32_t> free;
    for (int32_t p : chain) {
      if (p < 1 || p > h.high || !free.insert(static_cast<uint32_t>(p)).second) {
        faults << "free chain broken at " << p << "\n";
        break;
      }
      if (reached.count(static_cast<uint32_t>(p))) faults << "page " << p << " both in the tree and free\n";
    }
    if (static_cast<int32_t>(chain.size()) != h.freeCount)
      faults << "FreeCount " << h.freeCount << " but " << chain.size() << " free pages\n";
    for (uint32_t p = 1; p <= static_cast<uint32_t>(std::max(h.high, 0)); ++p)
      if (!reached.count(p) && !free.count(p)) faults << "page " << p << " neither reachable nor free\n";
    if (entries) *entries = std::move(all);
    if (depth) *depth = leafDepth + 1;
    return faults.str();
  }

 private:
  // The bytes at [pos, pos+len), zero-padded past the end of the file.
  std::vector<unsigned char> At(int64_t pos, int64_t len) const {
    std::vector<unsigned char> out(static_cast<size_t>(len), 0);
    for (int64_t i = 0; i < len; ++i)
      if (pos + i >= 0 && pos + i < static_cast<int64_t>(bytes_.size()))
        out[static_cast<size_t>(i)] = static_cast<unsigned char>(bytes_[static_cast<size_t>(pos + i)]);
    return out;
  }

  std::string bytes_;
  std::vector<int64_t> offsets_;
  int64_t sectionLength_ = 0;
};
