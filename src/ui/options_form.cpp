#include "ui/options_form.h"

#include <algorithm>
#include <cstdio>

#include "common/time_text.h"
#include "encoding/utf8.h"
#include "interface/diary_statements.h"

namespace sarnlink {

namespace {

std::vector<std::u16string> GenreItems(DiaryConnection& connection) {
  std::vector<std::u16string> items = {kAllGenres, kGeneralGenre};
  auto genres =
      connection.OpenStatement(GenreListQuery{}, CursorKind::kKeyset, LockKind::kReadOnly);
  while (!genres->IsEOF()) {
    items.push_back(TextOrEmpty(genres->Field(u"Genre")));
    genres->MoveNext();
  }
  genres->Close();
  return items;
}

// The Day texts of the diary that are neither Null nor empty; `undated` tells whether it has
// rows whose Day is.
std::vector<std::u16string> DiaryDays(DiaryConnection& connection, bool& undated) {
  std::vector<std::u16string> days;
  undated = false;
  auto rows = connection.OpenStatement(DayNumbersQuery{}, CursorKind::kKeyset, LockKind::kReadOnly);
  while (!rows->IsEOF()) {
    std::u16string day = TextOrEmpty(rows->Field(u"Day"));
    if (day.empty()) {
      undated = true;
    } else {
      days.push_back(std::move(day));
    }
    rows->MoveNext();
  }
  rows->Close();
  return days;
}

constexpr PickerDate kFirstPickerDate{1601, 1, 1};
constexpr PickerDate kLastPickerDate{9999, 12, 31};

PickerDate PickerDateOf(const LocalTime& moment) {
  return PickerDate{moment.year, moment.month, moment.day};
}

// `date` moved by one day, forwards or back; the pickers' own limit where it would leave them.
PickerDate NextDay(PickerDate date, int step) {
  date.day += step;
  if (date.day < 1) {
    if (--date.month < 1) {
      date.month = 12;
      --date.year;
    }
    date.day = DaysInMonth(date.year, date.month);
  } else if (date.day > DaysInMonth(date.year, date.month)) {
    date.day = 1;
    if (++date.month > 12) {
      date.month = 1;
      ++date.year;
    }
  }
  if (!IsPickerDate(date)) {
    return step < 0 ? kFirstPickerDate : kLastPickerDate;
  }
  return date;
}

// A bound beside the diary's first or last day `day`, checked as the selection compares it:
// as text, strictly before (`step` -1) or after (+1) it.
PickerDate BoundBeside(const std::u16string& day, int step) {
  const PickerDate limit = step < 0 ? kFirstPickerDate : kLastPickerDate;
  const TimeReading reading = ReadTimeText(day);
  const PickerDate bound = reading.has_day ? NextDay(PickerDateOf(reading.moment), step) : limit;
  const std::u16string text = PickerDateText(bound);
  return (step < 0 ? text < day : text > day) ? bound : limit;
}

}  // namespace

std::vector<std::u16string> FillGenreList(DiaryDatabase& diary, const std::u16string& path) {
  return GenreItems(*diary.Connect(path));
}

PickerPeriod LoadedPeriod(const std::vector<std::u16string>& days, const LocalTime& today) {
  if (days.empty()) {
    return PickerPeriod{PickerDateOf(today), PickerDateOf(today)};
  }
  const auto [first, last] = std::minmax_element(days.begin(), days.end());
  return PickerPeriod{BoundBeside(*first, -1), BoundBeside(*last, +1)};
}

frmOptionControls LoadOptionControls(DiaryDatabase& diary, const std::u16string& path,
                                     const LocalTime& today) {
  // One connection for the genre list and the days: a database failure ends the loading before
  // the form is shown.
  auto connection = diary.Connect(path);
  frmOptionControls controls;
  controls.cmbGenreItems = GenreItems(*connection);
  const PickerPeriod period = LoadedPeriod(DiaryDays(*connection, controls.undated), today);
  controls.dtpStart = period.start;
  controls.dtpEnd = period.end;
  return controls;
}

namespace {

constexpr ShownText kPeriodBoundsNote = ShownOne(
    "the start and end days themselves are not included", u"開始日と終了日の当日は含みません");
constexpr ShownText kPeriodBoundsAndUndatedNote =
    ShownOne("the start and end days themselves are not included, nor are entries without a day",
             u"開始日と終了日の当日は含みません。日付のない日記も含みません");

std::vector<std::u16string> ShownAll(std::initializer_list<ShownText> texts) {
  std::vector<std::u16string> shown;
  for (const ShownText& text : texts) {
    shown.push_back(Shown(text));
  }
  return shown;
}

}  // namespace

std::vector<std::u16string> PublishItems() {
  return ShownAll({ShownOne("All", u"すべて"), ShownOne("Public only", u"公開のみ"),
                   ShownOne("Private only", u"非公開のみ")});
}
std::vector<std::u16string> BRItems() {
  return ShownAll(
      {ShownOne("As they are", u"そのまま"), ShownOne("As BR tags", u"改行をBRタグにする")});
}
std::vector<std::u16string> HyphenItems() {
  return ShownAll(
      {ShownOne("As they are", u"そのまま"), ShownOne("As full-width hyphens", u"全角にする")});
}
std::vector<std::u16string> AllowItems() {
  return ShownAll({ShownOne("Not accepted", u"受け入れない"), ShownOne("Accepted", u"受け入れる")});
}
std::vector<std::u16string> PublishDayItems() {
  return ShownAll({ShownOne("The day it was updated", u"更新日"),
                   ShownOne("The day the diary shows", u"Dailyquill表示上の日")});
}

std::u16string PeriodNote(const frmOptionControls& controls) {
  return Shown(controls.undated ? kPeriodBoundsAndUndatedNote : kPeriodBoundsNote);
}

frmOptionMembers Btn_OK_Click(const frmOptionControls& controls) {
  frmOptionMembers members;
  members.IsOK = true;
  const std::u16string genre =
      controls.cmbGenreItems.at(static_cast<std::size_t>(controls.cmbGenre));
  const bool all = genre == kAllGenres;
  members.bGenre = all ? false : controls.chkGenre;
  members.bPeriod = controls.chkPeriod;
  members.bPublish = controls.chkPublish;
  members.stGenre = all ? std::u16string() : genre;
  members.stStart = PickerDateText(controls.dtpStart);
  members.stEnd = PickerDateText(controls.dtpEnd);
  members.intPublish = static_cast<std::int16_t>(controls.cmbPublish);
  members.intBR = static_cast<std::int16_t>(controls.cmbBR);
  members.intHyphen = static_cast<std::int16_t>(controls.cmbHyphen);
  members.intPublishDay = static_cast<std::int16_t>(controls.cmbPublishDay);
  members.intAllowPing = static_cast<std::int16_t>(controls.cmbPing);
  members.intAllowComment = static_cast<std::int16_t>(controls.cmbComment);
  members.stAuthor = controls.txtAuthor;
  return members;
}

std::u16string PickerDateText(const PickerDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", date.year, date.month, date.day);
  return FromUtf8(text);
}

bool IsPickerDate(const PickerDate& date) {
  if (date.year < 1601 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) {
    return false;
  }
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  const int days = kDays[date.month - 1] + (date.month == 2 && leap ? 1 : 0);
  return date.day <= days;
}

}  // namespace sarnlink
