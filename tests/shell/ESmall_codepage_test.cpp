#include "common/Ansi.h"
#include "shell/ESmall.h"

#include <gtest/gtest.h>

TEST(CodePage, NordicLettersBetweenAnsiAndOem850) {
  const std::string ansiText = A("Övriga åäö ÅÄÖ");
  const std::string oem = esmall::AnsiToOem(ansiText);
  EXPECT_EQ(oem, std::string("\x99vriga \x86\x84\x94 \x8F\x8E\x99"));
  EXPECT_EQ(esmall::OemToAnsi(oem), ansiText);
}

TEST(CodePage, MissingCharacterBecomesQuestionMark) {
  EXPECT_EQ(esmall::AnsiToOem(A("a€b")), "a?b");  // the euro sign has no place in 850
}
