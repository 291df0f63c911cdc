// The exact page shapes the B-tree leaves on disk: splits, redistribution to a neighbour,
// borrowing and merging on delete, the root growing and collapsing, free page reuse; and
// the key order (UTF-16 code units, record numbers for duplicates, 30-character cut).
#include <algorithm>

#include "BTreeFixture.h"
#include "common/Ansi.h"

using namespace isam;

namespace {

std::vector<std::string> Nums(std::initializer_list<std::pair<int, int>> ranges, int step = 1) {
  std::vector<std::string> out;
  for (auto [from, to] : ranges)
    for (int n = from; n <= to; n += step) out.push_back(Num(n));
  return out;
}

class Shapes : public BTreeTest {
 protected:
  void SetUp() override {
    BTreeTest::SetUp();
    Make({{10, false}});
  }
  void AddRange(int from, int to, int step = 1) {
    for (int n = from; n <= to; n += step) Add(1, n, Num(n));
  }
  void ExpectSound() {
    const std::string faults = Ix().Check(1);
    EXPECT_EQ(faults, "");
  }
};

TEST_F(Shapes, SixtyThreeAscendingKeysSplitTheFirstLeafIntoTwoOfThirtyOne) {
  AddRange(1, 62);
  IndexFileReader ix = Ix();
  EXPECT_EQ(ix.Header(1).rootPage, 1u);
  EXPECT_EQ(ix.Page(1, 1).count, 62);
  AddRange(63, 63);
  ix = Ix();
  const Header h = ix.Header(1);
  EXPECT_EQ(h.high, 3);
  EXPECT_EQ(h.rootPage, 3u);  // old leaf 1, new leaf 2, then the new root
  EXPECT_EQ(h.entryCount, 63u);
  const IxPage root = ix.Page(1, 3);
  ASSERT_EQ(root.count, 1);
  EXPECT_EQ(root.left, 1u);
  EXPECT_EQ(root.items[0].key, Num(32));
  EXPECT_EQ(root.items[0].rec, 32u);
  EXPECT_EQ(root.items[0].right, 2u);
  EXPECT_EQ(ix.Keys(1, 1), Nums({{1, 31}}));
  EXPECT_EQ(ix.Keys(1, 2), Nums({{33, 63}}));
  EXPECT_TRUE(ix.Page(1, 1).Leaf());
  EXPECT_EQ(ix.SectionLength(), 6 + 62 * (10 + 9));
  // Only the used part of a page is written: the new leaf's place past its 31 items is zero.
  const std::string bytes = dir.Read("t.IX");
  const int64_t usedEnd = ix.PagePosition(1, 2) + 6 + 31 * 19;
  EXPECT_EQ(bytes.substr(static_cast<size_t>(usedEnd), 31 * 19), std::string(31 * 19, '\0'));
  ExpectSound();
}

TEST_F(Shapes, FullLeafSharesWithItsRightNeighbourInsteadOfSplitting) {
  AddRange(2, 126, 2);  // [2..62] 64 [66..126]
  AddRange(1, 61, 2);   // the left leaf is now full
  IndexFileReader ix = Ix();
  ASSERT_EQ(ix.Page(1, 1).count, 62);
  ASSERT_EQ(ix.Page(1, 2).count, 31);
  Add(1, 63, Num(63));
  ix = Ix();
  EXPECT_EQ(ix.Header(1).high, 3);  // no new page
  EXPECT_EQ(ix.Page(1, 3).count, 1);
  EXPECT_EQ(ix.Page(1, 3).items[0].key, Num(48));  // the separator changed from 064
  EXPECT_EQ(ix.Keys(1, 1), Nums({{1, 47}}));      // ceil((31 + 62 + 1) / 2)
  std::vector<std::string> right = Nums({{49, 64}});
  for (const std::string& k : Nums({{66, 126}}, 2)) right.push_back(k);
  EXPECT_EQ(ix.Keys(1, 2), right);  // floor((31 + 62 + 1) / 2)
  ExpectSound();
}

TEST_F(Shapes, FullLastLeafSharesWithItsLeftNeighbour) {
  AddRange(1, 94);  // [1..31] 32 [33..94]
  ASSERT_EQ(Ix().Page(1, 2).count, 62);
  Add(1, 95, Num(95));
  const IndexFileReader ix = Ix();
  EXPECT_EQ(ix.Header(1).high, 3);
  EXPECT_EQ(ix.Keys(1, 1), Nums({{1, 47}}));
  EXPECT_EQ(ix.Page(1, 3).items[0].key, Num(48));
  EXPECT_EQ(ix.Keys(1, 2), Nums({{49, 95}}));
  ExpectSound();
}

TEST_F(Shapes, ShortLeafBorrowsFromItsRightNeighbourThroughTheParent) {
  AddRange(1, 70);  // [1..31] 32 [33..70]
  Del(1, 1, Num(1));
  // b = 38, N = 31: k = (38 + 1 - 31) / 2 = 4; 032 comes down with 033..035, 036 goes up.
  const IndexFileReader ix = Ix();
  EXPECT_EQ(ix.Keys(1, 1), Nums({{2, 35}}));
  EXPECT_EQ(ix.Page(1, 3).items[0].key, Num(36));
  EXPECT_EQ(ix.Keys(1, 2), Nums({{37, 70}}));
  ExpectSound();
}

TEST_F(Shapes, ShortLastLeafBorrowsFromItsLeftNeighbour) {
  AddRange(2, 126, 2);  // [2..62] 64 [66..126]
  AddRange(1, 15, 2);   // left leaf 39 items
  Del(1, 126, Num(126));
  // k = (39 + 1 - 31) / 2 = 4: 058 060 062 and the separator 064 come down, 056 goes up.
  const IndexFileReader ix = Ix();
  EXPECT_EQ(ix.Page(1, 3).items[0].key, Num(56));
  std::vector<std::string> right = Nums({{58, 124}}, 2);
  EXPECT_EQ(ix.Keys(1, 2), right);
  EXPECT_EQ(ix.Page(1, 1).count, 35);
  EXPECT_EQ(ix.Keys(1, 1).back(), Num(54));
  ExpectSound();
}

TEST_F(Shapes, MergeOfTwoMinimalLeavesCollapsesTheRootIntoTheMergedPage) {
  AddRange(1, 63);
  Del(1, 1, Num(1));  // b + 1 - N = 1: merge, the root is left empty
  const IndexFileReader ix = Ix();
  const Header h = ix.Header(1);
  EXPECT_EQ(h.rootPage, 1u);
  EXPECT_EQ(ix.Keys(1, 1), Nums({{2, 63}}));
  EXPECT_TRUE(ix.Page(1, 1).Leaf());
  EXPECT_EQ(h.freeCount, 2);
  EXPECT_EQ(ix.FreeChain(1), (std::vector<int32_t>{3, 2}));  // the merged-away leaf, then the root
  EXPECT_EQ(h.entryCount, 62u);
  ExpectSound();
  // The next split takes the free pages back, the one freed last first.
  Add(1, 1, Num(1));
  const IndexFileReader after = Ix();
  EXPECT_EQ(after.Header(1).rootPage, 2u);
  EXPECT_EQ(after.Header(1).high, 3);
  EXPECT_EQ(after.Keys(1, 3), Nums({{33, 63}}));
  EXPECT_EQ(after.Header(1).freeCount, 0);
  ExpectSound();
}

class Deep : public BTreeTest {
 protected:
  // Without journal, so that thousands of operations take no flush each; the tree is the same.
  void SetUp() override {
    BTreeTest::SetUp();
    Make({{10, false}}, false);
  }
};

TEST_F(Deep, DepthThreeTreeGrowsAndEmptiesToNothingWithEveryPageFree) {
  // Depth 2 holds at most 63 * 62 + 62 keys; a scrambled order exercises inner redistribution.
  const int n = 6000;
  for (int i = 0; i < n; ++i) {
    const int v = (i * 3527) % n;
    Add(1, v + 1, Num(v, 5));
  }
  Reopen();
  int depth = 0;
  std::vector<IxEntry> entries;
  EXPECT_EQ(Ix().Check(1, &entries, &depth), "");
  EXPECT_EQ(depth, 3);
  ASSERT_EQ(entries.size(), static_cast<size_t>(n));
  EXPECT_EQ(entries.front().key, Num(0, 5));
  EXPECT_EQ(Walk(1), entries);
  for (int i = 0; i < n; ++i) {
    const int v = (i * 1657) % n;
    Del(1, v + 1, Num(v, 5));
    if (i % 1500 == 1499) {
      Reopen();
      EXPECT_EQ(Ix().Check(1), "") << "after " << i + 1 << " deletes";
    }
  }
  Reopen();
  const IndexFileReader ix = Ix();
  const Header h = ix.Header(1);
  EXPECT_EQ(h.rootPage, 0u);
  EXPECT_EQ(h.entryCount, 0u);
  EXPECT_EQ(h.freeCount, h.high);
  EXPECT_EQ(ix.Check(1), "");
  const int32_t lastFreed = h.firstFree;
  const int32_t nextFree = ix.FreeChain(1).at(1);
  Add(1, 1, "again");
  Reopen();
  EXPECT_EQ(Ix().Header(1).rootPage, static_cast<uint32_t>(lastFreed));
  EXPECT_EQ(Ix().Header(1).firstFree, nextFree);
  EXPECT_EQ(Ix().Header(1).high, h.high);
  int32_t rec = 0;
  FindKey(fb, 1, rec, "again");
  EXPECT_TRUE(IsamSuccess);
  EXPECT_EQ(rec, 1);
}

TEST_F(Shapes, DeleteFromAnInnerPageTakesTheGreatestKeyOfItsLeftSubtree) {
  AddRange(1, 70);
  Del(1, 32, Num(32));  // the root's only item; the left leaf gives up 031 and is short
  const IndexFileReader ix = Ix();
  EXPECT_EQ(ix.Check(1), "");
  std::vector<IxEntry> entries;
  ix.Check(1, &entries);
  EXPECT_EQ(entries.size(), 69u);
  for (const IxEntry& e : entries) EXPECT_NE(e.key, Num(32));
  int32_t rec = 0;
  FindKey(fb, 1, rec, Num(31));
  EXPECT_EQ(rec, 31);
}

class KeyOrder : public BTreeTest {};

TEST_F(KeyOrder, DuplicatesAreOrderedByRecordNumberAndFindKeyGivesTheSmallest) {
  Make({{10, true}, {10, false}});
  for (int32_t rec : {9, 3, 5, 12, 7}) Add(1, rec, "lika");
  Add(1, 4, "lik");
  Add(1, 1, "likb");
  AddKey(fb, 1, 5, "lika");
  EXPECT_EQ(IsamError, kErrKeyExists);  // same key and same record
  const IxPage leaf = Ix().Page(1, Ix().Header(1).rootPage);
  std::vector<uint32_t> recs;
  for (const IxItem& it : leaf.items) recs.push_back(it.rec);
  EXPECT_EQ(recs, (std::vector<uint32_t>{4, 3, 5, 7, 9, 12, 1}));
  int32_t rec = 0;
  FindKey(fb, 1, rec, "lika");
  ASSERT_TRUE(IsamSuccess);
  EXPECT_EQ(rec, 3);
  std::vector<int32_t> following;
  std::string key = "lika";
  for (int i = 0; i < 4; ++i) {
    NextKey(fb, 1, rec, key);
    following.push_back(rec);
  }
  EXPECT_EQ(following, (std::vector<int32_t>{5, 7, 9, 12}));
  FindKey(fb, 1, rec, "lik ");
  EXPECT_EQ(IsamError, kErrKeyNotFound);
  Del(1, 7, "lika");
  DeleteKey(fb, 1, 8, "lika");
  EXPECT_EQ(IsamError, kErrDeleteKeyNotFound);  // with duplicates the record number must match

  // Without duplicates a key is one entry whatever the record number.
  Add(2, 1, "unik");
  AddKey(fb, 2, 2, "unik");
  EXPECT_EQ(IsamError, kErrKeyExists);
  Del(2, 99, "unik");
  EXPECT_EQ(Ix().Header(2).entryCount, 0u);
}

TEST_F(KeyOrder, CodeUnitsNotBytesDecideTheOrder) {
  Make({{4, false}});
  // As bytes 80 (euro sign) < C4 < C5 < D6; as UTF-16 the euro sign (U+20AC) comes last.
  const std::vector<std::string> sorted = {"Z", "z", A("Ä"), A("Å"), A("Ö"), A("€")};
  for (int i : {3, 5, 0, 2, 4, 1}) Add(1, i + 1, sorted[static_cast<size_t>(i)]);
  std::vector<std::string> walked;
  for (const IxEntry& e : Walk(1)) walked.push_back(e.key);
  EXPECT_EQ(walked, sorted);
  Add(1, 10, "Zz");  // a longer key with a shorter one as its prefix comes after it
  Add(1, 11, "Y\xFF");
  std::string key = "Y";
  int32_t rec = 0;
  SearchKey(fb, 1, rec, key);
  EXPECT_EQ(key, "Y\xFF");
  NextKey(fb, 1, rec, key);
  EXPECT_EQ(key, "Z");
  NextKey(fb, 1, rec, key);
  EXPECT_EQ(key, "Zz");
}

TEST_F(KeyOrder, KeysAreCutToThirtyCharacters) {
  Make({{30, false}, {5, false}});
  const std::string base(30, 'k');
  Add(1, 1, base + "first");
  AddKey(fb, 1, 2, base + "second");
  EXPECT_EQ(IsamError, kErrKeyExists);
  int32_t rec = 0;
  FindKey(fb, 1, rec, base + "anything");
  EXPECT_TRUE(IsamSuccess);
  EXPECT_EQ(rec, 1);
  EXPECT_EQ(Ix().Page(1, 1).items[0].key, base);
  AddKey(fb, 2, 1, "sexsex");
  EXPECT_EQ(IsamError, kErrKeyTooLong);
  EXPECT_EQ(Ix().Header(2).rootPage, 0u);
}

TEST_F(KeyOrder, NextKeyPastTheLastStartsOverFromTheFirst) {
  Make({{10, false}});
  for (int i = 1; i <= 100; ++i) Add(1, i, Num(i));
  int32_t rec = 0;
  std::string key = Num(100);
  FindKey(fb, 1, rec, key);
  ASSERT_TRUE(IsamSuccess);
  NextKey(fb, 1, rec, key);
  EXPECT_EQ(IsamError, kErrNoNextKey);
  EXPECT_EQ(ErrorClassOf(IsamError), 1);
  NextKey(fb, 1, rec, key);
  ASSERT_TRUE(IsamSuccess);
  EXPECT_EQ(key, Num(1));
  EXPECT_EQ(rec, 1);
  // A change to the index invalidates the position; stepping goes on from the key passed in.
  key = Num(50);
  FindKey(fb, 1, rec, key);
  Del(1, 51, Num(51));
  Add(1, 200, "0505");
  NextKey(fb, 1, rec, key);
  EXPECT_EQ(key, "0505");
  NextKey(fb, 1, rec, key);
  EXPECT_EQ(key, Num(52));
}

}  // namespace
