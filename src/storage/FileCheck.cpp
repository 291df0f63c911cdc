#include "storage/FileCheck.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "common/Ansi.h"
#include "storage/BTFileIO.h"
#include "storage/BTIsBase.h"
#include "storage/ReStruct.h"

namespace isam {

namespace {

bool ReadWhole(const std::string& engineName, std::string& bytes) {
  std::ifstream in(ResolvePath(engineName), std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  bytes = s.str();
  return true;
}

// The bytes at [pos, pos + len), zero past the end of the file.
std::string At(const std::string& file, int64_t pos, int64_t len) {
  std::string out(static_cast<size_t>(std::max<int64_t>(len, 0)), '\0');
  for (int64_t i = 0; i < len; ++i)
    if (pos + i >= 0 && pos + i < static_cast<int64_t>(file.size())) out[static_cast<size_t>(i)] = file[static_cast<size_t>(pos + i)];
  return out;
}

uint32_t U32(const std::string& b, size_t at) {
  return Get32(reinterpret_cast<const unsigned char*>(b.data()) + at);
}

std::string Str(int64_t n) { return std::to_string(n); }

}  // namespace

FileBlockCheck::FileBlockCheck(const std::string& name) {
  // First, since it tells where the user's records are when a reorganisation stopped.
  const std::string saved = SavedFileName(name);
  if (FileExists(saved))
    Find("saved copy " + ansi::ToUtf8(saved) +
         " of an unfinished reorganisation is present (without a data file, reorg goes on from it)");
  if (!ReadWhole(FileBlockFileName(name, FileKind::Data), dat_)) {
    Find("data file " + ansi::ToUtf8(FileBlockFileName(name, FileKind::Data)) + " cannot be read");
    return;
  }
  std::string dia;
  if (ReadWhole(FileBlockFileName(name, FileKind::Journal), dia)) {
    shape_.journalBytes = static_cast<int64_t>(dia.size());
    if (dia.empty()) Find("journal of 0 bytes (the open refuses it)");
    if (dia.size() > 1)
      Find("journal holds " + Str(static_cast<int64_t>(dia.size()) - 1) +
           " bytes of entries: an operation was cut off (the next open with journal replays it)");
  }
  CheckData();
  if (shape_.indexCount == 0) return;
  haveIx_ = ReadWhole(FileBlockFileName(name, FileKind::Index), ix_);
  if (!haveIx_) {
    Find("index file " + ansi::ToUtf8(FileBlockFileName(name, FileKind::Index)) + " cannot be read");
    return;
  }
  int64_t offset = 0;
  for (int k = 1; k <= shape_.indexCount; ++k) {
    keyOffsets_.push_back(offset);
    const Header h = DecodeIndexHeader(reinterpret_cast<const unsigned char*>(At(ix_, offset, kIndexHeaderBytes).data()));
    offset += std::max(h.length, 0);
  }
  keys_.resize(static_cast<size_t>(shape_.indexCount));
  for (int k = 1; k <= shape_.indexCount; ++k) CheckIndex(k);
}

void FileBlockCheck::CheckData() {
  if (dat_.size() < static_cast<size_t>(kDataHeaderBytes)) {
    Find("data file of " + Str(static_cast<int64_t>(dat_.size())) + " bytes is shorter than its header");
    return;
  }
  const Header h = DecodeDataHeader(reinterpret_cast<const unsigned char*>(dat_.data()));
  shape_.recordLength = h.length;
  shape_.highRecord = h.high;
  shape_.freeRecords = h.freeCount;
  shape_.openFlag = h.openFlag != 0;
  shape_.indexCount = static_cast<int>(h.indexCount);
  if (h.openFlag != 0) Find("OpenFlag set: the fileblock was not closed properly (reindex mends it)");
  if (h.indexCount > static_cast<uint32_t>(kMaxIndexes)) {
    Find("IndexCount " + Str(h.indexCount) + " above " + Str(kMaxIndexes));
    shape_.indexCount = 0;
  }
  if (h.length < kMinRecordLength) {
    Find("RecordLength " + Str(h.length) + " below " + Str(kMinRecordLength));
    return;
  }
  const int64_t size = static_cast<int64_t>(dat_.size());
  if (size % h.length != 0)
    Find("data file of " + Str(size) + " bytes is not a whole number of " + Str(h.length) + "-byte records");
  const int64_t slots = size / h.length - 1;
  if (slots != h.high) Find("HighRecord " + Str(h.high) + " but the file holds " + Str(slots) + " records");
  const int32_t high = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(h.high, 0), std::max<int64_t>(slots, 0)));
  if (h.freeCount < 0 || h.freeCount > std::max(h.high, 0)) Find("FreeCount " + Str(h.freeCount) + " outside 0.." + Str(h.high));

