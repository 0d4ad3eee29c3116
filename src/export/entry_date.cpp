#include "export/entry_date.h"

#include <initializer_list>

#include "common/text.h"
#include "encoding/utf8.h"
#include "export/entry_writer.h"
#include "interface/run_stamp.h"

namespace sarnlink {
namespace {

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

}  // namespace

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

namespace {

SuppliedMoment FindMoment(const FieldValue& publish_time, const FieldValue& day,
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
    return {moment, u"",
            HowMade({day_problem, time_problem},
                    with_time ? "its Day at the time of PublishTime" : "its Day at midnight")};
  }
  const std::string day_note = day_from_diary ? day_problem : "";
  if (time_usable) {
    return {
        time.moment, u"",
        HowMade({day_note, time_problem}, time.has_time ? "PublishTime, read as such"
                                                        : "the day of PublishTime at midnight")};
  }
  if (day_usable) {
    LocalTime moment = on_day.moment;
    moment.hour = moment.minute = moment.second = 0;
    return {moment, u"", HowMade({time_problem, day_problem}, "its Day at midnight")};
  }
  if (const TimeReading stamp = ReadRunStamp(TextOrEmpty(import_mark)); stamp.has_day) {
    return {stamp.moment, u"",
            HowMade({time_problem, day_problem},
                    "the moment of its import stamp \"" + ToUtf8(TextOrEmpty(import_mark)) + "\"")};
  }
  return {export_moment, u"", HowMade({time_problem, day_problem}, "the moment of this export"),
          true};
}

}  // namespace

SuppliedMoment SupplyMoment(const FieldValue& publish_time, const FieldValue& day,
                            const FieldValue& import_mark, bool day_from_diary,
                            const LocalTime& export_moment) {
  SuppliedMoment supplied =
      FindMoment(publish_time, day, import_mark, day_from_diary, export_moment);
  supplied.date = FormatMTDate(DiaryTimeText(supplied.moment), u"");
  return supplied;
}

}  // namespace sarnlink
