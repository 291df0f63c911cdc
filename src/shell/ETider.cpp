#include "shell/ETider.h"

#include "common/Ansi.h"
#include "shell/ESmall.h"

#include <chrono>
#include <ctime>

namespace etider {
namespace {

const Clock* current = nullptr;

std::string dateTimeString;
DateTime refreshedAt;  // the reading the string was built from
int secondsOfDay = 0;

constexpr int kMaxStopwatch = 25;
int stopwatchStarts[kMaxStopwatch];
int stopwatchDepth = 0;

std::string Two(int n) { return esmall::ZeroPadded(n, 2); }

}  // namespace

int DayOfWeek(int year, int month, int day) {
  using namespace std::chrono;
  const year_month_day date{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
  return static_cast<int>(weekday(sys_days(date)).iso_encoding());
}

bool ParseDateTime(const std::string& text, DateTime& when) {
  static const char kPattern[] = "0000-00-00 00:00:00";  // 0 a digit, anything else itself
  if (text.size() != sizeof kPattern - 1) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kPattern[i] == '0' ? !digit : text[i] != kPattern[i]) return false;
  }
  const auto number = [&text](size_t at, size_t width) { return std::stoi(text.substr(at, width)); };
  const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
  const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
  using namespace std::chrono;
  const year_month_day date{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
  if (year < 1 || !date.ok() || hour > 23 || minute > 59 || second > 59) return false;
  when = {year, month, day, DayOfWeek(year, month, day), hour, minute, second};
  return true;
}

DateTime SystemClock::Now() const {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  DateTime now;
  now.year = local.tm_year + 1900;
  now.month = local.tm_mon + 1;
  now.day = local.tm_mday;
  now.dayOfWeek = local.tm_wday == 0 ? 7 : local.tm_wday;
  now.hour = local.tm_hour;
  now.minute = local.tm_min;
  now.second = local.tm_sec;
  return now;
}

void SetClock::Set(int year, int month, int day, int hour, int minute, int second) {
  now_ = {year, month, day, DayOfWeek(year, month, day), hour, minute, second};
}

const Clock& CurrentClock() {
  static const SystemClock system;
  return current != nullptr ? *current : system;
}

const Clock* InstallClock(const Clock* clock) {
  const Clock* previous = current;
  current = clock;
  return previous;
}

std::string WeekdayName(int dayOfWeek) {
  static const char* const names[] = {"Söndag", "Måndag", "Tisdag", "Onsdag",
                                      "Torsdag", "Fredag", "Lördag", "Söndag"};
  return A(names[dayOfWeek >= 0 && dayOfWeek <= 7 ? dayOfWeek : 0]);
}

std::string MonthName(int month) {
  static const char* const names[] = {"Januari", "Februari", "Mars",      "April",
                                      "Maj",     "Juni",     "Juli",      "Augusti",
                                      "September", "Oktober", "November", "December"};
  return names[month >= 1 && month <= 12 ? month - 1 : 0];
}

DateTime Today() { return CurrentClock().Now(); }

std::string CurrentMonthName() { return MonthName(Today().month); }

const std::string& Refresh() {
  const DateTime now = Today();
  refreshedAt = now;
  dateTimeString = esmall::Pad(WeekdayName(now.dayOfWeek), 8) + esmall::ZeroPadded(now.year, 4) +
                   "-" + Two(now.month) + "-" + Two(now.day) + " " + Two(now.hour) + ":" +
                   Two(now.minute) + ":" + Two(now.second);
  secondsOfDay = now.hour * 3600 + now.minute * 60 + now.second;
  return dateTimeString;
}

int Seconds() {
  Refresh();
  return secondsOfDay;
}

int StopwatchStart() {
  const int now = Seconds();
  if (stopwatchDepth < kMaxStopwatch) stopwatchStarts[stopwatchDepth] = now;
  return ++stopwatchDepth;
}

std::string StopwatchStop() {
  if (stopwatchDepth <= 0) return "0";
  --stopwatchDepth;
  if (stopwatchDepth >= kMaxStopwatch) return "0";
  int elapsed = Seconds() - stopwatchStarts[stopwatchDepth];
  while (elapsed < 0) elapsed += 86400;
  return std::to_string(elapsed);
}

std::string Format(int code) {
  const std::string& s = Refresh();
  const DateTime& now = refreshedAt;
  // The fields of the date-time string, by position.
  const std::string weekday = s.substr(0, 8);
  const std::string year = s.substr(8, 4);
  const std::string month = s.substr(13, 2);
  const std::string shortDate = s.substr(10, 2) + month + s.substr(16, 2);
  switch (code) {
    case 12: return year + "-" + month;
    case 13: return shortDate;
    case 14: return s;
    case 16: return weekday + shortDate;
    case 17: return year + "-00";
    case 18: return s.substr(8, 10);
    case 19: return s.substr(19, 2);
    case 20: return s.substr(8, 19);
    case 21: return weekday;
    case 22:
      return now.month <= 1 ? esmall::ZeroPadded(now.year - 1, 4) + "-12"
                            : year + "-" + Two(now.month - 1);
    case 23: return esmall::ZeroPadded(now.year - 1, 4) + "-00";
    default: return {};
  }
}

}  // namespace etider
