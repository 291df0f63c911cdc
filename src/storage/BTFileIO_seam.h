// Fault injection and observation in the file layer, for tests only (built with BFN_FILE_SEAM).
// Every system call of the layer passes through here: a test can make the Nth call of a kind
// fail with a chosen errno, make the Nth write short, count calls, or watch every write and
// flush as it happens.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace isam::seam {

enum class Op { Read, Write, Truncate, Flush, Rename, Count_ };

// A planned failure: the nth call (from 1, counted after Arm) of op fails with err; for a
// write, shortBy > 0 instead writes that many bytes fewer and reports success of the call.
struct Fault {
  Op op = Op::Write;
  int64_t nth = 0;
  int err = 5;  // EIO
  int64_t shortBy = 0;
};

void Arm(const Fault& fault);
void Disarm();  // also zeroes the counters
int64_t Calls(Op op);
bool Fired();

// Sees every write, truncate (pos = new size), flush and rename (of the file it names first)
// of any file, by its engine name.
struct Event {
  Op op;
  std::string path;
  int64_t pos;
  std::string data;
};
void Observe(std::function<void(const Event&)> observer);

#ifdef BFN_FILE_SEAM
// Used by the file layer: returns false and sets errno when the call is to fail; len may be
// shortened for a short write.
bool Pass(Op op, const std::string& path, int64_t pos, int64_t& len, const void* data);
#endif

}  // namespace isam::seam
