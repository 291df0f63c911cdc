// The sorted build of ReIndex against a model of what the rebuild must leave and against the
// key-by-key inserts it replaces: trees of 0, 1, a full leaf, a leaf and one, two and three
// levels, with and without duplicates, that the check passes and that later inserts and
// deletes go on from.
#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <random>

#include "EngineFixture.h"
#include "IndexFileReader.h"
#include "storage/FileCheck.h"
#include "storage/ReIndex.h"
#include "storage/ReOrg.h"
#include "storage/ReIndex_sorted.h"

using namespace isam;

namespace {

constexpr int32_t kLength = 40;
constexpr int kFieldAt[] = {4, 13, 34};  // text fields: 8, 20 and 4 characters
const IndexDescription kIndexes[] = {{8, false}, {20, true}, {4, false}};

using Keys = std::array<std::string, 3>;

void FieldKey(std::string& key, const unsigned char* record, int k) {
  const unsigned char* field = record + kFieldAt[k - 1];
  key.assign(reinterpret_cast<const char*>(field + 1), field[0]);
}

// The order of the tree for the characters used: Windows-1252 is Latin-1 here but for the
// euro sign (0x80), U+20AC, above them all.
bool ModelLess(const IxEntry& a, const IxEntry& b) {
  auto unit = [](char c) { return c == '\x80' ? 0x20AC : static_cast<unsigned char>(c); };
  if (std::lexicographical_compare(a.key.begin(), a.key.end(), b.key.begin(), b.key.end(),
                                   [&](char x, char y) { return unit(x) < unit(y); }))
    return true;
  return a.key == b.key && a.rec < b.rec;
}

// What a rebuild must leave: the keys of every index in order, the dump log, the records left.
struct Model {
  std::vector<IxEntry> index[3];
  std::string log;
  std::vector<bool> live;

