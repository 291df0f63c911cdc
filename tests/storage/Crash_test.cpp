// Crashes at random moments: a child process runs the seeded workload and reports every call
// the engine finished through a pipe; the parent kills it with SIGKILL, opens the fileblocks
// (the recovery runs) and checks that the files are sound, that every reported call is there
// and that the call in flight is wholly there or wholly absent. BFN_CRASH_SEED replays one
// run; BFN_CRASH_KILLS sets how many runs there are.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "CrashWorkload.h"
#include "EngineFixture.h"

using namespace isam;

namespace {

constexpr int kMaxSteps = 150;

int64_t EnvNumber(const char* name, int64_t fallback) {
  const char* s = std::getenv(name);
  return s ? std::strtoll(s, nullptr, 10) : fallback;
}

// Runs the workload in a child until it is killed; returns the number of calls it reported
// as finished.
int64_t RunAndKill(uint32_t seed, const TempFolder& dir, std::mt19937& rng) {
  int ack[2];
  if (::pipe(ack) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ack[0]);
    FileBlock* fbs[CrashWorkload::kFileBlocks] = {};
    for (int f = 0; f < CrashWorkload::kFileBlocks; ++f) {
      OpenFileBlock(fbs[f], dir / CrashWorkload::Stem(f), true);
      if (!IsamSuccess) ::_exit(3);
    }
    CrashWorkload w(seed);
    for (int i = 0; i < kMaxSteps; ++i) {
      if (!w.Step(fbs)) ::_exit(4);
      const char done = 1;
      if (::write(ack[1], &done, 1) != 1) ::_exit(5);
    }
    ::_exit(0);
  }
  ::close(ack[1]);
  // Kill after a chosen number of reports, then a little later still, so the kill lands at
  // every kind of moment inside a call.
  const int64_t target = static_cast<int64_t>(rng() % 60);
  const auto extra = std::chrono::microseconds(rng() % 400);
  int64_t acked = 0;
  char byte = 0;
  while (acked < target && ::read(ack[0], &byte, 1) == 1) ++acked;
  const auto until = std::chrono::steady_clock::now() + extra;
  while (std::chrono::steady_clock::now() < until) {
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  while (::read(ack[0], &byte, 1) == 1) ++acked;  // reports written before the kill count
  ::close(ack[0]);
  if (WIFEXITED(status) && WEXITSTATUS(status) != 0) return -WEXITSTATUS(status);
  return acked;
}

class Crash : public EngineTest {};

TEST_F(Crash, EveryKillLeavesTheFinishedCallsAndNoHalfOfTheOneInFlight) {
  const int64_t kills = EnvNumber("BFN_CRASH_KILLS", 300);
  const int64_t only = EnvNumber("BFN_CRASH_SEED", -1);
  for (int64_t run = 0; run < kills; ++run) {
    const uint32_t seed = only >= 0 ? static_cast<uint32_t>(only) : static_cast<uint32_t>(1000 + run);
    std::mt19937 rng(seed);
    SCOPED_TRACE("BFN_CRASH_SEED=" + std::to_string(seed));
    const TempFolder work(FastTempParent());
    CrashWorkload::Create(work);
    ASSERT_TRUE(IsamSuccess);
    const int64_t acked = RunAndKill(seed, work, rng);
    ASSERT_GE(acked, 0) << "the workload itself failed";

    for (int f = 0; f < CrashWorkload::kFileBlocks; ++f) {
      FileBlock* fb = nullptr;
      OpenFileBlock(fb, work / CrashWorkload::Stem(f), true);
      ASSERT_TRUE(IsamSuccess) << "open after the kill: " << IsamError;
      CloseFileBlock(fb);
    }
    const WorkloadState got = ReadWorkloadState(work);
    for (const FileBlockState& s : got) ASSERT_EQ(s.faults, "");

    const TempFolder again(FastTempParent());
    const std::vector<WorkloadState> states = StatesOfWorkload(seed, acked + 1, again);
    ASSERT_GT(states.size(), static_cast<size_t>(acked));
    const bool before = got == states[static_cast<size_t>(acked)];
    const bool after = states.size() > static_cast<size_t>(acked) + 1 &&
                       got == states[static_cast<size_t>(acked) + 1];
    ASSERT_TRUE(before || after) << acked << " calls reported; the files match neither the "
                                 << "state before the call in flight nor after it";
    if (only >= 0) break;
  }
}

}  // namespace
