#include "ui/options_form.h"

#include <cstdio>

#include "encoding/utf8.h"
#include "interface/diary_statements.h"

namespace sarnlink {

std::vector<std::u16string> FillGenreList(DiaryDatabase& diary, const std::u16string& path) {
  std::vector<std::u16string> items = {kAllGenres, kGeneralGenre};
  auto connection = diary.Connect(path);
  auto genres =
      connection->OpenStatement(GenreListQuery{}, CursorKind::kKeyset, LockKind::kReadOnly);
  while (!genres->IsEOF()) {
    items.push_back(TextOrEmpty(genres->Field(u"Genre")));
    genres->MoveNext();
  }
  genres->Close();
  return items;
}

frmOptionControls LoadOptionControls(DiaryDatabase& diary, const std::u16string& path) {
  frmOptionControls controls;
  controls.cmbGenreItems = FillGenreList(diary, path);
  return controls;
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
