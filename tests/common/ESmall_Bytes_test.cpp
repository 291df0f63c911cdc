#include "common/ESmall_Bytes.h"

#include <gtest/gtest.h>

#include <array>

using namespace esmall;

TEST(ByteFields, LittleEndianAndOutsideTheRecord) {
  std::array<unsigned char, 8> b{};
  PutI32(b, 0, -2);
  PutU16(b, 4, 0x1234);
  EXPECT_EQ(b[0], 0xFE);
  EXPECT_EQ(b[3], 0xFF);
  EXPECT_EQ(b[4], 0x34);
  EXPECT_EQ(GetI32(b, 0), -2);
  EXPECT_EQ(GetI16(b, 4), 0x1234);
  PutU32(b, 6, 0xFFFFFFFF);  // would run past the end: nothing written
  EXPECT_EQ(b[6], 0);
  EXPECT_EQ(GetU32(b, 6), 0u);
  EXPECT_EQ(GetU16(b, SIZE_MAX), 0u);

  PutU64(b, 0, 0x0102030405060708);
  EXPECT_EQ(b[0], 0x08);
  EXPECT_EQ(b[7], 0x01);
  EXPECT_EQ(GetU64(b, 0), 0x0102030405060708u);
  PutU64(b, 1, 0);  // one byte too far: nothing written
  EXPECT_EQ(b[1], 0x07);
  EXPECT_EQ(GetU64(b, 1), 0u);
}

TEST(ByteFields, StringsAreClampedToTheirField) {
  std::array<unsigned char, 12> b;
  b.fill('x');
  EXPECT_EQ(GetZString(b, 0, 5), "xxxx");    // no zero: width − 1 bytes
  b[0] = 200;                                 // a length byte above the capacity
  EXPECT_EQ(GetPString(b, 0, 4), "xxxx");
  EXPECT_EQ(GetPString(b, 8, 4), "");         // field runs past the end

  PutZString(b, 0, 5, "abcdefgh");
  EXPECT_EQ(GetZString(b, 0, 5), "abcd");
  EXPECT_EQ(b[4], 0);
  EXPECT_EQ(b[5], 'x');
  PutPString(b, 5, 4, "ab");
  EXPECT_EQ(b[5], 2);
  EXPECT_EQ(b[8], 0);
  EXPECT_EQ(b[10], 'x');
  EXPECT_EQ(GetPString(b, 5, 4), "ab");
}

TEST(ByteFields, AtAPointerTheSameOrderWithoutSignSpreading) {
  std::array<unsigned char, 8> b{0xFF, 0xFF, 0x01, 0x00, 0x00, 0x80};
  EXPECT_EQ(Get16(b.data()), 0xFFFFu);
  EXPECT_EQ(Get32(b.data() + 2), 0x80000001u);
  Put32(b.data(), 0xA1B2C3D4);
  EXPECT_EQ(b[0], 0xD4);
  EXPECT_EQ(b[3], 0xA1);
  EXPECT_EQ(GetU32(b, 0), 0xA1B2C3D4u);
  Put16(b.data() + 6, 0xBEEF);
  EXPECT_EQ(GetU16(b, 6), 0xBEEFu);
}
