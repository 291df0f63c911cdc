// A started engine with one open fileblock "t" whose indexes the test chooses, and short
// forms of the key operations that expect success. The fileblock is closed and the engine
// stopped afterwards even when the test failed half-way.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "IndexFileReader.h"

// A number as a key of `width` digits, so that key order is number order.
inline std::string Num(int n, int width = 3) {
  char s[16];
  std::snprintf(s, sizeof s, "%0*d", width, n);
  return s;
}

class BTreeTest : public EngineTest {
 protected:
  void TearDown() override {
    if (fb) isam::CloseFileBlock(fb);
    EngineTest::TearDown();
  }

  void Make(const std::vector<isam::IndexDescription>& indexes, bool journal = true,
            int32_t recordLength = 32) {
    isam::CreateFileBlock(Name("t"), recordLength, static_cast<uint16_t>(indexes.size()), indexes);
    ASSERT_TRUE(isam::IsamSuccess) << isam::IsamError;
    journal_ = journal;
    fb = Open("t", journal);
    ASSERT_NE(fb, nullptr);
  }

  // Closes and opens "t" again; without journal this is what puts the pages on disk.
  void Reopen() {
    isam::CloseFileBlock(fb);
    ASSERT_TRUE(isam::IsamSuccess) << "close: " << isam::IsamError;
    fb = Open("t", journal_);
    ASSERT_NE(fb, nullptr);
  }

  void Add(int k, int32_t rec, const std::string& key) {
    isam::AddKey(fb, k, rec, key);
    ASSERT_TRUE(isam::IsamSuccess) << "AddKey " << key << ": " << isam::IsamError;
  }
  void Del(int k, int32_t rec, const std::string& key) {
    isam::DeleteKey(fb, k, rec, key);
    ASSERT_TRUE(isam::IsamSuccess) << "DeleteKey " << key << ": " << isam::IsamError;
  }

  // Every key of index k in the engine's order, by stepping from the start.
  std::vector<IxEntry> Walk(int k) {
    std::vector<IxEntry> out = WalkUntilStopped(k);
    EXPECT_EQ(isam::IsamError, isam::kErrNoNextKey);
    return out;
  }
  // The keys a walk from the start delivers until NextKey fails; its error stays set.
  std::vector<IxEntry> WalkUntilStopped(int k) {
    std::vector<IxEntry> out;
    isam::ClearKey(fb, k);
    for (;;) {
      int32_t rec = 0;
      std::string key;
      isam::NextKey(fb, k, rec, key);
      if (!isam::IsamSuccess) break;
      out.push_back({key, static_cast<uint32_t>(rec)});
    }
    return out;
  }

  IndexFileReader Ix() const {
    return IndexFileReader(dir.Read("t.IX"), IndexCountOnDisk());
  }

  isam::FileBlock* fb = nullptr;

 private:
  bool journal_ = true;
  int IndexCountOnDisk() const {
    const std::string dat = dir.Read("t.DAT");
    return dat.size() >= 17 ? static_cast<unsigned char>(dat[16]) : 0;
  }
};
