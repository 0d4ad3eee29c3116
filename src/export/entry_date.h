// The DATE of an exported entry when the row's own time cannot give it as it stands: a diary
// kept for years holds PublishTime texts that are Null, empty, date-only, in another form
// ("2006/1/5 9:05") or out of range, and Day texts that are Null or empty (the host's earlier
// import wrote those for entries without a DATE). Such a row is still written, with a real
// date and time taken from what it holds, and named so that the user can look at it.
#pragma once

#include <string>
#include <string_view>

#include "common/clock.h"
#include "interface/diary_database.h"

namespace sarnlink {

// What a date-and-time text says, read leniently: a day as year/month/day (four-digit year;
// "/", "-" or 年月日 between the parts; one or two digits for month and day), then optionally,
// after spaces, a time as hour:minute[:second] (or 時分秒; one or two digits each). A part
// counts only when it is a real day or a real time of day.
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

// Whether the row's own texts give its DATE as they stand (the usual case): PublishTime in the
// diary's form and, when the day comes from Day, a Day in the diary's form or empty (then the
// whole DATE comes from PublishTime).
bool RowTimeIsWhole(const FieldValue& publish_time, const FieldValue& day, bool day_from_diary);

// The moment a row whose time is not whole stands for, and how it was found, in words.
struct SuppliedMoment {
  LocalTime moment;
  std::string how;
};

// The moment for a row whose time is not whole, from what it holds, in this order: the parts
// of PublishTime that read as a real day (with its time of day, else midnight); else its Day
// at midnight; else the moment of its import stamp `import_mark`; else `export_moment`. With
// `day_from_diary` a Day that reads as a real day comes first, with PublishTime's time of day.
SuppliedMoment SupplyMoment(const FieldValue& publish_time, const FieldValue& day,
                            const FieldValue& import_mark, bool day_from_diary,
                            const LocalTime& export_moment);

}  // namespace sarnlink
