// The period the options forms load with: ticked and left as it is, it selects every entry of
// the diary that has a day, whatever the diary's days look like.
#include <gtest/gtest.h>

#include "encoding/utf8.h"
#include "support/test_support.h"
#include "ui/options_form.h"

namespace sarnlink {
namespace {

struct PeriodCase {
  const char* name;
  std::vector<std::u16string> days;
  PickerDate start;
  PickerDate end;
};

class LoadedPeriods : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(LoadedPeriods, LieJustOutsideTheDiarysDays) {
  const LocalTime today{2026, 12, 11, 16, 30, 0};
  const PickerPeriod period = LoadedPeriod(GetParam().days, today);
  EXPECT_EQ(PickerDateText(period.start), PickerDateText(GetParam().start));
  EXPECT_EQ(PickerDateText(period.end), PickerDateText(GetParam().end));
  // As the selection compares them: every day strictly between the bounds, as text.
  for (const std::u16string& day : GetParam().days) {
    if (PickerDateText(period.start) < day && day < PickerDateText(period.end)) {
      continue;
    }
    const bool beyond_the_pickers = day <= u"1601/01/01" || day >= u"9999/12/31";
    EXPECT_TRUE(beyond_the_pickers) << "left out: " << ToUtf8(day);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Diaries, LoadedPeriods,
    ::testing::Values(
        PeriodCase{"NoDayAtAllGivesToday", {}, {2026, 12, 11}, {2026, 12, 11}},
        PeriodCase{"OneDay", {u"2006/03/15"}, {2006, 3, 14}, {2006, 3, 16}},
        PeriodCase{
            "AcrossTheYearsEnds", {u"2006/12/31", u"2006/01/01"}, {2005, 12, 31}, {2007, 1, 1}},
        PeriodCase{"LeapDay", {u"2008/03/01"}, {2008, 2, 29}, {2008, 3, 2}},
        // Text order puts "2006/1/5" first and "2006/12/3" last; the day after 2006/12/3 as
        // text, "2006/12/04", sorts before it, so the end falls back to the pickers' last day.
        PeriodCase{"OneDigitParts", {u"2006/12/3", u"2006/1/5"}, {2006, 1, 4}, {9999, 12, 31}},
        PeriodCase{
            "ADayThatIsNoDate", {u"2006/13/45", u"2006/02/01"}, {2006, 1, 31}, {9999, 12, 31}},
        PeriodCase{
            "ThePickersOwnLimits", {u"1601/01/01", u"9999/12/31"}, {1601, 1, 1}, {9999, 12, 31}}),
    testing::ByName());

}  // namespace
}  // namespace sarnlink
