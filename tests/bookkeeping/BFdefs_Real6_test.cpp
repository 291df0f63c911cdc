#include "bookkeeping/BFdefs_Real6.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace bf {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encoded(double value) {
  const auto r = Real6::FromDouble(value);
  EXPECT_TRUE(r.has_value()) << value;
  Bytes bytes(Real6::kSize);
  if (r) r->ToBytes(bytes.data());
  return bytes;
}

double Decoded(const Bytes& bytes) { return Real6::FromBytes(bytes.data()).Value(); }

// Expected bytes worked out by hand from the definition (exponent bias 129, 39-bit
// fraction least significant byte first, sign in the top bit of byte 5).
TEST(Real6, KnownValuesEncodeToTheirBytesAndBack) {
  const struct {
    double value;
    Bytes bytes;
  } cases[] = {
      {0.0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {1.0, {0x81, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {-1.0, {0x81, 0x00, 0x00, 0x00, 0x00, 0x80}},
      {0.5, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {-0.5, {0x80, 0x00, 0x00, 0x00, 0x00, 0x80}},
      {0.01, {0x7A, 0x71, 0x3D, 0x0A, 0xD7, 0x23}},
      {-0.01, {0x7A, 0x71, 0x3D, 0x0A, 0xD7, 0xA3}},
      {9999999.99, {0x98, 0x71, 0xFD, 0x7F, 0x96, 0x18}},
      {-12.50, {0x84, 0x00, 0x00, 0x00, 0x00, 0xC8}},
      {100.0, {0x87, 0x00, 0x00, 0x00, 0x00, 0x48}},
      {-250.0, {0x88, 0x00, 0x00, 0x00, 0x00, 0xFA}},
      {1020.40, {0x8A, 0x9A, 0x99, 0x99, 0x19, 0x7F}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Encoded(c.value), c.bytes) << c.value;
    // Decoding is exact: the bytes stand for the double the encoder rounded to.
    EXPECT_NEAR(Decoded(c.bytes), c.value, std::fabs(c.value) * 1e-12) << c.value;
  }
  EXPECT_EQ(Decoded({0x84, 0x00, 0x00, 0x00, 0x00, 0xC8}), -12.5);
}

TEST(Real6, PowersOfTwoOnlyMoveTheExponent) {
  for (int k = -128; k <= 126; ++k) {
    const Bytes bytes = Encoded(std::ldexp(1.0, k));
    EXPECT_EQ(bytes, (Bytes{static_cast<uint8_t>(129 + k), 0, 0, 0, 0, 0})) << k;
    EXPECT_EQ(Decoded(bytes), std::ldexp(1.0, k)) << k;
  }
}

TEST(Real6, RoundsToNearestWithTiesToEvenAndCarriesIntoTheExponent) {
  // Half a unit of the last fraction bit above 1 is a tie: stays at the even 1.
  EXPECT_EQ(Encoded(1 + std::ldexp(1.0, -40)), (Bytes{0x81, 0, 0, 0, 0, 0}));
  // Three halves: a tie between fractions 1 and 2; the even 2 wins.
  EXPECT_EQ(Encoded(1 + 3 * std::ldexp(1.0, -40)), (Bytes{0x81, 2, 0, 0, 0, 0}));
  // Just above the tie rounds up.
  EXPECT_EQ(Encoded(1 + std::ldexp(1.0, -40) + std::ldexp(1.0, -52)), (Bytes{0x81, 1, 0, 0, 0, 0}));
  // All fraction bits set and more below: rounds up to the next power of two.
  EXPECT_EQ(Encoded(2 - std::ldexp(1.0, -45)), (Bytes{0x82, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Encoded(-(2 - std::ldexp(1.0, -45))), (Bytes{0x82, 0, 0, 0, 0, 0x80}));
  // The largest fraction itself stays.
  EXPECT_EQ(Encoded(2 - std::ldexp(1.0, -39)), (Bytes{0x81, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(Real6, ZeroFormForZeroAndTooSmallValues) {
  EXPECT_EQ(Encoded(-0.0), (Bytes{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Encoded(std::ldexp(1.0, -129)), (Bytes{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Encoded(-std::ldexp(1.0, -140)), (Bytes{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Encoded(std::numeric_limits<double>::denorm_min()), (Bytes{0, 0, 0, 0, 0, 0}));
  // Just below the smallest Real6, close enough to round up to it.
  EXPECT_EQ(Encoded(std::ldexp(1.0 - std::ldexp(1.0, -50), -128)), (Bytes{1, 0, 0, 0, 0, 0}));
  // An exponent byte of 0 is zero whatever the other bytes hold.
  EXPECT_EQ(Decoded({0x00, 0xFF, 0x12, 0x34, 0x56, 0xFF}), 0.0);
}

TEST(Real6, TooLargeIsReportedNeverWrapped) {
  ASSERT_TRUE(Real6::FromDouble(Real6::kMax).has_value());
  EXPECT_EQ(Encoded(Real6::kMax), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(Decoded({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), -Real6::kMax);
  EXPECT_FALSE(Real6::FromDouble(std::ldexp(1.0, 127)).has_value());
  EXPECT_FALSE(Real6::FromDouble(-std::ldexp(1.0, 127)).has_value());
  // Rounds up past the largest fraction of the top exponent.
  EXPECT_FALSE(Real6::FromDouble(std::ldexp(2 - std::ldexp(1.0, -41), 126)).has_value());
  EXPECT_FALSE(Real6::FromDouble(1e300).has_value());
  EXPECT_FALSE(Real6::FromDouble(std::numeric_limits<double>::infinity()).has_value());
  EXPECT_FALSE(Real6::FromDouble(std::numeric_limits<double>::quiet_NaN()).has_value());
}

std::string CentsText(long cents) {
  const long magnitude = cents < 0 ? -cents : cents;
  std::string text = std::to_string(magnitude / 100) + "." + (magnitude % 100 < 10 ? "0" : "") +
                     std::to_string(magnitude % 100);
  return cents < 0 ? "-" + text : text;
}

// Two decimals read back as typed when the value is within a quarter cent; every 1009th
// cent is also compared as text, the way the program shows it.
TEST(Real6, EveryCentUpToAHundredThousandReadsBackAsTyped) {
  long mismatches = 0;
  for (long cents = -10000000; cents <= 10000000; ++cents) {
    const double back = Real6::FromDouble(static_cast<double>(cents) / 100)->Value();
    bool same = std::fabs(back * 100 - static_cast<double>(cents)) < 0.25;
    if (cents % 1009 == 0) {
      char buffer[64];
      const auto end = std::to_chars(buffer, buffer + sizeof buffer, back, std::chars_format::fixed, 2).ptr;
      same = same && std::string(buffer, end) == CentsText(cents);
    }
    if (!same && ++mismatches < 5) ADD_FAILURE() << CentsText(cents) << " read back as " << back;
  }
  EXPECT_EQ(mismatches, 0);
}

// Money: below 2^33 kronor every öre has a Real6 that reads back as it, so sums rounded to
// öre at every step stay exact; the next öre is refused rather than stored inexactly.
TEST(Real6, MoneyIsWholeOreUpToTheLargestSumAReal6HoldsExactly) {
  EXPECT_EQ(Real6::FromMoney(1.234)->Value(), Real6::FromDouble(1.23)->Value());
  EXPECT_EQ(Real6::FromMoney(0.005)->Value(), Real6::FromDouble(0.01)->Value());
  EXPECT_EQ(Real6::FromMoney(-0.005)->Value(), Real6::FromDouble(-0.01)->Value());
  EXPECT_EQ(WholeOre(814326.3249999), 814326.32);
  EXPECT_EQ(WholeOre(-814326.3250001), -814326.33);
  long mismatches = 0;
  const long long top = std::llround(Real6::kMaxMoney * 100);
  EXPECT_EQ(top, (1LL << 33) * 100 - 1);
  // The last öre below each power of two from 2^20 on, and the 100 000 below the limit.
  std::vector<long long> ore;
  for (int k = 20; k <= 33; ++k)
    for (long long n = (1LL << k) * 100 - 500; n < (1LL << k) * 100 + 500 && n <= top; ++n) ore.push_back(n);
  for (long long n = top - 100000; n <= top; ++n) ore.push_back(n);
  for (const long long n : ore)
    for (const long long signedOre : {n, -n}) {
      const auto r = Real6::FromMoney(static_cast<double>(signedOre) / 100);
      if ((!r || std::llround(r->Value() * 100) != signedOre) && ++mismatches < 5)
        ADD_FAILURE() << signedOre << " öre";
    }
  EXPECT_EQ(mismatches, 0);
  EXPECT_FALSE(Real6::FromMoney(Real6::kMaxMoney + 0.01).has_value());
  EXPECT_FALSE(Real6::FromMoney(-Real6::kMaxMoney - 0.01).has_value());
  EXPECT_FALSE(Real6::FromMoney(std::numeric_limits<double>::quiet_NaN()).has_value());
  // Past the limit two öre would share one Real6.
  const double past = static_cast<double>(1LL << 33);
  EXPECT_EQ(Real6::FromDouble(past + 0.01)->Value(), Real6::FromDouble(past + 0.02)->Value());
}

}  // namespace
}  // namespace bf
