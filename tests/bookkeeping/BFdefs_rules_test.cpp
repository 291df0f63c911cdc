// The rules every record passes: the sum-group rule, the character-set hooks, the amount
// field, the version check of the list file and the found/at-end rule of BfAccess.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "bookkeeping/BFFiler.h"
#include "bookkeeping/BFMisc_amount.h"
#include "bookkeeping/BFdefs_charset.h"
#include "bookkeeping/BFdefs_groups.h"
#include "common/Ansi.h"
#include "shell/Eerror32.h"

namespace bf {
namespace {

namespace fs = std::filesystem;

BfDataBasRecord WithGroups(std::initializer_list<std::pair<int, const char*>> groups) {
  BfDataBasRecord r = FreshDataBasRecord();
  for (int g = 1; g < kGroupCount; ++g) r.sumGroups[static_cast<size_t>(g)].clear();
  for (const auto& [g, text] : groups) r.sumGroups[static_cast<size_t>(g)] = text;
  return r;
}

TEST(Groups, DefaultGroupsAreTheThousands) {
  const BfDataBasRecord r = FreshDataBasRecord();
  EXPECT_EQ(GroupOfAccount(r, "3999"), 3);
  EXPECT_EQ(GroupOfAccount(r, "1000"), 1);
  EXPECT_EQ(GroupOfAccount(r, "8999"), 8);
  EXPECT_EQ(GroupOfAccount(r, "0500"), 0);
  EXPECT_EQ(GroupOfAccount(r, "9000"), 0);
}

TEST(Groups, ItemsRangesAndTheFirstGroupThatHolds) {
  const BfDataBasRecord r = WithGroups({{2, "1000..1999,3000"}, {3, "2000...2999"}, {4, "2500"}, {5, "3000"}});
  EXPECT_EQ(GroupOfAccount(r, "3000"), 2);
  EXPECT_EQ(GroupOfAccount(r, "1500"), 2);
  EXPECT_EQ(GroupOfAccount(r, "2500"), 3);  // three dots are a range too; group 3 before 4
  EXPECT_EQ(GroupOfAccount(r, "3001"), 0);
  // Only digits count in a bound; a bound without digits is 0.
  const BfDataBasRecord odd = WithGroups({{1, "k1 000..k1 999"}, {2, "..0099"}});
  EXPECT_EQ(GroupOfAccount(odd, "1234"), 1);
  EXPECT_EQ(GroupOfAccount(odd, "0050"), 2);
}

TEST(Groups, ABoundOfMoreThanFourDigitsMatchesNothing) {
  const BfDataBasRecord r = WithGroups({{1, "10000..19999"}, {2, "1000..99999"}, {3, "1000..1999"}});
  EXPECT_EQ(GroupOfAccount(r, "1500"), 3);
}

TEST(Charset, WriteHookIsOffAndReadHookConvertsOemLetters) {
  ASSERT_FALSE(OemOnWrite);
  EXPECT_EQ(WriteHook(A("Övriga")), A("Övriga"));
  EXPECT_EQ(ReadHook("\x99vriga"), A("Övriga"));  // code page 850 Ö
  EXPECT_EQ(ReadHook(A("Övriga")), A("Övriga"));  // Windows text is left alone
  EXPECT_EQ(ReadHook("r\x84knare"), A("räknare"));
  OemOnWrite = true;
  EXPECT_EQ(WriteHook(A("Åre")), "\x8Fre");
  OemOnWrite = false;
  // The fresh list record stores its default group name in code page 850 form.
  EXPECT_EQ(FreshDataBasRecord().sumGroups[0], "\x99vriga");
}

TEST(Amount, TwoDecimalsAndTheMinusRule) {
  // The minus takes the first place of the field.
  EXPECT_EQ(AmountText(-12.5, 11), "-     12.50");
  EXPECT_EQ(AmountText(-12.5, 12), "-      12.50");
  EXPECT_EQ(AmountText(12.5, 11), "      12.50");
  EXPECT_EQ(AmountText(-12.5, 0), "-12.50");
  EXPECT_EQ(AmountText(-12345.67, 9), "-12345.67");  // the digits fill the field
  EXPECT_EQ(AmountText(0, 0), "0.00");
  EXPECT_EQ(AmountText(-0.004, 6), "  0.00");  // a rest below a cent is no negative figure
  EXPECT_EQ(AmountText(-0.005, 6), "- 0.01");
  EXPECT_EQ(AmountText(9999999.99, 0), "9999999.99");
  EXPECT_DOUBLE_EQ(RoundedToCents(100.004), 100.0);
}

TEST(ListFile, TheVersionCheckWantsWholeListRecords) {
  const fs::path dir = fs::temp_directory_path() / ("bfversion-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  eerror::RecordingMessageBoxes boxes;
  const eerror::ScopedMessageBoxes installed(boxes);
  EXPECT_TRUE(ListVersionOk(dir.string()));  // no list at all is no conflict
  for (const size_t size : {size_t{3552}, size_t{3 * 3552}, size_t{3553}}) {
    SCOPED_TRACE(size);
    std::ofstream(dir / "bfnolk.DAT", std::ios::binary) << std::string(size, '\0');
    EXPECT_EQ(ListVersionOk(dir.string()), size % 3552 == 0);
  }
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, A("versionskonflikt: datafilerna ej för denna version eller skadade!"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace bf
