#include "bookkeeping/BFdefs_Real6.h"

#include <cmath>

namespace bf {

namespace {

constexpr int kBias = 129;
constexpr int kFractionBits = 39;
constexpr uint64_t kHidden = uint64_t{1} << kFractionBits;  // the implicit leading 1
constexpr int kDoubleSignificandBits = 53;
constexpr int kDroppedBits = kDoubleSignificandBits - (kFractionBits + 1);

}  // namespace

const double Real6::kMax = std::ldexp(static_cast<double>(2 * kHidden - 1), 255 - kBias - kFractionBits);

const double Real6::kMaxMoney = 8589934591.99;

double WholeOre(double value) { return std::round(value * 100) / 100; }

std::optional<Real6> Real6::FromMoney(double value) {
  const double money = WholeOre(value);
  if (!(std::fabs(money) <= kMaxMoney)) return std::nullopt;  // NaN too
  return FromDouble(money);
}

std::optional<Real6> Real6::FromDouble(double value) {
  if (std::isnan(value) || std::isinf(value)) return std::nullopt;
  Real6 r;
  if (value == 0) return r;

  // |value| = m x 2^k with m in [0.5, 1); the 53-bit significand of m is exact.
  int k = 0;
  const double m = std::frexp(std::fabs(value), &k);
  const auto significand = static_cast<uint64_t>(std::ldexp(m, kDoubleSignificandBits));

  // Keep 40 bits (hidden bit and fraction), rounding the dropped 13 to nearest, ties to even.
  uint64_t kept = significand >> kDroppedBits;
  const uint64_t dropped = significand & ((uint64_t{1} << kDroppedBits) - 1);
  const uint64_t half = uint64_t{1} << (kDroppedBits - 1);
  if (dropped > half || (dropped == half && (kept & 1) != 0)) ++kept;

  // value = (kept / 2^39) x 2^(k - 1), so the stored exponent is k - 1 + bias.
  int exponent = k - 1 + kBias;
  if (kept == 2 * kHidden) {  // the rounding carried into the next power of two
    kept = kHidden;
    ++exponent;
  }
  if (exponent > 255) return std::nullopt;
  if (exponent < 1) return r;  // too small: the zero form

  const uint64_t fraction = kept - kHidden;
  r.bytes_[0] = static_cast<uint8_t>(exponent);
  for (int i = 0; i < 5; ++i) r.bytes_[1 + i] = static_cast<uint8_t>(fraction >> (8 * i));
  if (value < 0) r.bytes_[5] |= 0x80;
  return r;
}

Real6 Real6::FromBytes(const uint8_t* bytes) {
  Real6 r;
  for (int i = 0; i < kSize; ++i) r.bytes_[i] = bytes[i];
  return r;
}

void Real6::ToBytes(uint8_t* bytes) const {
  for (int i = 0; i < kSize; ++i) bytes[i] = bytes_[i];
}

double Real6::Value() const {
  if (bytes_[0] == 0) return 0.0;
  uint64_t fraction = bytes_[5] & 0x7F;
  for (int i = 4; i >= 1; --i) fraction = (fraction << 8) | bytes_[i];
  const double magnitude =
      std::ldexp(static_cast<double>(kHidden + fraction), bytes_[0] - kBias - kFractionBits);
  return (bytes_[5] & 0x80) != 0 ? -magnitude : magnitude;
}

}  // namespace bf
