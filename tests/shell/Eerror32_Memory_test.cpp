#include "shell/Eerror32.h"
#include "shell/Eerror32_Memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

using namespace eerror;

TEST(GlobalMemory, BlockLifeWithoutMessages) {
  RecordingMessageBoxes boxes;
  ScopedMessageBoxes installed(boxes);
  GlobalHandle block = EGlobalAlloc("printerinit", 8416);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(EGlobalSize("printerinit", block), 8416u);
  auto* bytes = static_cast<unsigned char*>(EGlobalLock("printerinit", block));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[0], 0);
  EXPECT_EQ(bytes[8415], 0);
  std::memset(bytes, 0xAB, 8416);
  EXPECT_EQ(EGlobalFlags("printerinit", block), 1u);
  EXPECT_FALSE(EGlobalUnlock("printerinit", block));  // no longer locked
  EXPECT_EQ(EGlobalFree("printerinit", block), nullptr);
  EXPECT_TRUE(boxes.boxes.empty());
}

TEST(GlobalMemory, FailuresReportLabelNumberAndWords) {
  RecordingMessageBoxes boxes;
  ScopedMessageBoxes installed(boxes);
  EXPECT_EQ(EGlobalAlloc("getdefdevmode", std::numeric_limits<size_t>::max() / 2), nullptr);
  EXPECT_EQ(EGlobalLock("Setdefdevmode", nullptr), nullptr);
  GlobalHandle block = EGlobalAlloc("gettheprinter", 16);
  EXPECT_FALSE(EGlobalUnlock("gettheprinter", block));
  EXPECT_EQ(EGlobalFree("gettheprinter", block), nullptr);
  EXPECT_EQ(EGlobalFree("gettheprinter", block), block);  // already freed: refused, not touched
  ASSERT_EQ(boxes.boxes.size(), 4u);
  EXPECT_EQ(boxes.boxes[0].kind, BoxKind::Warning);
  EXPECT_EQ(boxes.boxes[0].text, "getdefdevmode   8 globalalloc error ");
  EXPECT_EQ(boxes.boxes[1].text, "Setdefdevmode   6 globallock error ");
  EXPECT_EQ(boxes.boxes[2].text, "gettheprinter 158 globalunlock error ");
  EXPECT_EQ(boxes.boxes[3].text, "gettheprinter   6 globalfree error ");
}

TEST(MemoryCheck, NeedPlusMarginAndLowWaterMarks) {
  EXPECT_TRUE(MemoryCheck(1000, {5000, 3048}));
  EXPECT_FALSE(MemoryCheck(1001, {5000, 3048}));
  EXPECT_FALSE(MemoryCheck(std::numeric_limits<uint64_t>::max(), {5000, 3048}));
  EXPECT_LE(LowWaterMarks().physical, 3999);
  EXPECT_LE(LowWaterMarks().virtualMemory, 2047);
  EXPECT_TRUE(MemoryCheck(48 + 60352 + 9600 + 1684 + 9776 + 16016));  // this machine
}
