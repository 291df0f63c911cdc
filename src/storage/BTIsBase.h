// Fileblocks in memory: the open files, the headers of the data file (index 0) and of every
// index, the shared page cache and the B-tree operations over it.
//
// On disk (little-endian):
//   DAT  slot r at r * RecordLength; slot 0 holds the 21-byte data header, rest zero.
//        A deleted slot holds the i32 link of the record free chain in its first 4 bytes.
//   IX   sections of SectionLength = sum of PageBytes; index k owns [KeyOffset(k), +PageBytes)
//        of each section; section 0 holds the 29-byte index headers, page p lives in section p.
//        Page: u16 count, u32 left child, count items of (u32 record, u32 right child,
//        u8 key length, KeyLength key bytes). A freed page holds the free-chain link.
//   DIA  one byte, then entries: tag 1..62 page image, 1000 header image, 2000 end.
// A buffer's page is only valid while no other page is fetched: code that needs several
// pages at once fetches them back to back (the cache keeps the last few, at least 8).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <span>

#include "common/ESmall_Bytes.h"
#include "storage/BTFileIO.h"
#include "storage/Filer.h"

namespace isam {

constexpr uint32_t kOpenMarker = 0x11195851;
constexpr int kPageItems = 62;
constexpr int kMinFill = kPageItems / 2;
constexpr int kMaxDepth = 8;
constexpr int kDataHeaderBytes = 21;
constexpr int kIndexHeaderBytes = 29;
constexpr uint16_t kTagHeaderImage = 1000;
constexpr uint16_t kTagEnd = 2000;
constexpr int32_t kNoRelink = -2;

// The fields shared by the data header (index 0) and the index headers.
struct Header {
  int32_t firstFree = -1;
  int32_t freeCount = 0;
  int32_t high = 0;       // HighRecord or HighPage
  int32_t length = 0;     // RecordLength or PageBytes
  uint32_t rootPage = 0;  // index only
  uint8_t allowDuplicates = 0;
  uint32_t entryCount = 0;
  uint16_t pageItems = kPageItems;
  uint32_t indexCount = 0;  // data only
  uint8_t openFlag = 0;     // data only
  bool operator==(const Header&) const = default;
};

void EncodeDataHeader(const Header& h, unsigned char out[kDataHeaderBytes]);
Header DecodeDataHeader(const unsigned char in[kDataHeaderBytes]);
void EncodeIndexHeader(const Header& h, unsigned char out[kIndexHeaderBytes]);
Header DecodeIndexHeader(const unsigned char in[kIndexHeaderBytes]);

struct PathLevel {
  uint32_t page = 0;
  uint8_t item = 0;  // 1..count designates an item; 0 the place before the first
};

struct Index {
  Header h;
  int keyLength = 0;
  int64_t keyOffset = 0;
  bool changed = false;        // header must be written
  bool takenFromFree = false;  // last allocation came off the free chain
  PathLevel path[kMaxDepth];
  int depth = 0;
  bool valid = true;
  // The cache slot that held the page at the top of the path when the position was last
  // set: a step within that page needs no look-up while the slot still holds it.
  int topSlot = -1;
  // A walk reads the leaves ahead of it in batches: the children of page aheadParent up to
  // item aheadItem are read, and the next batch will be of aheadBatch pages (0: the walk
  // has not yet left its first leaf).
  uint32_t aheadParent = 0;
  int aheadItem = 0;
  int aheadBatch = 0;
  // The running operation or unit (journal mode): the header as it stood when it began,
  // once taken, and whether the last header image in the journal is that header.
  Header opStart;
  bool opStartTaken = false;
  bool lastImageIsStart = false;
};

struct FileBlock {
  uint32_t marker = 0;
  std::string name;
  FileRec dat, ix, dia;
  bool journal = false;
  bool readOnly = false;  // opened for reading: shared with other readers, never changed
  bool headerChanged = false;  // without journal: OpenFlag is set on disk
  int64_t sectionLength = 0;
  int32_t sections = 0;        // index-file sections present after section 0
  std::vector<Index> idx;      // idx[0] is the data file
  // The running operation or unit (journal mode): pages whose state before it is already
  // in the journal (imaged, or new in it), and the record slots whose free-chain link is.
  std::vector<std::pair<int, uint32_t>> logged;
  std::vector<int32_t> relinkedRecords;
  // Records live when the unit began and deleted in it. The journal brings back only their
  // first word, so no AddRec of the unit may take and overwrite them.
  std::vector<int32_t> heldRecords;
  int opIndex = 0;
  // A unit (BeginUnit .. CommitUnit) is open; failed once a call in it was undone.
  bool inUnit = false;
  bool unitFailed = false;
  // Data-file writes of the unit, in order, held back until its journal is flushed.
  struct PendingWrite {
    int64_t pos;
    std::vector<unsigned char> bytes;
  };
  std::vector<PendingWrite> pendingData;

