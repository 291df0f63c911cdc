// A walk along an index reads the leaves ahead of it in batches (through an io_uring where the
// system has one). What it delivers must be what stepping page by page would: with the ring
// and without it, with a small cache, when the index changes under the walk, when a read
// fails or a page ahead is damaged, and in a child made by fork.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <random>

#include "BTreeFixture.h"
#include "FaultLoop.h"
#include "storage/BTFileIO.h"
#include "storage/BTFileIO_ring.h"

namespace {

constexpr int kKeys = 6000;  // about 130 leaves under a few parents: several batches each

class ReadAhead : public BTreeTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    BTreeTest::SetUp();
    isam::ring::Refuse(!GetParam());
  }
  void TearDown() override {
    isam::ring::Refuse(false);
    BTreeTest::TearDown();
  }

  // Keys inserted in scrambled order, so that leaves lie all over the file; the pages are
  // then put on disk, so that the walk must read them.
  std::vector<IxEntry> Fill() {
    std::vector<int> order(kKeys);
    for (int i = 0; i < kKeys; ++i) order[static_cast<size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::vector<IxEntry> expected;
    for (int n : order) {
      Add(1, n + 1, Num(n, 5));
      expected.push_back({Num(n, 5), static_cast<uint32_t>(n + 1)});
    }
    std::sort(expected.begin(), expected.end(), [](const IxEntry& a, const IxEntry& b) { return a.key < b.key; });
    Reopen();
    return expected;
  }
};

TEST_P(ReadAhead, AWalkDeliversEveryKeyInOrderAlsoWithTheSmallestCache) {
  Make({{5, false}}, false);
  const std::vector<IxEntry> expected = Fill();
  EXPECT_EQ(Walk(1), expected);
  EXPECT_EQ(Walk(1), expected);  // again, now partly from the cache

  isam::CloseFileBlock(fb);
  fb = nullptr;
  isam::ExitIsam();
  ASSERT_EQ(isam::InitIsam(0, 8), 8);
  fb = Open("t", false);
  ASSERT_NE(fb, nullptr);
  EXPECT_EQ(Walk(1), expected);
}

TEST_P(ReadAhead, KeysAddedAndDeletedDuringAWalkAreSeenFromWhereItStood) {
  Make({{5, false}}, false);
  const std::vector<IxEntry> filled = Fill();
  isam::CloseFileBlock(fb);
  fb = Open("t", true);  // the changes journaled, as the program makes them
  ASSERT_NE(fb, nullptr);
  std::map<std::string, uint32_t> model;
  for (const IxEntry& e : filled) model[e.key] = e.rec;

  std::mt19937 random(11);
  isam::ClearKey(fb, 1);
  // The caller's key and record stay as NextKey left them: after a change the walk goes on
  // from there, found again in the changed tree.
  std::string key;
  int32_t rec = 0;
  for (int steps = 1;; ++steps) {
    const std::string last = key;
    isam::NextKey(fb, 1, rec, key);
    const auto want = model.upper_bound(last);
    if (!isam::IsamSuccess) {
      EXPECT_EQ(isam::IsamError, isam::kErrNoNextKey);
      EXPECT_EQ(want, model.end()) << "after " << last;
      break;
    }
    ASSERT_NE(want, model.end()) << "after " << last;
    ASSERT_EQ(key, want->first);
    ASSERT_EQ(static_cast<uint32_t>(rec), want->second);
    if (steps % 97 == 0) {  // ahead of the walk and behind it, the key just delivered too
      const int n = steps % 291 == 0 ? std::stoi(key) : static_cast<int>(random() % kKeys);
      const std::string k = Num(n, 5);
      if (model.count(k)) {
        Del(1, static_cast<int32_t>(model[k]), k);
        model.erase(k);
      } else {
        Add(1, n + 1, k);
        model[k] = static_cast<uint32_t>(n + 1);
      }
    }
  }
}

TEST_P(ReadAhead, AFailedReadStopsTheWalkWithAnErrorOrIsReadAgainButNeverSkipsAKey) {
  Make({{5, false}}, false);
  const std::vector<IxEntry> expected = Fill();
  isam::CloseFileBlock(fb);
  fb = nullptr;
  faultloop::EveryFault(
      [&] {
        fb = Open("t", false);
        ASSERT_NE(fb, nullptr);
      },
      [&] {
        std::vector<IxEntry> got = WalkUntilStopped(1);
        return std::pair(std::move(got), isam::IsamError);
      },
      [&](const auto& walk, const faultloop::Injection&) {
        const auto& [got, error] = walk;
        ASSERT_LE(got.size(), expected.size());
        EXPECT_TRUE(std::equal(got.begin(), got.end(), expected.begin()));
        if (got.size() < expected.size()) EXPECT_EQ(error, isam::kErrSystemFailure);
        else EXPECT_EQ(error, isam::kErrNoNextKey);
        isam::CloseFileBlock(fb);
        fb = nullptr;
      },
      {{isam::seam::Op::Read, 0, EIO, 0}});
}

