#include "shell/Eerror32_Memory.h"

#include "shell/ESmall.h"
#include "shell/Eerror32.h"

#include <sys/sysinfo.h>

#include <cstdlib>
#include <limits>
#include <new>
#include <unordered_set>

namespace eerror {

struct GlobalBlock {
  void* data;
  size_t size;
  unsigned locks;
};

namespace {

std::unordered_set<GlobalBlock*>& LiveBlocks() {
  static std::unordered_set<GlobalBlock*> blocks;
  return blocks;
}

bool IsLive(GlobalHandle block) { return block != nullptr && LiveBlocks().count(block) != 0; }

void Report(const std::string& label, int error, const char* words) {
  EMsg(kCommonWarning, label + esmall::BlankPadded(error, 4) + words);
}

MemoryLowWater lowWater{std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::max()};

int64_t Less(uint64_t available, uint64_t need) {
  return static_cast<int64_t>(available) - static_cast<int64_t>(need);
}

}  // namespace

GlobalHandle EGlobalAlloc(const std::string& label, size_t size) {
  // A size beyond what the machine has free is refused before asking the allocator (when
  // the machine tells what it has free at all).
  const uint64_t available = CurrentMemoryStatus().availableVirtual;
  void* data = available == 0 || size <= available ? std::calloc(size == 0 ? 1 : size, 1) : nullptr;
  GlobalBlock* block = data != nullptr ? new (std::nothrow) GlobalBlock{data, size, 0} : nullptr;
  if (block == nullptr) {
    std::free(data);
    Report(label, kErrorNotEnoughMemory, " globalalloc error ");
    return nullptr;
  }
  LiveBlocks().insert(block);
  return block;
}

void* EGlobalLock(const std::string& label, GlobalHandle block) {
  if (!IsLive(block)) {
    Report(label, kErrorInvalidHandle, " globallock error ");
    return nullptr;
  }
  ++block->locks;
  return block->data;
}

bool EGlobalUnlock(const std::string& label, GlobalHandle block) {
  if (!IsLive(block)) {
    Report(label, kErrorInvalidHandle, " globalunlock error ");
    return false;
  }
  if (block->locks == 0) {
    Report(label, kErrorNotLocked, " globalunlock error ");
    return false;
  }
  return --block->locks > 0;
}

GlobalHandle EGlobalFree(const std::string& label, GlobalHandle block) {
  if (!IsLive(block)) {
    Report(label, kErrorInvalidHandle, " globalfree error ");
    return block;
  }
  LiveBlocks().erase(block);
  std::free(block->data);
  delete block;
  return nullptr;
}

size_t EGlobalSize(const std::string& label, GlobalHandle block) {
  if (!IsLive(block)) {
    Report(label, kErrorInvalidHandle, " globalsize error ");
    return 0;
  }
  return block->size;
}

unsigned EGlobalFlags(const std::string& label, GlobalHandle block) {
  if (!IsLive(block)) {
    Report(label, kErrorInvalidHandle, " globalflags error ");
    return 0x8000;
  }
  return block->locks;
}

MemoryStatus CurrentMemoryStatus() {
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return {};
  const uint64_t unit = info.mem_unit == 0 ? 1 : info.mem_unit;
  const uint64_t physical = (static_cast<uint64_t>(info.freeram) + info.bufferram) * unit;
  return {physical, physical + static_cast<uint64_t>(info.freeswap) * unit};
}

bool MemoryCheck(uint64_t need) { return MemoryCheck(need, CurrentMemoryStatus()); }

bool MemoryCheck(uint64_t need, const MemoryStatus& status) {
  if (Less(status.availablePhysical, need) < lowWater.physical)
    lowWater.physical = Less(status.availablePhysical, need);
  if (Less(status.availableVirtual, need) < lowWater.virtualMemory)
    lowWater.virtualMemory = Less(status.availableVirtual, need);
  return need <= std::numeric_limits<uint64_t>::max() - 2048 && status.availableVirtual >= need + 2048;
}

MemoryLowWater LowWaterMarks() { return lowWater; }

}  // namespace eerror