  int32_t IndexCount() const { return static_cast<int32_t>(idx.size()) - 1; }
};

// ---- items and pages in working form ----

struct Item {
  uint32_t rec = 0;
  uint32_t right = 0;
  uint8_t len = 0;
  char key[30] = {};
  std::string Key() const { return std::string(key, len); }
};

struct PageBuffer {
  FileBlock* owner = nullptr;
  uint32_t page = 0;
  int index = 0;
  bool changed = false;
  bool logged = false;
  uint16_t count = 0;
  uint32_t left = 0;
  Item items[kPageItems + 1];  // items[1..count]; [0] unused so item numbers match the path
  uint32_t Child(int i) const { return i == 0 ? left : items[i].right; }
};

// Page cache, shared by all open fileblocks.
bool CacheInit(int32_t wanted, int32_t& obtained);
void CacheFree();
PageBuffer* GetPage(FileBlock& fb, int index, uint32_t page);
PageBuffer* NewPage(FileBlock& fb, int index);
// Reads those of `pages` of the index that the cache does not hold into it, together, for a
// walk that wants them next. Only into buffers that need no writing, never more than a
// quarter of the cache (so the pages the caller has just fetched stay), and with the error
// state left as it was: a page that cannot be read is left for GetPage to meet.
void ReadAheadPages(FileBlock& fb, int index, std::span<const uint32_t> pages);
// Called before a page is changed: journals its image the first time in an operation and
// marks it changed. false when the journal cannot be written.
bool Touch(FileBlock& fb, PageBuffer* b);
bool FreePage(FileBlock& fb, PageBuffer* b);
bool WriteFileBlockPages(FileBlock& fb, bool release);
void DropFileBlockPages(FileBlock& fb);
bool WritePage(PageBuffer* b);
void ClearLoggedMarks(const FileBlock& fb);
// The least recently used buffer, written out first if it holds a changed page, now owned by
// nobody: the journal replay rebuilds pages in it.
PageBuffer* TakeFreeBuffer();
// The buffer in cache slot `slot` if it still holds the page, else nullptr; touches nothing.
PageBuffer* PageInSlot(const FileBlock& fb, int index, uint32_t page, int slot);
int SlotOf(const PageBuffer* b);
void PackPage(const PageBuffer& b, int keyLength, std::vector<unsigned char>& out);
bool UnpackPage(const unsigned char* data, int64_t size, int keyLength, int pageItems,
                PageBuffer& b);

// ---- headers and allocation ----

int64_t PagePosition(const FileBlock& fb, int index, uint32_t page);
bool WriteHeader(FileBlock& fb, int index);
bool WriteChangedHeaders(FileBlock& fb);  // index headers first, then the data header
// Takes a record (index 0) or page number off the free chain or past the high mark.
bool Allocate(FileBlock& fb, int index, int32_t& number);
void NoteHeaderChange(FileBlock& fb, int index);
// Without journal: marks the data file not closed properly, once, so that the close flushes
// everything and clears the mark. Nothing with journal.
void NoteUnflushedChange(FileBlock& fb);

// Writes name's index file afresh with empty indexes (deleting the old one and the journal);
// false with the error set, kErrBadKeyLength for a key length outside 1..30.
// Opens a fileblock without journal that may be marked not closed, for a rebuild that keeps
// the mark on disk until its indexes are whole; the close clears it.
void OpenFileBlockForRebuild(FileBlock*& fb, const std::string& name);
bool CreateEmptyIndexFile(const std::string& name, uint16_t indexCount, std::span<const IndexDescription> indexes);

// ---- data-file access (a unit's writes wait in memory until its commit) ----

bool ReadData(FileBlock& fb, int64_t pos, int64_t len, void* out);
bool WriteData(FileBlock& fb, int64_t pos, int64_t len, const void* data);
bool WritePendingData(FileBlock& fb);

// ---- the journal ----

// Starts an operation on `index`; inside a unit the unit's state is kept.
void BeginOperation(FileBlock& fb, int index);
// Forgets the state of the operation or unit that ended.
void EndOperations(FileBlock& fb);
bool LogHeaderImage(FileBlock& fb, int index, const Header& image, int32_t relink);
// Makes the last header image of the operation's index the header as it stood when the
// operation (or the unit) began.
bool LogOriginalHeader(FileBlock& fb);
// Logs the free-chain link `link` of the taken record slot or page `slot` under the header
// `image`, unless the slot's state before the operation or unit is in the journal already:
// the replay applies images in order, so only the first one of a slot may put it back.
bool LogSlotLink(FileBlock& fb, int index, const Header& image, int32_t slot, int32_t link);
// Logs the first word `word` of the live record `slot`, which a DeleteRec overwrites with a
// free-chain link, under the header `image`; inside a unit the record is then held.
bool LogRecordDelete(FileBlock& fb, const Header& image, int32_t slot, int32_t word);
bool HeldByUnit(const FileBlock& fb, int32_t slot);
bool LogPageImage(FileBlock& fb, const PageBuffer& b);
bool FlushJournal(FileBlock& fb);
bool CommitJournal(FileBlock& fb);
// Replays the journal; on success the journal is empty again. false with kErrReplayFailed on failure.
bool ReplayJournal(FileBlock& fb);
// After a failed journaled operation: drops the cached pages and replays.
bool Rollback(FileBlock& fb);

// ---- B-tree ----

int CompareKeys(std::string_view a, std::string_view b, int32_t recA, int32_t recB, bool dup);
bool TreeFind(FileBlock& fb, int index, const std::string& key, int32_t rec, bool& found,
              int32_t& foundRec);
bool TreeInsert(FileBlock& fb, int index, const std::string& key, int32_t rec, bool& inserted);
bool TreeDelete(FileBlock& fb, int index, const std::string& key, int32_t rec, bool& deleted);
bool TreeNext(FileBlock& fb, int index, std::string& key, int32_t& rec);
void TreeClear(Index& ix);

// ---- little-endian fields ----

using esmall::Get16;
using esmall::Get32;
using esmall::Put16;
using esmall::Put32;

}  // namespace isam
