// The journal made by the first open of a fileblock: whichever file call of that open
// fails, and wherever a crash stops it, what is left lets the next open go through, so no
// fileblock is locked out by a journal cut short when it was made.
#include <filesystem>

#include "EngineFixture.h"
#include "FaultLoop.h"

namespace {

namespace fs = std::filesystem;

class JournalOpen : public EngineTest {};

TEST_F(JournalOpen, AFailedFirstOpenLeavesNoJournalThatBlocksTheNext) {
  const isam::IndexDescription key{8, true};
  isam::CreateFileBlock(Name("f"), 40, 1, std::span<const isam::IndexDescription>(&key, 1));
  ASSERT_TRUE(isam::IsamSuccess);
  const fs::path dia = fs::path(Name("f")).concat(".DIA");
  const fs::path making = fs::path(dia).concat("~");
  faultloop::EveryFault(
      [&] { fs::remove(dia); },
      [&] {
        isam::FileBlock* fb = nullptr;
        isam::OpenFileBlock(fb, Name("f"), true);
        return fb;
      },
      [&](isam::FileBlock* fb, const faultloop::Injection&) {
        if (fb) isam::CloseFileBlock(fb);
        if (fs::exists(dia)) {
          EXPECT_EQ(fs::file_size(dia), 1u);
        }
        EXPECT_FALSE(fs::exists(making));
        fb = Open("f");
        ASSERT_NE(fb, nullptr);
        isam::CloseFileBlock(fb);
      });
}

// A crash while the journal is made leaves at most the half-made one beside its place.
TEST_F(JournalOpen, AJournalLeftHalfMadeByACrashIsMadeAgain) {
  const isam::IndexDescription key{8, true};
  isam::CreateFileBlock(Name("g"), 40, 1, std::span<const isam::IndexDescription>(&key, 1));
  ASSERT_TRUE(isam::IsamSuccess);
  const fs::path dia = fs::path(Name("g")).concat(".DIA");
  fs::remove(dia);
  dir.Write("g.DIA~", "");
  isam::FileBlock* fb = Open("g");
  ASSERT_NE(fb, nullptr);
  isam::CloseFileBlock(fb);
  EXPECT_EQ(fs::file_size(dia), 1u);
  EXPECT_FALSE(fs::exists(fs::path(dia).concat("~")));
}

}  // namespace
