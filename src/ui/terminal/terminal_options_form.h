// The options form on a terminal: both pages' fields in the form's order, each showing its
// load-time value, Enter keeping it; then OK or Cancel. The end of input is Cancel.
#pragma once

#include "interface/diary_database.h"
#include "ui/options_form.h"
#include "ui/terminal/terminal_prompts.h"

namespace sarnlink {

class TerminalOptionsForm : public OptionsForm {
 public:
  TerminalOptionsForm(DiaryDatabase& diary, TerminalQuestions& questions)
      : diary_(diary), questions_(questions) {}

  frmOptionMembers ShowModal(const std::u16string& path_diary_mdb,
                             const std::u16string& author) override;

 private:
  // Fills the controls from the answers; false when the user cancelled.
  bool AskControls(frmOptionControls& controls);
  bool AskDate(const std::string& label, PickerDate& date);

  DiaryDatabase& diary_;          // the genre list's source
  TerminalQuestions& questions_;  // the terminal
};

}  // namespace sarnlink