  std::vector<bool> onChain(static_cast<size_t>(high) + 1, false);
  int32_t chain = 0;
  for (int32_t r = h.firstFree; r != -1;) {
    if (r < 1 || r > high) {
      Find("record free chain leads to " + Str(r) + ", outside 1.." + Str(high));
      break;
    }
    if (onChain[static_cast<size_t>(r)]) {
      Find("record free chain runs in a circle at " + Str(r));
      break;
    }
    onChain[static_cast<size_t>(r)] = true;
    ++chain;
    r = static_cast<int32_t>(U32(dat_, static_cast<size_t>(r) * h.length));
    if (r == 0) {
      Find("record free chain holds a link of 0");
      break;
    }
  }
  shape_.freeChain = chain;
  if (chain != h.freeCount) Find("FreeCount " + Str(h.freeCount) + " but " + Str(chain) + " records on the free chain");
  live_.assign(static_cast<size_t>(high) + 1, false);
  for (int32_t r = 1; r <= high; ++r) {
    const uint32_t word = U32(dat_, static_cast<size_t>(r) * h.length);
    if (onChain[static_cast<size_t>(r)]) continue;
    if (word == 0) live_[static_cast<size_t>(r)] = true;
    else Find("record " + Str(r) + " is neither live (first word 0) nor on the free chain");
  }
}

