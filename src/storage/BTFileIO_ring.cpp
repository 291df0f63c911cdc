#include "storage/BTFileIO_ring.h"

#include <linux/io_uring.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace isam::ring {
namespace {

constexpr unsigned kEntries = 64;
// Times in a row the kernel may put a batch off for want of resources before the ring is
// given up for plain reads.
constexpr int kMaxRefusals = 1000;

class Ring;
Ring& TheRing();

unsigned Load(const unsigned* word) {
  return std::atomic_ref<const unsigned>(*word).load(std::memory_order_acquire);
}
void Store(unsigned* word, unsigned value) {
  std::atomic_ref<unsigned>(*word).store(value, std::memory_order_release);
}

// The one ring of the process, made at its first use. A child made by fork shares the
// parent's ring through the mappings, so it leaves that one alone and makes its own.
class Ring {
 public:
  ~Ring() { Drop(); }

  bool Ready() {
    if (inherited_) {
      Drop();
      inherited_ = false;
    }
    if (fd_ >= 0) return true;
    if (refused_) return false;
    if (!Make()) {
      Drop();
      refused_ = true;
    }
    return fd_ >= 0;
  }

  void Inherit() { inherited_ = fd_ >= 0; }

  void Refuse(bool refused) {
    refused_ = refused;
    if (refused) Drop();
  }

  // Up to kEntries reads. Each ends with its result, -EIO for one the kernel did not take.
  void Run(int fd, std::span<Read> reads) {
    const unsigned first = *sqTail_;  // only this process adds entries
    const auto n = static_cast<unsigned>(reads.size());
    for (unsigned k = 0; k < n; ++k) {
      const unsigned slot = (first + k) & sqMask_;
      io_uring_sqe& e = sqes_[slot];
      std::memset(&e, 0, sizeof e);
      e.opcode = IORING_OP_READ;
      e.fd = fd;
      e.off = static_cast<uint64_t>(reads[k].pos);
      e.addr = reinterpret_cast<uintptr_t>(reads[k].buffer);
      e.len = reads[k].len;
      e.user_data = k;
      sqArray_[slot] = slot;
      reads[k].result = -EIO;
    }
    Store(sqTail_, first + n);

    unsigned taken = 0, ended = 0;
    int refusals = 0;
    while (ended < n) {
      const long rc = ::syscall(__NR_io_uring_enter, fd_, n - taken, 1, IORING_ENTER_GETEVENTS, nullptr, 0);
      // What the kernel took shows in the ring's head, whatever the call returned.
      taken = Load(sqHead_) - first;
      ended += Reap(reads);
      if (rc >= 0 || errno == EINTR) continue;
      if ((errno == EAGAIN || errno == EBUSY) && ++refusals < kMaxRefusals) continue;
      // The ring is of no more use. The entries not taken are withdrawn (the kernel reads
      // the tail only inside the call); those taken end on their own, and are waited for,
      // since they write into the caller's buffers.
      Store(sqTail_, first + taken);
      while (ended < taken) {
        ::sched_yield();
        ended += Reap(reads);
      }
      Drop();
      refused_ = true;
      return;
    }
  }

 private:
  bool Make() {
    io_uring_params p{};
    const long fd = ::syscall(__NR_io_uring_setup, kEntries, &p);
    if (fd < 0) return false;
    fd_ = static_cast<int>(fd);
    static const bool watched = ::pthread_atfork(nullptr, nullptr, [] { TheRing().Inherit(); }) == 0;
    if (!watched) return false;
    sqBytes_ = p.sq_off.array + p.sq_entries * sizeof(unsigned);
    cqBytes_ = p.cq_off.cqes + p.cq_entries * sizeof(io_uring_cqe);
    sqeBytes_ = p.sq_entries * sizeof(io_uring_sqe);
    sq_ = Map(sqBytes_, IORING_OFF_SQ_RING);
    cq_ = Map(cqBytes_, IORING_OFF_CQ_RING);
    void* sqes = Map(sqeBytes_, IORING_OFF_SQES);
    if (!sq_ || !cq_ || !sqes) return false;
    sqes_ = static_cast<io_uring_sqe*>(sqes);
    char* sq = static_cast<char*>(sq_);
    char* cq = static_cast<char*>(cq_);
    sqHead_ = reinterpret_cast<unsigned*>(sq + p.sq_off.head);
    sqTail_ = reinterpret_cast<unsigned*>(sq + p.sq_off.tail);
    sqMask_ = *reinterpret_cast<unsigned*>(sq + p.sq_off.ring_mask);
    sqArray_ = reinterpret_cast<unsigned*>(sq + p.sq_off.array);
    cqHead_ = reinterpret_cast<unsigned*>(cq + p.cq_off.head);
    cqTail_ = reinterpret_cast<unsigned*>(cq + p.cq_off.tail);
    cqMask_ = *reinterpret_cast<unsigned*>(cq + p.cq_off.ring_mask);
    cqes_ = reinterpret_cast<io_uring_cqe*>(cq + p.cq_off.cqes);
    return p.sq_entries >= kEntries;
  }

  void* Map(size_t bytes, off_t what) const {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd_, what);
    return p == MAP_FAILED ? nullptr : p;
  }

  void Drop() {
    if (sq_) ::munmap(sq_, sqBytes_);
    if (cq_) ::munmap(cq_, cqBytes_);
    if (sqes_) ::munmap(sqes_, sqeBytes_);
    if (fd_ >= 0) ::close(fd_);
    sq_ = cq_ = nullptr;
    sqes_ = nullptr;
    fd_ = -1;
  }

  // Takes the ended reads off the completion ring; returns how many.
  unsigned Reap(std::span<Read> reads) {
    unsigned head = *cqHead_;
    const unsigned tail = Load(cqTail_);
    unsigned count = 0;
    for (; head != tail; ++head, ++count) {
      const io_uring_cqe& c = cqes_[head & cqMask_];
      if (c.user_data < reads.size()) reads[c.user_data].result = c.res;
    }
    Store(cqHead_, head);
    return count;
  }

  int fd_ = -1;
  bool inherited_ = false;
  bool refused_ = false;
  void *sq_ = nullptr, *cq_ = nullptr;
  size_t sqBytes_ = 0, cqBytes_ = 0, sqeBytes_ = 0;
  io_uring_sqe* sqes_ = nullptr;
  io_uring_cqe* cqes_ = nullptr;
  unsigned *sqHead_ = nullptr, *sqTail_ = nullptr, *sqArray_ = nullptr;
  unsigned *cqHead_ = nullptr, *cqTail_ = nullptr;
  unsigned sqMask_ = 0, cqMask_ = 0;
};

Ring& TheRing() {
  static Ring ring;
  return ring;
}

}  // namespace

bool ReadAll(int fd, std::span<Read> reads) {
  Ring& ring = TheRing();
  if (!ring.Ready()) return false;
  for (size_t done = 0; done < reads.size(); done += kEntries) {
    const std::span<Read> part = reads.subspan(done, std::min<size_t>(kEntries, reads.size() - done));
    if (ring.Ready()) {
      ring.Run(fd, part);
    } else {
      for (Read& r : part) r.result = -EIO;
    }
  }
  return true;
}

void Refuse(bool refused) { TheRing().Refuse(refused); }

}  // namespace isam::ring
