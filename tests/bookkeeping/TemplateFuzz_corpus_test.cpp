// Every seed of the template fuzzer and every input it once found a fault with, run through
// the fuzz target's own code in the ordinary test run; such an input is kept as a file in
// data/fuzz/template/ beside the seeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "TemplateFuzzTarget.h"

namespace {

TEST(TemplateFuzzCorpus, TargetTakesEveryKeptInput) {
  std::vector<std::filesystem::path> inputs;
  for (const auto& e : std::filesystem::directory_iterator(std::string(BFN_TEST_DATA) + "/fuzz/template"))
    inputs.push_back(e.path());
  std::sort(inputs.begin(), inputs.end());
  ASSERT_FALSE(inputs.empty());
  fuzz::TemplateBooks books;
  for (const auto& p : inputs) {
    SCOPED_TRACE(p.filename().string());
    std::stringstream bytes;
    bytes << std::ifstream(p, std::ios::binary).rdbuf();
    const std::string b = bytes.str();
    fuzz::RunTemplateTarget(books, reinterpret_cast<const uint8_t*>(b.data()), b.size());
  }
}

}  // namespace
