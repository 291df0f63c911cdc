// Record-slot reads and writes of the data file. Inside a unit the writes wait in memory, in
// order, until the unit's journal is flushed: nothing of a unit may reach the data file
// before the images that undo it are on the disk. Reads see the waiting writes.
#include <algorithm>
#include <cstring>

#include "storage/BTIsBase.h"

namespace isam {

bool ReadData(FileBlock& fb, int64_t pos, int64_t len, void* out) {
  const auto& pending = fb.pendingData;
  const int64_t end = pos + len;
  // The last waiting write that covers the whole range, if any, replaces the disk's bytes.
  size_t first = pending.size();
  while (first > 0) {
    const FileBlock::PendingWrite& w = pending[first - 1];
    if (w.pos <= pos && w.pos + static_cast<int64_t>(w.bytes.size()) >= end) break;
    --first;
  }
  auto* bytes = static_cast<unsigned char*>(out);
  if (first == 0) {
    if (!ReadAt(fb.dat, pos, len, out)) return false;
  } else {
    const FileBlock::PendingWrite& w = pending[first - 1];
    std::memcpy(bytes, w.bytes.data() + (pos - w.pos), static_cast<size_t>(len));
  }
  for (size_t i = first; i < pending.size(); ++i) {
    const FileBlock::PendingWrite& w = pending[i];
    const int64_t from = std::max(pos, w.pos);
    const int64_t to = std::min(end, w.pos + static_cast<int64_t>(w.bytes.size()));
    if (from < to)
      std::memcpy(bytes + (from - pos), w.bytes.data() + (from - w.pos), static_cast<size_t>(to - from));
  }
  return true;
}

bool WriteData(FileBlock& fb, int64_t pos, int64_t len, const void* data) {
  if (!fb.inUnit) return WriteAt(fb.dat, pos, len, data);
  const auto* bytes = static_cast<const unsigned char*>(data);
  fb.pendingData.push_back({pos, std::vector<unsigned char>(bytes, bytes + len)});
  return true;
}

bool WritePendingData(FileBlock& fb) {
  for (const FileBlock::PendingWrite& w : fb.pendingData)
    if (!WriteAt(fb.dat, w.pos, static_cast<int64_t>(w.bytes.size()), w.bytes.data())) return false;
  fb.pendingData.clear();
  return true;
}

}  // namespace isam
