// What a power cut can leave while verifications are entered: every write and flush of the
// workload is recorded through the file layer's seam, and for each moment the files are
// rebuilt as a crash of the machine could leave them (each file's writes up to its last
// flush, and all, some or none of those after it, the last one possibly torn at a sector
// boundary: an account rewritten in place half old and half new among them). Then the books
// are opened, the row log is played back, and they must be sound and be the books before
// the verification in flight, or after it when its save was in flight.
// BFN_POWERCUT_SEED replays one seed.
#include <cstdlib>
#include <filesystem>
#include <map>

#include "EntryWorkload.h"
#include "bookkeeping/BFVerify.h"
#include "shell/ETider.h"
#include "shell/Eerror32.h"
#include "shell/ekonfig32.h"
#include "storage/BTFileIO_seam.h"

namespace bf {
namespace {

using isam::seam::Event;
using isam::seam::Op;

constexpr int64_t kSector = 512;
constexpr int kVerifications = 4;
constexpr int kRandomSubsets = 2;

using FileSet = std::map<std::string, std::string>;  // name → bytes

struct Recorded {
  Event event;
  std::string file;
};

void Apply(FileSet& files, const Recorded& r, int64_t keepBytes = -1) {
  std::string& bytes = files[r.file];
  const Event& e = r.event;
  if (e.op == Op::Truncate) {
    bytes.resize(static_cast<size_t>(e.pos));
    return;
  }
  if (e.op != Op::Write) return;
  const std::string data = keepBytes < 0 ? e.data : e.data.substr(0, static_cast<size_t>(keepBytes));
  const size_t end = static_cast<size_t>(e.pos) + data.size();
  if (bytes.size() < end) bytes.resize(end, '\0');
  bytes.replace(static_cast<size_t>(e.pos), data.size(), data);
}

class VerificationPowerCut : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override {
    ASSERT_GT(isam::InitIsam(0, 200), 0);
    ekonfig::Konfig.SetCurBase(1);
  }
  void TearDown() override {
    isam::seam::Observe(nullptr);
    isam::ExitIsam();
  }

  static std::unique_ptr<BfDatabase> Open(const std::string& dir) {
    auto db = std::make_unique<BfDatabase>(dir);
    db->OpenBookkeepingList();
    db->SelectRemembered();
    return db;
  }

  // Runs the workload on books made in dir_, recording every event and the books before each
  // verification.
  void Record(EntryWorkload& w) {
    MakeBooks(dir_.path());
    ASSERT_FALSE(HasFatalFailure());
    const auto db = Open(dir_.path());
    ASSERT_TRUE(db->bookkeepingOpen());
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
      if (entry.is_regular_file()) base_[entry.path().filename().string()] = dir_.Read(entry.path().filename().string());
    states_ = {ReadBooks(db->shared())};
    isam::seam::Observe([this](const Event& e) {
      events_.push_back({e, std::filesystem::path(e.path).filename().string()});
    });
    for (size_t i = 0; i < w.steps().size(); ++i) {
      ASSERT_TRUE(w.Run(db->shared(), i)) << "step " << i;
      stepEnds_.push_back(static_cast<int64_t>(events_.size()));
      if (w.steps()[i].kind != EntryWorkload::Kind::kRow) states_.push_back(ReadBooks(db->shared()));
    }
    isam::seam::Observe(nullptr);
  }

  void CheckCut(const EntryWorkload& w, const FileSet& files, int64_t cut, const std::string& variant) {
    SCOPED_TRACE("cut after event " + std::to_string(cut) + ", " + variant);
    const TempFolder crash(FastTempParent());
    for (const auto& [name, bytes] : files) crash.Write(name, bytes);
    const auto db = Open(crash.path());
    ASSERT_TRUE(db->bookkeepingOpen()) << eerror::StatusMsg;
    const std::vector<std::string> findings = VerifyBookkeeping(db->shared(), crash.path());
    ASSERT_TRUE(findings.empty()) << findings.front();
    size_t done = 0;
    while (done < stepEnds_.size() && stepEnds_[done] <= cut) ++done;
    const Books got = ReadBooks(db->shared());
    std::string differences;
    bool matched = false;
    for (const Books* allowed : w.Allowed(states_, done)) {
      differences += "[" + Differences(got, *allowed) + "]";
      matched = matched || Differences(got, *allowed).empty();
    }
    EXPECT_TRUE(matched) << done << " steps finished; differs in " << differences;
  }

