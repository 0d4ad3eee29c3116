// frmOption: the options form on Windows, a modal two-page form laid out in twips as the host's
// form is: the tab strip, the two borderless pages, OK (Enter) and Cancel (Esc). Its loading,
// the genre list and what OK reads are the portable logic of ui/options_form.h.
#pragma once

#include "interface/diary_database.h"
#include "ui/options_form.h"

namespace sarnlink {

class Win32OptionsForm : public OptionsForm {
 public:
  Win32OptionsForm(DiaryDatabase& diary, Clock& clock) : diary_(diary), clock_(clock) {}

  // A diary that cannot be read fails before the form is shown; so does a missing desktop.
  frmOptionMembers ShowModal(const std::u16string& path_diary_mdb,
                             const std::u16string& author) override;

 private:
  DiaryDatabase& diary_;  // the genre list's source
  Clock& clock_;          // today, for a diary with no day
};

// The form's window class and the control identifiers, which the tests drive the form by.
inline constexpr char16_t kOptionFormClass[] = u"SarnlinkFrmOption";
enum OptionControlId : int {
  kTabStrip1 = 100,
  kPicture1Page0,
  kPicture1Page1,
  kChkGenre,
  kCmbGenre,
  kChkPeriod,
  kDtpStart,
  kDtpEnd,
  kChkPublish,
  kCmbPublish,
  kTxtAuthor,
  kCmbBR,
  kCmbHyphen,
  kCmbPing,
  kCmbComment,
  kCmbPublishDay,
  kLabel4,
  kPeriodNote,  // says the period's bounds are not included
};

}  // namespace sarnlink
