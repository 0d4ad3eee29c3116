// Date-and-time texts as diaries and run stamps write them, read leniently: the diary's own
// "yyyy/mm/dd hh:nn:ss", and the forms a diary kept for years or a stamp made under another
// locale holds ("2006/1/5 9:05", "2006-01-05", "2006年01月05日 09時05分00秒").
#pragma once

#include <string_view>

#include "common/clock.h"

namespace sarnlink {

// What a date-and-time text says: a day as year/month/day (four-digit year; "/", "-" or 年月日
// between the parts; one or two digits for month and day) or month/day/year, then optionally,
// after spaces, a time as hour:minute[:second[.fraction]] (or 時分秒; one or two digits each),
// with an AM or PM marker (or 午前, 午後) before or after it on the 12-hour clock. A part counts
// only when it is a real day or a real time of day.
struct TimeReading {
  bool has_day = false;   // year, month and day name a day of the Gregorian calendar
  bool has_time = false;  // hour 0-23, minute and second 0-59 (second 0 when not written)
  LocalTime moment;       // what was read; the time is 00:00:00 without has_time
};
TimeReading ReadTimeText(std::u16string_view text);

// Whether `text` is in the diary's own form, exactly: "yyyy/mm/dd hh:nn:ss" for a time, or
// "yyyy/mm/dd" for a day, each part in range.
bool IsDiaryTime(std::u16string_view text);
bool IsDiaryDay(std::u16string_view text);

}  // namespace sarnlink
