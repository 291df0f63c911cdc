#include "common/ESmall_Bytes.h"

#include "common/Ansi.h"

#include <algorithm>
#include <cstring>

namespace esmall {
namespace {

bool Inside(size_t size, size_t at, size_t width) { return at <= size && width <= size - at; }

}  // namespace

uint16_t GetU16(ConstBytes b, size_t at) {
  return Inside(b.size(), at, 2) ? Get16(b.data() + at) : 0;
}

int16_t GetI16(ConstBytes b, size_t at) { return static_cast<int16_t>(GetU16(b, at)); }

uint32_t GetU32(ConstBytes b, size_t at) {
  return Inside(b.size(), at, 4) ? Get32(b.data() + at) : 0;
}

int32_t GetI32(ConstBytes b, size_t at) { return static_cast<int32_t>(GetU32(b, at)); }

uint64_t GetU64(ConstBytes b, size_t at) {
  if (!Inside(b.size(), at, 8)) return 0;
  return Get32(b.data() + at) | (static_cast<uint64_t>(Get32(b.data() + at + 4)) << 32);
}

void PutU16(MutableBytes b, size_t at, uint16_t value) {
  if (Inside(b.size(), at, 2)) Put16(b.data() + at, value);
}

void PutI16(MutableBytes b, size_t at, int16_t value) { PutU16(b, at, static_cast<uint16_t>(value)); }

void PutU32(MutableBytes b, size_t at, uint32_t value) {
  if (Inside(b.size(), at, 4)) Put32(b.data() + at, value);
}

void PutI32(MutableBytes b, size_t at, int32_t value) { PutU32(b, at, static_cast<uint32_t>(value)); }

void PutU64(MutableBytes b, size_t at, uint64_t value) {
  if (!Inside(b.size(), at, 8)) return;
  Put32(b.data() + at, static_cast<uint32_t>(value));
  Put32(b.data() + at + 4, static_cast<uint32_t>(value >> 32));
}

std::string GetZString(ConstBytes b, size_t at, size_t width) {
  if (width == 0 || !Inside(b.size(), at, width)) return {};
  const auto* begin = b.data() + at;
  const auto* end = std::find(begin, begin + width - 1, 0);
  return std::string(begin, end);
}

void PutZString(MutableBytes b, size_t at, size_t width, std::string_view text) {
  if (width == 0 || !Inside(b.size(), at, width)) return;
  const size_t length = std::min(text.size(), width - 1);
  std::memcpy(b.data() + at, text.data(), length);
  std::memset(b.data() + at + length, 0, width - length);
}

std::string GetPString(ConstBytes b, size_t at, size_t capacity) {
  if (!Inside(b.size(), at, capacity + 1)) return {};
  const size_t length = std::min<size_t>(b[at], capacity);
  return std::string(b.data() + at + 1, b.data() + at + 1 + length);
}

void PutPString(MutableBytes b, size_t at, size_t capacity, std::string_view text) {
  if (capacity > 255 || !Inside(b.size(), at, capacity + 1)) return;
  const size_t length = std::min(text.size(), capacity);
  b[at] = static_cast<unsigned char>(length);
  std::memcpy(b.data() + at + 1, text.data(), length);
  std::memset(b.data() + at + 1 + length, 0, capacity - length);
}

void PutWString(MutableBytes b, size_t at, size_t width, std::string_view text) {
  if (width == 0 || !Inside(b.size(), at, width * 2)) return;
  const size_t length = std::min(text.size(), width - 1);
  for (size_t i = 0; i < width; ++i)
    PutU16(b, at + 2 * i, i < length ? ansi::ToUtf16(static_cast<unsigned char>(text[i])) : 0);
}

}  // namespace esmall
