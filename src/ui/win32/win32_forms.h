// The options form and the author prompt on Windows.
#pragma once

#include "interface/diary_database.h"
#include "ui/author_prompt.h"
#include "ui/options_form.h"

namespace sarnlink {

class Win32OptionsForm : public OptionsForm {
 public:
  explicit Win32OptionsForm(DiaryDatabase& diary) : diary_(diary) {}
  frmOptionMembers ShowModal(const std::u16string& path_diary_mdb,
                             const std::u16string& author) override;

 private:
  DiaryDatabase& diary_;  // the genre list's source
};

class Win32AuthorPrompt : public AuthorPrompt {
 public:
  AuthorQuestionAnswer AskOneAuthorOnly() override;
  std::u16string AskAuthorName() override;
};

}  // namespace sarnlink
