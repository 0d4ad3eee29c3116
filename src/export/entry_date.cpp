#include "export/entry_date.h"

#include <initializer_list>

#include "common/text.h"
#include "encoding/utf8.h"
#include "interface/diary_statements.h"

namespace sarnlink {
namespace {

// Reads a text from the left, a part at a time.
class TimeCursor {
 public:
  explicit TimeCursor(std::u16string_view text) : text_(text) {}

  bool AtEnd() const { return at_ == text_.size(); }
  char16_t Peek() const { return AtEnd() ? u'\0' : text_[at_]; }
  bool Take(char16_t c) {
    if (Peek() != c) {
      return false;
    }
    ++at_;
    return true;
  }
  // A number of `min` to `max` decimal digits.
  bool Number(std::size_t min, std::size_t max, int& out) {
    std::size_t digits = 0;
    out = 0;
    while (digits < max && !AtEnd() && text_[at_] >= u'0' && text_[at_] <= u'9') {
      out = out * 10 + (text_[at_++] - u'0');
      ++digits;
    }
    return digits >= min && (AtEnd() || text_[at_] < u'0' || text_[at_] > u'9');
  }
  void SkipSpaces() {
    while (Take(u' ')) {
    }
  }

 private:
  std::u16string_view text_;
  std::size_t at_ = 0;
};

// "yyyy/m/d", "yyyy-m-d" or "yyyy年m月d日", naming a real day.
bool ReadDay(TimeCursor& in, LocalTime& moment) {
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

// "h:m", "h:m:s" or "h時m分[s秒]", naming a real time of day.
bool ReadTimeOfDay(TimeCursor& in, LocalTime& moment) {
  moment.second = 0;
  if (!in.Number(1, 2, moment.hour)) {
    return false;
  }
  bool read = false;
  if (in.Take(u':')) {
    read = in.Number(1, 2, moment.minute) && (!in.Take(u':') || in.Number(1, 2, moment.second));
  } else if (in.Take(u'時')) {
    read = in.Number(1, 2, moment.minute) && in.Take(u'分') &&
           (in.AtEnd() || (in.Number(1, 2, moment.second) && in.Take(u'秒')));
  }
  return read && moment.hour <= 23 && moment.minute <= 59 && moment.second <= 59;
}

// What is wrong with a column that should hold a day or, with `wants_time`, a date and time,
// for the message; empty when it is in the diary's own form.
std::string ColumnProblem(std::string_view column, const FieldValue& value,
                          const TimeReading& reading, bool wants_time) {
  if (IsNull(value)) {
    return std::string(column) + " is Null";
  }
  const std::u16string text = TextOrEmpty(value);
  const std::string said = std::string(column) + " \"" + ToUtf8(text) + "\"";
  if (text.empty()) {
    return std::string(column) + " is empty";
  }
  if (!reading.has_day) {
    return said + (wants_time ? " is not a date and time" : " is not a day");
  }
  if (wants_time && !reading.has_time) {
    return said +
           (IsDiaryDay(TrimSpaces(text)) ? " has no time of day" : " has no real time of day");
  }
  const bool in_form = wants_time ? IsDiaryTime(text) : IsDiaryDay(text);
  return in_form ? "" : said + " is not in the diary's form";
}

// The problems found, joined, then what the DATE was made of.
std::string HowMade(std::initializer_list<std::string> problems, std::string_view made_of) {
  std::string how;
  for (const std::string& problem : problems) {
    if (!problem.empty()) {
      how += (how.empty() ? "" : ", ") + problem;
    }
  }
  return how + "; the DATE is " + std::string(made_of);
}

// The moment a run stamp names: the import's moment, before " byPontivo.dll" and a " #k" that
// tells runs of one second apart.
TimeReading ReadStamp(const FieldValue& import_mark) {
  const std::u16string text = TextOrEmpty(import_mark);
  std::u16string_view stamp = TrimSpaces(text);
  if (stamp.ends_with(kRunStampEnd)) {
    stamp.remove_suffix(std::u16string_view(kRunStampEnd).size());
  }
  if (const std::size_t hash = stamp.rfind(u" #"); hash != std::u16string_view::npos) {
    stamp = stamp.substr(0, hash);
  }
  return ReadTimeText(stamp);
}

}  // namespace

TimeReading ReadTimeText(std::u16string_view text) {
  TimeCursor in(TrimSpaces(text));
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

bool RowTimeIsWhole(const FieldValue& publish_time, const FieldValue& day, bool day_from_diary) {
  const auto* time = std::get_if<std::u16string>(&publish_time);
  if (!time || !IsDiaryTime(*time)) {
    return false;
  }
  if (!day_from_diary) {
    return true;
  }
  const auto* text = std::get_if<std::u16string>(&day);
  return text && (text->empty() || IsDiaryDay(*text));
}

SuppliedMoment SupplyMoment(const FieldValue& publish_time, const FieldValue& day,
                            const FieldValue& import_mark, bool day_from_diary,
                            const LocalTime& export_moment) {
  const TimeReading time = ReadTimeText(TextOrEmpty(publish_time));
  const TimeReading on_day = ReadTimeText(TextOrEmpty(day));
  const std::string time_problem = ColumnProblem("PublishTime", publish_time, time, true);
  const std::string day_problem = ColumnProblem("Day", day, on_day, false);
  const bool time_usable = std::holds_alternative<std::u16string>(publish_time) && time.has_day;
  const bool day_usable = std::holds_alternative<std::u16string>(day) && on_day.has_day;

  if (day_from_diary && day_usable) {
    LocalTime moment = on_day.moment;
    moment.hour = moment.minute = moment.second = 0;
    const bool with_time = time_usable && time.has_time;
    if (with_time) {
      moment.hour = time.moment.hour;
      moment.minute = time.moment.minute;
      moment.second = time.moment.second;
    }
    return {moment,
            HowMade({day_problem, time_problem},
                    with_time ? "its Day at the time of PublishTime" : "its Day at midnight")};
  }
  const std::string day_note = day_from_diary ? day_problem : "";
  if (time_usable) {
    return {time.moment, HowMade({day_note, time_problem},
                                 time.has_time ? "PublishTime, read as such"
                                               : "the day of PublishTime at midnight")};
  }
  if (day_usable) {
    LocalTime moment = on_day.moment;
    moment.hour = moment.minute = moment.second = 0;
    return {moment, HowMade({time_problem, day_problem}, "its Day at midnight")};
  }
  if (const TimeReading stamp = ReadStamp(import_mark); stamp.has_day) {
    return {stamp.moment,
            HowMade({time_problem, day_problem},
                    "the moment of its import stamp \"" + ToUtf8(TextOrEmpty(import_mark)) + "\"")};
  }
  return {export_moment, HowMade({time_problem, day_problem}, "the moment of this export")};
}

}  // namespace sarnlink
