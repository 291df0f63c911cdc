// A file removed beside the caller's work: its name is gone once Start returns, Wait tells
// whether the removal succeeded, and the engine's error state is never touched.
#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "storage/BTFileIO.h"
#include "storage/Filer_error.h"

namespace {

TEST(FileRemoval, TheNameGoesAtOnceAndWaitTellsTheOutcomeWithoutTouchingTheErrorState) {
  TempFolder dir;
  dir.Write("big.SAV", std::string(8 << 20, 'x'));
  isam::SetError(isam::kErrNoNextKey);
  {
    isam::FileRemoval removal;
    removal.Start(dir / "big.SAV");
    EXPECT_FALSE(std::filesystem::exists(dir / "big.SAV"));
    EXPECT_TRUE(removal.Wait());
    EXPECT_TRUE(removal.Wait());  // once more: nothing left to wait for

    removal.Start(dir / "never.SAV");
    EXPECT_FALSE(removal.Wait());
    removal.Start(dir / "never.SAV");
  }  // the end waits too
  EXPECT_FALSE(isam::IsamSuccess);
  EXPECT_EQ(isam::IsamError, isam::kErrNoNextKey);
  isam::ClearError();
}

}  // namespace
