// Dates and times: the clock the program reads, the date-time string with its format codes,
// the seconds of the day and the stopwatch stack. The date-time string is rebuilt from the
// current clock on every request; it reads "Onsdag  2024-01-17 09:05:03" (weekday name
// padded to 8, then date and time, numbers zero-padded). Weekday names and month names are
// Windows-1252.
#pragma once

#include <string>

namespace etider {

struct DateTime {
  int year = 2000;
  int month = 1;      // 1..12
  int day = 1;        // 1..31
  int dayOfWeek = 6;  // 1 Monday .. 7 Sunday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// 1 Monday .. 7 Sunday of a date of the Gregorian calendar.
int DayOfWeek(int year, int month, int day);

// Reads exactly "YYYY-MM-DD hh:mm:ss" (year 0001..9999) into when, weekday included. False,
// leaving when as it was, for any other text or a date or time that does not exist
// (2026-02-30, 24:00:00).
bool ParseDateTime(const std::string& text, DateTime& when);

// Where the program reads the time. The system clock is current until another is
// installed; tests install a SetClock.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() const = 0;
};

// The local time of the machine.
class SystemClock : public Clock {
 public:
  DateTime Now() const override;
};

// A clock that shows what it is set to: for tests (23:59:50 and then midnight) and for a run
// that must print the same every time (bfnolk --now).
class SetClock : public Clock {
 public:
  SetClock(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    Set(year, month, day, hour, minute, second);
  }
  explicit SetClock(const DateTime& when) : SetClock(when.year, when.month, when.day, when.hour, when.minute, when.second) {}
  void Set(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  void SetTime(int hour, int minute, int second) { Set(now_.year, now_.month, now_.day, hour, minute, second); }
  DateTime Now() const override { return now_; }

 private:
  DateTime now_;
};

const Clock& CurrentClock();
// Makes clock current (nullptr: the system clock) and returns the one it replaces.
const Clock* InstallClock(const Clock* clock);

class ScopedClock {
 public:
  explicit ScopedClock(const Clock& clock) : previous_(InstallClock(&clock)) {}
  ~ScopedClock() { InstallClock(previous_); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  const Clock* previous_;
};

// "Måndag" .. "Söndag" by 1..7 (0 is also "Söndag"); "Januari" .. "December" by 1..12.
std::string WeekdayName(int dayOfWeek);
std::string MonthName(int month);  // month 0 or above 12 counts as 1

// The current date and time from the current clock.
DateTime Today();
// The name of the current month.
std::string CurrentMonthName();

// Rebuilds and returns the date-time string, and updates the seconds of the day.
const std::string& Refresh();
// Refreshes, then hour × 3600 + minute × 60 + second.
int Seconds();

// Pushes the current seconds and returns the new depth. At most 25 starts are kept;
// deeper ones only count.
int StopwatchStart();
// Pops the last start and gives the seconds since then as text, across midnight too. A
// stop without a kept start gives "0".
std::string StopwatchStop();

// A part of a freshly refreshed date-time string by code:
// 12 YYYY-MM, 13 YYMMDD, 14 the whole string, 16 weekday name (8 wide) and YYMMDD,
// 17 YYYY-00, 18 YYYY-MM-DD, 19 hh, 20 YYYY-MM-DD hh:mm:ss, 21 weekday name (8 wide),
// 22 the previous month as YYYY-MM (January gives December of the year before),
// 23 the previous year and "-00". Any other code gives "".
std::string Format(int code);

}  // namespace etider
