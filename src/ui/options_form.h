// Port: the options form (frmOption) of SetExportSettingMySelf, and the logic every rendering of
// it shares: what the controls hold when it loads, the genre list, and what OK reads from them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/say.h"
#include "interface/diary_database.h"

namespace sarnlink {

// The form's public members, as the converter reads them after the form has closed.
struct frmOptionMembers {
  bool bGenre = false;               // export one genre only
  bool bPeriod = false;              // export a day range only
  bool bPublish = false;             // filter on public or private
  std::u16string stGenre;            // the chosen genre; empty for "[ALL]"
  std::u16string stStart;            // the start picker's day, yyyy/mm/dd
  std::u16string stEnd;              // the end picker's day, yyyy/mm/dd
  std::int16_t intPublish = 0;       // list index of cmbPublish
  std::int16_t intBR = 0;            // list index of cmbBR
  std::int16_t intHyphen = 0;        // list index of cmbHyphen
  std::int16_t intPublishDay = 0;    // list index of cmbPublishDay
  std::int16_t intAllowPing = 0;     // list index of cmbPing
  std::int16_t intAllowComment = 0;  // list index of cmbComment
  std::u16string stAuthor;           // txtAuthor as typed
  bool IsOK = false;                 // true only after OK
  std::u16string PathDiaryMdb;       // the diary the genre list came from
};

class OptionsForm {
 public:
  virtual ~OptionsForm() = default;
  // Loads the form for the diary at `path_diary_mdb` (which fills the genre list; a database
  // failure throws and the form is not shown), puts `author` into txtAuthor, shows the form
  // modally and returns its members once it has closed.
  virtual frmOptionMembers ShowModal(const std::u16string& path_diary_mdb,
                                     const std::u16string& author) = 0;
};

// A date picker's day.
struct PickerDate {
  int year = 2006;
  int month = 2;
  int day = 25;
  friend bool operator==(const PickerDate&, const PickerDate&) = default;
};

// The state of the form's controls.
struct frmOptionControls {
  bool chkGenre = false;
  bool chkPeriod = false;
  bool chkPublish = false;
  std::vector<std::u16string> cmbGenreItems;  // "[ALL]", the general genre, then the others
  int cmbGenre = 0;
  int cmbPublish = 0;
  int cmbBR = 1;
  int cmbHyphen = 1;
  int cmbPing = 1;
  int cmbComment = 1;
  int cmbPublishDay = 1;
  PickerDate dtpStart;
  PickerDate dtpEnd;
  std::u16string txtAuthor;
  bool undated = false;  // the diary holds entries with a Null or empty Day, which no period holds
};

// The fixed items of the drop-down lists, in their binding order (the index is the setting).
inline constexpr char16_t kAllGenres[] = u"[ALL]";
std::vector<std::u16string> PublishItems();
std::vector<std::u16string> BRItems();
std::vector<std::u16string> HyphenItems();
std::vector<std::u16string> AllowItems();
std::vector<std::u16string> PublishDayItems();

// "[ALL]", the general genre, then the diary's other genres in the query's order.
std::vector<std::u16string> FillGenreList(DiaryDatabase& diary, const std::u16string& path);

// The controls as Form_Load leaves them for the diary at `path`, its pickers at LoadedPeriod.
frmOptionControls LoadOptionControls(DiaryDatabase& diary, const std::u16string& path,
                                     const LocalTime& today);

// The pickers' days at load: the day before the diary's first day and the day after its last,
// so that a period ticked and left as it loads selects every entry that has a day (the
// selection leaves the bounds themselves out); `today` for both in a diary with no day. A
// bound that cannot lie outside the diary's days (a day that is no date, or the pickers' range
// reached) is the pickers' first or last day. `days` are the diary's Day texts that are
// neither Null nor empty, in any order.
struct PickerPeriod {
  PickerDate start;
  PickerDate end;
};
PickerPeriod LoadedPeriod(const std::vector<std::u16string>& days, const LocalTime& today);

// What the forms say of their period: its bounds are not included, nor (in a diary that has them)
// the entries without a day.
std::u16string PeriodNote(const frmOptionControls& controls);

// The members as OK reads them from the controls. Nothing is validated.
frmOptionMembers Btn_OK_Click(const frmOptionControls& controls);

// A picker's day as yyyy/mm/dd, whatever the system's date format.
std::u16string PickerDateText(const PickerDate& date);

// Whether the day lies in the pickers' range, 1601-01-01 to 9999-12-31, and exists.
bool IsPickerDate(const PickerDate& date);

}  // namespace sarnlink
