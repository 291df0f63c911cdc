#include "bookkeeping/BFdefs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "common/Ansi.h"

namespace bf {
namespace {

// Byte images built from the layout tables, field by field, independent of the encoder.
template <size_t N>
struct Image {
  std::array<uint8_t, N> bytes{};
  void Text(size_t at, const std::string& text) {
    bytes[at] = static_cast<uint8_t>(text.size());
    std::memcpy(&bytes[at + 1], text.data(), text.size());
  }
  void Raw(size_t at, std::initializer_list<uint8_t> raw) {
    for (uint8_t b : raw) bytes[at++] = b;
  }
};

// Real6 values whose bytes are worked out by hand.
const std::initializer_list<uint8_t> kOne = {0x81, 0, 0, 0, 0, 0};
const std::initializer_list<uint8_t> kHundred = {0x87, 0, 0, 0, 0, 0x48};
const std::initializer_list<uint8_t> kMinus250 = {0x88, 0, 0, 0, 0, 0xFA};
const std::initializer_list<uint8_t> kMinus12_50 = {0x84, 0, 0, 0, 0, 0xC8};
const std::initializer_list<uint8_t> kHalf = {0x80, 0, 0, 0, 0, 0};

Real6 R6(double v) { return *Real6::FromDouble(v); }

TEST(Records, ListRecordFieldsAtTheirOffsets) {
  BfDataBasRecord r;
  r.number = "03";
  r.name = "Hemmet";
  r.fromDate = "2024-01-01";
  r.toDate = "2024-12-31";
  r.total1020 = 1.0;
  r.grandTotal = -2.5;
  r.groupTotals[0] = 0.5;
  r.groupTotals[8] = 100.0;
  r.groupOpeningTotals[3] = -1.0;
  r.lastVerNr = 0x01020304;
  r.sumGroups[0] = "Rest";
  r.sumGroups[8] = std::string(255, 'g');
  r.backupDir = "/tmp/kopia";

  Image<BfDataBasRecord::kLength> want;
  want.Text(4, "03");
  want.Text(7, "Hemmet");
  want.Text(34, "2024-01-01");
  want.Text(45, "2024-12-31");
  want.Raw(56, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F});          // 1.0
  want.Raw(64, {0, 0, 0, 0, 0, 0, 0x04, 0xC0});          // -2.5
  want.Raw(72, {0, 0, 0, 0, 0, 0, 0xE0, 0x3F});          // 0.5, group 0
  want.Raw(72 + 64, {0, 0, 0, 0, 0, 0, 0x59, 0x40});     // 100.0, group 8
  want.Raw(144 + 24, {0, 0, 0, 0, 0, 0, 0xF0, 0xBF});    // -1.0, opening group 3
  want.Raw(216, {0x04, 0x03, 0x02, 0x01});
  want.Text(220, "Rest");
  want.Text(220 + 8 * 256, std::string(255, 'g'));
  std::memcpy(&want.bytes[2524], "/tmp/kopia", 10);

