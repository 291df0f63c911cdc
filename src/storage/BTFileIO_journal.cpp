// The before-image journal ("DIA"): appending header and page images, commit, and the replay
// that puts every image back after a failed operation or at the open after a crash.
//
// Order of writing: an image is in the journal, and the journal flushed, before the page or
// header it describes is overwritten. Commit truncates the journal to its one leading byte.
//
// Header images carry a relink value that puts a free-chain link back into the slot an
// operation took. An operation that takes several slots, or deletes a record, logs one image
// per slot whose link must come back, then the header as it was, so a replay that applies
// the images in order gets the state before the operation; ours also gets it from a journal
// cut off between those images (see HeaderChoice).
#include <algorithm>
#include <optional>
#include <vector>

#include "storage/BTIsBase.h"
#include "storage/Filer_error.h"

namespace isam {
namespace {

constexpr int kPageImageHead = 6;   // tag, index number, two bytes of no meaning
constexpr int kPageImageTail = 8;   // page number, left child
constexpr int kHeaderImageBody = 2 + kIndexHeaderBytes + 4;

bool Append(FileBlock& fb, const std::vector<unsigned char>& bytes) {
  return WriteAt(fb.dia, fb.dia.pos, static_cast<int64_t>(bytes.size()), bytes.data());
}

bool ValidImage(const FileBlock& fb, int index, const Header& image) {
  const Header& now = fb.idx[index].h;
  if (image.length != now.length) return false;
  if (index == 0 && image.indexCount != now.indexCount) return false;
  if (image.high < 0 || image.freeCount < 0 || image.freeCount > image.high) return false;
  if (image.firstFree != -1 && (image.firstFree < 1 || image.firstFree > image.high)) return false;
  if (index > 0 && (image.pageItems != now.pageItems ||
                    image.rootPage > static_cast<uint32_t>(image.high)))
    return false;
  return true;
}

// Writes a header image's relink value back into the slot the image names.
bool Relink(FileBlock& fb, int index, const Header& image, int32_t relink) {
  if (relink == kNoRelink) return true;
  const int32_t slot = image.firstFree;
  if (slot < 1) return false;
  unsigned char bytes[4];
  Put32(bytes, relink);
  const int64_t pos = index == 0 ? static_cast<int64_t>(slot) * fb.idx[0].h.length
                                 : PagePosition(fb, index, static_cast<uint32_t>(slot));
  return WriteAt(index == 0 ? fb.dat : fb.ix, pos, 4, bytes);
}

bool PutHeaderBack(FileBlock& fb, int index, const Header& image) {
  Index& d = fb.idx[index];
  const uint8_t openFlag = d.h.openFlag;
  d.h = image;
  d.h.openFlag = openFlag;
  return WriteHeader(fb, index);
}

// Which image of an index's header the replay puts back: the last one without relink value,
// which an operation appends as the header it started from once all its slot images are in;
// failing that the first, which is the starting header whenever the operation took a slot.
// A journal cut off before its last image (the operation wrote nothing yet) thus leaves the
// starting header too, not the half-way one of a later slot image.
struct HeaderChoice {
  std::optional<Header> image;
  bool final = false;

