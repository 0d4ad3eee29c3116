// Port: the current local date and time, and how the platform writes it by default under the
// user's locale. The import stamps every row it stores with one moment, and files entries that
// carry no DATE under that same moment.
#pragma once

#include <string>

namespace sarnlink {

// A moment of local time, field by field.
struct LocalTime {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  int hour = 0;   // 0-23
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  // `moment` as the platform writes a date and time by default under the user's locale.
  virtual std::u16string LocalText(const LocalTime& moment) = 0;
};

// The days of `month` (1-12) in `year` of the Gregorian calendar.
int DaysInMonth(int year, int month);

// `moment` in the diary's time form, "yyyy/mm/dd hh:nn:ss".
std::u16string DiaryTimeText(const LocalTime& moment);

}  // namespace sarnlink