  BfDataBasBytes got;
  Encode(r, got);
  EXPECT_EQ(got, want.bytes);
  BfDataBasRecord back;
  EXPECT_TRUE(Decode(want.bytes, back));
  EXPECT_EQ(back, r);
}

TEST(Records, AccountRecordFieldsAtTheirOffsets) {
  KontoRecord r;
  r.number = "1930";
  r.name = "Bank";
  r.reference = "5544-3322";
  r.sign = '+';
  r.budget = R6(100);
  r.opening = R6(1);
  r.closing = R6(-250);
  r.debit = R6(0.5);
  r.credit = R6(-12.5);

  Image<KontoRecord::kLength> want;
  want.Text(4, "1930");
  want.Text(9, "Bank");
  want.Text(18, "5544-3322");
  want.Raw(42, {'+'});
  want.Raw(43, kHundred);
  want.Raw(49, kOne);
  want.Raw(55, kMinus250);
  want.Raw(61, kHalf);
  want.Raw(67, kMinus12_50);

  KontoBytes got;
  Encode(r, got);
  EXPECT_EQ(got, want.bytes);
  KontoRecord back;
  EXPECT_TRUE(Decode(want.bytes, back));
  EXPECT_EQ(back, r);
}

TEST(Records, VerificationRecordFieldsAtTheirOffsets) {
  VerRecord r;
  r.number = -2;  // 16-bit two's complement
  r.name = A("Lön mars");
  r.date = "2024-03-25";
  r.accounts[0] = 100;
  r.accounts[1] = 1930;
  r.accounts[100] = 7010;
  r.amounts[0] = R6(0.5);
  r.amounts[1] = R6(-250);
  r.amounts[100] = R6(100);
  r.sides.fill(' ');
  r.sides[1] = '-';
  r.sides[100] = '+';

  Image<VerRecord::kLength> want;
  want.Raw(4, {0xFE, 0xFF});
  want.Text(6, A("Lön mars"));
  want.Text(32, "2024-03-25");
  want.Raw(43, {100, 0});
  want.Raw(45, {0x8A, 0x07});  // 1930
  want.Raw(43 + 200, {0x62, 0x1B});  // 7010
  want.Raw(245, kHalf);
  want.Raw(251, kMinus250);
  want.Raw(245 + 600, kHundred);
  for (int i = 0; i <= 100; ++i) want.bytes[851 + i] = ' ';
  want.bytes[852] = '-';
  want.bytes[951] = '+';

  VerBytes got;
  Encode(r, got);
  EXPECT_EQ(got, want.bytes);
  VerRecord back;
  EXPECT_TRUE(Decode(want.bytes, back));
  EXPECT_EQ(back, r);
}

TEST(Records, SumsRecordFieldsAtTheirOffsets) {
  SumsRecord r;
  r.month = "2024-03";
  r.debitSums[0] = R6(100);
  r.debitSums[8] = R6(1);
  r.creditSums[2] = R6(-250);
  r.groupBalances[8] = R6(-12.5);

  Image<SumsRecord::kLength> want;
  want.Text(4, "2024-03");
  want.Raw(12, kHundred);
  want.Raw(12 + 48, kOne);
  want.Raw(66 + 12, kMinus250);
  want.Raw(120 + 48, kMinus12_50);

  SumsBytes got;
  Encode(r, got);
  EXPECT_EQ(got, want.bytes);
  SumsRecord back;
  EXPECT_TRUE(Decode(want.bytes, back));
  EXPECT_EQ(back, r);
}

TEST(Records, TextsAreCutToTheirCapacityWhenStored) {
  KontoRecord k;
  k.number = "193012";
  k.name = "Bankkonto privat";
  KontoBytes bytes;
  Encode(k, bytes);
  EXPECT_EQ(bytes[4], 4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[5]), 4), "1930");
  EXPECT_EQ(bytes[9], 8);
  EXPECT_EQ(bytes[18], 0);  // the reference is not touched by the long name

  BfDataBasRecord d;
  d.backupDir = std::string(2000, 'x');
  BfDataBasBytes list;
  Encode(d, list);
  EXPECT_EQ(list[2524 + 1023], 'x');
  EXPECT_EQ(list[2524 + 1024], 0);  // always zero-terminated
  BfDataBasRecord back;
  EXPECT_TRUE(Decode(list, back));
  EXPECT_EQ(back.backupDir, std::string(1024, 'x'));
}