  Model(const std::vector<Keys>& records, bool deleteDuplicates) : live(records.size() + 1, true) {
    live[0] = false;
    for (int k = 1; k <= 3; ++k) {
      std::map<std::string, bool> seen;
      for (size_t r = 1; r <= records.size(); ++r) {
        if (!live[r]) continue;
        const std::string& key = records[r - 1][k - 1];
        if (kIndexes[k - 1].allowDuplicates || seen.emplace(key, true).second) {
          index[k - 1].push_back({key, static_cast<uint32_t>(r)});
          continue;
        }
        log += "Key:<" + key + "> KeyNr: " + std::to_string(k) + " Ref: " + std::to_string(r) + " not added\r\n";
        if (!deleteDuplicates) continue;
        log += "Data record deleted - Dump follows\r\n\r\n\r\n";
        live[r] = false;
        for (int j = 0; j < k - 1; ++j)
          std::erase_if(index[j], [&](const IxEntry& e) { return e.rec == r; });
      }
    }
    for (auto& entries : index) std::sort(entries.begin(), entries.end(), ModelLess);
  }
};

// Keys of n records: index 1 all different, index 2 few different (duplicates allowed),
// index 3 every seventh a repeat of an earlier one.
std::vector<Keys> MakeKeys(int n, unsigned seed) {
  const std::string letters = "aAzZ09\xC4\xC5\xD6\x80";
  std::mt19937 random(seed);
  auto word = [&](uint32_t v, size_t least) {
    std::string w;
    do {
      w += letters[v % letters.size()];
      v /= static_cast<uint32_t>(letters.size());
    } while (v > 0 || w.size() < least);
    return w;
  };
  std::vector<uint32_t> order(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = static_cast<uint32_t>(i);
  std::shuffle(order.begin(), order.end(), random);
  std::vector<Keys> keys;
  for (int i = 0; i < n; ++i) {
    const uint32_t v = order[static_cast<size_t>(i)];
    const std::string third = i % 7 == 6 ? keys[random() % keys.size()][2] : word(v * 7919u % 10000u, 4);
    keys.push_back({word(v, 1), word(random() % 23, 1), third.substr(0, 4)});
  }
  return keys;
}

class SortedBuild : public EngineTest {
 protected:
  void Make(const std::string& stem, const std::vector<Keys>& records) {
    CreateFileBlock(Name(stem), kLength, 3, kIndexes);
    ASSERT_TRUE(IsamSuccess);
    FileBlock* fb = Open(stem, false);
    for (const Keys& keys : records) {
      std::string r(kLength, '\0');
      for (int k = 0; k < 3; ++k) {
        r[static_cast<size_t>(kFieldAt[k])] = static_cast<char>(keys[k].size());
        r.replace(static_cast<size_t>(kFieldAt[k]) + 1, keys[k].size(), keys[k]);
      }
      int32_t n = 0;
      AddRec(fb, n, r.data());
    }
    CloseFileBlock(fb);
    ASSERT_TRUE(IsamSuccess);
  }

  // sorted false: the key-by-key inserts, as when the memory for the keys cannot be had.
  void Rebuild(const std::string& stem, bool sorted, bool deleteDuplicates) {
    LimitSortedBuild(sorted ? -1 : 0);
    ReIndex(Name(stem), 3, kIndexes, FieldKey, deleteDuplicates);
    LimitSortedBuild(-1);
  }

  std::vector<IxEntry> Walk(FileBlock* fb, int k) {
    std::vector<IxEntry> out;
    ClearKey(fb, k);
    for (;;) {
      int32_t r = 0;
      std::string key;
      NextKey(fb, k, r, key);
      if (!IsamSuccess) break;
      out.push_back({key, static_cast<uint32_t>(r)});
    }
    EXPECT_EQ(IsamError, kErrNoNextKey);
    return out;
  }

  void ExpectSound(const std::string& stem) {
    const FileBlockCheck check(Name(stem));
    EXPECT_TRUE(check.sound()) << check.findings().front();
  }
};

struct Case {
  int records;
  bool deleteDuplicates;
  int height;  // of index 2, which keeps every key
};

class SortedBuildSizes : public SortedBuild, public ::testing::WithParamInterface<Case> {};

TEST_P(SortedBuildSizes, AgreesWithTheModelAndTheInsertsAndTakesLaterChanges) {
  const Case c = GetParam();
  const std::vector<Keys> records = MakeKeys(c.records, static_cast<unsigned>(c.records));
  Model model(records, c.deleteDuplicates);
  Make("t", records);
  Make("u", records);
  Rebuild("t", true, c.deleteDuplicates);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  Rebuild("u", false, c.deleteDuplicates);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  ExpectSound("t");

  const FileBlockCheck check(Name("t"));
  const IndexShape& all = check.shape().indexes[1];
  EXPECT_EQ(all.height, c.height);
  EXPECT_EQ(all.entries, static_cast<uint32_t>(model.index[1].size()));
  EXPECT_EQ(all.pagesInTree, all.highPage);
  EXPECT_EQ(all.freePages, 0);
  // The same records and dump log as the inserts leave, the records left as the model says.
  EXPECT_EQ(dir.Read("t.DAT"), dir.Read("u.DAT"));
  EXPECT_EQ(std::filesystem::exists(dir / "t.MSG") ? dir.Read("t.MSG") : "", model.log);
  EXPECT_EQ(std::filesystem::exists(dir / "u.MSG") ? dir.Read("u.MSG") : "", model.log);
  const auto live = check.LiveRecords();
  EXPECT_EQ(live.size(), static_cast<size_t>(std::count(model.live.begin(), model.live.end(), true)));
  for (const auto& [r, bytes] : live) EXPECT_TRUE(model.live[static_cast<size_t>(r)]) << r;

  FileBlock* t = Open("t");
  FileBlock* u = Open("u");
  for (int k = 1; k <= 3; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(Walk(t, k), model.index[k - 1]);
    EXPECT_EQ(Walk(u, k), model.index[k - 1]);
  }
  for (size_t i = 0; i < model.index[0].size(); i += 97) {
    int32_t r = 0;
    FindKey(t, 1, r, model.index[0][i].key);
    EXPECT_EQ(static_cast<uint32_t>(r), model.index[0][i].rec);
  }

  // Every other key of index 1 out, and new keys in for the same records; index 2 gets a
  // key more for each of them.
  std::vector<IxEntry>& first = model.index[0];
  std::vector<IxEntry> kept, out;
  for (size_t i = 0; i < first.size(); ++i) (i % 2 == 0 ? out : kept).push_back(first[i]);
  for (const IxEntry& e : out) {
    DeleteKey(t, 1, static_cast<int32_t>(e.rec), e.key);
    ASSERT_TRUE(IsamSuccess) << IsamError;
  }
  first = kept;
  for (size_t i = 0; i < out.size(); i += 3) {
    const IxEntry renamed{"n" + std::to_string(i), out[i].rec};
    AddKey(t, 1, static_cast<int32_t>(renamed.rec), renamed.key);
    ASSERT_TRUE(IsamSuccess) << IsamError;
    first.push_back(renamed);
    const IxEntry more{"new", out[i].rec};
    AddKey(t, 2, static_cast<int32_t>(more.rec), more.key);
    ASSERT_TRUE(IsamSuccess) << IsamError;
    model.index[1].push_back(more);
  }
  std::sort(first.begin(), first.end(), ModelLess);
  std::sort(model.index[1].begin(), model.index[1].end(), ModelLess);
  EXPECT_EQ(Walk(t, 1), model.index[0]);
  EXPECT_EQ(Walk(t, 2), model.index[1]);
  CloseFileBlock(t);
  CloseFileBlock(u);
  ExpectSound("t");
}

// Heights: 62 keys fill one leaf, 63 need two under a root, 3968 fill two levels.
INSTANTIATE_TEST_SUITE_P(ReIndex, SortedBuildSizes,
                         ::testing::Values(Case{0, true, 0}, Case{1, true, 1}, Case{62, false, 1},
                                           Case{63, false, 2}, Case{3968, false, 2}, Case{3969, false, 3},
                                           Case{5000, true, 3}));

// ReOrg takes the keys from the records as ReStruct writes them instead of reading them back:
// it must leave the same files, dump log and error as ReStruct followed by ReIndex, also when
// the key function stops the work or gives a key too long at a later index, and when the
// conversion leaves a record that reads as a deleted slot.
TEST_F(SortedBuild, ReOrgGathersTheKeysAndLeavesWhatReStructThenReIndexLeave) {
  static std::string stopAt;  // the index 2 key at which the key function stops the work
  stopAt.clear();
  const KeyFunction keyOf = [](std::string& key, const unsigned char* record, int k) {
    FieldKey(key, record, k);
    if (k == 2 && key == stopAt) IsamSuccess = false;
  };
  const ConversionFunction convert = [](const unsigned char* old, unsigned char* fresh) {
    if (old[0] | old[1] | old[2] | old[3]) return false;
    std::copy(old, old + kLength, fresh);
    if (old[5] == '9') fresh[0] = 1;  // not a live slot for ReIndex
    return true;
  };
  const std::vector<Keys> records = MakeKeys(3000, 7);
  const IndexDescription shorter[] = {{8, false}, {20, true}, {3, false}};
  struct Variant {
    const char* what;
    std::string stop;
    const IndexDescription* indexes;
    int error;
  };
  for (const Variant& v : {Variant{"whole", "", kIndexes, 0},
                           Variant{"stopped", records[2000][1], kIndexes, kErrKeyFunctionStopped},
                           Variant{"key too long", "", shorter, kErrKeyTooLong}}) {
    SCOPED_TRACE(v.what);
    for (const char* stem : {"t", "u"}) {
      Make(stem, records);
      FileBlock* fb = Open(stem, false);
      for (int32_t r = 5; r <= 3000; r += 5) DeleteRec(fb, r);
      CloseFileBlock(fb);
    }
    stopAt = v.stop;
    ReOrg(Name("t"), kLength, 3, std::span(v.indexes, 3), kLength, keyOf, convert);
    const int gathered = IsamError;
    ReStruct(Name("u"), kLength, kLength, convert);
    ASSERT_TRUE(IsamSuccess);
    ReIndex(Name("u"), 3, std::span(v.indexes, 3), keyOf, true);
    EXPECT_EQ(gathered, v.error);
    EXPECT_EQ(IsamError, v.error);
    EXPECT_EQ(dir.Read("t.DAT"), dir.Read("u.DAT"));
    EXPECT_EQ(dir.Read("t.IX"), dir.Read("u.IX"));
    ASSERT_EQ(std::filesystem::exists(dir / "t.MSG"), std::filesystem::exists(dir / "u.MSG"));
    if (std::filesystem::exists(dir / "t.MSG")) {
      EXPECT_EQ(dir.Read("t.MSG"), dir.Read("u.MSG"));
    }
    if (v.error == 0) {
      EXPECT_TRUE(std::filesystem::exists(dir / "t.MSG"));  // index 3 has repeats
    }
    for (const char* f : {"t.MSG", "u.MSG"}) std::filesystem::remove(dir / f);
  }
}

// Keys alike in their first four characters, a character of value 0 and keys that are
// prefixes of others, in the tree's order with the euro sign above the letters.
TEST(SortedKeys, EqualKeysGoByRecordAndTheLaterOnesAreTheDuplicates) {
  const std::vector<std::pair<std::string, uint32_t>> added = {
      {"b", 1},          {"\x80", 2},        {"b", 3},         {"\xC4", 4},         {"b", 5},
      {"Z", 6},          {"abcdefghX", 7},  {"abcdefgh", 8},  {"abcdefghA", 9},   {"b", 10},
      {std::string("b\0", 2), 11},          {"abcdefghA", 12}, {std::string("\0", 1), 13}, {"", 14}};
  IndexKeys keys;
  ASSERT_TRUE(keys.Reserve(static_cast<int64_t>(added.size()), 9));
  for (const auto& [key, rec] : added) keys.Add(key, rec);
  keys.Sort();
  std::vector<std::pair<std::string, uint32_t>> order;
  for (size_t i = 0; i < keys.size(); ++i) order.emplace_back(std::string(keys.Key(i)), keys.Rec(i));
  const std::vector<std::pair<std::string, uint32_t>> sorted = {
      {"", 14},          {std::string("\0", 1), 13}, {"Z", 6},  {"abcdefgh", 8}, {"abcdefghA", 9}, {"abcdefghA", 12},
      {"abcdefghX", 7},  {"b", 1},          {"b", 3},         {"b", 5},        {"b", 10},        {std::string("b\0", 2), 11},
      {"\xC4", 4},       {"\x80", 2}};
  EXPECT_EQ(order, sorted);
  const std::vector<IndexKeys::Taken> taken = keys.TakeDuplicates();
  std::vector<std::pair<std::string, uint32_t>> duplicates;
  for (const IndexKeys::Taken& t : taken) duplicates.emplace_back(t.key, t.rec);
  const std::vector<std::pair<std::string, uint32_t>> expected = {{"b", 3}, {"b", 5}, {"b", 10}, {"abcdefghA", 12}};
  EXPECT_EQ(duplicates, expected);
  EXPECT_EQ(keys.size(), added.size() - 4);
  // Once sorted, dropping records keeps the order.
  keys.Drop([](uint32_t rec) { return rec % 2 == 0; });
  order.clear();
  for (size_t i = 0; i < keys.size(); ++i) order.emplace_back(std::string(keys.Key(i)), keys.Rec(i));
  const std::vector<std::pair<std::string, uint32_t>> left = {
      {std::string("\0", 1), 13}, {"abcdefghA", 9}, {"abcdefghX", 7}, {"b", 1}, {std::string("b\0", 2), 11}};
  EXPECT_EQ(order, left);
}

TEST_F(SortedBuild, AKeyLongerThanTheIndexTakesIsRefusedAsByTheInserts) {
  Make("t", MakeKeys(100, 1));
  for (const bool sorted : {true, false}) {
    LimitSortedBuild(sorted ? -1 : 0);
    const IndexDescription shorter[] = {{8, false}, {20, true}, {3, false}};
    ReIndex(Name("t"), 3, shorter, FieldKey, true);
    LimitSortedBuild(-1);
    EXPECT_EQ(IsamError, kErrKeyTooLong) << sorted;
    FileBlock* fb = nullptr;
    OpenFileBlock(fb, Name("t"), false);
    EXPECT_EQ(IsamError, kErrOpenRefused);
  }
  Rebuild("t", true, true);
  ASSERT_TRUE(IsamSuccess) << IsamError;
  ExpectSound("t");
}

}  // namespace

// Enough keys for the sort to share its buckets with a second thread: keys of 0 to 6
// characters over a small alphabet, so that many have alike first characters or are equal,
// added in record order, against the model's order and its duplicates.
TEST(SortedKeys, ManyKeysSortAsTheModelAndGiveTheSameDuplicates) {
  const std::string alphabet = std::string("\0\x80\xC4 09AZaz", 11);
  std::mt19937 random(7);
  std::vector<IxEntry> model;
  IndexKeys keys;
  constexpr uint32_t kCount = 150000;
  ASSERT_TRUE(keys.Reserve(kCount, 6));
  for (uint32_t rec = 1; rec <= kCount; ++rec) {
    std::string key(random() % 7, ' ');
    for (char& c : key) c = alphabet[random() % alphabet.size()];
    keys.Add(key, rec);
    model.push_back({key, rec});
  }
  keys.Sort();
  std::sort(model.begin(), model.end(), ModelLess);
  ASSERT_EQ(keys.size(), model.size());
  for (size_t i = 0; i < model.size(); ++i) {
    ASSERT_EQ(keys.Key(i), model[i].key) << i;
    ASSERT_EQ(keys.Rec(i), model[i].rec) << i;
  }
  std::vector<uint32_t> expected;
  for (size_t i = 1; i < model.size(); ++i)
    if (model[i].key == model[i - 1].key) expected.push_back(model[i].rec);
  std::sort(expected.begin(), expected.end());
  std::vector<uint32_t> taken;
  for (const IndexKeys::Taken& t : keys.TakeDuplicates()) taken.push_back(t.rec);
  EXPECT_EQ(taken, expected);
  EXPECT_EQ(keys.size(), model.size() - expected.size());
}
