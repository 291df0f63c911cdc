// A failing write, flush, truncate or read at every point inside AddKey and DeleteKey, in
// each shape of change (plain, shared with a neighbour, split, new root, pages off the free
// chain, borrow, merge, inner delete): the operation reports that it was undone, the data and
// index files are as they were (the index file in all a reader may look at), and the
// fileblock goes on working, also after a reopen.
#include <functional>

#include "BTreeFixture.h"
#include "FaultLoop.h"

using namespace isam;

namespace {

struct Scenario {
  const char* name;
  std::function<void(FileBlock*)> build;  // the state before the operation
  bool add;                               // AddKey, else DeleteKey
  int key;
};

class Faults : public BTreeTest, public ::testing::WithParamInterface<Scenario> {
 protected:
  void AddRange(int from, int to, int step = 1) {
    for (int n = from; n <= to; n += step) Add(1, n, Num(n));
  }

  void RunOperation(const Scenario& s) {
    if (s.add) AddKey(fb, 1, s.key, Num(s.key));
    else DeleteKey(fb, 1, s.key, Num(s.key));
  }

  struct Files {
    std::string dat, ix, dia;
  };
  Files Snapshot() const { return {dir.Read("t.DAT"), dir.Read("t.IX"), dir.Read("t.DIA")}; }
  void Restore(const Files& f) const {
    dir.Write("t.DAT", f.dat);
    dir.Write("t.IX", f.ix);
    dir.Write("t.DIA", f.dia);
  }
};

TEST_P(Faults, EveryFailureIsUndoneAndLeavesTheFilesAsTheyWere) {
  const Scenario& s = GetParam();
  // A second index beside the one changed, so that its section share must stay untouched too.
  Make({{10, false}, {4, true}});
  Add(2, 1, "x");
  s.build(fb);
  ASSERT_FALSE(HasFatalFailure());
  CloseFileBlock(fb);
  const Files before = Snapshot();
  ASSERT_EQ(before.dia.size(), 1u);

  const int32_t undone = s.add ? kErrAddKeyUndone : kErrDeleteKeyUndone;
  std::string reference;  // the index file once the operation went through
  uint32_t entriesAfter = 0;
  const auto judge = [&](const Outcome& r, const faultloop::Injection& at) {
    if (at.none()) {
      ASSERT_TRUE(r.ok) << r.error;
      CloseFileBlock(fb);
      reference = IndexFileReader(dir.Read("t.IX"), 2).Meaningful();
      entriesAfter = IndexFileReader(dir.Read("t.IX"), 2).Header(1).entryCount;
      return;
    }
    if (r.ok) {
      // Only the flush after the journal was cut may fail without an undo: the operation
      // was complete on disk by then and stands.
      EXPECT_EQ(at.fault.op, seam::Op::Flush);
      CloseFileBlock(fb);
      EXPECT_TRUE(IndexFileReader(dir.Read("t.IX"), 2).Meaningful() == reference);
      EXPECT_EQ(dir.Read("t.DIA").size(), 1u);
      return;
    }
    EXPECT_EQ(r.error, undone);
    EXPECT_EQ(ErrorClassOf(r.error), 3);
    const Files after = Snapshot();
    EXPECT_TRUE(after.dat == before.dat) << "data file changed";
    // Beyond a page's used part the index file keeps whatever was last written there.
    EXPECT_EQ(after.ix.size(), before.ix.size());
    EXPECT_TRUE(IndexFileReader(after.ix, 2).Meaningful() == IndexFileReader(before.ix, 2).Meaningful())
        << "index file changed";
    EXPECT_EQ(after.dia.size(), 1u);
    // The fileblock in memory was put back too: the operation now goes through.
    RunOperation(s);
    EXPECT_TRUE(IsamSuccess) << "retry: " << IsamError;
    CloseFileBlock(fb);
    ASSERT_TRUE(IsamSuccess);
    const IndexFileReader ix(dir.Read("t.IX"), 2);
    EXPECT_EQ(ix.Check(1), "");
    EXPECT_EQ(ix.Check(2), "");
    EXPECT_TRUE(ix.Meaningful() == reference) << "the retry left another shape";
    fb = Open("t");
    int32_t rec = 0;
    FindKey(fb, 1, rec, Num(s.key));
    EXPECT_EQ(IsamSuccess, s.add);
    EXPECT_EQ(IndexFileReader(dir.Read("t.IX"), 2).Header(1).entryCount, entriesAfter);
    CloseFileBlock(fb);
  };
  const faultloop::Calls calls = faultloop::EveryFault(
      [&] {
        Restore(before);
        fb = Open("t");
        ASSERT_NE(fb, nullptr);
      },
      [&] {
        RunOperation(s);
        return Result();
      },
      judge);
  for (const seam::Op op : {seam::Op::Write, seam::Op::Truncate, seam::Op::Flush}) EXPECT_GT(calls[op], 0);
}

// Every second number from `from` to `to` into index 1.
void Every2(FileBlock* fb, int from, int to) {
  for (int n = from; n <= to; n += 2) {
    isam::AddKey(fb, 1, n, Num(n));
    ASSERT_TRUE(isam::IsamSuccess) << isam::IsamError;
  }
}

const Scenario kScenarios[] = {
    {"PlainInsert", [](FileBlock* fb) { Every2(fb, 1, 63); Every2(fb, 2, 70); }, true, 71},
    // Left leaf full, right neighbour with room: shared.
    {"SharedWithNeighbour", [](FileBlock* fb) { Every2(fb, 2, 126); Every2(fb, 1, 61); }, true, 63},
    // Both leaves full: split, a new section at the end of the file.
    {"Split", [](FileBlock* fb) { Every2(fb, 2, 126); Every2(fb, 1, 61); Every2(fb, 65, 125); }, true, 63},
    {"NewRoot", [](FileBlock* fb) { Every2(fb, 1, 62); Every2(fb, 2, 62); }, true, 63},
    // Two pages on the free chain, both taken back by the split.
    {"PagesFromTheFreeChain",
     [](FileBlock* fb) {
       Every2(fb, 1, 63);
       Every2(fb, 2, 63);
       isam::DeleteKey(fb, 1, 1, Num(1));
     },
     true, 1},
    {"PlainDelete", [](FileBlock* fb) { Every2(fb, 1, 69); Every2(fb, 2, 70); }, false, 50},
    {"Borrow", [](FileBlock* fb) { Every2(fb, 1, 69); Every2(fb, 2, 70); }, false, 1},
    {"MergeAndRootCollapse", [](FileBlock* fb) { Every2(fb, 1, 63); Every2(fb, 2, 62); }, false, 1},
    {"InnerItem", [](FileBlock* fb) { Every2(fb, 1, 69); Every2(fb, 2, 70); }, false, 32},
};

INSTANTIATE_TEST_SUITE_P(Shapes, Faults, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
