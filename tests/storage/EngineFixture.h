// A started engine and a fresh folder for each test; the engine is stopped afterwards even
// when the test failed half-way.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "TempFolder.h"
#include "storage/BTFileIO_seam.h"
#include "storage/Filer.h"

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(isam::InitIsam(0, 200), 200); }
  void TearDown() override {
    isam::seam::Disarm();
    isam::seam::Observe(nullptr);
    isam::ExitIsam();
    if (!isam::IsamSuccess) {  // a test left a fileblock that cannot close: start afresh
      isam::ExitIsam();
    }
  }

  std::string Name(const std::string& stem) const { return dir / stem; }

  isam::FileBlock* Open(const std::string& stem, bool journal = true) {
    isam::FileBlock* fb = nullptr;
    isam::OpenFileBlock(fb, Name(stem), journal);
    EXPECT_TRUE(isam::IsamSuccess) << "open " << stem << ": " << isam::IsamError;
    return fb;
  }

  // The engine's error state after a run of calls, as a fault loop hands it to its judge.
  struct Outcome {
    bool ok = false;
    int32_t error = 0;
  };
  static Outcome Result() { return {isam::IsamSuccess, isam::IsamError}; }

  static std::string Record(int32_t length, const std::string& body) {
    std::string r(static_cast<size_t>(length), '\0');
    r.replace(4, body.size(), body);  // the first word stays 0: a live record
    return r;
  }

  static int32_t I32(const std::string& bytes, size_t at) {
    return static_cast<int32_t>(static_cast<unsigned char>(bytes[at]) |
                                (static_cast<unsigned char>(bytes[at + 1]) << 8) |
                                (static_cast<unsigned char>(bytes[at + 2]) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24));
  }

  TempFolder dir;
};
