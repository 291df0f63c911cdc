// Typed input against the fields of the records: what fits is taken whole, what does not
// is refused with the field's name and limit, and nothing is cut or replaced.
#include "bookkeeping/BFdefs_input.h"

#include <gtest/gtest.h>

#include "common/Ansi.h"

namespace bf {
namespace {

TEST(FieldInput, TextFitsByCharactersOfTheCodePage) {
  std::string stored = "kvar", message;
  // Eight characters, nine bytes of UTF-8: the field counts what it stores.
  ASSERT_TRUE(TakeText(kAccountNameField, "Lönekont", stored, message));
  EXPECT_EQ(stored, A("Lönekont"));
  ASSERT_TRUE(TakeText(kVerificationNameField, std::string(25, 'v'), stored, message));

  stored = "kvar";
  EXPECT_FALSE(TakeText(kAccountNameField, "Lönekonto", stored, message));
  EXPECT_EQ(message, A("kontonamn rymmer högst 8 tecken, texten har 9"));
  EXPECT_FALSE(TakeText(kBookkeepingNameField, std::string(27, 'n'), stored, message));
  EXPECT_EQ(message, A("namn rymmer högst 26 tecken, texten har 27"));
  EXPECT_FALSE(TakeText(kAccountReferenceField, "1234-5678 9012 3456 78901", stored, message));
  EXPECT_EQ(message, A("referens rymmer högst 23 tecken, texten har 25"));
  EXPECT_FALSE(TakeText(kSumGroupField, std::string(256, '1'), stored, message));
  EXPECT_EQ(message, A("summagrupp rymmer högst 255 tecken, texten har 256"));
  EXPECT_EQ(stored, "kvar");
}

TEST(FieldInput, ACharacterOutsideWindows1252IsNamedNotReplaced) {
  std::string stored = "kvar", message;
  EXPECT_FALSE(TakeText(kVerificationNameField, "Kaffe → kontoret", stored, message));
  EXPECT_EQ(message, "verifikatnamn kan inte lagra tecknet U+2192 (finns inte i Windows-1252)");
  EXPECT_FALSE(TakeText(kAccountNameField, "a\xFF", stored, message));
  EXPECT_EQ(message, A("kontonamn kan inte lagra texten: den är inte UTF-8"));
  EXPECT_EQ(stored, "kvar");
  ASSERT_TRUE(TakeText(kAccountNameField, "€ Œ ÿ ?", stored, message));
  EXPECT_EQ(stored, "\x80 \x8C \xFF ?");
}

TEST(FieldInput, AmountsInTheirFieldsRange) {
  double value = -1;
  std::string message;
  for (const auto& [typed, expected] : {std::pair{"100", 100.0}, {"100.5", 100.5}, {"12,5", 12.5}, {"0.07", 0.07},
                                        {"9999999.99", 9999999.99}, {"0", 0.0}}) {
    SCOPED_TRACE(typed);
    ASSERT_TRUE(TakeAmount(kBudgetField, typed, value, message));
    EXPECT_DOUBLE_EQ(value, expected);
  }
  ASSERT_TRUE(TakeAmount(kOpeningField, "-9999999.99", value, message));
  EXPECT_DOUBLE_EQ(value, -9999999.99);

  value = 5;
  for (const char* typed : {"10000000", "-0.01", "1.234", "", "-", ".5", "5.", "1e3", " 5", "+5", "5 ", "12.5.0",
                            "99999999999999999999"}) {
    SCOPED_TRACE(typed);
    EXPECT_FALSE(TakeAmount(kBudgetField, typed, value, message));
    EXPECT_EQ(message, A("budget: endast numeriskt värde tillåtet mellan 0.00..9999999.99!"));
  }
  EXPECT_FALSE(TakeAmount(kOpeningField, "-10000000", value, message));
  EXPECT_EQ(message, A("ingående saldo: endast numeriskt värde tillåtet mellan -9999999.99..9999999.99!"));
  EXPECT_FALSE(TakeAmount(kRowAmountField, "-1", value, message));  // a row's side gives its sign
  EXPECT_EQ(message, A("belopp: endast numeriskt värde tillåtet mellan 0.00..9999999.99!"));
  EXPECT_EQ(value, 5);
}

}  // namespace
}  // namespace bf
