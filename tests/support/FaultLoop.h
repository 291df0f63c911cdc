// "Fail the nth call" over one operation, through the file layer's seam (BTFileIO_seam.h):
// the operation runs once without a fault, which counts its calls of each kind, and then
// once for every one of those calls made to fail. Each run starts from what prepare sets
// up (outside the count) and ends with the test's judge looking at its outcome.
//
// The loop stops at the first run after which the test has a failure: that fault is the one
// to read, and every later one would mostly repeat it. A fault that is not reached is a
// failure too, as the operation then made fewer calls than without faults.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/BTFileIO_seam.h"

namespace faultloop {

using isam::seam::Fault;
using isam::seam::Op;

// The kinds of failure a loop tries: each is a Fault whose nth the loop sets.
inline const std::vector<Fault> kEveryKind = {
    {Op::Read, 0, EIO, 0},  {Op::Write, 0, EIO, 0}, {Op::Write, 0, EIO, 1},
    {Op::Truncate, 0, EIO, 0}, {Op::Flush, 0, EIO, 0}, {Op::Rename, 0, EIO, 0},
};

// What a run had injected, for the judge: the fault (nth 0 in the run without one) and its
// description for failure messages.
struct Injection {
  Fault fault;
  std::string what;
  bool none() const { return fault.nth == 0; }
};

inline std::string Describe(const Fault& f) {
  static const char* const kOps[] = {"read", "write", "truncate", "flush", "rename"};
  std::string what = std::string(f.shortBy > 0 ? "short " : "") + kOps[static_cast<int>(f.op)] + " " +
                     std::to_string(f.nth);
  if (f.err != EIO && f.shortBy == 0) what += " (errno " + std::to_string(f.err) + ")";
  return what;
}

// The calls of each kind the run without a fault made.
struct Calls {
  std::array<int64_t, static_cast<size_t>(Op::Count_)> of{};
  int64_t operator[](Op op) const { return of[static_cast<size_t>(op)]; }
};

// prepare() sets up each run; operation() is the run, its result goes to judge(result,
// injection). kinds: the failures tried, at every call of their kind. Returns the calls of
// the run without a fault.
template <typename Prepare, typename Operation, typename Judge>
Calls EveryFault(Prepare prepare, Operation operation, Judge judge, const std::vector<Fault>& kinds = kEveryKind) {
  const auto failed = [] { return ::testing::Test::HasFailure(); };
  Calls calls;
  {
    SCOPED_TRACE("no fault");
    prepare();
    if (failed()) return calls;
    isam::seam::Disarm();  // counts from here
    const auto result = operation();
    for (size_t k = 0; k < calls.of.size(); ++k) calls.of[k] = isam::seam::Calls(static_cast<Op>(k));
    judge(result, Injection{{}, "no fault"});
    if (failed()) return calls;
  }
  int64_t tried = 0;
  for (const Fault& kind : kinds) {
    for (int64_t nth = 1; nth <= calls[kind.op]; ++nth, ++tried) {
      Fault fault = kind;
      fault.nth = nth;
      const Injection injection{fault, Describe(fault)};
      SCOPED_TRACE(injection.what);
      prepare();
      if (failed()) return calls;
      isam::seam::Arm(fault);
      const auto result = operation();
      const bool fired = isam::seam::Fired();
      isam::seam::Disarm();
      EXPECT_TRUE(fired) << injection.what << " not reached: fewer calls than without a fault";
      judge(result, injection);
      if (failed()) return calls;
    }
  }
  EXPECT_GT(tried, 0) << "the operation made no call the loop could fail";
  return calls;
}

}  // namespace faultloop
