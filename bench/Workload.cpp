#include "Workload.h"

#include <algorithm>
#include <cstring>
#include <random>

namespace bench {
namespace {

constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// v in base 36, `width` characters, leading zeros.
std::string Base36(uint32_t v, int width) {
  std::string out(static_cast<size_t>(width), '0');
  for (int i = width - 1; i >= 0; --i, v /= 36) out[static_cast<size_t>(i)] = kDigits[v % 36];
  return out;
}

}  // namespace

std::string Key4(uint32_t v) { return Base36(v, kKey4Length); }

// A name-like key: a text, then the number, then a text, cut to 30.
std::string Key30(uint32_t v) {
  return ("KUND " + Base36(v * 2654435761u % kMaxValues, 4) + Base36(v, 4) + " STORGATAN 12 NORRBY")
      .substr(0, kKey30Length);
}

void FillRecord(uint32_t v, unsigned char out[kRecordLength]) {
  std::memset(out, 0, kRecordLength);
  const std::string k4 = Key4(v), k30 = Key30(v);
  std::memcpy(out + 4, k4.data(), k4.size());
  std::memcpy(out + 8, k30.data(), k30.size());
  for (int i = 38; i < kRecordLength; ++i) out[i] = static_cast<unsigned char>(v * 31 + i);
}

uint64_t RecordCheck(const unsigned char* record) {
  uint64_t h = 1469598103934665603ull;
  for (int i = 0; i < kRecordLength; ++i) h = (h ^ record[i]) * 1099511628211ull;
  return h;
}

std::vector<uint32_t> Scrambled(uint32_t n, uint32_t seed) {
  std::vector<uint32_t> out(n);
  for (uint32_t i = 0; i < n; ++i) out[i] = i;
  std::shuffle(out.begin(), out.end(), std::mt19937(seed));
  return out;
}

int OpenCloseKeyLength(int k) {
  static constexpr int kLengths[kOpenCloseIndexes] = {4, 30, 10, 8, 6, 20, 12, 16};
  return kLengths[k - 1];
}

std::string OpenCloseKey(int k, uint32_t v) {
  const int length = OpenCloseKeyLength(k);
  std::string key = Base36(v, 4) + kDigits[k];
  key.resize(static_cast<size_t>(length), 'X');
  return key;
}

}  // namespace bench
