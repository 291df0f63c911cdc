// Every seed of the fuzzers and every input they once found a fault with, run through the
// fuzz targets' own code in the ordinary (and the sanitizer) test run. An input that found a
// fault is kept as a file in data/fuzz/<target>/ beside the seeds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "FuzzTargets.h"

namespace {

std::vector<std::filesystem::path> Inputs(const std::string& target) {
  std::vector<std::filesystem::path> out;
  for (const auto& e : std::filesystem::directory_iterator(std::string(BFN_TEST_DATA) + "/fuzz/" + target))
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

void RunAll(const std::string& target, void (*run)(const uint8_t*, size_t)) {
  const auto inputs = Inputs(target);
  ASSERT_FALSE(inputs.empty());
  for (const auto& p : inputs) {
    SCOPED_TRACE(p.filename().string());
    const std::string b = Bytes(p);
    run(reinterpret_cast<const uint8_t*>(b.data()), b.size());
  }
}

TEST(FuzzCorpus, OpenTargetTakesEveryKeptInput) { RunAll("open", fuzz::RunOpenTarget); }
TEST(FuzzCorpus, JournalTargetTakesEveryKeptInput) { RunAll("journal", fuzz::RunJournalTarget); }

// The seeds are worth their name only when the engine opens them: a seed the open refuses
// would leave the fuzzer to find the format by chance.
TEST(FuzzCorpus, SeedsAreFileblocksTheEngineOpens) {
  ASSERT_GT(isam::InitIsam(0, 16), 0);
  for (const auto& p : Inputs("open")) {
    if (p.filename().string().rfind("seed", 0) != 0) continue;
    SCOPED_TRACE(p.filename().string());
    const std::string b = Bytes(p);
    const fuzz::InputFiles f = fuzz::SplitOpenInput(reinterpret_cast<const uint8_t*>(b.data()), b.size());
    const TempFolder dir;
    dir.Write("f.DAT", f.dat);
    dir.Write("f.IX", f.ix);
    dir.Write("f.DIA", f.dia);
    isam::FileBlock* fb = nullptr;
    isam::OpenFileBlock(fb, dir / "f", true);
    EXPECT_TRUE(isam::IsamSuccess) << isam::IsamError;
    if (fb) isam::CloseFileBlock(fb);
  }
  isam::ExitIsam();
}

}  // namespace
