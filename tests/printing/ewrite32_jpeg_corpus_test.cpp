// Every seed of the JPEG fuzzer and every input it once found a fault with, run through the
// fuzz target's own code in the ordinary test run; such an input is kept as a file in
// data/fuzz/jpeg/ beside the seeds.
#include "JpegFuzzTarget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::vector<std::filesystem::path> Inputs() {
  std::vector<std::filesystem::path> out;
  for (const auto& e : std::filesystem::directory_iterator(std::string(BFN_TEST_DATA) + "/fuzz/jpeg"))
    out.push_back(e.path());
  std::sort(out.begin(), out.end());
  return out;
}

std::string Bytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(JpegFuzzCorpus, TargetTakesEveryKeptInput) {
  const auto inputs = Inputs();
  ASSERT_FALSE(inputs.empty());
  for (const auto& p : inputs) {
    SCOPED_TRACE(p.filename().string());
    const std::string b = Bytes(p);
    fuzz::RunJpegTarget(reinterpret_cast<const uint8_t*>(b.data()), b.size());
  }
}

// A seed the decoder refuses would leave the fuzzer to find the format by chance.
TEST(JpegFuzzCorpus, SeedsArePicturesTheDecoderReads) {
  for (const auto& p : Inputs()) {
    if (p.filename().string().rfind("seed", 0) != 0) continue;
    SCOPED_TRACE(p.filename().string());
    std::string reason;
    EXPECT_TRUE(printing::DecodeJpegBytes(Bytes(p), reason)) << reason;
  }
}

}  // namespace