TEST_P(ReadAhead, ADamagedLeafAheadIsReportedWhenTheWalkGetsThereNotBefore) {
  Make({{5, false}}, false);
  const std::vector<IxEntry> expected = Fill();
  isam::CloseFileBlock(fb);
  fb = nullptr;

  // The leaf holding the key two thirds along: its count made impossible.
  IndexFileReader ix = Ix();
  const std::string target = expected[expected.size() * 2 / 3].key;
  uint32_t page = ix.Header(1).rootPage;
  while (page != 0) {
    const IxPage p = ix.Page(1, page);
    int i = 0;
    while (i < p.count && p.items[static_cast<size_t>(i)].key < target) ++i;
    if (i < p.count && p.items[static_cast<size_t>(i)].key == target && !p.Leaf()) {
      page = p.Child(i + 1);  // the leaf of the key is the leftmost below its right child
      while (!ix.Page(1, page).Leaf()) page = ix.Page(1, page).Child(0);
      break;
    }
    if (p.Leaf()) break;
    page = p.Child(i);
  }
  const uint32_t leaf = page;
  const std::vector<std::string> keys = ix.Keys(1, leaf);
  std::string bytes = dir.Read("t.IX");
  const int64_t at = ix.PagePosition(1, leaf);
  bytes[static_cast<size_t>(at)] = static_cast<char>(0xFF);
  bytes[static_cast<size_t>(at + 1)] = 0;
  dir.Write("t.IX", bytes);

  fb = Open("t", false);
  ASSERT_NE(fb, nullptr);
  const std::vector<IxEntry> got = WalkUntilStopped(1);
  EXPECT_EQ(isam::IsamError, isam::kErrTooManyItems);
  ASSERT_FALSE(keys.empty());
  const auto firstOfLeaf = std::find_if(expected.begin(), expected.end(),
                                        [&](const IxEntry& e) { return e.key == keys.front(); });
  ASSERT_NE(firstOfLeaf, expected.end());
  // Everything up to the item before the damaged leaf, and nothing after.
  EXPECT_EQ(got.size(), static_cast<size_t>(firstOfLeaf - expected.begin()));
  EXPECT_TRUE(std::equal(got.begin(), got.end(), expected.begin()));
}

TEST_P(ReadAhead, AChildMadeByForkWalksOnItsOwnAndLeavesTheParentsWalkWhole) {
  Make({{5, false}}, false);
  const std::vector<IxEntry> expected = Fill();
  // The parent walks half-way, so that its ring (if any) is made and in use.
  isam::ClearKey(fb, 1);
  std::vector<IxEntry> got;
  for (size_t i = 0; i < expected.size() / 2; ++i) {
    int32_t rec = 0;
    std::string key;
    isam::NextKey(fb, 1, rec, key);
    ASSERT_TRUE(isam::IsamSuccess);
    got.push_back({key, static_cast<uint32_t>(rec)});
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child reads the same file through its own descriptor and cache.
    bool same = true;
    isam::ClearKey(fb, 1);
    for (const IxEntry& e : expected) {
      int32_t rec = 0;
      std::string key;
      isam::NextKey(fb, 1, rec, key);
      same = same && isam::IsamSuccess && key == e.key && static_cast<uint32_t>(rec) == e.rec;
    }
    ::_exit(same ? 0 : 1);
  }
  for (size_t i = expected.size() / 2; i < expected.size(); ++i) {
    int32_t rec = 0;
    std::string key;
    isam::NextKey(fb, 1, rec, key);
    ASSERT_TRUE(isam::IsamSuccess);
    got.push_back({key, static_cast<uint32_t>(rec)});
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(got, expected);
}

INSTANTIATE_TEST_SUITE_P(RingOrNot, ReadAhead, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Ring" : "PlainReads"; });

// The batch read itself: every piece within the file is read whole, one past its end is not,
// the error state stays as it was, and each piece passes the file layer's seam once.
TEST(ReadPieces, ReadsWhatIsThereAndLeavesTheErrorStateAlone) {
  TempFolder dir;
  std::string content(100000, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 251);
  dir.Write("f.DAT", content);
  for (const bool refused : {false, true}) {
    isam::ring::Refuse(refused);
    isam::FileRec f;
    ASSERT_TRUE(isam::OpenFile(f, dir / "f.DAT"));
    std::vector<std::string> buffers(100, std::string(1000, 'x'));
    std::vector<isam::ReadPiece> pieces;
    for (int i = 0; i < 100; ++i)  // more than one batch, in no order; the last past the end
      pieces.push_back({(i * 37 % 100) * 1000 + (i == 99 ? 99500 : 0), 1000, buffers[static_cast<size_t>(i)].data()});
    isam::SetError(isam::kErrNoNextKey);
    isam::seam::Disarm();
    isam::ReadPieces(f, pieces);
    EXPECT_EQ(isam::seam::Calls(isam::seam::Op::Read), 100);
    EXPECT_EQ(isam::IsamError, isam::kErrNoNextKey);
    for (int i = 0; i < 99; ++i) {
      ASSERT_TRUE(pieces[static_cast<size_t>(i)].done) << i;
      EXPECT_EQ(buffers[static_cast<size_t>(i)], content.substr(static_cast<size_t>(pieces[static_cast<size_t>(i)].pos), 1000));
    }
    EXPECT_FALSE(pieces[99].done);
    isam::ClearError();
    isam::CloseFile(f);
  }
  isam::ring::Refuse(false);
}

}  // namespace
