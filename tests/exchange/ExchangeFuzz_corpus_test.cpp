// Every seed of the exchange fuzzers and every input they once found a fault with, run
// through the fuzz targets' own code in the ordinary test run; such an input is kept as a
// file in data/fuzz/sie/ or data/fuzz/bfr/ beside the seeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "ExchangeFuzzTargets.h"

namespace {

std::vector<std::string> Inputs(const std::string& kind) {
  std::vector<std::filesystem::path> paths;
  for (const auto& e : std::filesystem::directory_iterator(std::string(BFN_TEST_DATA) + "/fuzz/" + kind))
    paths.push_back(e.path());
  std::sort(paths.begin(), paths.end());
  std::vector<std::string> out;
  for (const auto& p : paths) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    out.push_back(s.str());
  }
  return out;
}

TEST(ExchangeFuzzCorpus, TheTargetsTakeEveryKeptInput) {
  for (const char* kind : {"sie", "bfr"}) {
    const auto inputs = Inputs(kind);
    ASSERT_FALSE(inputs.empty()) << kind;
    for (const std::string& b : inputs) {
      const auto* data = reinterpret_cast<const uint8_t*>(b.data());
      if (std::string_view(kind) == "sie") fuzz::RunSieTarget(data, b.size());
      else fuzz::RunBfrTarget(data, b.size());
    }
  }
}

}  // namespace
