// The DATE of a row whose own time cannot give it as it stands: every row gets a real date and
// time, taken from the best thing it holds, and the reason is said.
#include <gtest/gtest.h>

#include "encoding/utf8.h"
#include "export/entry_date.h"
#include "support/test_support.h"

namespace sarnlink {
namespace {

const LocalTime kExportMoment{2026, 12, 9, 10, 0, 0};

FieldValue Text(const char* text) {
  return text ? FieldValue(FromUtf8(text)) : FieldValue(std::monostate());
}

struct DateCase {
  std::string name;
  const char* publish_time;  // nullptr: Null
  const char* day;
  const char* import_mark;
  bool day_from_diary;
  bool whole;            // the row's own texts give the DATE; nothing is supplied
  const char* expected;  // the supplied moment in the diary's form (when not whole)
  const char* reason;    // a part of the reason given
};

class SuppliedDates : public ::testing::TestWithParam<DateCase> {};

TEST_P(SuppliedDates, ComeFromTheBestPartOfTheRow) {
  const DateCase& c = GetParam();
  const FieldValue time = Text(c.publish_time);
  const FieldValue day = Text(c.day);
  EXPECT_EQ(RowTimeIsWhole(time, day, c.day_from_diary), c.whole);
  if (c.whole) {
    return;
  }
  const SuppliedMoment got =
      SupplyMoment(time, day, Text(c.import_mark), c.day_from_diary, kExportMoment);
  EXPECT_EQ(ToUtf8(DiaryTimeText(got.moment)), c.expected);
  EXPECT_NE(got.how.find(c.reason), std::string::npos) << got.how;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SuppliedDates,
    ::testing::Values(
        DateCase{"TheDiarysForm", "2006/01/05 09:05:00", "2006/01/04", "", false, true, "", ""},
        DateCase{"TheDiarysFormWithItsDay", "2006/01/05 09:05:00", "2006/01/04", "", true, true, "",
                 ""},
        // The component's calling order: an empty Day gives the whole DATE from PublishTime.
        DateCase{"EmptyDayWithItsDay", "2006/01/05 09:05:00", "", "", true, true, "", ""},
        DateCase{"OneDigitPartsAndNoSeconds", "2006/1/5 9:05", "2006/01/05", "", false, false,
                 "2006/01/05 09:05:00", "PublishTime, read as such"},
        DateCase{"HyphensAndSeconds", "2006-01-05 21:05:07", "", "", false, false,
                 "2006/01/05 21:05:07", "not in the diary's form"},
        DateCase{"AnEnglishLocale", "1/10/2010 3:04:05 PM", "", "", false, false,
                 "2010/01/10 15:04:05", "PublishTime, read as such"},
        DateCase{"TwelveAmOnAnEnglishLocale", "1/10/2010 12:30:00 AM", "", "", false, false,
                 "2010/01/10 00:30:00", "read as such"},
        DateCase{"AJapaneseAfternoon", "2010/01/11 午後 3:04:05", "", "", false, false,
                 "2010/01/11 15:04:05", "read as such"},
        DateCase{"AFractionOfASecond", "2010/01/09 03:04:05.123", "", "", false, false,
                 "2010/01/09 03:04:05", "read as such"},
        DateCase{"HourPastTheDay", "2006/01/06 25:00:00", "2006/01/05", "", false, false,
                 "2006/01/06 00:00:00", "has no real time of day"},
        DateCase{"DateOnly", "2006/02/04", "2006/02/03", "", false, false, "2006/02/04 00:00:00",
                 "the day of PublishTime at midnight"},
        DateCase{"DateOnlyWithItsDay", "2006/02/04", "2006/02/03", "", true, false,
                 "2006/02/03 00:00:00", "its Day at midnight"},
        DateCase{"OddTimeWithItsDay", "2006/1/5 9:05", "2006/01/04", "", true, false,
                 "2006/01/04 09:05:00", "its Day at the time of PublishTime"},
        DateCase{"EmptyTimeFallsToTheDay", "", "2000/01/03", "", false, false,
                 "2000/01/03 00:00:00", "PublishTime is empty; the DATE is its Day at midnight"},
        DateCase{"NullTimeFallsToTheDay", nullptr, "2000/01/03", "", true, false,
                 "2000/01/03 00:00:00", "PublishTime is Null"},
        DateCase{"NoDayInFebruary30", "2006/02/30 10:00:00", "2006/02/28", "", false, false,
                 "2006/02/28 00:00:00", "is not a date and time"},
        DateCase{"NullDayWithItsDayTakesPublishTime", "2006/01/06 10:00:00", nullptr, "", true,
                 false, "2006/01/06 10:00:00", "Day is Null"},
        DateCase{"TheStampOfTheRun", nullptr, nullptr, "2006/03/04 10:11:12 #2 byPontivo.dll",
                 false, false, "2006/03/04 10:11:12", "the moment of its import stamp"},
        DateCase{"TheStampOnAJapaneseLocale", "", "", "2006年03月04日 10時11分12秒 byPontivo.dll",
                 true, false, "2006/03/04 10:11:12", "import stamp"},
        DateCase{"NothingButTheExport", "", "", "MT", false, false, "2026/12/09 10:00:00",
                 "the moment of this export"},
        DateCase{"GarbageEverywhere", "soon", "someday", "", true, false, "2026/12/09 10:00:00",
                 "Day \"someday\" is not a day"}),
    testing::ByName());

}  // namespace
}  // namespace sarnlink
