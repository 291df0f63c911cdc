// Real6: the six-byte real in which account, verification and sums records hold money.
//
// Byte 0 is the binary exponent with bias 129 (0 means the value 0); bytes 1..5 hold a
// 39-bit fraction, least significant byte first, with the sign in the top bit of byte 5.
// The value is (-1)^sign x (1 + fraction / 2^39) x 2^(exponent - 129).
//
// Invariant: a Real6 always holds the six bytes it was built from, so reading and writing a
// record keeps them byte for byte. Every value it stands for is exact in a double; every
// finite double near enough to zero is stored rounded to nearest, ties to even.
//
// Money is kept in whole öre: every sum of amounts is rounded to öre when it is stored, so
// adding up any number of amounts never drifts. A Real6 holds each whole öre up to
// kMaxMoney so that it reads back as that öre (below 2^33 its rounding error stays under
// half an öre); beyond it, neighbouring öre share one Real6.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace bf {

class Real6 {
 public:
  static constexpr int kSize = 6;
  // The largest magnitude a Real6 holds: (2 - 2^-39) x 2^126.
  static const double kMax;

  Real6() = default;  // the zero form

  // The nearest Real6 to value. The zero form for 0, -0 and magnitudes below 2^-128 after
  // rounding; nothing for NaN, infinities and magnitudes that round above kMax.
  static std::optional<Real6> FromDouble(double value);

  static const double kMaxMoney;  // 8589934591.99, the last öre below 2^33
  // value rounded to whole öre; nothing when that is beyond kMaxMoney either way.
  static std::optional<Real6> FromMoney(double value);

  static Real6 FromBytes(const uint8_t* bytes);
  void ToBytes(uint8_t* bytes) const;

  double Value() const;
  bool IsZeroForm() const { return bytes_[0] == 0; }

  friend bool operator==(const Real6&, const Real6&) = default;

 private:
  std::array<uint8_t, kSize> bytes_{};
};

// value rounded to whole öre, halves away from zero. Exact for the totals of the list record
// (doubles) up to 10^13 kronor.
double WholeOre(double value);

}  // namespace bf
