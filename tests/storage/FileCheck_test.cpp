// The repair tool's look at a fileblock: a sound one has no finding, and each kind of damage
// is named, also in files the engine refuses to open; nothing is changed by looking.
#include "storage/FileCheck.h"

#include "BTreeFixture.h"

using namespace isam;

namespace {

class Check : public BTreeTest {
 protected:
  // "t" with 100 records keyed in a unique and a duplicate index (two levels), 10 deleted.
  void SetUp() override {
    BTreeTest::SetUp();
    Make({{4, false}, {6, true}});
    for (int n = 1; n <= 100; ++n) {
      int32_t rec = 0;
      AddRec(fb, rec, Record(32, Num(n)).data());
      Add(1, rec, Num(n, 4));
      Add(2, rec, "g" + std::to_string(n % 3));
    }
    for (int n = 91; n <= 100; ++n) {
      Del(1, n, Num(n, 4));
      Del(2, n, "g" + std::to_string(n % 3));
      DeleteRec(fb, n);
    }
    CloseFileBlock(fb);
    ASSERT_TRUE(IsamSuccess);
  }

  std::vector<std::string> Findings() const {
    const std::string dat = dir.Read("t.DAT"), ix = dir.Read("t.IX"), dia = dir.Read("t.DIA");
    const FileBlockCheck check(Name("t"));
    EXPECT_EQ(dir.Read("t.DAT"), dat);
    EXPECT_EQ(dir.Read("t.IX"), ix);
    EXPECT_EQ(dir.Read("t.DIA"), dia);
    return check.findings();
  }
  void Poke(const std::string& file, size_t at, const std::string& bytes) const {
    std::string b = dir.Read(file);
    b.replace(at, bytes.size(), bytes);
    dir.Write(file, b);
  }
  static std::string Word(int32_t v) {
    std::string w(4, '\0');
    for (int i = 0; i < 4; ++i) w[static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return w;
  }
  static bool Mentions(const std::vector<std::string>& findings, const std::string& part) {
    for (const std::string& f : findings)
      if (f.find(part) != std::string::npos) return true;
    return false;
  }
};

TEST_F(Check, ASoundFileblockHasNoFindingAndItsShape) {
  const FileBlockCheck check(Name("t"));
  EXPECT_TRUE(check.sound()) << check.findings().front();
  const FileBlockShape& s = check.shape();
  EXPECT_EQ(s.highRecord, 100);
  EXPECT_EQ(s.freeChain, 10);
  ASSERT_EQ(s.indexes.size(), 2u);
  EXPECT_EQ(s.indexes[0].reached, 90u);
  EXPECT_EQ(s.indexes[0].height, 2);
  EXPECT_EQ(check.LiveRecords().size(), 90u);
  EXPECT_EQ(check.Keys(1).front().key, "0001");
  EXPECT_EQ(s.journalBytes, 1);
}

TEST_F(Check, EachDamageIsNamed) {
  const std::string dat = dir.Read("t.DAT"), ix = dir.Read("t.IX"), dia = dir.Read("t.DIA");
  struct Damage {
    const char* expected;
    std::function<void()> apply;
  };
  const IndexFileReader reader(ix, 2);
  const int64_t root1 = reader.PagePosition(1, reader.Header(1).rootPage);
  const int64_t leaf1 = reader.PagePosition(1, reader.Page(1, reader.Header(1).rootPage).left);
  const Damage damage[] = {
      {"OpenFlag set", [&] { Poke("t.DAT", 20, std::string(1, '\1')); }},
      {"journal holds", [&] { dir.Write("t.DIA", dia + "\xE8\x03"); }},
      {"journal of 0 bytes", [&] { dir.Write("t.DIA", ""); }},
      {"runs in a circle", [&] { Poke("t.DAT", 91 * 32, Word(100)); }},  // 100 → … → 91 → 100
      {"FreeCount 9", [&] { Poke("t.DAT", 4, Word(9)); }},
      {"is not a whole number", [&] { dir.Write("t.DAT", dat + "x"); }},
      {"neither live", [&] { Poke("t.DAT", 5 * 32, Word(7)); }},
      {"EntryCount 89", [&] { Poke("t.IX", reader.KeyOffset(1) + 23, Word(89)); }},
      {"not a live record", [&] { Poke("t.IX", root1 + 6, Word(95)); }},
      {"outside 1..", [&] { Poke("t.IX", root1 + 2, Word(77)); }},
      {"shorter than its header", [&] { dir.Write("t.DAT", dat.substr(0, 10)); }},
      {"not above the one before", [&] { Poke("t.IX", leaf1 + 6 + 9, "9999"); }},  // first key of the first leaf
      {"holds only", [&] { Poke("t.IX", leaf1, std::string("\x02\x00", 2)); }},
      {"page free chain broken", [&] { Poke("t.IX", reader.KeyOffset(1), Word(reader.Header(1).high + 5)); }},
      {"but the index file holds", [&] { dir.Write("t.IX", ix.substr(0, ix.size() - 100)); }},  // cut
  };
  for (const Damage& d : damage) {
    SCOPED_TRACE(d.expected);
    dir.Write("t.DAT", dat);
    dir.Write("t.IX", ix);
    dir.Write("t.DIA", dia);
    d.apply();
    const std::vector<std::string> findings = Findings();
    EXPECT_TRUE(Mentions(findings, d.expected)) << (findings.empty() ? "no finding" : findings.front());
  }
}

}  // namespace
