#include "common/Ansi.h"
#include "shell/ETider.h"

#include <gtest/gtest.h>

using etider::Format;

TEST(DateTimeString, FieldsAndFormatCodes) {
  etider::SetClock clock(2024, 1, 17, 9, 5, 3);  // a Wednesday in January
  etider::ScopedClock installed(clock);
  EXPECT_EQ(etider::Refresh(), "Onsdag  2024-01-17 09:05:03");
  EXPECT_EQ(etider::Refresh().size(), 27u);
  EXPECT_EQ(Format(12), "2024-01");
  EXPECT_EQ(Format(13), "240117");
  EXPECT_EQ(Format(14), "Onsdag  2024-01-17 09:05:03");
  EXPECT_EQ(Format(16), "Onsdag  240117");
  EXPECT_EQ(Format(17), "2024-00");
  EXPECT_EQ(Format(18), "2024-01-17");
  EXPECT_EQ(Format(19), "09");
  EXPECT_EQ(Format(20), "2024-01-17 09:05:03");
  EXPECT_EQ(Format(21), "Onsdag  ");
  EXPECT_EQ(Format(22), "2023-12");
  EXPECT_EQ(Format(23), "2023-00");
  EXPECT_EQ(Format(15), "");
  EXPECT_EQ(etider::CurrentMonthName(), "Januari");

  clock.Set(2024, 3, 2, 23, 59, 59);
  EXPECT_EQ(Format(22), "2024-02");
  EXPECT_EQ(Format(14), A("Lördag  2024-03-02 23:59:59"));
  EXPECT_EQ(etider::Seconds(), 86399);
}

TEST(DateTimeString, NamesAndOutOfRangeNumbers) {
  EXPECT_EQ(etider::WeekdayName(1), A("Måndag"));
  EXPECT_EQ(etider::WeekdayName(7), A("Söndag"));
  EXPECT_EQ(etider::WeekdayName(0), A("Söndag"));
  EXPECT_EQ(etider::MonthName(12), "December");
  EXPECT_EQ(etider::MonthName(0), "Januari");
  EXPECT_EQ(etider::MonthName(13), "Januari");
  EXPECT_EQ(etider::DayOfWeek(2000, 2, 29), 2);
}

TEST(Stopwatch, AcrossMidnightAndNested) {
  etider::SetClock clock(2024, 12, 31, 23, 59, 50);
  etider::ScopedClock installed(clock);
  EXPECT_EQ(etider::StopwatchStart(), 1);
  clock.Set(2025, 1, 1, 0, 0, 5);
  EXPECT_EQ(etider::StopwatchStart(), 2);
  clock.Set(2025, 1, 1, 0, 0, 10);
  EXPECT_EQ(etider::StopwatchStop(), "5");
  EXPECT_EQ(etider::StopwatchStop(), "20");
  EXPECT_EQ(etider::StopwatchStop(), "0");  // nothing started
}

TEST(Stopwatch, StartsBeyondTheStackOnlyCount) {
  etider::SetClock clock(2024, 5, 1, 10, 0, 0);
  etider::ScopedClock installed(clock);
  for (int i = 1; i <= 26; ++i) EXPECT_EQ(etider::StopwatchStart(), i);
  clock.SetTime(10, 1, 0);
  EXPECT_EQ(etider::StopwatchStop(), "0");  // the 26th was not kept
  for (int i = 25; i >= 1; --i) EXPECT_EQ(etider::StopwatchStop(), "60");
}

TEST(ParseDateTime, TakesOnlyAWholeRealDateAndTime) {
  etider::DateTime when;
  ASSERT_TRUE(etider::ParseDateTime("2024-02-29 23:59:59", when));  // a leap day
  EXPECT_EQ(when.year, 2024);
  EXPECT_EQ(when.month, 2);
  EXPECT_EQ(when.day, 29);
  EXPECT_EQ(when.dayOfWeek, 4);  // a Thursday
  EXPECT_EQ(when.hour, 23);
  EXPECT_EQ(when.minute, 59);
  EXPECT_EQ(when.second, 59);
  ASSERT_TRUE(etider::ParseDateTime("2000-02-29 00:00:00", when));  // a leap century

  const etider::DateTime before = when;
  for (const char* text : {"2026-02-30 12:00:00", "2023-02-29 12:00:00", "1900-02-29 12:00:00",
                           "2026-04-31 12:00:00", "2026-13-01 12:00:00", "2026-00-10 12:00:00",
                           "2026-01-00 12:00:00", "0000-01-01 12:00:00", "2026-01-01 24:00:00",
                           "2026-01-01 25:00:00", "2026-01-01 12:60:00", "2026-01-01 12:00:60",
                           "2026-01-01", "2026-01-01 12:00", "2026-01-01T12:00:00", "2026-1-01 12:00:00",
                           "2026-01-01 12:00:00 ", " 2026-01-01 12:00:00", "2026-01-01 +1:00:00",
                           "20260101 120000", ""}) {
    EXPECT_FALSE(etider::ParseDateTime(text, when)) << text;
    EXPECT_EQ(when.day, before.day) << text;
  }
}

TEST(ParseDateTime, ASetClockShowsWhatWasRead) {
  etider::DateTime when;
  ASSERT_TRUE(etider::ParseDateTime("2019-03-05 08:07:06", when));
  const etider::SetClock clock(when);
  const etider::ScopedClock installed(clock);
  EXPECT_EQ(etider::Refresh(), "Tisdag  2019-03-05 08:07:06");
  EXPECT_EQ(Format(12), "2019-03");
}
