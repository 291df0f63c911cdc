// Positioned reads of one file handed to the kernel together through an io_uring of the file
// layer's own, and waited for together: one system call for a batch instead of one a read.
// Knows nothing of the engine's errors or its test seam; the file layer adds those.
#pragma once

#include <cstdint>
#include <span>

namespace isam::ring {

struct Read {
  int64_t pos = 0;
  uint32_t len = 0;
  void* buffer = nullptr;
  int32_t result = 0;  // bytes read, or -errno
};

// Submits the reads and returns once every one of them has ended, so that no buffer is
// written after, each with its result; a read the ring could not do ends with -EIO for the
// caller to do another way. false when this system has no ring to give (old kernel, refused
// by policy): then nothing was read.
bool ReadAll(int fd, std::span<Read> reads);

// Tests run the reads without the ring, as on a system that refuses it, and with it again.
void Refuse(bool refused);

}  // namespace isam::ring
