// Memory blocks with error reports, and the memory check. A block is obtained, locked,
// unlocked and freed through these wrappers, each labelled with the calling routine's
// name; a failure shows a warning with the label, the error number (4 wide) and the
// wrapper's own words, and the result is returned as it is. Only handles these wrappers
// gave out and have not freed are ever touched; any other is refused as invalid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace eerror {

struct GlobalBlock;
using GlobalHandle = GlobalBlock*;

// Error numbers in the classic numbering, as the reports show them.
constexpr int kErrorInvalidHandle = 6;
constexpr int kErrorNotEnoughMemory = 8;
constexpr int kErrorNotLocked = 158;

// A zero-filled block of size bytes, or nullptr.
GlobalHandle EGlobalAlloc(const std::string& label, size_t size);
// The block's bytes, or nullptr; every lock needs its unlock.
void* EGlobalLock(const std::string& label, GlobalHandle block);
// True while the block is still locked after this unlock.
bool EGlobalUnlock(const std::string& label, GlobalHandle block);
// nullptr once freed; the handle itself when it could not be freed.
GlobalHandle EGlobalFree(const std::string& label, GlobalHandle block);
// The block's size, 0 for an invalid handle.
size_t EGlobalSize(const std::string& label, GlobalHandle block);
// The block's lock count, 0x8000 (invalid) for an invalid handle.
unsigned EGlobalFlags(const std::string& label, GlobalHandle block);

// Free memory as the machine tells it, in bytes.
struct MemoryStatus {
  uint64_t availablePhysical = 0;
  uint64_t availableVirtual = 0;  // physical and swap
};
MemoryStatus CurrentMemoryStatus();

// True when at least need + 2048 bytes of virtual memory are available. Keeps the lowest
// "available − need" of physical and of virtual memory seen.
bool MemoryCheck(uint64_t need);
bool MemoryCheck(uint64_t need, const MemoryStatus& status);

struct MemoryLowWater {
  int64_t physical;
  int64_t virtualMemory;
};
MemoryLowWater LowWaterMarks();

}  // namespace eerror
