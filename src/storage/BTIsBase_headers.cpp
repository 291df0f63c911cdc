// Header layouts, header writes and the allocation of record and page numbers.
#include <cerrno>

#include "storage/BTIsBase.h"
#include "storage/Filer_error.h"

namespace isam {

void EncodeDataHeader(const Header& h, unsigned char out[kDataHeaderBytes]) {
  Put32(out + 0, h.firstFree);
  Put32(out + 4, h.freeCount);
  Put32(out + 8, h.high);
  Put32(out + 12, h.length);
  Put32(out + 16, h.indexCount);
  out[20] = h.openFlag;
}

Header DecodeDataHeader(const unsigned char in[kDataHeaderBytes]) {
  Header h;
  h.firstFree = static_cast<int32_t>(Get32(in + 0));
  h.freeCount = static_cast<int32_t>(Get32(in + 4));
  h.high = static_cast<int32_t>(Get32(in + 8));
  h.length = static_cast<int32_t>(Get32(in + 12));
  h.indexCount = in[16];  // only the low byte counts
  h.openFlag = in[20];
  return h;
}

void EncodeIndexHeader(const Header& h, unsigned char out[kIndexHeaderBytes]) {
  Put32(out + 0, h.firstFree);
  Put32(out + 4, h.freeCount);
  Put32(out + 8, h.high);
  Put32(out + 12, h.length);
  Put32(out + 16, h.rootPage);
  out[20] = h.allowDuplicates;
  out[21] = out[22] = 0;
  Put32(out + 23, h.entryCount);
  Put16(out + 27, h.pageItems);
}

Header DecodeIndexHeader(const unsigned char in[kIndexHeaderBytes]) {
  Header h;
  h.firstFree = static_cast<int32_t>(Get32(in + 0));
  h.freeCount = static_cast<int32_t>(Get32(in + 4));
  h.high = static_cast<int32_t>(Get32(in + 8));
  h.length = static_cast<int32_t>(Get32(in + 12));
  h.rootPage = Get32(in + 16);
  h.allowDuplicates = in[20];
  h.entryCount = Get32(in + 23);
  h.pageItems = Get16(in + 27);
  if (h.pageItems == 0) h.pageItems = kPageItems;
  return h;
}

int64_t PagePosition(const FileBlock& fb, int index, uint32_t page) {
  return static_cast<int64_t>(page) * fb.sectionLength + fb.idx[index].keyOffset;
}

namespace {

// Where the free-chain link of slot `number` lives.
int64_t SlotPosition(const FileBlock& fb, int index, int32_t number) {
  return index == 0 ? static_cast<int64_t>(number) * fb.idx[0].h.length
                    : PagePosition(fb, index, static_cast<uint32_t>(number));
}

}  // namespace

bool WriteHeader(FileBlock& fb, int index) {
  Index& d = fb.idx[index];
  if (index == 0) {
    unsigned char bytes[kDataHeaderBytes];
    EncodeDataHeader(d.h, bytes);
    if (!WriteAt(fb.dat, 0, kDataHeaderBytes, bytes)) return false;
  } else {
    unsigned char bytes[kIndexHeaderBytes];
    EncodeIndexHeader(d.h, bytes);
    if (!WriteAt(fb.ix, d.keyOffset, kIndexHeaderBytes, bytes)) return false;
  }
  d.changed = false;
  return true;
}

bool WriteChangedHeaders(FileBlock& fb) {
  for (int k = 1; k <= fb.IndexCount(); ++k)
    if (fb.idx[k].changed && !WriteHeader(fb, k)) return false;
  return !fb.idx[0].changed || WriteHeader(fb, 0);
}

void NoteHeaderChange(FileBlock& fb, int index) {
  fb.idx[index].changed = true;
  NoteUnflushedChange(fb);
}

void NoteUnflushedChange(FileBlock& fb) {
  if (fb.journal || fb.headerChanged) return;
  // Without journal the headers and rewritten records are flushed only at close; until then
  // the data file says it was not closed properly.
  fb.headerChanged = true;
  const unsigned char one = 1;
  if (WriteAt(fb.dat, 20, 1, &one)) Flush(fb.dat);
}

bool Allocate(FileBlock& fb, int index, int32_t& number) {
  Index& d = fb.idx[index];
  Header& h = d.h;
  // A record the running unit deleted stays free until the unit is over; the unit grows the
  // file instead.
  if (h.firstFree == -1 || (index == 0 && HeldByUnit(fb, h.firstFree))) {
    const int64_t stride = index == 0 ? h.length : fb.sectionLength;
    if ((static_cast<int64_t>(h.high) + 2) * stride > kMaxFilePosition + 1) {
      SetOsError(kErrSystemFailure, EFBIG);
      return false;
    }
    number = ++h.high;
    if (index > 0 && number > fb.sections) {
      if (!WriteZeros(fb.ix, static_cast<int64_t>(number) * fb.sectionLength, fb.sectionLength)) {
        --h.high;
        return false;
      }
      fb.sections = number;
    }
    d.takenFromFree = false;
  } else {
    const int32_t head = h.firstFree;
    if (head < 1 || head > h.high) {
      SetError(kErrOutOfRange);
      return false;
    }
    unsigned char bytes[4];
    const int64_t at = SlotPosition(fb, index, head);
    if (!(index == 0 ? ReadData(fb, at, 4, bytes) : ReadAt(fb.ix, at, 4, bytes))) return false;
    const auto link = static_cast<int32_t>(Get32(bytes));
    if (link == 0 || link < -1 || link > h.high) {
      SetError(kErrOutOfRange);
      return false;
    }
    // The taken slot's link must come back if the operation is undone.
    if (fb.journal && !LogSlotLink(fb, index, h, head, link)) return false;
    h.firstFree = link;
    --h.freeCount;
    number = head;
    d.takenFromFree = true;
  }
  NoteHeaderChange(fb, index);
  return true;
}

}  // namespace isam
