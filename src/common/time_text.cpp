#include "common/time_text.h"

#include <utility>

#include "common/text.h"
#include "common/text_cursor.h"

namespace sarnlink {
namespace {

// "yyyy/m/d", "yyyy-m-d", "yyyy年m月d日" or, as an English locale writes it, "m/d/yyyy",
// naming a real day.
bool ReadDay(TextCursor& in, LocalTime& moment) {
  TextCursor month_first = in;
  if (month_first.Number(1, 2, moment.month) && month_first.Take(u'/') &&
      month_first.Number(1, 2, moment.day) && month_first.Take(u'/') &&
      month_first.Number(4, 4, moment.year)) {
    in = month_first;
    return moment.year >= 1 && moment.month >= 1 && moment.month <= 12 && moment.day >= 1 &&
           moment.day <= DaysInMonth(moment.year, moment.month);
  }
  if (!in.Number(4, 4, moment.year)) {
    return false;
  }
  const char16_t separator = in.Peek();
  bool read = false;
  if (separator == u'/' || separator == u'-') {
    read = in.Take(separator) && in.Number(1, 2, moment.month) && in.Take(separator) &&
           in.Number(1, 2, moment.day);
  } else if (separator == u'年') {
    read = in.Take(u'年') && in.Number(1, 2, moment.month) && in.Take(u'月') &&
           in.Number(1, 2, moment.day) && in.Take(u'日');
  }
  return read && moment.year >= 1 && moment.month >= 1 && moment.month <= 12 && moment.day >= 1 &&
         moment.day <= DaysInMonth(moment.year, moment.month);
}

// An AM or PM marker, as English ("AM", "pm") or Japanese ("午前", "午後") locales write it:
// 1 for AM, 2 for PM, 0 for none.
int ReadMarker(TextCursor& in) {
  for (const auto& [marker, kind] : {std::pair<std::u16string_view, int>{u"午前", 1},
                                     {u"午後", 2},
                                     {u"AM", 1},
                                     {u"am", 1},
                                     {u"PM", 2},
                                     {u"pm", 2}}) {
    if (in.TakeText(marker)) {
      return kind;
    }
  }
  return 0;
}

// "h:m", "h:m:s" (a fraction of a second after it is passed over) or "h時m分[s秒]", with an AM or
// PM marker before or after it, naming a real time of day.
bool ReadTimeOfDay(TextCursor& in, LocalTime& moment) {
  moment.second = 0;
  int marker = ReadMarker(in);
  in.SkipSpaces();
  if (!in.Number(1, 2, moment.hour)) {
    return false;
  }
  bool read = false;
  if (in.Take(u':')) {
    read = in.Number(1, 2, moment.minute) && (!in.Take(u':') || in.Number(1, 2, moment.second));
    int fraction = 0;
    read = read && (!in.Take(u'.') || in.Number(1, 9, fraction));
  } else if (in.Take(u'時')) {
    read = in.Number(1, 2, moment.minute) && in.Take(u'分') &&
           (in.AtEnd() || in.Peek() == u' ' || (in.Number(1, 2, moment.second) && in.Take(u'秒')));
  }
  if (marker == 0) {
    in.SkipSpaces();
    marker = ReadMarker(in);
  }
  if (marker != 0) {  // the 12-hour clock: 12 AM is midnight, 12 PM noon
    if (moment.hour < 1 || moment.hour > 12) {
      return false;
    }
    moment.hour = moment.hour % 12 + (marker == 2 ? 12 : 0);
  }
  return read && moment.hour <= 23 && moment.minute <= 59 && moment.second <= 59;
}

}  // namespace

TimeReading ReadTimeText(std::u16string_view text) {
  TextCursor in(TrimSpaces(text));
  TimeReading reading;
  if (!ReadDay(in, reading.moment)) {
    return TimeReading();
  }
  if (in.AtEnd()) {
    reading.has_day = true;
    return reading;
  }
  if (in.Peek() != u' ' && !in.Take(u'T')) {
    return TimeReading();  // a day run on into something else is no day
  }
  reading.has_day = true;
  in.SkipSpaces();
  LocalTime moment = reading.moment;
  if (ReadTimeOfDay(in, moment) && in.AtEnd()) {
    reading.moment = moment;
    reading.has_time = true;
  }
  return reading;
}

bool IsDiaryDay(std::u16string_view text) {
  return text.size() == 10 && text[4] == u'/' && text[7] == u'/' && ReadTimeText(text).has_day;
}

bool IsDiaryTime(std::u16string_view text) {
  return text.size() == 19 && IsDiaryDay(text.substr(0, 10)) && text[10] == u' ' &&
         text[13] == u':' && text[16] == u':' && ReadTimeText(text).has_time;
}

}  // namespace sarnlink