void FileBlockCheck::CheckIndex(int k) {
  const std::string where = "index " + Str(k) + ": ";
  const int64_t offset = keyOffsets_[static_cast<size_t>(k - 1)];
  const Header h = DecodeIndexHeader(reinterpret_cast<const unsigned char*>(At(ix_, offset, kIndexHeaderBytes).data()));
  IndexShape shape;
  shape.allowDuplicates = h.allowDuplicates != 0;
  shape.pageItems = h.pageItems;
  shape.highPage = h.high;
  shape.freePages = h.freeCount;
  shape.entries = h.entryCount;
  if (h.pageItems < 2 || h.pageItems > kPageItems || h.length <= 6 || (h.length - 6) % h.pageItems != 0) {
    Find(where + "PageBytes " + Str(h.length) + " with " + Str(h.pageItems) + " items a page is no page layout");
    shape_.indexes.push_back(shape);
    return;
  }
  const int keyLength = (h.length - 6) / h.pageItems - 9;
  shape.keyLength = keyLength;
  if (keyLength < 1 || keyLength > kMaxKeyLength) {
    Find(where + "key length " + Str(keyLength) + " outside 1.." + Str(kMaxKeyLength));
    shape_.indexes.push_back(shape);
    return;
  }
  // The section is the sum of every index's PageBytes.
  int64_t section = 0;
  for (int j = 1; j <= shape_.indexCount; ++j) {
    const Header hj = DecodeIndexHeader(
        reinterpret_cast<const unsigned char*>(At(ix_, keyOffsets_[static_cast<size_t>(j - 1)], kIndexHeaderBytes).data()));
    section += std::max(hj.length, 0);
  }
  const int64_t pagesInFile = section > 0 ? static_cast<int64_t>(ix_.size()) / section - 1 : 0;
  if (h.high < 0 || h.high > pagesInFile) {
    Find(where + "HighPage " + Str(h.high) + " but the index file holds " + Str(pagesInFile) + " sections");
  }
  const uint32_t high = static_cast<uint32_t>(std::max<int64_t>(0, std::min<int64_t>(h.high, pagesInFile)));
  const int stride = keyLength + 9;
  auto pagePos = [&](uint32_t p) { return static_cast<int64_t>(p) * section + offset; };

  struct Page {
    uint16_t count;
    uint32_t left;
    std::vector<KeyEntry> items;
    std::vector<uint32_t> rights;
  };
  auto readPage = [&](uint32_t p) {
    const std::string head = At(ix_, pagePos(p), 6);
    Page pg;
    pg.count = Get16(reinterpret_cast<const unsigned char*>(head.data()));
    pg.left = U32(head, 2);
    const int shown = std::min<int>(pg.count, h.pageItems);
    const std::string body = At(ix_, pagePos(p) + 6, static_cast<int64_t>(shown) * stride);
    for (int i = 0; i < shown; ++i) {
      const size_t at = static_cast<size_t>(i) * stride;
      const int len = std::min<int>(static_cast<unsigned char>(body[at + 8]), keyLength);
      pg.items.push_back({body.substr(at + 9, static_cast<size_t>(len)), U32(body, at)});
      pg.rights.push_back(U32(body, at + 4));
    }
    return pg;
  };

  std::set<uint32_t> reached;
  std::vector<KeyEntry>& all = keys_[static_cast<size_t>(k - 1)];
  int leafDepth = -1;
  struct Frame {
    uint32_t page;
    int level;
    int next;
  };
  std::vector<Frame> stack;
  auto visit = [&](uint32_t p, int level) {
    if (p < 1 || p > high) {
      Find(where + "page " + Str(p) + " outside 1.." + Str(high));
      return;
    }
    if (!reached.insert(p).second) {
      Find(where + "page " + Str(p) + " is reached twice");
      return;
    }
    if (level >= kMaxDepth) {
      Find(where + "tree deeper than " + Str(kMaxDepth) + " levels at page " + Str(p));
      return;
    }
    const Page pg = readPage(p);
    if (pg.count < 1 || pg.count > h.pageItems) Find(where + "page " + Str(p) + " holds " + Str(pg.count) + " items");
    if (level > 0 && pg.count < h.pageItems / 2)
      Find(where + "page " + Str(p) + " holds only " + Str(pg.count) + " items");
    const bool leaf = pg.left == 0;
    for (uint32_t right : pg.rights)
      if ((right == 0) != leaf) {
        Find(where + "page " + Str(p) + " mixes leaf and inner items");
        break;
      }
    if (leaf) {
      if (leafDepth == -1) leafDepth = level;
      else if (leafDepth != level)
        Find(where + "leaf " + Str(p) + " at depth " + Str(level + 1) + ", others at " + Str(leafDepth + 1));
    }
    shape.usedItems += static_cast<int64_t>(pg.items.size());
    ++shape.pagesInTree;
    stack.push_back({p, level, 0});
  };
  if (h.rootPage != 0) visit(h.rootPage, 0);
  while (!stack.empty()) {
    Frame& f = stack.back();
    const Page pg = readPage(f.page);
    const int count = static_cast<int>(pg.items.size());
    if (f.next > count) {
      stack.pop_back();
      continue;
    }
    const int child = f.next++;
    const int level = f.level;
    if (child > 0) all.push_back(pg.items[static_cast<size_t>(child - 1)]);
    const uint32_t down = child == 0 ? pg.left : pg.rights[static_cast<size_t>(child - 1)];
    if (down != 0) visit(down, level + 1);
  }
  shape.height = leafDepth + 1;
  shape.reached = static_cast<uint32_t>(all.size());
  for (size_t i = 1; i < all.size(); ++i) {
    if (CompareKeys(all[i - 1].key, all[i].key, static_cast<int32_t>(all[i - 1].record),
                    static_cast<int32_t>(all[i].record), shape.allowDuplicates) >= 0) {
      Find(where + "entry " + Str(static_cast<int64_t>(i) + 1) + " is not above the one before");
      break;
    }
  }
  if (all.size() != h.entryCount)
    Find(where + "EntryCount " + Str(h.entryCount) + " but " + Str(static_cast<int64_t>(all.size())) + " entries in the tree");
  for (const KeyEntry& e : all)
    if (e.record >= live_.size() || !live_[e.record]) {
      Find(where + "key names record " + Str(e.record) + ", which is not a live record");
      break;
    }
  std::set<uint32_t> free;
  for (int32_t p = h.firstFree; p != -1;) {
    if (p < 1 || static_cast<uint32_t>(p) > high || !free.insert(static_cast<uint32_t>(p)).second) {
      Find(where + "page free chain broken at " + Str(p));
      break;
    }
    if (reached.count(static_cast<uint32_t>(p))) Find(where + "page " + Str(p) + " is both in the tree and free");
    p = static_cast<int32_t>(U32(At(ix_, pagePos(static_cast<uint32_t>(p)), 4), 0));
  }
  if (static_cast<int32_t>(free.size()) != h.freeCount)
    Find(where + "FreeCount " + Str(h.freeCount) + " but " + Str(static_cast<int64_t>(free.size())) + " free pages");
  for (uint32_t p = 1; p <= high; ++p)
    if (!reached.count(p) && !free.count(p)) {
      Find(where + "page " + Str(p) + " is neither in the tree nor free");
      break;
    }
  shape_.indexes.push_back(shape);
}

std::vector<std::pair<int32_t, std::string>> FileBlockCheck::LiveRecords() const {
  std::vector<std::pair<int32_t, std::string>> out;
  for (size_t r = 1; r < live_.size(); ++r)
    if (live_[r]) out.emplace_back(static_cast<int32_t>(r), dat_.substr(r * static_cast<size_t>(shape_.recordLength), static_cast<size_t>(shape_.recordLength)));
  return out;
}

std::vector<KeyEntry> FileBlockCheck::Keys(int k) const {
  if (k < 1 || k > static_cast<int>(keys_.size())) return {};
  return keys_[static_cast<size_t>(k - 1)];
}

}  // namespace isam