  TempFolder dir_{FastTempParent()};
  FileSet base_;
  std::vector<Recorded> events_;
  std::vector<int64_t> stepEnds_;
  std::vector<Books> states_;
  eerror::RecordingMessageBoxes boxes_;
  eerror::ScopedMessageBoxes installed_{boxes_};
  etider::SetClock clock_{2026, 4, 2, 12, 0, 0};
  etider::ScopedClock scopedClock_{clock_};
};

TEST_P(VerificationPowerCut, EveryStateACutCanLeaveOpensAsTheBooksBeforeOrAfterTheVerificationInFlight) {
  const char* env = std::getenv("BFN_POWERCUT_SEED");
  const uint32_t seed = env ? static_cast<uint32_t>(std::strtoul(env, nullptr, 10)) : GetParam();
  SCOPED_TRACE("BFN_POWERCUT_SEED=" + std::to_string(seed));
  EntryWorkload w(seed, kVerifications);
  Record(w);
  ASSERT_FALSE(HasFatalFailure());
  std::mt19937 rng(seed);
  const int64_t total = static_cast<int64_t>(events_.size());
  for (int64_t cut = 0; cut <= total; ++cut) {
    std::map<std::string, int64_t> lastFlush;
    for (int64_t i = 0; i < cut; ++i)
      if (events_[static_cast<size_t>(i)].event.op == Op::Flush) lastFlush[events_[static_cast<size_t>(i)].file] = i;
    std::vector<int64_t> pending;
    FileSet durable = base_;
    for (int64_t i = 0; i < cut; ++i) {
      const Recorded& r = events_[static_cast<size_t>(i)];
      if (r.event.op == Op::Flush) continue;
      const auto flushed = lastFlush.find(r.file);
      if (flushed != lastFlush.end() && i < flushed->second) Apply(durable, r);
      else pending.push_back(i);
    }
    const auto withPending = [&](const std::vector<bool>& keep, int64_t tornAt) {
      FileSet files = durable;
      for (size_t p = 0; p < pending.size(); ++p) {
        const Recorded& r = events_[static_cast<size_t>(pending[p])];
        if (pending[p] == tornAt) Apply(files, r, (r.event.pos / kSector + 1) * kSector - r.event.pos);
        else if (keep[p]) Apply(files, r);
      }
      return files;
    };
    CheckCut(w, durable, cut, "flushed writes only");
    if (pending.empty()) continue;
    CheckCut(w, withPending(std::vector<bool>(pending.size(), true), -1), cut, "every write");
    for (int n = 0; n < kRandomSubsets; ++n) {
      std::vector<bool> keep(pending.size());
      for (size_t p = 0; p < keep.size(); ++p) keep[p] = rng() % 2 == 0;
      CheckCut(w, withPending(keep, -1), cut, "some of the writes after the last flush");
    }
    // The last write torn where it crosses a sector boundary: an account record rewritten in
    // place is left half old and half new, which only the row log can mend.
    const Recorded& last = events_[static_cast<size_t>(pending.back())];
    if (last.event.op == Op::Write &&
        last.event.pos / kSector != (last.event.pos + static_cast<int64_t>(last.event.data.size()) - 1) / kSector)
      CheckCut(w, withPending(std::vector<bool>(pending.size(), true), pending.back()), cut, "the last write torn");
    if (HasFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, VerificationPowerCut, ::testing::Values(1u, 2u, 3u));

}  // namespace
}  // namespace bf
