#include "common/Ansi.h"
#include "shell/EMsgTxt.h"

#include <gtest/gtest.h>

using emsgtxt::msgtext;

TEST(MessageCatalogue, TextsByNumber) {
  EXPECT_EQ(msgtext(0), "Inget fel!");
  EXPECT_EQ(msgtext(5), A("Filåtkomst förvägras"));
  EXPECT_EQ(msgtext(216), "Generellt skyddsfel GPfault");
  EXPECT_EQ(msgtext(328), " <Esc> avbryter...");
  EXPECT_EQ(msgtext(330), "Databas ej vald/ datafiler saknas!");
  // Stored with the DOS letters, byte for byte.
  EXPECT_EQ(msgtext(101), "Skrivfel p\x86 skivan");
  EXPECT_EQ(msgtext(209), "Fel vid l\x84sning av overlayfil");
}

TEST(MessageCatalogue, StorageRangeAlwaysHasAText) {
  EXPECT_EQ(msgtext(9500), "Btree: IOresult=  0");
  EXPECT_EQ(msgtext(9903), "Btree: Filen ej funnen");
  EXPECT_EQ(msgtext(10150), "Btree: Ogiltigt \"opening mode\"");
  EXPECT_EQ(msgtext(10193), "Btree: PutRec: F\x94rs\x94k att skriva record noll");
  EXPECT_EQ(msgtext(10412), A("Btree: Reorg: Dataposten större än 65535"));
  EXPECT_EQ(msgtext(10455), "Btree: errornr= 10455");
  EXPECT_EQ(msgtext(9501), "Btree: errornr=  9501");
  EXPECT_EQ(msgtext(10499), "Btree: errornr= 10499");
}

TEST(MessageCatalogue, UnknownNumberFallback) {
  EXPECT_EQ(msgtext(7), A("Okänt nummer i msgtextanrop= 7"));
  EXPECT_EQ(msgtext(400), A("Okänt nummer i msgtextanrop= 400"));
  EXPECT_EQ(msgtext(9499), A("Okänt nummer i msgtextanrop= 9499"));
  EXPECT_EQ(msgtext(10500), A("Okänt nummer i msgtextanrop= 10500"));
  EXPECT_EQ(msgtext(-3), A("Okänt nummer i msgtextanrop= -3"));
}
