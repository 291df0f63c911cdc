#include "common/Ansi.h"
#include "shell/ESmall.h"
#include "shell/ESmall_HandleStack.h"

#include <gtest/gtest.h>

TEST(DosLetters, ConvertedOnlyWhereTheyAre) {
  // DOS bytes of Å Ä Ö å ä ö É é Ü ü Æ æ, then a Windows é that must stay.
  const std::string dos = "\x8F\x8E\x99\x86\x84\x94\x90\x82\x9A\x81\x92\x91 \xE9";
  EXPECT_TRUE(esmall::HasDosSwedishLetters(dos));
  EXPECT_EQ(esmall::DosLettersToAnsi(dos), A("ÅÄÖåäöÉéÜüÆæ é"));
  // Only the six Swedish letters make a text count as DOS text.
  EXPECT_FALSE(esmall::HasDosSwedishLetters("\x82\x81\x92"));
  EXPECT_EQ(esmall::ShowableText("it\x92s"), "it\x92s");
  EXPECT_FALSE(esmall::HasDosSwedishLetters(A("Läsfel på skivan")));
}

TEST(Html, NordicLettersBecomeEntities) {
  EXPECT_EQ(esmall::ToHtml(A("Åsa & Örjan, æble, Émile, Über")),
            "&Aring;sa & &Ouml;rjan, &aelig;ble, &Eacute;mile, &Uuml;ber");
}

TEST(FileNames, WhatAFolderCannotHoldIsReplacedAndLettersStay) {
  EXPECT_EQ(esmall::FileNamePart(A("Båt/klubb: \"A*B?\" <x>|y\\z\t\x7f"), '-'), A("Båt-klubb- -A-B-- -x--y-z--"));
}

TEST(FileNames, ExtensionsAreComparedWithoutCase) {
  EXPECT_TRUE(esmall::EndsWithNoCase("rapport.Pdf", ".PDF"));
  EXPECT_TRUE(esmall::EndsWithNoCase(".jpg", ".JPG"));
  EXPECT_FALSE(esmall::EndsWithNoCase("jpg", ".JPG"));
  EXPECT_FALSE(esmall::EndsWithNoCase("bild.jpg.txt", ".JPG"));
}

TEST(PaddedNumbers, WidthsAndLongerValues) {
  EXPECT_EQ(esmall::ZeroPadded(7, 4), "0007");
  EXPECT_EQ(esmall::ZeroPadded(12345, 3), "12345");
  EXPECT_EQ(esmall::ZeroPadded(-7, 4), "-007");
  EXPECT_EQ(esmall::BlankPadded(42, 6), "    42");
  EXPECT_EQ(esmall::BlankPadded(-42, 6), "   -42");
  EXPECT_EQ(esmall::Amount(1234.5, 10), "   1234.50");
  EXPECT_EQ(esmall::Amount(-0.126, 0), "-0.13");
  EXPECT_EQ(esmall::Amount(1e20, 4).size(), 24u);  // never cut
  EXPECT_EQ(esmall::Pad("ab", 5, '.'), "ab...");
  EXPECT_EQ(esmall::Pad("abcdef", 3), "abcdef");
}

TEST(HandleStack, DepthBeyondTheSlotsStaysBalanced) {
  esmall::HandleStack stack;
  EXPECT_EQ(stack.Top(), 0u);
  for (esmall::WindowHandle h = 1; h <= 34; ++h) stack.Push(h);
  EXPECT_EQ(stack.Depth(), 34);
  EXPECT_EQ(stack.Top(), 0u);  // the 34th is not stored
  stack.Pop();
  EXPECT_EQ(stack.Top(), 33u);
  for (int i = 0; i < 40; ++i) stack.Pop();
  EXPECT_EQ(stack.Depth(), 0);
  stack.Push(5);
  EXPECT_EQ(stack.Top(), 5u);
}

TEST(CursorStack, RestoresTheCursorSavedAtTheDepth) {
  esmall::ScreenCursor screen;
  esmall::CursorStack cursors(screen);
  screen.Set(1);
  cursors.Push();
  screen.Set(2);
  cursors.Push();
  screen.Set(3);
  cursors.Pop();
  EXPECT_EQ(screen.Current(), 2);
  cursors.Pop();
  EXPECT_EQ(screen.Current(), 1);
  screen.Set(9);
  cursors.Pop();  // nothing saved
  EXPECT_EQ(screen.Current(), 9);
}