  void Offer(const Header& h, int32_t relink) {
    if (final) return;
    if (relink == kNoRelink) {
      image = h;
      final = true;
    } else if (!image) {
      image = h;
    }
  }
};

bool ReplayPage(FileBlock& fb, int index, uint16_t count, const unsigned char* body) {
  const Index& d = fb.idx[index];
  const int64_t itemBytes = static_cast<int64_t>(count) * (d.keyLength + 9);
  const uint32_t page = Get32(body + itemBytes);
  if (count > d.h.pageItems || page < 1 || page > static_cast<uint32_t>(fb.sections)) return false;
  PageBuffer* b = TakeFreeBuffer();
  if (!b) return false;
  std::vector<unsigned char> bytes(kPageImageHead + itemBytes);
  Put16(bytes.data(), count);
  Put32(bytes.data() + 2, Get32(body + itemBytes + 4));
  std::copy(body, body + itemBytes, bytes.begin() + kPageImageHead);
  if (!UnpackPage(bytes.data(), static_cast<int64_t>(bytes.size()), d.keyLength, d.h.pageItems, *b))
    return false;
  b->page = page;
  b->index = index;
  PackPage(*b, d.keyLength, bytes);
  return WriteAt(fb.ix, PagePosition(fb, index, page), static_cast<int64_t>(bytes.size()), bytes.data());
}

// Files longer than their headers say hold only what an undone operation appended.
bool TrimToHeaders(FileBlock& fb) {
  int64_t size = 0;
  const int64_t dataEnd = (static_cast<int64_t>(fb.idx[0].h.high) + 1) * fb.idx[0].h.length;
  if (!FileSize(fb.dat, size)) return false;
  if (size > dataEnd && !WriteAt(fb.dat, dataEnd, 0, nullptr)) return false;
  if (fb.IndexCount() == 0) return true;
  int32_t sections = 0;
  for (int k = 1; k <= fb.IndexCount(); ++k) sections = std::max(sections, fb.idx[k].h.high);
  fb.sections = sections;
  const int64_t indexEnd = (static_cast<int64_t>(sections) + 1) * fb.sectionLength;
  if (!FileSize(fb.ix, size)) return false;
  return size <= indexEnd || WriteAt(fb.ix, indexEnd, 0, nullptr);
}

bool ReplayEntries(FileBlock& fb) {
  int64_t size = 0;
  if (!FileSize(fb.dia, size)) return false;
  int64_t pos = 1;
  std::vector<unsigned char> body;
  std::vector<HeaderChoice> headers(static_cast<size_t>(fb.IndexCount()) + 1);
  // An entry cut off at the end was being appended when the operation stopped; nothing it
  // describes was written yet, so the replay ends there, as it does at a tag of 0 (space the
  // file system gave the journal but that was never written).
  while (pos + 2 <= size) {
    unsigned char tagBytes[2];
    if (!ReadAt(fb.dia, pos, 2, tagBytes)) return false;
    const uint16_t tag = Get16(tagBytes);
    pos += 2;
    if (tag == 0 || tag == kTagEnd) break;
    int64_t bodyBytes = 0;
    if (tag == kTagHeaderImage) {
      bodyBytes = kHeaderImageBody;
    } else if (tag <= kPageItems) {
      unsigned char indexBytes[2];
      if (pos + 4 > size) break;
      if (!ReadAt(fb.dia, pos, 2, indexBytes)) return false;
      const int index = Get16(indexBytes);
      if (index < 1 || index > fb.IndexCount()) return false;
      bodyBytes = 4 + static_cast<int64_t>(tag) * (fb.idx[index].keyLength + 9) + kPageImageTail;
    } else {
      return false;
    }
    if (pos + bodyBytes > size) break;
    body.resize(bodyBytes);
    if (!ReadAt(fb.dia, pos, bodyBytes, body.data())) return false;
    pos += bodyBytes;
    const int index = Get16(body.data());
    if (index > fb.IndexCount()) return false;
    if (tag == kTagHeaderImage) {
      const Header image = index == 0 ? DecodeDataHeader(body.data() + 2)
                                      : DecodeIndexHeader(body.data() + 2);
      const auto relink = static_cast<int32_t>(Get32(body.data() + 2 + kIndexHeaderBytes));
      if (!ValidImage(fb, index, image) || !Relink(fb, index, image, relink)) return false;
      headers[static_cast<size_t>(index)].Offer(image, relink);
    } else if (!ReplayPage(fb, index, tag, body.data() + 4)) {
      return false;
    }
  }
  for (int k = 0; k <= fb.IndexCount(); ++k) {
    const HeaderChoice& c = headers[static_cast<size_t>(k)];
    if (c.image && !PutHeaderBack(fb, k, *c.image)) return false;
  }
  if (fb.idx[0].changed && !WriteHeader(fb, 0)) return false;
  if (!TrimToHeaders(fb)) return false;
  if (!Flush(fb.dat)) return false;
  return fb.IndexCount() == 0 || Flush(fb.ix);
}

}  // namespace

void BeginOperation(FileBlock& fb, int index) {
  if (!fb.inUnit) EndOperations(fb);
  fb.opIndex = index;
  Index& d = fb.idx[index];
  if (!d.opStartTaken) {
    d.opStart = d.h;
    d.opStartTaken = true;
    d.lastImageIsStart = false;
  }
}

void EndOperations(FileBlock& fb) {
  fb.logged.clear();
  fb.relinkedRecords.clear();
  fb.heldRecords.clear();
  fb.pendingData.clear();
  for (Index& d : fb.idx) d.opStartTaken = d.lastImageIsStart = false;
}

bool LogHeaderImage(FileBlock& fb, int index, const Header& image, int32_t relink) {
  std::vector<unsigned char> bytes(2 + kHeaderImageBody, 0);
  Put16(bytes.data(), kTagHeaderImage);
  Put16(bytes.data() + 2, index);
  if (index == 0) EncodeDataHeader(image, bytes.data() + 4);
  else EncodeIndexHeader(image, bytes.data() + 4);
  Put32(bytes.data() + 4 + kIndexHeaderBytes, relink);
  if (!Append(fb, bytes)) return false;
  Index& d = fb.idx[index];
  d.lastImageIsStart = d.opStartTaken && image == d.opStart;
  return true;
}

bool LogOriginalHeader(FileBlock& fb) {
  const Index& d = fb.idx[fb.opIndex];
  return d.lastImageIsStart || LogHeaderImage(fb, fb.opIndex, d.opStart, kNoRelink);
}

namespace {

// Whether the record slot's state before the running operation or unit needs no image (the
// slot lay past the high mark) or has one already.
bool RecordSlotLogged(const FileBlock& fb, int32_t slot) {
  const auto& done = fb.relinkedRecords;
  return slot > fb.idx[0].opStart.high || std::find(done.begin(), done.end(), slot) != done.end();
}

}  // namespace

bool LogSlotLink(FileBlock& fb, int index, const Header& image, int32_t slot, int32_t link) {
  if (index == 0) {
    if (RecordSlotLogged(fb, slot)) return true;
    if (!LogHeaderImage(fb, 0, image, link)) return false;
    fb.relinkedRecords.push_back(slot);
    return true;
  }
  const std::pair<int, uint32_t> id{index, static_cast<uint32_t>(slot)};
  if (std::find(fb.logged.begin(), fb.logged.end(), id) != fb.logged.end()) return true;
  return LogHeaderImage(fb, index, image, link);
}

bool LogRecordDelete(FileBlock& fb, const Header& image, int32_t slot, int32_t word) {
  if (RecordSlotLogged(fb, slot)) return true;
  if (!LogHeaderImage(fb, 0, image, word)) return false;
  fb.relinkedRecords.push_back(slot);
  if (fb.inUnit) fb.heldRecords.push_back(slot);
  return true;
}

bool HeldByUnit(const FileBlock& fb, int32_t slot) {
  return std::find(fb.heldRecords.begin(), fb.heldRecords.end(), slot) != fb.heldRecords.end();
}

bool LogPageImage(FileBlock& fb, const PageBuffer& b) {
  const int keyLength = fb.idx[b.index].keyLength;
  std::vector<unsigned char> packed;
  PackPage(b, keyLength, packed);
  const int64_t itemBytes = static_cast<int64_t>(b.count) * (keyLength + 9);
  std::vector<unsigned char> bytes(kPageImageHead + itemBytes + kPageImageTail, 0);
  Put16(bytes.data(), b.count);
  Put16(bytes.data() + 2, b.index);
  std::copy(packed.begin() + 6, packed.end(), bytes.begin() + kPageImageHead);
  Put32(bytes.data() + kPageImageHead + itemBytes, b.page);
  Put32(bytes.data() + kPageImageHead + itemBytes + 4, b.left);
  return Append(fb, bytes);
}

bool FlushJournal(FileBlock& fb) { return Flush(fb.dia); }

// Once the journal is cut the operation stands: its pages and headers are flushed already.
// A flush refused after the cut cannot be answered with a rollback (the images are gone);
// it only leaves open whether a crash now would undo the whole operation at the next open,
// which leaves consistent files too.
bool CommitJournal(FileBlock& fb) {
  if (!WriteAt(fb.dia, 1, 0, nullptr)) return false;
  if (!Flush(fb.dia)) ClearError();
  return true;
}

bool ReplayJournal(FileBlock& fb) {
  if (ReplayEntries(fb) && CommitJournal(fb)) return true;
  SetError(kErrReplayFailed);
  return false;
}

bool Rollback(FileBlock& fb) {
  DropFileBlockPages(fb);
  for (Index& d : fb.idx) {
    if (!d.opStartTaken) continue;
    d.h = d.opStart;
    d.changed = false;
    d.valid = false;
  }
  EndOperations(fb);
  return ReplayJournal(fb);
}

}  // namespace isam
