// Fields of fixed-size binary records: little-endian integers, zero-terminated byte arrays
// and length-prefixed strings, at a byte offset. Every access checks that the field lies
// inside the bytes: a read outside gives 0 or "", a write outside does nothing. Reading
// clamps what the bytes claim: a zero-terminated array without its zero gives at most
// width − 1 bytes, a length byte above the capacity gives capacity bytes.
//
// Get16/Get32/Put16/Put32, on which the fields are built, read and write an integer at a
// pointer without a check: the storage engine's pages and headers use them in its inner
// loops, on buffers sized before any field is touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace esmall {

inline uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void Put16(unsigned char* p, uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
inline void Put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

using ConstBytes = std::span<const unsigned char>;
using MutableBytes = std::span<unsigned char>;

uint16_t GetU16(ConstBytes bytes, size_t at);
int16_t GetI16(ConstBytes bytes, size_t at);
uint32_t GetU32(ConstBytes bytes, size_t at);
int32_t GetI32(ConstBytes bytes, size_t at);
uint64_t GetU64(ConstBytes bytes, size_t at);
void PutU16(MutableBytes bytes, size_t at, uint16_t value);
void PutI16(MutableBytes bytes, size_t at, int16_t value);
void PutU32(MutableBytes bytes, size_t at, uint32_t value);
void PutI32(MutableBytes bytes, size_t at, int32_t value);
void PutU64(MutableBytes bytes, size_t at, uint64_t value);

// A zero-terminated array of width bytes (at most width − 1 characters).
std::string GetZString(ConstBytes bytes, size_t at, size_t width);
// Writes text cut to width − 1 characters and fills the rest of the array with zeros.
void PutZString(MutableBytes bytes, size_t at, size_t width, std::string_view text);

// A length byte followed by capacity character bytes.
std::string GetPString(ConstBytes bytes, size_t at, size_t capacity);
// Writes text cut to capacity with its length byte; the unused bytes become zeros.
void PutPString(MutableBytes bytes, size_t at, size_t capacity, std::string_view text);

// A 16-bit-character string of width code units at at, from Windows-1252 text (cut so
// that a terminating zero fits, rest zeros).
void PutWString(MutableBytes bytes, size_t at, size_t width, std::string_view text);

}  // namespace esmall