TEST(Records, DamagedLengthsAndRowCountsAreClampedWithoutReadingOutside) {
  KontoBytes konto{};
  konto[4] = 0xFF;   // number: capacity 4
  konto[18] = 24;    // reference: capacity 23
  std::memcpy(&konto[5], "12345", 5);
  KontoRecord k;
  EXPECT_FALSE(Decode(konto, k));
  EXPECT_EQ(k.number, std::string("1234"));
  EXPECT_EQ(k.reference.size(), 23u);

  VerBytes ver{};
  ver[43] = 101;  // row count above 100
  VerRecord v;
  EXPECT_FALSE(Decode(ver, v));
  EXPECT_EQ(v.RowCount(), 100);
  ver[43] = 0xFF;
  ver[44] = 0xFF;  // -1
  EXPECT_FALSE(Decode(ver, v));
  EXPECT_EQ(v.RowCount(), 0);
  ver[43] = 100;
  ver[44] = 0;
  EXPECT_TRUE(Decode(ver, v));
  EXPECT_EQ(v.RowCount(), 100);

  // Each damage of the list record is reported on its own.
  BfDataBasRecord d;
  BfDataBasBytes list{};
  list[7] = 200;  // name: capacity 26
  EXPECT_FALSE(Decode(list, d));
  EXPECT_EQ(d.name.size(), 26u);
  list = {};
  std::memset(&list[2524], 'p', 1025);  // no terminating zero
  EXPECT_FALSE(Decode(list, d));
  EXPECT_EQ(d.backupDir.size(), 1024u);
  list = {};
  list[64 + 6] = 0xF0;
  list[64 + 7] = 0x7F;  // grand total: infinity
  EXPECT_FALSE(Decode(list, d));
  EXPECT_EQ(d.grandTotal, 0.0);

  SumsBytes sums{};
  sums[4] = 8;  // month: capacity 7
  SumsRecord m;
  EXPECT_FALSE(Decode(sums, m));
  EXPECT_EQ(m.month.size(), 7u);
}

TEST(Records, FreshListRecordHasTheDefaultGroups) {
  const BfDataBasRecord r = FreshDataBasRecord();
  EXPECT_EQ(r.sumGroups[0], "\x99vriga");  // code page 850 form of "Övriga"
  EXPECT_EQ(r.sumGroups[1], "1000..1999");
  EXPECT_EQ(r.sumGroups[5], "5000..5999");
  EXPECT_EQ(r.sumGroups[8], "8000..8999");
  EXPECT_EQ(r.lastVerNr, 0);
  EXPECT_EQ(r.grandTotal, 0.0);
  EXPECT_TRUE(r.name.empty());
  EXPECT_TRUE(r.backupDir.empty());
}

TEST(Records, FreshVerificationHasNoRowsAndTheGivenSide) {
  const VerRecord v = FreshVerRecord(13, "2024-05-02", '-');
  EXPECT_EQ(v.number, 13);
  EXPECT_EQ(v.date, "2024-05-02");
  EXPECT_TRUE(v.name.empty());
  EXPECT_EQ(v.RowCount(), 0);
  EXPECT_TRUE(v.Balance().IsZeroForm());
  for (char side : v.sides) EXPECT_EQ(side, '-');
}

// Whatever bytes a file holds, a record decodes to something that stores and reads back as
// itself without further damage.
template <typename Record>
void RandomBytesDecodeToAStableRecord(std::mt19937& rng) {
  for (int i = 0; i < 2000; ++i) {
    std::array<uint8_t, Record::kLength> bytes;
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    Record first;
    Decode(bytes, first);
    std::array<uint8_t, Record::kLength> stored;
    Encode(first, stored);
    Record second;
    ASSERT_TRUE(Decode(stored, second)) << i;
    ASSERT_EQ(second, first) << i;
  }
}

TEST(Records, RandomBytesDecodeToRecordsThatStoreAsThemselves) {
  std::mt19937 rng(8);
  RandomBytesDecodeToAStableRecord<BfDataBasRecord>(rng);
  RandomBytesDecodeToAStableRecord<KontoRecord>(rng);
  RandomBytesDecodeToAStableRecord<VerRecord>(rng);
  RandomBytesDecodeToAStableRecord<SumsRecord>(rng);
}

}  // namespace
}  // namespace bf
