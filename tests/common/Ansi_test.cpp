#include "common/Ansi.h"

#include <gtest/gtest.h>

TEST(Ansi, SwedishLettersRoundTrip) {
  const std::string cp = A("Åsa Ärlig Östman é €");
  EXPECT_EQ(cp, std::string("\xC5sa \xC4rlig \xD6stman \xE9 \x80"));
  EXPECT_EQ(ansi::ToUtf8(cp), "Åsa Ärlig Östman é €");
}

TEST(Ansi, EveryByteRoundTripsThroughUtf8) {
  for (int b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(ansi::FromUtf8(ansi::ToUtf8(one)), one) << b;
  }
}

TEST(Ansi, UnknownAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(ansi::FromUtf8("a\xE2\x98\x83" "b"), "a?b");         // snowman: not in the code page
  EXPECT_EQ(ansi::FromUtf8("a\xC3"), "a?");                      // cut sequence
  EXPECT_EQ(ansi::FromUtf8("\xFF\x80x"), "??x");                 // stray bytes
}

TEST(Ansi, ExactConversionNamesWhatTheCodePageCannotHold) {
  std::string out = "kvar";
  char32_t missing = 0;
  ASSERT_TRUE(ansi::FromUtf8Exact("Lön? €", out, missing));  // a typed "?" is a character like any other
  EXPECT_EQ(out, A("Lön? €"));
  out = "kvar";
  EXPECT_FALSE(ansi::FromUtf8Exact("Kaffe\xE2\x86\x92", out, missing));  // an arrow
  EXPECT_EQ(missing, U'\u2192');
  EXPECT_EQ(out, "kvar");
  EXPECT_FALSE(ansi::FromUtf8Exact("\xF0\x9F\x98\x80", out, missing));  // outside the 16-bit plane
  EXPECT_EQ(missing, U'\U0001F600');
  // Cut, stray, overlong (a slash and a NUL in two bytes), a surrogate, beyond U+10FFFF.
  for (const char* malformed : {"a\xC3", "\xFF", "\x80x", "\xC0\xAF", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
    EXPECT_FALSE(ansi::FromUtf8Exact(malformed, out, missing)) << malformed;
    EXPECT_EQ(missing, ansi::kNotUtf8);
  }
}

TEST(Ansi, Utf16OfTheHighRange) {
  EXPECT_EQ(ansi::ToUtf16(0xC4), u'\u00C4');
  EXPECT_EQ(ansi::ToUtf16(0x80), u'\u20AC');
  EXPECT_EQ(ansi::ToUtf16(0x81), u'\u0081');
}
