// A verification never saved never stays in the books, whatever ends the program: a child
// enters verifications and reports every finished step on a pipe; the parent kills it with
// SIGKILL at a random moment, opens the books (the row log is played back) and checks that
// they are sound and are the books before the verification in flight, or after it when its
// save was in flight. BFN_CRASH_SEED replays one run; BFN_CRASH_KILLS sets how many runs.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "EntryWorkload.h"
#include "bookkeeping/BFVerify.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"

namespace bf {
namespace {

constexpr int kVerifications = 6;

int64_t EnvNumber(const char* name, int64_t fallback) {
  const char* s = std::getenv(name);
  return s ? std::strtoll(s, nullptr, 10) : fallback;
}

class VerificationCrash : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    ekonfig::Konfig.SetCurBase(1);
  }
  void TearDown() override { isam::ExitIsam(); }

  // The books of dir opened for writing, as the next run of the program opens them.
  static std::unique_ptr<BfDatabase> Open(const std::string& dir) {
    auto db = std::make_unique<BfDatabase>(dir);
    db->OpenBookkeepingList();
    db->SelectRemembered();
    EXPECT_TRUE(db->bookkeepingOpen()) << eerror::StatusMsg;
    return db;
  }

  // Runs the workload in a child until it is killed; the number of steps it reported.
  static int64_t RunAndKill(uint32_t seed, const std::string& dir, std::mt19937& rng) {
    int ack[2];
    if (::pipe(ack) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(ack[0]);
      BfDatabase db(dir);
      db.OpenBookkeepingList();
      db.SelectRemembered();
      if (!db.bookkeepingOpen()) ::_exit(3);
      EntryWorkload w(seed, kVerifications);
      for (size_t i = 0; i < w.steps().size(); ++i) {
        if (!w.Run(db.shared(), i)) ::_exit(4);
        const char done = 1;
        if (::write(ack[1], &done, 1) != 1) ::_exit(5);
      }
      ::_exit(0);  // as a crash: nothing closed
    }
    ::close(ack[1]);
    const int64_t target = static_cast<int64_t>(rng() % 30);
    const auto extra = std::chrono::microseconds(rng() % 600);
    int64_t acked = 0;
    char byte = 0;
    while (acked < target && ::read(ack[0], &byte, 1) == 1) ++acked;
    const auto until = std::chrono::steady_clock::now() + extra;
    while (std::chrono::steady_clock::now() < until) {
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    while (::read(ack[0], &byte, 1) == 1) ++acked;
    ::close(ack[0]);
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) return -WEXITSTATUS(status);
    return acked;
  }

  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installed_{boxes_};
  etider::SetClock clock_{2026, 4, 2, 12, 0, 0};
  etider::ScopedClock scopedClock_{clock_};
};

TEST_F(VerificationCrash, EveryKillLeavesTheBooksBeforeTheVerificationInFlightOrWithItsSaveWhole) {
  const int64_t kills = EnvNumber("BFN_CRASH_KILLS", 120);
  const int64_t only = EnvNumber("BFN_CRASH_SEED", -1);
  for (int64_t run = 0; run < kills; ++run) {
    const uint32_t seed = only >= 0 ? static_cast<uint32_t>(only) : static_cast<uint32_t>(5000 + run);
    SCOPED_TRACE("BFN_CRASH_SEED=" + std::to_string(seed));
    std::mt19937 rng(seed);
    const TempFolder work(FastTempParent()), reference(FastTempParent());
    MakeBooks(work.path());
    MakeBooks(reference.path());
    ASSERT_FALSE(HasFatalFailure());
    std::vector<Books> states;
    EntryWorkload w(seed, kVerifications);
    {
      const auto db = Open(reference.path());
      states = w.States(db->shared());
    }
    const int64_t done = RunAndKill(seed, work.path(), rng);
    ASSERT_GE(done, 0) << "the workload itself failed";

    const auto db = Open(work.path());
    ASSERT_TRUE(db->bookkeepingOpen());
    const std::vector<std::string> findings = VerifyBookkeeping(db->shared(), work.path());
    ASSERT_TRUE(findings.empty()) << findings.front();
    const Books got = ReadBooks(db->shared());
    std::string differences;
    bool matched = false;
    for (const Books* allowed : w.Allowed(states, static_cast<size_t>(done))) {
      differences += "[" + Differences(got, *allowed) + "]";
      matched = matched || Differences(got, *allowed).empty();
    }
    ASSERT_TRUE(matched) << done << " steps reported; differs in " << differences;
    EXPECT_FALSE(isam::FileExists(RowLog::FileName(1, work.path())));
    if (only >= 0) break;
  }
}

}  // namespace
}  // namespace bf
