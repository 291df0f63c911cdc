// Index files that a disk fault or a person damaged: wrong page sizes in the header, a page
// count above 62, a key length byte beyond the key, a child pointer outside the file and a
// cycle of child pointers. Each gives the engine's error, never a crash or an endless walk.
#include "BTreeFixture.h"

using namespace isam;

namespace {

class Hostile : public BTreeTest {
 protected:
  // A tree of root and leaves over 100 keys, closed, with its root page's place.
  void SetUp() override {
    BTreeTest::SetUp();
    Make({{10, false}});
    for (int n = 1; n <= 100; ++n) Add(1, n, Num(n));
    CloseFileBlock(fb);
    fb = nullptr;
    ix_ = dir.Read("t.IX");
    const IndexFileReader reader(ix_, 1);
    ASSERT_FALSE(reader.Page(1, reader.Header(1).rootPage).Leaf());
    root_ = reader.PagePosition(1, reader.Header(1).rootPage);
  }

  void Poke16(int64_t at, uint16_t v) { Put16(reinterpret_cast<unsigned char*>(ix_.data() + at), v); }
  void Poke32(int64_t at, uint32_t v) { Put32(reinterpret_cast<unsigned char*>(ix_.data() + at), v); }

  // Writes the damaged file and opens it; the open itself must refuse with openError, or
  // (openError 0) succeed so that the walks below meet the damage.
  void OpenDamaged(int32_t openError) {
    dir.Write("t.IX", ix_);
    OpenFileBlock(fb, Name("t"), true);
    if (openError != 0) {
      EXPECT_FALSE(IsamSuccess);
      EXPECT_EQ(IsamError, openError);
      fb = nullptr;
    } else {
      ASSERT_TRUE(IsamSuccess) << IsamError;
    }
  }

  // Looking up and stepping through the whole index ends with the error, in bounded time.
  void ExpectSearchesFail(int32_t error) {
    int32_t rec = 0;
    FindKey(fb, 1, rec, Num(1));
    EXPECT_FALSE(IsamSuccess);
    EXPECT_EQ(IsamError, error);
    ClearKey(fb, 1);
    int steps = 0;
    for (; steps < 1000; ++steps) {
      std::string key;
      NextKey(fb, 1, rec, key);
      if (!IsamSuccess) break;
    }
    EXPECT_LT(steps, 1000);
    EXPECT_EQ(IsamError, error);
    AddKey(fb, 1, 101, Num(0));  // on the damaged path, left of every key
    EXPECT_FALSE(IsamSuccess);
  }

  std::string ix_;
  int64_t root_ = 0;
};

TEST_F(Hostile, HeaderWithWrongPageBytesOrTooManyItemsIsRefusedAtOpen) {
  Poke32(12, 1000);  // PageBytes not 6 + PageItems × item size
  OpenDamaged(kErrBadPageSize);
  ix_ = dir.Read("t.IX");
  Poke32(12, 6 + 62 * 19);
  Poke16(27, 63);  // PageItems above 62
  OpenDamaged(kErrTooManyItems);
}

TEST_F(Hostile, PageCountAboveSixtyTwo) {
  Poke16(root_, 63);
  OpenDamaged(0);
  ExpectSearchesFail(kErrTooManyItems);
}

TEST_F(Hostile, KeyLengthByteBeyondTheKey) {
  ix_[static_cast<size_t>(root_ + 6 + 8)] = 11;  // first item's length byte, key length 10
  OpenDamaged(0);
  ExpectSearchesFail(kErrBadPageSize);
}

TEST_F(Hostile, ChildPointerOutsideTheFile) {
  Poke32(root_ + 2, 9999);  // left child
  OpenDamaged(0);
  ExpectSearchesFail(kErrOutOfRange);
}

TEST_F(Hostile, CycleOfChildPointersEndsAtTheDepthLimit) {
  const IndexFileReader reader(ix_, 1);
  Poke32(root_ + 2, reader.Header(1).rootPage);  // the root is its own left child
  OpenDamaged(0);
  ExpectSearchesFail(kErrOutOfRange);
}

TEST_F(Hostile, RootPageBeyondHighPageIsRefusedAtOpen) {
  Poke32(16, 500);
  OpenDamaged(kErrOutOfRange);
}

}  // namespace
