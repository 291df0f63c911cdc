// The block buffers: records of a length that does not divide the system's page, written and
// read a block at a time with each call beginning or ending at a page boundary, come out
// whole and in order, also when a block is made smaller for memory and given up on the way.
#include <algorithm>
#include <string>

#include "EngineFixture.h"
#include "storage/BTIsBase.h"
#include "storage/BufRecIO.h"

using namespace isam;

namespace {

class Appender : public EngineTest {
 protected:
  // Records 1..count of `length` bytes, each byte telling its record and place.
  static std::string Record(int32_t length, int32_t r) {
    std::string bytes(static_cast<size_t>(length), '\0');
    for (int32_t i = 4; i < length; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(r * 7 + i);
    return bytes;
  }

  // Appends `count` records, shrinking the block before the records named in shrinkAt, and
  // checks the file holds exactly the header and those records.
  void AppendAndCheck(int32_t length, int32_t count, const std::vector<int32_t>& shrinkAt) {
    SCOPED_TRACE(length);
    CreateFileBlock(Name("a"), length, 0, {});
    ASSERT_TRUE(IsamSuccess);
    FileBlock* fb = Open("a", false);
    std::string expected;
    {
      RecordAppender appender(*fb);
      std::vector<unsigned char> scratch(static_cast<size_t>(length));
      for (int32_t r = 1; r <= count; ++r) {
        if (std::find(shrinkAt.begin(), shrinkAt.end(), r) != shrinkAt.end()) {
          ASSERT_TRUE(appender.Shrink());
        }
        const std::string bytes = Record(length, r);
        unsigned char* at = appender.Place(scratch.data());
        ASSERT_TRUE(at);
        std::copy(bytes.begin(), bytes.end(), at);
        int32_t number = 0;
        ASSERT_TRUE(appender.Append(number));
        ASSERT_EQ(number, r);
        expected += bytes;
      }
      ASSERT_TRUE(appender.Finish());
    }
    EXPECT_EQ(fb->idx[0].h.high, count);
    CloseFileBlock(fb);
    ASSERT_TRUE(IsamSuccess) << IsamError;
    const std::string dat = dir.Read("a.DAT");
    ASSERT_EQ(dat.size(), static_cast<size_t>(count + 1) * static_cast<size_t>(length));
    EXPECT_EQ(I32(dat, 8), count);  // HighRecord
    EXPECT_TRUE(dat.substr(static_cast<size_t>(length)) == expected);
    ReadAndCheck(length, count, shrinkAt);
  }

  // Reads the records back through a read block, shrinking it where named.
  void ReadAndCheck(int32_t length, int32_t count, const std::vector<int32_t>& shrinkAt) {
    FileRec f;
    ASSERT_TRUE(OpenFile(f, dir / "a.DAT"));
    RecordReader reader(f, length);
    std::string scratch(static_cast<size_t>(length), '\0');
    for (int pass = 0; pass < 2; ++pass) {
      reader.Reset();
      int32_t expected = 1;
      for (;;) {
        if (pass == 1 && std::find(shrinkAt.begin(), shrinkAt.end(), expected) != shrinkAt.end()) {
          ASSERT_TRUE(reader.Shrink());
        }
        int32_t number = 0;
        const unsigned char* r = reader.Next(reinterpret_cast<unsigned char*>(scratch.data()), number);
        if (!r) break;
        ASSERT_EQ(number, expected);
        ASSERT_TRUE(std::string(reinterpret_cast<const char*>(r), static_cast<size_t>(length)) == Record(length, number))
            << number;
        ++expected;
      }
      EXPECT_TRUE(IsamSuccess) << IsamError;
      EXPECT_EQ(expected, count + 1);
    }
    CloseFile(f);
  }
};

TEST_F(Appender, RecordsComeOutWholeWhereverTheWritesEnd) {
  // 73 and 21 leave a part of a page at each block's end, 4096 / 32 and 4100 none or
  // nearly a page; 9000 makes blocks of 3 records.
  for (int32_t length : {73, 21, 32, 4100, 9000}) AppendAndCheck(length, 2500, {});
  // A count that ends exactly at a block, and one record.
  AppendAndCheck(73, 448 * 3, {});
  AppendAndCheck(73, 1, {});
}

TEST_F(Appender, AShrunkOrGivenUpBlockLosesNothing) {
  // 73-byte records: each shrink takes 15 records off the 448; the block of 3 records of 9000
  // bytes goes to 2, then is given up, and the rest go one at a time.
  AppendAndCheck(73, 3000, {5, 449, 450, 1200, 1201, 2999});
  AppendAndCheck(9000, 20, {4, 9});
}

}  // namespace
